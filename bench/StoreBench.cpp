// The database layer on each back end: building the demo data, a stock
// position, a movement written in its own transaction, a lookup query.
// SQLite always; PostgreSQL too when given the URL of a cluster's
// maintenance database (--pg=URL or PLA_BENCH_PG), on which the benchmark
// makes, and drops at the end, databases of its own:
//   StoreBench --pg='postgresql:///postgres?host=/var/run/postgresql'
#include "db/ADOIBQuery.h"
#include "db/ConnectionUrl.h"
#include "db/SqliteConnection.h"
#include "store/Database.h"
#include "store/StockLedger.h"

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

const TDateTime kToday = EncodeDate(2026, 12, 6);

// A fresh, empty database of one back end.
using Opener = std::function<std::unique_ptr<db::SqlConnection>()>;

struct PgDatabases {
    std::string maintenanceUrl;
    std::unique_ptr<db::SqlConnection> admin;
    std::vector<std::string> made;
    int counter = 0;

    std::unique_ptr<db::SqlConnection> Fresh() {
        std::string name = "pla_bench_" + std::to_string(getpid()) + "_" + std::to_string(++counter);
        admin->ExecuteScript("CREATE DATABASE " + name);
        made.push_back(name);
        // The maintenance URL with this database: ".../postgres?host=..." -> ".../NAME?host=...".
        const std::string& u = maintenanceUrl;
        size_t slash = u.find('/', u.find("://") + 3), query = u.find('?', slash);
        return db::OpenConnection(u.substr(0, slash + 1) + name + (query == std::string::npos ? "" : u.substr(query)));
    }
    ~PgDatabases() {
        for (const auto& d : made) admin->ExecuteScript("DROP DATABASE IF EXISTS " + d + " WITH (FORCE)");
    }
};

std::unique_ptr<db::SqlConnection> demo(const Opener& open) {
    auto c = open();
    store::InitDatabase(*c, true, 1, kToday);
    return c;
}

// What each SQLite test pays for its own demo database (the template is built once).
void DemoCopy(benchmark::State& state) {
    store::CreateDemoDatabase(":memory:", 1, kToday);
    for (auto _ : state) benchmark::DoNotOptimize(store::CreateDemoDatabase(":memory:", 1, kToday));
}

// Building the demo data from nothing (passwords hashed once per process).
void DemoBuild(benchmark::State& state, const Opener& open) {
    for (auto _ : state) {
        state.PauseTiming();
        auto c = open();
        state.ResumeTiming();
        store::InitDatabase(*c, true, 1, kToday);
    }
}

// Position of the day over a ledger of N movements of one product.
void PositionOfDay(benchmark::State& state, const Opener& open) {
    auto c = demo(open);
    {
        db::Transaction t(*c);
        for (int64_t i = 0; i < state.range(0); ++i)
            store::AddMovement(*c, {"0001", "100001", {"000001", "A01", " ", " "}, IncDay(kToday, -int(i % 300)),
                                    'S', -1.0, 2.0, "", ""});
        t.Commit();
    }
    for (auto _ : state) benchmark::DoNotOptimize(store::PositionOfDay(*c, "0001", "100001", kToday).quantity);
}

// One movement in a write transaction of its own, as a server call writes it.
void MovementWritten(benchmark::State& state, const Opener& open) {
    auto c = demo(open);
    int i = 0;
    for (auto _ : state) {
        db::Transaction t(*c);
        store::LockLedger(*c, "0001");
        store::AddMovement(*c, {"0001", "100001", {"000001", "A01", " ", " "}, IncDay(kToday, -(i++ % 30)), 'S', -1.0,
                                2.0, "", ""});
        t.Commit();
    }
}

// Opening the product list of the item grid.
void ProductQueryOpen(benchmark::State& state, const Opener& open) {
    std::shared_ptr<db::SqlConnection> c = demo(open);
    TADOIBQuery q("qryProduto");
    q.Connection = c;
    q.SQL = "SELECT CDARVPROD, CDPRODUTO, NMPRODUTO, CDNVPRODUTO, SGUNIDADE, CDPRODESTO, VRFATOCONV FROM PRODUTO"
            " WHERE CDNVPRODUTO = :P_CDNVPRODUTO AND CDPRODUTO = CDPRODESTO ORDER BY CDARVPROD";
    q.ParamByName("P_CDNVPRODUTO").SetAsString("3");
    for (auto _ : state) {
        q.Open();
        benchmark::DoNotOptimize(q.RecordCount());
        q.Close();
    }
}

// bigLedger: the longer ledger of PositionOfDay (its cost grows with the
// days, not the movements; writing 100000 movements one round trip at a time
// takes PostgreSQL minutes).
void registerFor(const std::string& backEnd, const Opener& open, int64_t bigLedger) {
    auto name = [&](const char* what) { return std::string(what) + "/" + backEnd; };
    benchmark::RegisterBenchmark(name("DemoBuild").c_str(), DemoBuild, open)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(name("PositionOfDay").c_str(), PositionOfDay, open)
        ->Arg(1000)
        ->Arg(bigLedger)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark(name("MovementWritten").c_str(), MovementWritten, open)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark(name("ProductQueryOpen").c_str(), ProductQueryOpen, open)
        ->Unit(benchmark::kMicrosecond);
}

}  // namespace

int main(int argc, char** argv) {
    std::string pgUrl = std::getenv("PLA_BENCH_PG") ? std::getenv("PLA_BENCH_PG") : "";
    std::vector<char*> args;
    for (int i = 0; i < argc; ++i) {
        if (std::strncmp(argv[i], "--pg=", 5) == 0) pgUrl = argv[i] + 5;
        else args.push_back(argv[i]);
    }
    int n = static_cast<int>(args.size());
    benchmark::Initialize(&n, args.data());
    if (benchmark::ReportUnrecognizedArguments(n, args.data())) return 1;

    benchmark::RegisterBenchmark("DemoCopy/sqlite", DemoCopy)->Unit(benchmark::kMillisecond);
    registerFor("sqlite", [] { return std::make_unique<db::SqliteConnection>(":memory:"); }, 100000);
    std::unique_ptr<PgDatabases> pg;
    if (!pgUrl.empty()) {
        pg = std::make_unique<PgDatabases>();
        pg->maintenanceUrl = pgUrl;
        pg->admin = db::OpenConnection(pgUrl);  // throws, with the reason, when the cluster is not there
        registerFor("postgres", [p = pg.get()] { return p->Fresh(); }, 10000);
    } else {
        std::fprintf(stderr, "StoreBench: PostgreSQL not measured; give --pg=URL of a cluster's maintenance database"
                             " (or PLA_BENCH_PG)\n");
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
