#include "Cli_pla02015/FiltroRetiradaGeral.h"

#include "Cli_pla02015/model/FiltroRetiradaGeralCatalog.h"
#include "Cli_pla02015/model/FiltroRetiradaGeralModel.h"
#include "core/Exception.h"
#include "core/ScopeGuard.h"
#include "core/Text.h"
#include "db/BuildQuery.h"
#include "services/Consiste.h"
#include "services/Morvena.h"
#include "services/Pesquisa.h"
#include "ui/Application.h"
#include "ui/CursorGuard.h"

namespace {

void foca(TWinControl* c) {
    if (!c->Focused() && c->CanFocus()) c->SetFocus();
}

IRetiradaGeralTela& tela() {
    IRetiradaGeralTela* t = Pla02015Unit().tela;
    if (!t) throw Exception("A tela de retirada não está aberta.");
    return *t;
}

}  // namespace

TfrmFiltroRetiradaGeral::TfrmFiltroRetiradaGeral()
    : netFiltroRetirada("netFiltroRetirada"), qryGrupServ("qryGrupServ"), qryServico("qryServico") {
    SetCaption("Filtro Retirada Geral");
    msgPadrao = TComponent::Create<TMessages>(this, "msgPadrao");
    msgPadrao->LoadFromText(model::MsgPadraoFiltroRetiradaGeralResource());
    const model::ConnectionDef* conn = model::FindConnection(model::FiltroRetiradaGeralConnections(), "netFiltroRetirada");
    netFiltroRetirada.ServerName = std::string(conn->serverModule);
    netFiltroRetirada.ThrowException = false;
    netFiltroRetirada.BeforeConnect = [this](TNetConnection& c) { netFiltroRetiradaBeforeConnect(c); };
    model::BuildQuery(qryGrupServ, *model::FindQuery(model::FiltroRetiradaGeralQueries(), "qryGrupServ"));
    model::BuildQuery(qryServico, *model::FindQuery(model::FiltroRetiradaGeralQueries(), "qryServico"));
    dtsGrupServ.SetDataSet(&qryGrupServ);
    dtsServico.SetDataSet(&qryServico);
    buildControls();
    OnCreate = [this](TObject* s) { FormCreate(s); };
    OnClose = [this](TObject* s, TCloseAction& a) { FormClose(s, a); };
}

TfrmFiltroRetiradaGeral::~TfrmFiltroRetiradaGeral() {
    FiltroRetiradaGeralUnit& u = Pla02015Unit();
    if (u.frmFiltroRetiradaGeral == this) u.frmFiltroRetiradaGeral = nullptr;
}

void TfrmFiltroRetiradaGeral::buildControls() {
    panBotao->SetVisible(false);
    btfSaveOpc->SetVisible(false);
    btfLoadOpc->SetVisible(false);

    lblData = CreateControl<TLabel>(this, "lblData", grbFiltro, "Data");
    depData = CreateControl<TDateEdit>(this, "depData", grbFiltro);
    depData->ShowWeekdayNames = true;
    edtDiaSemana = CreateControl<TEdit>(this, "edtDiaSemana", grbFiltro);
    edtDiaSemana->SetEnabled(false);

    grbGrupServ = CreateControl<TGroupBox>(this, "grbGrupServ", grbFiltro, " Grupo de Serviço ");
    rdbGrupServTodos = CreateControl<TRadioButton>(this, "rdbGrupServTodos", grbGrupServ, "Todos");
    rdbGrupServLista = CreateControl<TRadioButton>(this, "rdbGrupServLista", grbGrupServ, "Lista");
    btnGrupServ = CreateControl<TSpeedButton>(this, "btnGrupServ", grbGrupServ);
    btnGrupServ->SetHint("Grupo de Serviço");
    btnGrupServ->SetEnabled(false);

    grbServico = CreateControl<TGroupBox>(this, "grbServico", grbFiltro, " Serviço ");
    rdbServTodos = CreateControl<TRadioButton>(this, "rdbServTodos", grbServico, "Todos");
    rdbServLista = CreateControl<TRadioButton>(this, "rdbServLista", grbServico, "Lista");
    btnServLista = CreateControl<TSpeedButton>(this, "btnServLista", grbServico);
    btnServLista->SetHint("Serviço");
    btnServLista->SetEnabled(false);

    grbTipoConsumo = CreateControl<TGroupBox>(this, "grbTipoConsumo", grbFiltro, " Tipo de Consumo ");
    chbCardapio = CreateControl<TCheckBox>(this, "chbCardapio", grbTipoConsumo, "Cardápio");
    chbConsFixo = CreateControl<TCheckBox>(this, "chbConsFixo", grbTipoConsumo, "Consumo Fixo");
    chbConsPerCap = CreateControl<TCheckBox>(this, "chbConsPerCap", grbTipoConsumo, "Consumo Per Capita");

    // Start values before the handlers, so that none runs for them.
    rdbGrupServTodos->SetChecked(true);
    rdbServTodos->SetChecked(true);
    for (TCheckBox* c : {chbCardapio, chbConsFixo, chbConsPerCap}) c->SetChecked(true);

    depData->OnChange = [this](TObject* s) { depDataDateChange(s); };
    depData->OnExit = [this](TObject* s) { depDataExit(s); };
    rdbGrupServTodos->OnClick = rdbGrupServLista->OnClick = [this](TObject* s) { rdbGrupServClick(s); };
    btnGrupServ->OnClick = [this](TObject* s) { btnGrupServClick(s); };
    grbGrupServ->OnExit = [this](TObject* s) { grbGrupServExit(s); };
    rdbServTodos->OnClick = [this](TObject* s) { rdbServTodosClick(s); };
    rdbServLista->OnClick = [this](TObject* s) { rdbServListaClick(s); };
    btnServLista->OnClick = [this](TObject* s) { btnServListaClick(s); };
}

// ---- Lifecycle --------------------------------------------------------------------------------

void TfrmFiltroRetiradaGeral::FormCreate(TObject*) {
    IRetiradaGeralTela* t = Pla02015Unit().tela;
    depData->SetDate(Morvena::DataProc(t ? t->Filial() : Morvena::FiliProc()).DateOnly());
    netFiltroRetirada.Open();
    depDataDateChange(depData);
}

void TfrmFiltroRetiradaGeral::FormClose(TObject*, TCloseAction& Action) {
    netFiltroRetirada.Close();
    FiltroRetiradaGeralUnit& u = Pla02015Unit();
    if (u.frmFiltroRetiradaGeral == this) {
        u.frmFiltroRetiradaGeral = nullptr;
        u.boIdCriado = false;
    }
    Action = TCloseAction::caFree;
}

void TfrmFiltroRetiradaGeral::netFiltroRetiradaBeforeConnect(TNetConnection& c) {
    c.Host = Morvena::WebURL();
    c.Port = Morvena::WebPort();
}

// ---- Date -------------------------------------------------------------------------------------

void TfrmFiltroRetiradaGeral::depDataDateChange(TObject*) {
    edtDiaSemana->SetText(text::Left(depData->WeekdayNameText(), 3));
}

void TfrmFiltroRetiradaGeral::depDataExit(TObject*) { Vd_Data(); }

void TfrmFiltroRetiradaGeral::Vd_Data() {
    {
        TScopeFailure volta([this] { foca(depData); });
        depData->CheckValidDate();
    }
    if (depData->IsEmpty()) {
        foca(depData);
        Consiste::MensErro(msgPadrao->Msg("Data_Vazia"), true);
    }
}

// ---- Groups -----------------------------------------------------------------------------------

void TfrmFiltroRetiradaGeral::rdbGrupServClick(TObject*) {
    btnGrupServ->SetEnabled(rdbGrupServLista->Checked());
    Pla02015Unit().stListaGrupServ.clear();
    rdbServTodos->SetChecked(true);
}

void TfrmFiltroRetiradaGeral::btnGrupServClick(TObject*) {
    qryGrupServ.Close();
    qryGrupServ.Open();
    Pesqlista::PesquisaLista(&dtsGrupServ, "CDGRUPSERV",
                             msgPadrao->Msg("grup_serv") + "|Não há grupo de serviço cadastrado", false,
                             Pla02015Unit().stListaGrupServ);
    foca(rdbGrupServLista);
}

void TfrmFiltroRetiradaGeral::grbGrupServExit(TObject*) { Vd_GrupServ(); }

void TfrmFiltroRetiradaGeral::Vd_GrupServ() {
    if (rdbGrupServLista->Checked() && Pla02015Unit().stListaGrupServ.empty()) {
        foca(rdbGrupServLista);
        Consiste::MensErro(msgPadrao->Msg("grup_n_inf"), true);
    }
}

// ---- Services ---------------------------------------------------------------------------------

void TfrmFiltroRetiradaGeral::preparaServicos() {
    const bool todos = rdbGrupServTodos->Checked();
    qryServico.Close();
    qryServico.ParamByName("P_CDFILIAL").SetValue(Variant(tela().Filial()));
    qryServico.ParamByName("P_CDGRUPSERV").SetValue(Variant(todos ? std::string() : Pla02015Unit().stListaGrupServ));
    qryServico.ParamByName("P_TCDGRUPSERV").SetValue(Variant(todos ? "T" : ""));
    qryServico.Open();
}

void TfrmFiltroRetiradaGeral::rdbServTodosClick(TObject*) {
    btnServLista->SetEnabled(rdbServLista->Checked());
    stListaServ.clear();
}

void TfrmFiltroRetiradaGeral::rdbServListaClick(TObject* Sender) {
    Vd_GrupServ();
    rdbServTodosClick(Sender);
}

void TfrmFiltroRetiradaGeral::btnServListaClick(TObject*) {
    preparaServicos();
    // The catalog has no text of its own for an empty list: the button's is used.
    const std::string vazio = msgPadrao->Has("Serv_inf") ? msgPadrao->Msg("Serv_inf") : "Não há serviço ";
    Pesqlista::PesquisaLista(&dtsServico, "CDSERVFILI", msgPadrao->Msg("SERV") + "|" + vazio, false, stListaServ);
}

void TfrmFiltroRetiradaGeral::Vd_Servico() {
    preparaServicos();
    if (rdbServLista->Checked() && stListaServ.empty()) {
        foca(rdbServLista);
        Consiste::MensErro(msgPadrao->Msg("serv_n_inf"), true);
    }
}

// ---- Kinds of consumption and confirmation ----------------------------------------------------

void TfrmFiltroRetiradaGeral::CalculaRequisicao() {
    stCalcRequisicao = std::string(chbCardapio->Checked() ? "C" : "X") + (chbConsFixo->Checked() ? "F" : "X") +
                       (chbConsPerCap->Checked() ? "P" : "X");
}

void TfrmFiltroRetiradaGeral::Vd_CalcRequisicao() {
    if (stCalcRequisicao == "XXX") {
        foca(chbCardapio);
        Consiste::MensErro(msgPadrao->Msg("CalcReq_Vazia"), true);
    }
}

void TfrmFiltroRetiradaGeral::sbtConfirmaClick(TObject*) {
    IRetiradaGeralTela& t = tela();
    Vd_Data();
    Vd_Servico();
    CalculaRequisicao();
    Vd_CalcRequisicao();
    if (rdbServTodos->Checked()) {
        preparaServicos();
        TField& code = qryServico.FieldByName("CDSERVFILI");
        for (qryServico.First(); !qryServico.Eof(); qryServico.Next()) stListaServ += code.AsString() + "_";
    }
    // The run takes this dialog's own values and gives back what the server
    // left in the by-reference ones, whatever the run's outcome.
    TEscolhaRetiradaGeral escolha{depData->Date(), stListaServ, stCalcRequisicao};
    TScopeExit devolve([&] {
        stListaServ = escolha.ListaServ;
        stCalcRequisicao = escolha.CalcRequisicao;
    });
    t.RetiradaGeral(escolha);
}

FiltroRetiradaGeralUnit& Pla02015Unit() {
    static FiltroRetiradaGeralUnit unit;
    return unit;
}

extern "C" void CriaFiltroRetiradaGeral() {
    auto& app = Application();
    FiltroRetiradaGeralUnit& u = Pla02015Unit();
    TfrmFiltroRetiradaGeral* dlg = nullptr;
    {
        THourGlass espera;
        // Each call makes one more dialog; the ones still open keep their names.
        std::string nome = "frmFiltroRetiradaGeral";
        for (int n = 1; app.FindComponent(nome); ++n) nome = "frmFiltroRetiradaGeral_" + std::to_string(n);
        dlg = app.CreateForm<TfrmFiltroRetiradaGeral>(nome);
        u.frmFiltroRetiradaGeral = dlg;
        u.boIdCriado = true;
    }
    dlg->Show();
}
