// pla-loadtest: the stock-integrity load driver (LoadDriver.h).
//   pla-loadtest load  --db URL [--init] [--servers 1] [--clients 16] [--operations 10000] [--seed 1] [--loss 0.1]
//                      [--items 6] [--every-product] [--threads 4] [--check-ms 500]
//   pla-loadtest crash --db URL [--init] [--iterations 200] [--seed 1]
// --init makes the demo database first (a SQLite file is replaced; a
// PostgreSQL database must exist and be empty). Prints the figures; exits 1
// on any violation or unexpected answer.
#include "LoadDriver.h"
#include "db/ConnectionUrl.h"
#include "store/Database.h"

#include <CLI/CLI.hpp>

#include <cstdio>
#include <filesystem>

namespace {

void makeDemo(const std::string& url, uint32_t seed) {
    if (url.rfind("sqlite:", 0) == 0) {
        const std::string path = url.substr(7);
        for (const char* suffix : {"", "-wal", "-shm"}) std::filesystem::remove(path + suffix);
    }
    auto conn = db::OpenConnection(url);
    // Withdrawals and numbers of an earlier run would read as violations of this one.
    if (conn->GetDialect() == db::Dialect::PostgreSQL &&
        conn->Query("SELECT COUNT(*) FROM information_schema.tables WHERE table_schema = current_schema()")
                .rows[0][0]
                .AsInteger() > 0)
        throw Exception("--init needs an empty database, and " + db::RedactPassword(url) +
                        " has tables (dropdb and createdb it first)");
    store::InitDatabase(*conn, true, seed);
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"Stock integrity under load and faults, against real pla-appserver processes"};
    app.require_subcommand(1);
    integrity::LoadOptions load;
    integrity::CrashOptions crash;
    bool init = false;
    std::string program = PLA_APPSERVER, logDir = std::filesystem::temp_directory_path().string();
    uint32_t seed = 1;
    int64_t checkMs = 500;
    for (CLI::App* sub : {app.add_subcommand("load", "Operators confirming, altering, retrying and deleting at once"),
                          app.add_subcommand("crash", "Confirmations and deletions while the server is killed")}) {
        sub->add_option("--db", load.dbUrl, "Database URL (a demo database)")->required();
        sub->add_flag("--init", init, "Make the demo database first");
        sub->add_option("--program", program, "pla-appserver to run");
        sub->add_option("--log-dir", logDir, "Where the servers' logs go");
        sub->add_option("--seed", seed, "Seed of the operators' choices");
    }
    auto* loadCmd = app.get_subcommand("load");
    loadCmd->add_option("--servers", load.servers, "Server processes over the database")->check(CLI::Range(1, 8));
    loadCmd->add_option("--threads", load.threads, "--threads of each server");
    loadCmd->add_option("--clients", load.clients, "Operators at once")->check(CLI::Range(1, 256));
    loadCmd->add_option("--operations", load.operations, "Operations in all");
    loadCmd->add_option("--loss", load.lossRate, "Share of writing calls whose answer is lost")->check(CLI::Range(0.0, 1.0));
    loadCmd->add_option("--items", load.maxItems, "Most typed items of a new withdrawal")->check(CLI::Range(1, 200));
    loadCmd->add_flag("--every-product", load.everyProduct, "Type every stocked product, not a few with little stock");
    loadCmd->add_option("--check-ms", checkMs, "Mean pause between the reader's checks");
    app.get_subcommand("crash")->add_option("--iterations", crash.iterations, "Kills of the server");
    CLI11_PARSE(app, argc, argv);

    try {
        if (init) makeDemo(load.dbUrl, store::demo::kDefaultSeed);
        integrity::Report r;
        if (loadCmd->parsed()) {
            load.program = program;
            load.logDir = logDir;
            load.seed = seed;
            load.checkEvery = std::chrono::milliseconds(checkMs);
            r = integrity::RunLoad(load);
        } else {
            crash.program = program;
            crash.dbUrl = load.dbUrl;
            crash.logDir = logDir;
            crash.seed = seed;
            r = integrity::RunCrash(crash);
        }
        std::fputs(r.Text().c_str(), stdout);
        return r.violations.empty() && r.figures.unexpected.empty() ? 0 : 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "pla-loadtest: %s\n", e.what());
        return 2;
    }
}
