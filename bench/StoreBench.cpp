// The database layer: a fresh demo database, a stock position, a lookup query.
#include "db/ADOIBQuery.h"
#include "store/Database.h"
#include "store/StockLedger.h"

#include <benchmark/benchmark.h>

namespace {

const TDateTime kToday = EncodeDate(2026, 12, 6);

// What each test pays for its own demo database (the template is built once).
void BM_DemoCopy(benchmark::State& state) {
    store::CreateDemoDatabase(":memory:", 1, kToday);
    for (auto _ : state) benchmark::DoNotOptimize(store::CreateDemoDatabase(":memory:", 1, kToday));
}
BENCHMARK(BM_DemoCopy)->Unit(benchmark::kMillisecond);

// Building the demo data from nothing (passwords hashed once per process).
void BM_DemoBuild(benchmark::State& state) {
    for (auto _ : state) {
        db::SqliteConnection c(":memory:");
        store::InitDatabase(c, true, 1, kToday);
    }
}
BENCHMARK(BM_DemoBuild)->Unit(benchmark::kMillisecond);

// Position of the day over a ledger of N movements of one product.
void BM_PositionOfDay(benchmark::State& state) {
    db::SqliteConnection c(":memory:");
    store::InitDatabase(c, true, 1, kToday);
    {
        db::Transaction t(c);
        for (int64_t i = 0; i < state.range(0); ++i)
            store::AddMovement(c, {"0001", "100001", {"000001", "A01", " ", " "}, IncDay(kToday, -int(i % 300)),
                                   'S', -1.0, 2.0, "", ""});
        t.Commit();
    }
    for (auto _ : state) benchmark::DoNotOptimize(store::PositionOfDay(c, "0001", "100001", kToday).quantity);
}
BENCHMARK(BM_PositionOfDay)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);

// Opening the product list of the item grid.
void BM_ProductQueryOpen(benchmark::State& state) {
    std::shared_ptr<db::SqlConnection> c = store::CreateDemoDatabase(":memory:", 1, kToday);
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
BENCHMARK(BM_ProductQueryOpen)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
