// Reads of the stock ledger at a million movements (PLA_BENCH_TINY: a few
// thousand) on one demo SQLite database in WAL mode, built once for all runs:
// the position of a product with 1,000 days of history beside one with 10
// (goal: at most 1.2x), the product's usual place through the dispatcher
// (goal: under 1 ms) and the withdrawal's summary with the stock of the day of
// its 11 products. Beside them, shown only, what the same answers cost read
// the plain way: summing the product's daily balances, grouping its movements.
#include "AppServer.h"
#include "BenchSupport.h"
#include "store/Database.h"
#include "store/Sequences.h"
#include "store/StockLedger.h"

#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr const char* kBranch = "0001";
constexpr const char* kLong = "100001";   // 1,000 days of history
constexpr const char* kShort = "100003";  // 10 days
constexpr const char* kWithdrawal = "0000000002";  // 11 products, kLong and kShort among them

struct Ledger {
    std::string path;
    std::unique_ptr<appserver::AppServer> app;
    TDateTime today = Date();

    Ledger() {
        path = (std::filesystem::temp_directory_path() / ("pla-ledger-" + std::to_string(getpid()) + ".db")).string();
        auto conn = store::CreateDemoDatabase(path);
        const int64_t total = bench::Tiny() ? 3000 : 1000000;
        // The rest of the withdrawal's products move every day too, a hundredth of the ledger each.
        const std::vector<std::string> others = {"100025", "100050", "100013", "100027", "100049",
                                                 "100033", "100034", "100022", "100026"};
        const std::vector<store::StockPlace> places = {{"000001", "A01", " ", " "}, {"000001", "A02", " ", " "},
                                                       {"000002", "CF1", " ", " "}, {"000002", "CF2", " ", " "}};
        db::Transaction t(*conn);
        int64_t n = conn->Query("SELECT MAX(NRMOVIESTQ) FROM MOVIESTQ WHERE CDFILIAL = :F", {{"F", kBranch}})
                        .rows[0][0]
                        .AsInteger();
        auto write = [&](const std::string& product, int64_t rows, int days) {
            for (int64_t i = 0; i < rows; ++i) {
                const store::StockPlace& pl = places[static_cast<size_t>(i) % places.size()];
                const bool entry = i % 3 == 0;
                conn->Execute("INSERT INTO MOVIESTQ (CDFILIAL, NRMOVIESTQ, CDPRODESTO, CDALMOXARIFE, CDLOCALESTOQ,"
                              " NRLOTEESTQ, NRSUBLOTE, DTMOVIESTQ, IDTIPOMOVI, QTMOVIESTQ, VRCUSTOUNIT)"
                              " VALUES (:F, :N, :P, :A, :L, :LT, :SL, :D, :K, :Q, 2)",
                              {{"F", kBranch}, {"N", static_cast<long long>(++n)}, {"P", product}, {"A", pl.storeroom},
                               {"L", pl.location}, {"LT", pl.lot}, {"SL", pl.sublot},
                               {"D", IncDay(today, -int(i % days))}, {"K", entry ? "E" : "S"}, {"Q", entry ? 3.0 : -1.0}});
            }
        };
        const int64_t each = total / 100;
        for (const auto& p : others) write(p, each, 1000);
        write(kShort, each, 10);
        write(kLong, total - each * static_cast<int64_t>(others.size() + 1), 1000);
        conn->Execute("UPDATE NUMSEQ SET NRULTIMO = :N WHERE CDFILIAL = :F AND CDSEQUENCIA = :S",
                      {{"N", static_cast<long long>(n)}, {"F", kBranch}, {"S", store::kSeqMovimento}});
        t.Commit();
        store::RebuildDailyBalances(*conn);
        appserver::AppServerOptions o;
        o.log = appserver::NullLogSink();
        app = std::make_unique<appserver::AppServer>(std::move(conn), o);
    }
    ~Ledger() {
        app.reset();
        for (const char* suffix : {"", "-wal", "-shm"}) std::filesystem::remove(path + suffix);
    }
    static Ledger& Get() {
        static Ledger l;
        return l;
    }

    void call(benchmark::State& state, const char* method, const VariantArray& args) {
        const appserver::MethodDef* def = app->Methods().Find(method);
        auto lease = app->Pool().Acquire();
        for (auto _ : state) {
            appserver::CallContext ctx;
            ctx.Operator = "DEMO";
            ctx.Conn = &*lease;
            auto out = app->Methods().Invoke(*def, args, ctx);
            if (out.failed) {
                state.SkipWithError(("the call failed: " + out.result.value.AsString()).c_str());
                break;
            }
        }
    }
    template <class F>
    void read(benchmark::State& state, F&& f) {
        auto lease = app->Pool().Acquire();
        for (auto _ : state) benchmark::DoNotOptimize(f(*lease));
    }
};

void BM_PositionOfDay(benchmark::State& state, const char* product) {
    Ledger& l = Ledger::Get();
    l.read(state, [&](db::SqlConnection& c) { return store::PositionOfDay(c, kBranch, product, l.today).quantity; });
}

void BM_DailySums(benchmark::State& state, const char* product) {
    Ledger& l = Ledger::Get();
    l.read(state, [&](db::SqlConnection& c) {
        return c.Query("SELECT SUM(QTMOVIDIA), SUM(VRENTRDIA), SUM(QTENTRDIA) FROM SALDODIA"
                       " WHERE CDFILIAL = :F AND CDPRODESTO = :P AND DTSALDO <= :D",
                       {{"F", kBranch}, {"P", product}, {"D", l.today}})
            .rows.size();
    });
}

void BM_UsualPlace(benchmark::State& state) {
    Ledger::Get().call(state, "Est00000.rdmEstoque.GetProdAlmoxPadrao", {Variant(kBranch), Variant(kLong)});
}

void BM_MovementsByPlace(benchmark::State& state) {
    Ledger::Get().read(state, [](db::SqlConnection& c) {
        return c.Query("SELECT CDALMOXARIFE, CDLOCALESTOQ, SUM(QTMOVIESTQ) FROM MOVIESTQ"
                       " WHERE CDFILIAL = :F AND CDPRODESTO = :P AND CDALMOXARIFE <> ' '"
                       " GROUP BY CDALMOXARIFE, CDLOCALESTOQ ORDER BY 3 DESC, 1, 2",
                       {{"F", kBranch}, {"P", kLong}})
            .rows.size();
    });
}

void BM_Summary(benchmark::State& state) {
    Ledger& l = Ledger::Get();
    l.call(state, "Pla02000.rdmRetirada.GetResumoItemReti", {Variant(kBranch), Variant(kWithdrawal), Variant(l.today)});
}

const bool kRatios[] = {
    bench::AddRatio("position, 1,000 days / 10 days of history", "BM_PositionOfDay/long", "BM_PositionOfDay/short", 1.2),
    bench::AddRatio("daily sums, 1,000 days / 10 days (shown only)", "BM_DailySums/long", "BM_DailySums/short", 0),
    bench::AddRatio("usual place (GetProdAlmoxPadrao)", "BM_UsualPlace", "", 1.0),
    bench::AddRatio("its movements grouped by place (shown only)", "BM_MovementsByPlace", "", 0),
    bench::AddRatio("summary of 11 products (GetResumoItemReti)", "BM_Summary", "", 0),
};

}  // namespace

BENCHMARK_CAPTURE(BM_PositionOfDay, long, kLong)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_PositionOfDay, short, kShort)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_DailySums, long, kLong)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_DailySums, short, kShort)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_UsualPlace)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MovementsByPlace)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Summary)->Unit(benchmark::kMicrosecond);
PLA_BENCH_MAIN()
