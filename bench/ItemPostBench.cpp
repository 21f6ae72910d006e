// Posting one item of a withdrawal of N items on the screen, in process
// against the embedded server (0001: places, stock checked on line), next to
// the remote calls that post makes on their own. A post should cost little
// beyond its calls, and the same for 100 items as for 2,000.
#include "AppServer.h"
#include "BenchSupport.h"
#include "Cli_pla02000/Retirada.h"
#include "db/LocalConnection.h"
#include "db/SqliteConnection.h"
#include "net/NetConnection.h"
#include "services/Consiste.h"
#include "services/Morvena.h"
#include "ui/Application.h"
#include "ui/ScriptedDialogs.h"


#include <filesystem>
#include <unistd.h>

namespace {

struct Screen {
    appserver::EmbeddedServer embedded;
    std::shared_ptr<db::SqliteConnection> local;
    std::string host;
    TfrmRetirada* form = nullptr;

    // A fresh demo whose withdrawal 0000000003 of 0001 holds `items` more items
    // of products of their own, then the screen open on it.
    explicit Screen(int items) {
        auto dir = std::filesystem::temp_directory_path() / ("pla-bench-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
        const std::string path = (dir / ("items-" + std::to_string(items) + ".db")).string();
        std::filesystem::remove(path);
        appserver::EmbeddedOptions o;
        o.dbPath = path;
        o.http = false;
        o.inProcessName = "bench-" + std::to_string(items);
        o.log = appserver::NullLogSink();
        embedded = appserver::StartEmbedded(o);
        host = embedded.host;
        embedded.server->WithDatabase([&](db::SqlConnection& c) {
            db::Transaction t(c);
            for (int i = 0; i < items; ++i) {
                const std::string p = "B" + std::to_string(100000 + i), seq = std::to_string(1000 + i);
                c.Execute("INSERT INTO PRODUTO (CDPRODUTO, CDARVPROD, NMPRODUTO, CDNVPRODUTO, SGUNIDADE, CDPRODESTO,"
                          " VRFATOCONV, IDCNTRESTOQ) VALUES (:P, :A, 'PRODUTO DE CARGA', '3', 'KG', :P, 1, 'S')",
                          {{"P", p}, {"A", "99" + std::to_string(10000 + i)}});
                c.Execute("INSERT INTO ITLANCTOEST (CDFILIAL, NRLANCESTQ, NRSEQUITEM, CDPRODUTO, CDPRODMOVI, CDTIPORETI,"
                          " QTPREVISRETI, QTEXTRARETI, QTDEVOLVRETI, QTTOTLANCTO, QTRETIRADA, QTLANCTOEST, VRUNILANCTO,"
                          " VRTOTLANCTO, NRRETIRADA, NRSEQUITRETI, CDFILIMOVI, IDEVOLESTOQ, CDALMOXARIFE, CDLOCALESTOQ,"
                          " NRLOTEESTQ, NRSUBLOTE, IDSTATUS) VALUES ('0001', '0000000003', :S, :P, :P, '01', 1, 0, 0,"
                          " 1, 1, 1, 2, 2, '0000000003', :S, '0001', 'N', '000001', 'A01', ' ', ' ', 'N')",
                          {{"S", seq}, {"P", p}});
            }
            t.Commit();
            return 0;
        });
        local = std::make_shared<db::SqliteConnection>(path);
        db::SetLocalConnection(local);
        Application().Reset();
        Application().SetDialogs(std::make_unique<ScriptedDialogs>());
        Application().SetScreenSize(1024, 768);
        Application().CreateForm<TForm>("frmPrincipal")->Show();
        Morvena::ResetContext();
        Morvena::UserContext& ctx = Morvena::Context();
        ctx.FiliProc = "0001";
        ctx.Operador = "DEMO";
        ctx.WebURL = host;
        for (const auto& row : local->Query("SELECT CDFILIAL, NMFILIAL FROM FILIAL").rows)
            ctx.Filiais[row[0].AsString()] = row[1].AsString();
        TNetConnection s("session", "Session");
        s.Host = host;
        s.SignOn("DEMO", "demo");
        CriaRetirada();
        form = frmRetirada();
        form->AbreFiltroRetirada = [f = form] {
            const TDateTime today = Date();
            VariantArray args{Variant("0001"), Variant(""),   Variant("T"), Variant(today), Variant(today),
                              Variant(IncDay(today, -60)), Variant(IncDay(today, 60))};
            Variant r = Consiste::CheckResultServ(f->ChamaRetirada("GetRomaRetirada", args), true, 0);
            f->FiltroCarregado(TFiltroCarregado{today, today, r.AsArray()[0], r.AsArray()[1]});
            return true;
        };
        form->medCdFilial->UserSetFocus();
        form->medCdFilial->UserKeyDown(VK_TAB);
        form->mnuFormulario->UserClick();
        form->dbgItens->SetFocus();
        // The item posted: EXTRATO DE TOMATE, stock 10.
        TClientDataSet& it = form->cdsItLanctoEst;
        it.Last();
        it.Insert();
        it.FieldByName("CDARVPROD").SetAsString("0107002");
        it.FieldByName("QTTOTLANCTO").SetAsFloat(1);
        it.Post();
    }
    ~Screen() {
        Application().Reset();
        ResetPla02000Unit();
        db::SetLocalConnection(nullptr);
        local.reset();
        embedded.server.reset();
    }
};

// One post of the item (its consumed quantity changed), all checks and calls included.
void BM_PostItem(benchmark::State& state) {
    Screen s(static_cast<int>(state.range(0)));
    TClientDataSet& it = s.form->cdsItLanctoEst;
    if (!it.Locate("CDARVPROD", Variant("0107002"))) {
        state.SkipWithError("item not posted");
        return;
    }
    double q = 1;
    for (auto _ : state) {
        it.Edit();
        it.FieldByName("QTEXTRARETI").SetAsFloat(q = q == 1 ? 2 : 1);
        it.Post();
    }
    state.counters["items"] = static_cast<double>(it.RecordCount());
}
BENCHMARK(BM_PostItem)->Arg(bench::Size(100))->Arg(bench::Size(2000))->Unit(benchmark::kMicrosecond);

// The remote calls one edit and post of the item make, alone, with the same arguments.
void BM_PostCallsOnly(benchmark::State& state) {
    Screen s(static_cast<int>(state.range(0)));
    TfrmRetirada& f = *s.form;
    TClientDataSet& it = f.cdsItLanctoEst;
    it.Locate("CDARVPROD", Variant("0107002"));
    const std::string nr = f.cdsLanctoEst.FieldByName("NRLANCESTQ").AsString();
    const std::string seq = it.FieldByName("NRSEQUITEM").AsString();
    const double day = IncDay(f.cdsLanctoEst.FieldByName("DTLANCESTQ").AsDateTime(), 1).Val;
    for (auto _ : state) {
        f.CallServer(f.netEstoque, "ValidaInventario", {Variant("0001"), Variant(Date())});
        f.CallServer(f.netRetirada, "GetValidProd",
                     {Variant("0001"), Variant("000001"), Variant("A01"), Variant(" "), Variant(" "), Variant("0001"),
                      Variant(nr), Variant(seq), Variant("300002"), Variant("300002"), Variant(day), Variant(2.0)});
        f.CallServer(f.netEstoque, "Arredond_Parametrizado", {Variant("0001"), Variant("300002"), Variant(2.0)});
        f.CallServer(f.netRetirada, "GetEstoqMin", {Variant("0001"), Variant("300002")});
        f.CallServer(f.netEstoque, "Consulta_PosEstDia",
                     {Variant("0001"), Variant("300002"), Variant("000001"), Variant("A01"), Variant(" "), Variant(" "),
                      Variant(Date()), Variant(1), Variant(-1)});
        f.CallServer(f.netRetirada, "GetCtrlEstoque", {Variant("0001"), Variant("300002")});
    }
}
BENCHMARK(BM_PostCallsOnly)->Arg(bench::Size(100))->Arg(bench::Size(2000))->Unit(benchmark::kMicrosecond);

const bool kRatios[] = {
    bench::AddRatio("post one item, 2,000 / 100 items", bench::Name("BM_PostItem", bench::Size(2000)),
                    bench::Name("BM_PostItem", bench::Size(100)), 1.5),
    bench::AddRatio("post one item / its calls alone, 2,000 items", bench::Name("BM_PostItem", bench::Size(2000)),
                    bench::Name("BM_PostCallsOnly", bench::Size(2000)), 1.5),
};

}  // namespace

PLA_BENCH_MAIN()
