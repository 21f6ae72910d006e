// The browse list of 1,000 withdrawals as the screen asks for it (open the
// connection, GetRomaRetirada with the filter's arguments, close) over
// loopback HTTP from a server on a demo SQLite database, beside the bare
// SQLite select of the same rows on the same file (statement prepared once,
// every column of every row read). Both count the CPU time of the whole
// process (the call is answered by the server's threads), which on a shared
// machine says more than wall time; the wall time is shown beside it.
#include "AppServer.h"
#include "BenchSupport.h"
#include "core/Packet.h"
#include "db/SqlConnection.h"
#include "db/SqliteConnection.h"
#include "modules/RetiradaQueries.h"
#include "net/NetConnection.h"
#include "store/Database.h"

#include <sqlite3.h>

#include <filesystem>
#include <unistd.h>

namespace {

int Rows() { return static_cast<int>(bench::Size(1000)); }

// A demo database file whose branch 0001 holds Rows() withdrawals, 20 a day,
// in a window of days the demo's own withdrawals do not reach.
struct BrowseData {
    std::string path;
    TDateTime first, last;
    BrowseData() {
        auto dir = std::filesystem::temp_directory_path() / ("pla-bench-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
        path = (dir / "browse.db").string();
        first = IncDay(Date(), -500);
        last = IncDay(first, (Rows() - 1) / 20);
        auto c = store::CreateDemoDatabase(path);
        db::Transaction t(*c);
        for (int i = 0; i < Rows(); ++i) {
            const std::string nr = std::to_string(800000000 + i);
            const TDateTime day = IncDay(first, i / 20);
            c->Execute("INSERT INTO LANCTOEST (CDFILIAL, NRLANCESTQ, CDFILIMOVI, IDTPLANCTO, DTLANCESTQ, DSLANCESTQ,"
                       " NRRETIRADA, NRCARDAPIO, DTRETIRADA, NRREQUEXTRRE, CDSERVFILI, DTCARDAPIO, CDOPERADOR,"
                       " DTMESCARD, CDFILANCESTQ, NRSEQUITRETI, IDRETIPRAT) VALUES ('0001', :L, '0001', 'R', :D,"
                       " 'RETIRADA DE CARGA', :L, NULL, :D, '0000000000', :S, :D, 'DEMO', :M, '0001', '0001', 'N')",
                       {{"L", "0" + nr}, {"D", day}, {"S", i % 2 ? "00002" : "00001"}, {"M", FirstDayOfMonth(day)}});
        }
        t.Commit();
    }
    ~BrowseData() { std::filesystem::remove_all(std::filesystem::path(path).parent_path()); }
};

BrowseData& Data() {
    static BrowseData data;
    return data;
}

void BM_BrowseListOverHttp(benchmark::State& state) {
    BrowseData& data = Data();
    appserver::AppServerOptions o;
    o.log = appserver::NullLogSink();
    auto conn = std::make_unique<db::SqliteConnection>(data.path);
    appserver::AppServer app(std::move(conn), o);
    const int port = app.Listen("127.0.0.1", 0);
    TNetConnection c("netRetirada", "Pla02000.rdmRetirada");
    c.Host = "127.0.0.1";
    c.Port = port;
    c.SignOn("DEMO", "demo");
    c.Close();
    size_t rows = 0;
    for (auto _ : state) {
        VariantArray args{Variant("0001"),        Variant(std::string()), Variant("T"),
                          Variant(data.first),     Variant(data.last),     Variant(data.first),
                          Variant(data.last)};
        c.Open();
        Variant r = c.Call("GetRomaRetirada", args);
        c.Close();
        if (!r.IsArray() || r.AsArray().empty() || !r.AsArray()[0].IsPacket()) {
            state.SkipWithError("the call failed");
            break;
        }
        rows = r.AsArray()[0].AsPacket().rows.size();
    }
    if (rows != static_cast<size_t>(Rows())) state.SkipWithError("not the rows expected");
    state.counters["rows"] = static_cast<double>(rows);
}
BENCHMARK(BM_BrowseListOverHttp)->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime();

void BM_BareSelect(benchmark::State& state) {
    BrowseData& data = Data();
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(data.path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        state.SkipWithError("cannot open the database");
        sqlite3_close(db);
        return;
    }
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, appserver::sql::kRomaRetirada, -1, &st, nullptr) != SQLITE_OK) {
        state.SkipWithError(sqlite3_errmsg(db));
        sqlite3_close(db);
        return;
    }
    // The bounds as the server binds them: whole days, the last one inclusive.
    const std::string li = db::SqlDateText(data.first), lf = db::SqlDateText(IncDay(data.last, 1));
    auto bind = [&](const char* name, const std::string& value) {
        sqlite3_bind_text(st, sqlite3_bind_parameter_index(st, name), value.data(), static_cast<int>(value.size()),
                          SQLITE_TRANSIENT);
    };
    size_t rows = 0, bytes = 0;
    for (auto _ : state) {
        bind(":F", "0001");
        bind(":S", "");
        bind(":T", "T");
        bind(":LI", li);
        bind(":LF", lf);
        bind(":CI", li);
        bind(":CF", lf);
        rows = 0;
        const int n = sqlite3_column_count(st);
        while (sqlite3_step(st) == SQLITE_ROW) {
            ++rows;
            for (int i = 0; i < n; ++i) {
                switch (sqlite3_column_type(st, i)) {
                    case SQLITE_INTEGER: bytes += static_cast<size_t>(sqlite3_column_int64(st, i) & 1); break;
                    case SQLITE_FLOAT: bytes += sqlite3_column_double(st, i) > 0; break;
                    case SQLITE_NULL: break;
                    default:
                        benchmark::DoNotOptimize(sqlite3_column_text(st, i));
                        bytes += static_cast<size_t>(sqlite3_column_bytes(st, i));
                }
            }
        }
        sqlite3_reset(st);
    }
    benchmark::DoNotOptimize(bytes);
    sqlite3_finalize(st);
    sqlite3_close(db);
    if (rows != static_cast<size_t>(Rows())) state.SkipWithError("not the rows expected");
    state.counters["rows"] = static_cast<double>(rows);
}
BENCHMARK(BM_BareSelect)->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime();

const bool kRatios[] = {
    bench::AddRatio("browse list of 1,000 over HTTP / bare select", "BM_BrowseListOverHttp", "BM_BareSelect", 3.0),
};

}  // namespace
PLA_BENCH_MAIN()
