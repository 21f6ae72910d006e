// Items a confirmation left out of stock (IDEVOLESTOQ "N"): the retry on the
// server (AtualizaEstoque) by its own command, after a confirmation and as an
// offer whenever the user leaves a withdrawal; and the refresh of the current
// page (Verificar).
#include "Cli_pla02000/Retirada.h"

#include "Cli_pla02010/FiltroRetirada.h"
#include "core/Exception.h"
#include "core/ScopeGuard.h"
#include "core/Text.h"
#include "data/ControlsDisabled.h"
#include "services/Consiste.h"
#include "services/Morvena.h"
#include "services/ProgressNote.h"
#include "stocklib/Lib00200.h"
#include "ui/CursorGuard.h"
#include "ui/Pages.h"
#include "ui/WindowUpdateLock.h"

#include <algorithm>
#include <set>

namespace {

bool editando(const TDataSet& ds) {
    return ds.State() == TDataSetState::dsEdit || ds.State() == TDataSetState::dsInsert;
}

std::string campo(const TDataSet& ds, const char* f) {
    return ds.Active() && !ds.IsEmpty() ? ds.FieldByName(f).AsString() : std::string();
}

}  // namespace

void TfrmRetirada::bindStockUpdate() {
    sbtAtuaEstoq->OnClick = mnuAtuaEstoque->OnClick = [this](TObject* s) { sbtAtuaEstoqClick(s); };
    sbtVerificar->OnClick = mnuVerificar->OnClick = [this](TObject* s) { sbtVerificarClick(s); };
}

void TfrmRetirada::carregaLinhaAtual() {
    // The question names the browse row's withdrawal, and the retry posts the
    // loaded one: after a scroll on the list they must be the same.
    if (!cdsRomaRetirada.Active() || cdsRomaRetirada.IsEmpty() || Editando(dtsPadrao)) return;
    if (campo(cdsRomaRetirada, "NRLANCESTQ") == campo(cdsLanctoEst, "NRLANCESTQ") &&
        campo(cdsRomaRetirada, "CDFILIAL") == campo(cdsLanctoEst, "CDFILIAL"))
        return;
    const bool porPrato = RetiPorPrato();
    grbTipoPrat->SetVisible(porPrato);
    dbgTipoPrat->SetVisible(porPrato);
    splPratos->SetVisible(porPrato);
    carregaLancamento();
}

void TfrmRetirada::Atualiza_Produtos_Estoque() {
    RetiradaUnit& u = Pla02000Unit();
    u.boAtualizandoEstoque = true;
    TScopeExit desliga([&u] { u.boAtualizandoEstoque = false; });
    TScopeExit postaItem([this] {
        if (editando(cdsItLanctoEst)) cdsItLanctoEst.Post();
    });

    const TDateTime inicio = dbdRetirada->Date().DateOnly();
    const TDateTime fim = std::max({inicio, Morvena::DataProc(Filial()).DateOnly(), dtEstoque.DateOnly()});
    if (cdsRetorno->Active() && !cdsRetorno->IsEmpty()) cdsRetorno->EmptyDataSet();
    VariantArray partes;
    {
        TProgressNote nota(1, msgPadrao->Msg("Atua_Estoq"));
        VariantArray args{Variant(campo(cdsLanctoEst, "CDFILIAL")),   Variant(campo(cdsLanctoEst, "CDFILIMOVI")),
                          Variant(campo(cdsLanctoEst, "NRLANCESTQ")), Variant(inicio),
                          Variant(fim),                               Variant(ParamEstoque("IDPERMESTNEG")),
                          Variant("0"),                               Variant(campo(cdsLanctoEst, "NRRETIRADA")),
                          Variant(campo(cdsLanctoEst, "NRCARDAPIO"))};
        const Variant r = CallServer(netRetirada, "AtualizaEstoque", args);
        if (r.IsString()) throw Exception(r.AsString());
        if (!r.IsArray() || r.AsArray().size() < 3) throw Exception("AtualizaEstoque: resposta incompleta do servidor.");
        partes = r.AsArray();
        cdsRetorno->SetData(partes[0]);
        cdsItLanctoEst.SetData(partes[1]);
        if (grbTipoPrat->Visible()) FiltraItensPrato();
        GetLocalizacao();
    }
    Repaint();
    const bool porPrato = RetiPorPrato();
    if (porPrato && (!cdsRetiTipoPrat.Active() || cdsRetiTipoPrat.IsEmpty())) cdsRetiTipoPrat.SetData(partes[2]);

    if (cdsRetorno->Active() && !cdsRetorno->IsEmpty()) {
        Consiste::MensErro(msgPadrao->Msg("Atua_Est_Parc"), false);
        Repaint();
        MostraColunaErro();
        dbgTipoPrat->Columns()[dbgTipoPrat->ColumnIndexOf("IDERRO")].Visible = true;
        HabilitaComando(retirada::Comando::VisualizaErros, true);
        if (porPrato) marcaPratos(true);
        return;
    }
    if (porPrato) marcaPratos(false);
    u.boDtEstoq = true;
    if (grbTipoPrat->Visible()) FiltraItensPrato();
    if (!Morvena::ModuFili()) habilitaPainelFilial(true);
    tshFolhaDados->SetEnabled(true);
    mnuFolhaDados->SetEnabled(true);
    tshResumo->SetEnabled(tshFolhaDados->Enabled());
    mnuResumo->SetEnabled(tshResumo->Enabled());
}

void TfrmRetirada::marcaPratos(bool comErros) {
    if (!cdsRetiTipoPrat.Active() || cdsRetiTipoPrat.IsEmpty()) return;
    // The groups that hold an item in error, read over all items whatever the grid shows.
    std::set<std::string> gruposComErro, gruposComItens;
    auto chave = [](TDataSet& ds, auto valor) {
        return text::Trim(valor(ds, "CDTIPOPRAT")) + "|" + text::Trim(valor(ds, "CDPRATO")) + "|" +
               text::Trim(valor(ds, "CDFILAUXPRAT"));
    };
    if (comErros && cdsItLanctoEst.Active()) {
        TClientDataSet& it = cdsItLanctoEst;
        const bool filtrado = it.Filtered();
        it.SetFiltered(false);
        TScopeExit refiltra([&] { it.SetFiltered(filtrado); });
        for (int row = 0, n = it.RowCount(); row < n; ++row) {
            auto valor = [&](TDataSet& ds, const char* f) { return ds.ValueAt(row, ds.FieldByName(f)).AsString(); };
            const std::string k = chave(it, valor);
            gruposComItens.insert(k);
            if (temErroItem(valor(it, "CDPRODUTO"))) gruposComErro.insert(k);
        }
    }
    TClientDataSet& pr = cdsRetiTipoPrat;
    auto depois = pr.AfterScroll;
    pr.AfterScroll = nullptr;
    TScopeExit religa([&] {
        pr.AfterScroll = depois;
        if (depois) depois(pr);
    });
    TControlsDisabled quieto(pr);
    pr.First();
    while (!pr.Eof()) {
        const std::string k = chave(pr, [](TDataSet& ds, const char* f) { return ds.FieldByName(f).AsString(); });
        std::string marca = pr.FieldByName("IDERRO").AsString();
        if (!comErros || (gruposComItens.count(k) && !gruposComErro.count(k))) marca = "N";
        if (gruposComErro.count(k)) marca = "S";
        if (marca != pr.FieldByName("IDERRO").AsString()) {
            pr.Edit();
            pr.FieldByName("IDERRO").SetAsString(marca);
            pr.Post();
        }
        pr.Next();
    }
}

void TfrmRetirada::VerifItens() {
    if (!sbtAtuaEstoq->Enabled() || !cdsLanctoEst.Active() || cdsLanctoEst.IsEmpty()) return;
    carregaLinhaAtual();
    if (!cdsRomaRetirada.Active() || cdsRomaRetirada.IsEmpty()) return;
    bool pendentes = false;
    {
        THourGlass espera;
        TScopeExit repinta([this] { Repaint(); });
        const Variant r = CallServer(netRetirada, "verifitens",
                                     {Variant(medCdFilial->Text()), Variant(campo(cdsRomaRetirada, "NRRETIRADA"))});
        pendentes = Consiste::CheckResultServ(r, true, 0).AsBoolean();
    }
    if (pendentes &&
        msgPadrao->ShowMsg("AtualEstq", TMsgDlgType::mtConfirmation, {TMsgDlgBtn::mbYes, TMsgDlgBtn::mbNo}, 0) == mrYes) {
        ConfirmaLiberacao(dbdRetirada->Date());
        Repaint();
        Atualiza_Produtos_Estoque();
        // The user stays on the withdrawal whose errors are shown.
        if (pgcPadrao->ActivePage() == tshFormulario && sbtVisualizaErros->Enabled()) throw EAbort();
    }
    Repaint();
}

void TfrmRetirada::sbtAtuaEstoqClick(TObject*) {
    carregaLinhaAtual();
    {
        TConnectionUse estoque = UsoConexao(netEstoque);
        TConnectionUse autoriza = UsoConexao(netAutoriza);
        Lib00200::Confirma_Liberacao(netEstoque, netAutoriza, Filial(), dbdRetirada->Date(),
                                     Pla02000Unit().boAltLiberada);
        Lib00200::ValidaInventario(netEstoque, Filial(), Morvena::DataProc(Filial()));
    }
    if (msgPadrao->ShowMsg("Confirma", TMsgDlgType::mtConfirmation, {TMsgDlgBtn::mbYes, TMsgDlgBtn::mbNo}, 0) != mrYes)
        return;
    {
        TWindowUpdateLock pintura(this);
        Atualiza_Produtos_Estoque();
    }
    TTabSheet* pagina = pgcPadrao->ActivePage();
    if (pagina == tshFormulario) {
        if (grbTipoPrat->Visible() && cdsRetiTipoPrat.Active()) cdsRetiTipoPrat.First();
    } else if (pagina == tshResumo) {
        dbgResumo->Columns()[dbgResumo->ColumnIndexOf("QTESTDIACON")].Visible = ParamFilial("IDPERMVISPOSEST") == "S";
        recarregaResumo();
    }
}

void TfrmRetirada::recarregaResumo() {
    if (!cdsRomaRetirada.Active() || cdsRomaRetirada.IsEmpty()) return;
    const Variant r = CallServer(netRetirada, "GetResumoItemReti",
                                 {Variant(campo(cdsRomaRetirada, "CDFILIMOVI")), Variant(campo(cdsRomaRetirada, "NRRETIRADA")),
                                  Variant(cdsRomaRetirada.FieldByName("DTLANCESTQ").AsDateTime())});
    cdsResumo.SetData(Consiste::CheckResultServ(r, true, 0));
}

void TfrmRetirada::sbtVerificarClick(TObject*) {
    TTabSheet* pagina = pgcPadrao->ActivePage();
    if (pagina == tshFormulario) {
        {
            TProgressNote nota(6, msgPadrao->Msg("Get_Data"));
            const Variant r = CallServer(netRetirada, "GetItLanctoEst",
                                         {Variant(campo(cdsRomaRetirada, "CDFILIMOVI")),
                                          Variant(campo(cdsRomaRetirada, "NRRETIRADA"))});
            cdsItLanctoEst.SetData(Consiste::CheckResultServ(r, true, 0));
            if (grbTipoPrat->Visible()) FiltraItensPrato();
            CalculaCustoTotal();
            GetLocalizacao();
        }
        medCdServico->SetText(campo(cdsLanctoEst, "CDSERVFILI"));
        edtNmServico->SetText(campo(cdsLanctoEst, "NMSERVICO"));
    } else if (pagina == tshResumo) {
        recarregaResumo();
    } else if (TfrmFiltroRetirada* filtro = Pla02010Unit().frmFiltroRetirada) {
        // The filter's confirmation again, with the criteria it holds.
        filtro->sbtConfirmaClick(filtro);
    }
}
