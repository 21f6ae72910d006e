// Confirming a new withdrawal of N items (Confirma_Lanc through the
// dispatcher, in its write transaction, with every check it makes) beside a
// bare SQL transaction writing the same rows: the header, the items, one
// ledger movement per item with its daily and running balances, the numbers. Both on
// one demo SQLite database in WAL mode (a file in the temporary folder), in
// one run, so their ratio reads directly: the goal is at most 1.5x.
#include "AppServer.h"
#include "modules/Datasets.h"
#include "store/Database.h"
#include "store/Sequences.h"
#include "store/StockLedger.h"

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr const char* kBranch = "0002";  // no places; negative stock allowed
constexpr const char* kService = "00006";

struct Bench {
    std::string path;
    std::unique_ptr<appserver::AppServer> app;
    std::vector<std::string> products;

    Bench() {
        path = (std::filesystem::temp_directory_path() / ("pla-stockwrite-" + std::to_string(getpid()) + ".db")).string();
        auto conn = store::CreateDemoDatabase(path);
        // Plenty of stock of every active stock product of the branch, so that every confirmation posts.
        auto r = conn->Query(
            "SELECT P.CDPRODUTO FROM PRODUTO P JOIN PRODFILI F ON F.CDFILIAL = :F AND F.CDPRODUTO = P.CDPRODUTO"
            " WHERE P.CDPRODESTO = P.CDPRODUTO AND P.IDCNTRESTOQ = 'S' AND P.CDNVPRODUTO = '3'"
            " AND F.IDPRODATIV <> 'I' ORDER BY P.CDPRODUTO",
            {{"F", kBranch}});
        db::Transaction t(*conn);
        for (const auto& row : r.rows) {
            products.push_back(row[0].AsString());
            store::AddMovement(*conn, {kBranch, products.back(), {}, IncDay(Date(), -30), 'E', 1e8, 1.0, "", ""});
        }
        t.Commit();
        appserver::AppServerOptions o;
        o.log = appserver::NullLogSink();
        app = std::make_unique<appserver::AppServer>(std::move(conn), o);
    }
    ~Bench() {
        app.reset();
        for (const char* suffix : {"", "-wal", "-shm"}) std::filesystem::remove(path + suffix);
    }

    VariantArray confirmArgs(int items) const {
        DataPacket h;
        h.fields = appserver::datasets::LanctoEst();
        PacketRow hr;
        hr.change = RowChange::Inserted;
        hr.values.resize(h.fields.size());
        auto set = [](const DataPacket& p, PacketRow& row, const char* f, Variant v) {
            row.values[static_cast<size_t>(p.FieldIndex(f))] = std::move(v);
        };
        for (const char* f : {"CDFILIAL", "CDFILIMOVI"}) set(h, hr, f, Variant(kBranch));
        for (const char* f : {"NRLANCESTQ", "NRRETIRADA", "NRCARDAPIO"}) set(h, hr, f, Variant("NOVOCODRET"));
        set(h, hr, "CDSERVFILI", Variant(kService));
        set(h, hr, "DTLANCESTQ", Variant(Date()));
        set(h, hr, "DTCARDAPIO", Variant(Date()));
        h.rows.push_back(hr);
        DataPacket d;
        d.fields = appserver::datasets::ItLanctoEst();
        for (int i = 0; i < items; ++i) {
            PacketRow row;
            row.change = RowChange::Inserted;
            row.values.resize(d.fields.size());
            const std::string seq = store::FormatNumber(i + 1, 4);
            for (const char* f : {"CDFILIAL", "CDFILIMOVI"}) set(d, row, f, Variant(kBranch));
            for (const char* f : {"NRLANCESTQ", "NRRETIRADA"}) set(d, row, f, Variant("NOVOCODRET"));
            for (const char* f : {"NRSEQUITEM", "NRSEQUITRETI"}) set(d, row, f, Variant(seq));
            set(d, row, "CDPRODUTO", Variant(products[static_cast<size_t>(i) % products.size()]));
            for (const char* f : {"QTPREVISRETI", "QTTOTLANCTO", "QTRETIRADA", "QTLANCTOEST"}) set(d, row, f, Variant(1.0));
            for (const char* f : {"CDALMOXARIFE", "CDLOCALESTOQ", "NRLOTEESTQ", "NRSUBLOTE"}) set(d, row, f, Variant(" "));
            set(d, row, "IDSTATUS", Variant("N"));
            set(d, row, "CDTIPORETI", Variant("01"));
            d.rows.push_back(std::move(row));
        }
        return {Variant(std::move(h)), Variant(std::move(d)), Variant("N"), Variant(kBranch), Variant(kBranch),
                Variant("NOVOCODRET"), Variant("NOVOCODRET"), Variant("NOVOCODRET"), Variant("N"), Variant("S"),
                Variant(Date()), Variant(Date()), Variant("0"), Variant(kService), Variant(Date())};
    }
};

void BM_ConfirmaLanc(benchmark::State& state) {
    Bench b;
    const appserver::MethodDef* def = b.app->Methods().Find("Pla02000.rdmRetirada.Confirma_Lanc");
    const VariantArray args = b.confirmArgs(static_cast<int>(state.range(0)));
    auto lease = b.app->Pool().Acquire();
    for (auto _ : state) {
        appserver::CallContext ctx;
        ctx.Operator = "DEMO";
        ctx.Conn = &*lease;
        auto out = b.app->Methods().Invoke(*def, args, ctx);
        if (out.failed || out.result.value.AsPacket().rows.size() != 3) {
            state.SkipWithError("the confirmation did not succeed");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// The same rows written by hand in one transaction, with no check at all.
void BM_BareTransaction(benchmark::State& state) {
    Bench b;
    auto lease = b.app->Pool().Acquire();
    db::SqlConnection& c = *lease;
    // The day's balance starts from the place's last running balance; later days and the place's whole balance move too.
    const std::string balance =
        "INSERT INTO SALDODIA (CDFILIAL, CDPRODESTO, DTSALDO, CDALMOXARIFE, CDLOCALESTOQ, NRLOTEESTQ, NRSUBLOTE,"
        " QTMOVIDIA, QTENTRDIA, VRENTRDIA, QTSALDOACUM, QTENTRACUM, VRENTRACUM)"
        " VALUES (:F, :P, :D, ' ', ' ', ' ', ' ', -1, 0, 0, -1 + COALESCE((SELECT X.QTSALDOACUM FROM SALDODIA X"
        " WHERE X.CDFILIAL = :F AND X.CDPRODESTO = :P AND X.CDALMOXARIFE = ' ' AND X.CDLOCALESTOQ = ' '"
        " AND X.NRLOTEESTQ = ' ' AND X.NRSUBLOTE = ' ' AND X.DTSALDO < :D ORDER BY X.DTSALDO DESC LIMIT 1), 0), 0, 0)"
        " ON CONFLICT (CDFILIAL, CDPRODESTO, DTSALDO, CDALMOXARIFE, CDLOCALESTOQ, NRLOTEESTQ, NRSUBLOTE)"
        " DO UPDATE SET QTMOVIDIA = SALDODIA.QTMOVIDIA - 1, QTSALDOACUM = SALDODIA.QTSALDOACUM - 1";
    const std::string later =
        "UPDATE SALDODIA SET QTSALDOACUM = QTSALDOACUM - 1 WHERE CDFILIAL = :F AND CDPRODESTO = :P"
        " AND CDALMOXARIFE = ' ' AND CDLOCALESTOQ = ' ' AND NRLOTEESTQ = ' ' AND NRSUBLOTE = ' ' AND DTSALDO > :D";
    const std::string whole =
        "INSERT INTO SALDOLOCAL (CDFILIAL, CDPRODESTO, CDALMOXARIFE, CDLOCALESTOQ, NRLOTEESTQ, NRSUBLOTE, QTSALDO)"
        " VALUES (:F, :P, ' ', ' ', ' ', ' ', -1) ON CONFLICT (CDFILIAL, CDPRODESTO, CDALMOXARIFE, CDLOCALESTOQ,"
        " NRLOTEESTQ, NRSUBLOTE) DO UPDATE SET QTSALDO = SALDOLOCAL.QTSALDO - 1";
    const TDateTime today = Date();
    for (auto _ : state) {
        db::Transaction t(c);
        const std::string posting = store::NextCode(c, kBranch, store::kSeqLanctoEst);
        const std::string withdrawal = store::NextCode(c, kBranch, store::kSeqRetirada);
        c.Execute("INSERT INTO LANCTOEST (CDFILIAL, NRLANCESTQ, CDFILIMOVI, IDTPLANCTO, DTLANCESTQ, NRRETIRADA,"
                  " DTRETIRADA, NRREQUEXTRRE, CDSERVFILI, DTCARDAPIO, CDOPERADOR, CDFILANCESTQ, NRSEQUITRETI, IDRETIPRAT)"
                  " VALUES (:F, :L, :F, 'R', :D, :R, :D, '0000000000', :S, :D, 'DEMO', :F, '0000', 'N')",
                  {{"F", kBranch}, {"L", posting}, {"D", today}, {"R", withdrawal}, {"S", kService}});
        for (int64_t i = 0; i < state.range(0); ++i) {
            const std::string seq = store::FormatNumber(i + 1, 4);
            const std::string& product = b.products[static_cast<size_t>(i) % b.products.size()];
            c.Execute("INSERT INTO ITLANCTOEST (CDFILIAL, NRLANCESTQ, NRSEQUITEM, CDPRODUTO, CDPRODMOVI, CDTIPORETI,"
                      " QTPREVISRETI, QTTOTLANCTO, QTRETIRADA, QTLANCTOEST, DTLANCMOVI, NRRETIRADA, NRSEQUITRETI,"
                      " CDFILIMOVI, IDEVOLESTOQ, CDALMOXARIFE, CDLOCALESTOQ, NRLOTEESTQ, NRSUBLOTE, IDSTATUS)"
                      " VALUES (:F, :L, :I, :P, :P, '01', 1, 1, 1, 1, :D, :R, :I, :F, 'S', ' ', ' ', ' ', ' ', 'N')",
                      {{"F", kBranch}, {"L", posting}, {"I", seq}, {"P", product}, {"D", today}, {"R", withdrawal}});
            const int64_t n = store::NextNumber(c, kBranch, store::kSeqMovimento);
            c.Execute("INSERT INTO MOVIESTQ (CDFILIAL, NRMOVIESTQ, CDPRODESTO, CDALMOXARIFE, CDLOCALESTOQ, NRLOTEESTQ,"
                      " NRSUBLOTE, DTMOVIESTQ, IDTIPOMOVI, QTMOVIESTQ, VRCUSTOUNIT, NRLANCESTQ, NRSEQUITEM)"
                      " VALUES (:F, :N, :P, ' ', ' ', ' ', ' ', :D, 'S', -1, 1, :L, :I)",
                      {{"F", kBranch}, {"N", static_cast<long long>(n)}, {"P", product}, {"D", today}, {"L", posting},
                       {"I", seq}});
            const db::SqlParams balanceKey = {{"F", kBranch}, {"P", product}, {"D", today}};
            c.Execute(balance, balanceKey);
            c.Execute(later, balanceKey);
            c.Execute(whole, balanceKey);
        }
        t.Commit();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

}  // namespace

BENCHMARK(BM_BareTransaction)->Arg(500)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConfirmaLanc)->Arg(500)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
