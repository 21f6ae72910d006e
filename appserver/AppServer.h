#pragma once
// The application server as one object: a database, the remote modules, the
// sessions, the request handling, and on demand an HTTP endpoint and an
// in-process registration. `pla-appserver serve`, the desktop host's
// --embedded mode, pla-script and the tests all start it this way:
//
//   appserver::AppServer server({.dbUrl = "sqlite:/path/demo.db"});
//   int port = server.Listen("127.0.0.1", 0);          // HTTP on a free port
//   std::string host = server.RegisterInProcess();     // "inproc://embedded"
//
// Each request runs on a connection of the server's pool, in a read or a write
// transaction as its method declares (see rpc/CallRunner.h).
#include "db/ConnectionPool.h"
#include "db/SqlConnection.h"
#include "net/Transport.h"
#include "rpc/CallRunner.h"
#include "rpc/Dispatcher.h"
#include "rpc/HttpServer.h"
#include "rpc/RequestLog.h"
#include "rpc/RpcService.h"
#include "rpc/SessionStore.h"
#include "rpc/SignOnThrottle.h"

#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

namespace appserver {

struct AppServerOptions {
    std::string dbUrl;                 // "sqlite:PATH" or "postgresql://..."; ignored when a connection is handed in
    // Pool size. 0: one connection per worker thread of the endpoint
    // (http.threads, 4 by default; `serve --threads`), as calls run on those threads.
    size_t connections = 0;
    LogSink log;                       // default: standard error
    LogFormat logFormat = LogFormat::Logfmt;
    std::chrono::seconds sessionIdleLimit = std::chrono::hours(8);
    Clock clock;                       // session expiry and sign-on delays; default: the system clock
    SignOnPolicy signOn;               // delays after failed sign-ons (per operator and client address)
    HttpServerOptions http;
    // Registers further methods next to the standard modules (tests, site extensions).
    std::function<void(Dispatcher&)> extraModules;
};

class AppServer {
public:
    // Opens the pool's connections to options.dbUrl and migrates the
    // database. Throws Exception (db::SqlError) when it cannot be opened.
    explicit AppServer(AppServerOptions options);
    // Serves an already open (and migrated) database over that one connection.
    AppServer(std::unique_ptr<db::SqlConnection> conn, AppServerOptions options);
    ~AppServer();  // stops HTTP and withdraws the in-process registration
    AppServer(const AppServer&) = delete;
    AppServer& operator=(const AppServer&) = delete;

    // Starts HTTP on a background thread; port 0 picks a free port. Returns
    // the port. Throws Exception when the address cannot be bound.
    int Listen(const std::string& host = "127.0.0.1", int port = 0);
    // Serves HTTP on the calling thread until Stop (used by `serve`).
    void Serve(const std::string& host, int port);
    void Stop();

    // Registers the in-process transport under name and returns the host text
    // connections use to reach it ("inproc://NAME").
    std::string RegisterInProcess(const std::string& name = "embedded");
    // The handler behind the in-process transport (same path as HTTP).
    net::RpcHandler Handler() const;

    const RpcService& Service() const { return *service_; }
    const SessionStore& Sessions() const { return *sessions_; }
    const Dispatcher& Methods() const { return *dispatcher_; }
    // Runs fn with a connection of the pool, outside any transaction (tests,
    // maintenance); a server of one connection runs no request meanwhile.
    template <class F>
    auto WithDatabase(F&& fn) {
        db::ConnectionPool::Lease conn = pool_->Acquire();
        return fn(*conn);
    }
    db::ConnectionPool& Pool() { return *pool_; }

private:
    void build(AppServerOptions& options);

    std::unique_ptr<db::ConnectionPool> pool_;
    CallRunner runner_;
    std::unique_ptr<SessionStore> sessions_;
    std::unique_ptr<SignOnThrottle> throttle_;
    std::unique_ptr<Dispatcher> dispatcher_;
    std::shared_ptr<RpcService> service_;  // the in-process handler holds it weakly
    HttpServerOptions httpOptions_;
    std::unique_ptr<HttpServer> http_;
    std::string inProcessName_;
};

// The embedded default of the desktop host and pla-script: a server in this
// process over a demo SQLite database, reachable over HTTP on a free loopback
// port or in process only.
struct EmbeddedOptions {
    // Database file; created with the demo data when it does not exist.
    // ":memory:" gives a fresh private demo database.
    std::string dbPath = ":memory:";
    bool http = true;                         // listen on 127.0.0.1, free port
    std::string inProcessName = "embedded";   // always registered
    LogSink log;                              // default: standard error
};

struct EmbeddedServer {
    std::unique_ptr<AppServer> server;
    std::string host;  // what connections set as Host: "127.0.0.1", or "inproc://NAME" without http
    int port = 0;      // the HTTP port, 0 without http
};

// Throws Exception when the database cannot be opened or created, or the port bound.
EmbeddedServer StartEmbedded(const EmbeddedOptions& options);

}  // namespace appserver
