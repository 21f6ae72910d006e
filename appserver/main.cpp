// pla-appserver: the application server program.
//   pla-appserver serve   --db URL --listen 127.0.0.1:8211
//   pla-appserver init-db --db URL [--demo] [--seed N]
// URL: sqlite:PATH, postgresql://user@host:port/dbname (postgres://...), or
// libpq's key=value form ("host=/run/postgresql dbname=pla").
#include "AppServer.h"
#include "db/ConnectionUrl.h"
#include "store/Database.h"

#include <CLI/CLI.hpp>

#include <csignal>
#include <malloc.h>
#include <fstream>
#include <sstream>
#include <cstdio>
#include <thread>

namespace {

bool splitListen(const std::string& listen, std::string& host, int& port) {
    auto colon = listen.rfind(':');
    if (colon == std::string::npos) return false;
    host = listen.substr(0, colon);
    try {
        size_t used = 0;
        port = std::stoi(listen.substr(colon + 1), &used);
        if (used != listen.size() - colon - 1) return false;
    } catch (const std::exception&) {
        return false;
    }
    return !host.empty() && port >= 0 && port <= 65535;
}

std::string readFile(const std::string& path, const char* what) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error(std::string("cannot read the ") + what + " file " + path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

struct ServeOptions {
    std::string dbUrl, listen, logFormat, tlsCert, tlsKey;
    size_t maxBodyMb = 16;
    int sessionHours = 8;
    appserver::HttpServerOptions http;
};

int serve(ServeOptions so) {
    // The worker threads allocate and free the same few megabytes at every
    // call: giving them back to the kernel each time costs an madvise and a
    // flush of the address space on every core.
    mallopt(M_TRIM_THRESHOLD, 64 * 1024 * 1024);
    const std::string& dbUrl = so.dbUrl;
    const std::string& listen = so.listen;
    const std::string& logFormat = so.logFormat;
    std::string host;
    int port = 0;
    if (!splitListen(listen, host, port)) {
        std::fprintf(stderr, "pla-appserver: --listen wants HOST:PORT, not '%s'\n", listen.c_str());
        return 2;
    }
    appserver::AppServerOptions options;
    if (!appserver::ParseLogFormat(logFormat, options.logFormat)) {
        std::fprintf(stderr, "pla-appserver: --log-format wants logfmt or json, not '%s'\n", logFormat.c_str());
        return 2;
    }
    options.dbUrl = dbUrl;
    options.http = so.http;
    options.http.maxBodyBytes = so.maxBodyMb * 1024 * 1024;
    if (so.tlsCert.empty() != so.tlsKey.empty()) {
        std::fprintf(stderr, "pla-appserver: HTTPS needs both --tls-cert and --tls-key\n");
        return 2;
    }
    if (!so.tlsCert.empty()) {
        options.http.tlsCertPem = readFile(so.tlsCert, "certificate");
        options.http.tlsKeyPem = readFile(so.tlsKey, "private key");
    }
    options.sessionIdleLimit = std::chrono::hours(so.sessionHours);
    appserver::AppServer server(options);

    // SIGINT/SIGTERM end the server cleanly: a thread waits for them and stops it.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    int bound = server.Listen(host, port);
    std::fprintf(stderr, "pla-appserver: serving %s on %s://%s:%d/rpc\n", db::RedactPassword(dbUrl).c_str(),
                 so.tlsCert.empty() ? "http" : "https", host.c_str(), bound);
    int sig = 0;
    sigwait(&signals, &sig);
    std::fprintf(stderr, "pla-appserver: stopping (signal %d)\n", sig);
    server.Stop();
    return 0;
}

int initDb(const std::string& dbUrl, bool demo, uint32_t seed) {
    auto conn = db::OpenConnection(dbUrl);
    store::InitResult r = store::InitDatabase(*conn, demo, seed);
    std::fprintf(stderr, "pla-appserver: %d migration(s) applied%s\n", r.migrationsApplied,
                 r.demoLoaded ? ", demo data loaded" : (demo ? ", demo data kept (database already had data)" : ""));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"Application server of the withdrawal screen (JSON-RPC over HTTP)"};
    app.require_subcommand(1);

    std::string dbUrl = "sqlite:pla.db";
    const char* dbHelp =
        "Database: sqlite:PATH, postgresql://USER@HOST:PORT/DBNAME (also postgres://), "
        "or libpq's key=value form in quotes, e.g. \"host=/run/postgresql dbname=pla\"";
    ServeOptions so;
    so.listen = "127.0.0.1:8211";
    so.logFormat = "logfmt";
    auto& listen = so.listen;
    auto& maxBodyMb = so.maxBodyMb;
    auto& sessionHours = so.sessionHours;
    auto& logFormat = so.logFormat;
    unsigned idleSeconds = static_cast<unsigned>(so.http.idleTimeout.count());
    auto* serveCmd = app.add_subcommand("serve", "Serve the remote modules over HTTP");
    serveCmd->add_option("--db", dbUrl, dbHelp)->capture_default_str();
    serveCmd->add_option("--listen", listen, "HOST:PORT to listen on (port 0: any free port)")->capture_default_str();
    serveCmd->add_option("--max-body-mb", maxBodyMb, "Largest request body accepted, in MiB")
        ->capture_default_str()
        ->check(CLI::Range(1, 1024));
    serveCmd->add_option("--session-hours", sessionHours, "Hours of inactivity before a session expires (sessions live in the database, shared by every server over it)")
        ->capture_default_str()
        ->check(CLI::Range(1, 24 * 30));
    serveCmd->add_option("--log-format", logFormat, "Request log lines on standard error: logfmt or json")
        ->capture_default_str()
        ->check(CLI::IsMember({"logfmt", "json"}));
    serveCmd->add_option("--tls-cert", so.tlsCert, "PEM file of the server's certificate (chain): serve HTTPS")
        ->check(CLI::ExistingFile);
    serveCmd->add_option("--tls-key", so.tlsKey, "PEM file of the certificate's private key")->check(CLI::ExistingFile);
    serveCmd->add_option("--idle-timeout", idleSeconds, "Seconds a connection may stay silent before it is closed")
        ->capture_default_str()
        ->check(CLI::Range(1, 3600));
    unsigned requestSeconds = static_cast<unsigned>(so.http.requestTimeout.count());
    serveCmd->add_option("--request-timeout", requestSeconds,
                         "Seconds a request may take to arrive whole (and its answer to leave), however busy the "
                         "client keeps the connection")
        ->capture_default_str()
        ->check(CLI::Range(1, 3600));
    serveCmd->add_option("--trusted-proxy", so.http.trustedProxies,
                         "Address of a load balancer whose X-Forwarded-For names the client (repeatable)");
    serveCmd->add_option("--per-address-limit", so.http.perAddressLimit, "Open connections one client address may hold")
        ->capture_default_str()
        ->check(CLI::Range(1, 100000));
    serveCmd->add_option("--max-connections", so.http.connectionLimit, "Open connections in all")
        ->capture_default_str()
        ->check(CLI::Range(1, 1000000));
    serveCmd->add_option("--threads", so.http.threads,
                         "Worker threads (event loops) serving the connections; each holds one database connection "
                         "of the server's pool")
        ->capture_default_str()
        ->check(CLI::Range(1, 64));

    bool demo = false;
    uint32_t seed = store::demo::kDefaultSeed;
    auto* initCmd = app.add_subcommand("init-db", "Create or migrate the database");
    initCmd->add_option("--db", dbUrl, dbHelp)->capture_default_str();
    initCmd->add_flag("--demo", demo, "Load the demo data into a new database");
    initCmd->add_option("--seed", seed, "Seed of the demo data")->capture_default_str();

    CLI11_PARSE(app, argc, argv);
    try {
        if (*serveCmd) {
            so.dbUrl = dbUrl;
            so.http.idleTimeout = std::chrono::seconds(idleSeconds);
            so.http.requestTimeout = std::chrono::seconds(requestSeconds);
            return serve(so);
        }
        if (*initCmd) return initDb(dbUrl, demo, seed);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "pla-appserver: %s\n", e.what());
        return 1;
    }
    return 0;
}
