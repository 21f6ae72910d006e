#include "Cli_pla02010/FiltroRetirada.h"

#include "Cli_pla02010/model/FiltroRetiradaCatalog.h"
#include "Cli_pla02010/model/FiltroRetiradaModel.h"
#include "core/Exception.h"
#include "core/ScopeGuard.h"
#include "data/BuildDataSet.h"
#include "db/BuildQuery.h"
#include "services/Consiste.h"
#include "services/Morvena.h"
#include "services/ProgressNote.h"
#include "ui/Application.h"
#include "ui/CursorGuard.h"

namespace {

// Focus back to a field in error, unless it already has it (an exit handler
// that fails keeps the focus there by itself).
void volta(TWinControl* c) {
    if (!c->Focused() && c->CanFocus()) c->SetFocus();
}

}  // namespace

TfrmFiltroRetirada::TfrmFiltroRetirada() : qryServico("qryServico"), qryVDServico("qryVDServico") {
    SetCaption("Filtro de Retirada (Planejamento)");
    msgPadrao = TComponent::Create<TMessages>(this, "msgPadrao");
    msgPadrao->LoadFromText(model::MsgPadraoFiltroRetiradaResource());

    model::BuildQuery(qryServico, *model::FindQuery(model::FiltroRetiradaQueries(), "qryServico"));
    model::BuildQuery(qryVDServico, *model::FindQuery(model::FiltroRetiradaQueries(), "qryVDServico"));
    qryServico.BeforeOpen = [this](TDataSet& ds) { qryServicoBeforeOpen(ds); };
    qryVDServico.BeforeOpen = [this](TDataSet& ds) { qryServicoBeforeOpen(ds); };
    dtsServico.SetDataSet(&qryServico);
    cdsMaxData.Name = "cdsMaxData";
    model::BuildDataSet(cdsMaxData, *model::FindDataSet(model::FiltroRetiradaDataSets(), "cdsMaxData"));

    buildControls();
    OnCreate = [this](TObject* s) { FormCreate(s); };
    OnActivate = [this](TObject* s) { FormActivate(s); };
    OnClose = [this](TObject* s, TCloseAction& a) { FormClose(s, a); };
}

TfrmFiltroRetirada::~TfrmFiltroRetirada() {
    FiltroRetiradaUnit& u = Pla02010Unit();
    if (u.frmFiltroRetirada == this) u.frmFiltroRetirada = nullptr;
}

void TfrmFiltroRetirada::buildControls() {
    TPanel* panFiltro = CreateControl<TPanel>(this, "panFiltro", this);
    panFiltro->SetAlign(TAlign::alClient);

    grbRetirada = CreateControl<TGroupBox>(this, "grbRetirada", panFiltro, " Data Retirada ");
    lblRetiradaIni = CreateControl<TLabel>(this, "lblRetiradaIni", grbRetirada, "Inicial");
    depRetiradaIni = CreateControl<TDateEdit>(this, "depRetiradaIni", grbRetirada);
    lblRetiradaFin = CreateControl<TLabel>(this, "lblRetiradaFin", grbRetirada, "Final");
    depRetiradaFin = CreateControl<TDateEdit>(this, "depRetiradaFin", grbRetirada);

    grbCardapio = CreateControl<TGroupBox>(this, "grbCardapio", panFiltro, " Data Cardápio ");
    lblCardapioIni = CreateControl<TLabel>(this, "lblCardapioIni", grbCardapio, "Inicial");
    depCardapioIni = CreateControl<TDateEdit>(this, "depCardapioIni", grbCardapio);
    lblCardapioFin = CreateControl<TLabel>(this, "lblCardapioFin", grbCardapio, "Final");
    depCardapioFin = CreateControl<TDateEdit>(this, "depCardapioFin", grbCardapio);

    grbServico = CreateControl<TGroupBox>(this, "grbServico", panFiltro, " Serviço ");
    medCdServico = CreateControl<TMaskEdit>(this, "medCdServico", grbServico);
    medCdServico->SetEditMask("ccccc;0; ");
    medCdServico->SetMaxLength(5);
    btpServico = CreateControl<TBtnPesquisa>(this, "btpServico", grbServico);
    btpServico->ListSource = &dtsServico;
    btpServico->Title = "Serviço";
    btpServico->EmptyListText = "Não há serviço cadastrado.";
    edtNmServico = CreateControl<TEdit>(this, "edtNmServico", grbServico);
    edtNmServico->SetEnabled(false);

    sbtDesfazer = CreateControl<TSpeedButton>(this, "sbtDesfazer", panBotoes);
    sbtDesfazer->SetHint("Desfazer");

    for (TDateEdit* d : {depRetiradaIni, depRetiradaFin, depCardapioIni, depCardapioFin}) {
        d->ShowWeekdayNames = true;
        d->OnExit = [this](TObject* s) { depDataExit(s); };
    }
    medCdServico->OnChange = [this](TObject* s) { medCdServicoChange(s); };
    medCdServico->OnExit = [this](TObject* s) { medCdServicoExit(s); };
    btpServico->OnBeforePesq = [this](TObject* s, bool& may) { btpServicoBeforePesq(s, may); };
    btpServico->OnAfterPesq = [this](TObject* s) { btpServicoAfterPesq(s); };
    sbtDesfazer->OnClick = [this](TObject* s) { sbtDesfazerClick(s); };
}

IFiltroRetiradaTela& TfrmFiltroRetirada::tela() const {
    IFiltroRetiradaTela* t = Pla02010Unit().tela;
    if (!t) throw Exception("A tela de retirada não está aberta.");
    return *t;
}

std::string TfrmFiltroRetirada::filial() const {
    IFiltroRetiradaTela* t = Pla02010Unit().tela;
    return t ? t->Filial() : Morvena::FiliProc();
}

// ---- Lifecycle --------------------------------------------------------------------------------

void TfrmFiltroRetirada::FormCreate(TObject*) {
    Pla02010Unit().boConfirma = false;
    const TDateTime hoje = Morvena::DataProc(filial()).DateOnly();
    for (TDateEdit* d : {depRetiradaIni, depRetiradaFin, depCardapioIni, depCardapioFin}) d->SetDate(hoje);
    filtroRetirada = TRecordFilter{"", "", hoje, hoje, hoje, hoje};
}

void TfrmFiltroRetirada::FormActivate(TObject*) {
    Application().RequestRepaint(this);
    if (Pla02010Unit().boGetData) return;
    if (Visible() && medCdServico->CanFocus()) medCdServico->SetFocus();
    medCdServico->SetText(filtroRetirada.CdServico);
    edtNmServico->SetText(filtroRetirada.NmServico);
    depRetiradaIni->SetDate(filtroRetirada.DtRetiradaIni);
    depRetiradaFin->SetDate(filtroRetirada.DtRetiradaFin);
    depCardapioIni->SetDate(filtroRetirada.DtCardapioIni);
    depCardapioFin->SetDate(filtroRetirada.DtCardapioFin);
}

void TfrmFiltroRetirada::FormClose(TObject*, TCloseAction& Action) { Action = TCloseAction::caHide; }

// ---- Service ----------------------------------------------------------------------------------

void TfrmFiltroRetirada::qryServicoBeforeOpen(TDataSet&) {
    const std::string branch = filial();
    qryServico.ParamByName("P_CDFILIAL").SetValue(Variant(branch));
    qryVDServico.ParamByName("P_CDFILIAL").SetValue(Variant(branch));
}

void TfrmFiltroRetirada::btpServicoBeforePesq(TObject*, bool&) {
    // Read again at every search: the branch may have changed since.
    qryServico.Close();
    qryServico.Open();
}

void TfrmFiltroRetirada::btpServicoAfterPesq(TObject*) {
    medCdServico->SetText(qryServico.FieldByName("CDSERVFILI").AsString());
    edtNmServico->SetText(qryServico.FieldByName("NMSERVICO").AsString());
}

void TfrmFiltroRetirada::medCdServicoChange(TObject*) { edtNmServico->Clear(); }

void TfrmFiltroRetirada::medCdServicoExit(TObject*) { Vd_Servico(true); }

void TfrmFiltroRetirada::depDataExit(TObject* Sender) {
    if (auto* d = dynamic_cast<TDateEdit*>(Sender)) d->CheckValidDate();
}

void TfrmFiltroRetirada::Vd_Servico(bool opcional) {
    TScopeFailure foco([this] { volta(medCdServico); });
    const std::string typed = medCdServico->Text();
    if (Consiste::EmptyString(typed)) {
        if (opcional) return;
        Consiste::MensErro(msgPadrao->Msg("Serv_cad"), true);
    }
    const std::string code = Consiste::Ajusta(typed, 5);
    qryVDServico.Close();
    qryVDServico.ParamByName("P_CDSERVFILI").SetValue(Variant(code));
    qryVDServico.Open();
    if (qryVDServico.IsEmpty()) Consiste::MensErro(msgPadrao->Msg("Serv_cad"), true);
    if (qryVDServico.FieldByName("IDSERVATIV").AsString() == "N")
        Consiste::MensErro(msgPadrao->Msg("Serv_Inativo"), true);
    // The padded code is the one the list is asked for, so the field shows it.
    if (code != typed) medCdServico->SetText(code);
    edtNmServico->SetText(qryVDServico.FieldByName("NMSERVICO").AsString());
}

// ---- Dates ------------------------------------------------------------------------------------

void TfrmFiltroRetirada::Vd_Datas(TDateEdit* first, TDateEdit* last) {
    const std::string word = msgPadrao->Msg(first->Name());
    if (first->IsEmpty()) {
        volta(first);
        Consiste::MensErro(msgPadrao->Msg("DtInicial_Inf", {word}), true);
    }
    if (last->IsEmpty()) {
        volta(last);
        Consiste::MensErro(msgPadrao->Msg("DtFinal_Inf", {word}), true);
    }
    for (TDateEdit* d : {first, last}) {
        TScopeFailure foco([d] { volta(d); });
        d->CheckValidDate();
    }
    if (last->Date().DateOnly() < first->Date().DateOnly()) {
        volta(first);
        Consiste::MensErro(msgPadrao->Msg("DtFinal_inv", {word, word}), true);
    }
}

void TfrmFiltroRetirada::sbtDesfazerClick(TObject*) {
    medCdServico->Clear();
    Atualiza_Datas();
}

void TfrmFiltroRetirada::Atualiza_Datas() {
    IFiltroRetiradaTela& t = tela();
    Variant result;
    {
        // The note goes before any failure box is shown.
        TProgressNote nota(6);
        result = t.ChamaRetirada("getMaxData", {Variant(t.Filial())});
    }
    cdsMaxData.SetData(Consiste::CheckResultServ(result, true, 0));

    const TDateTime proc = Morvena::DataProc(t.Filial()).DateOnly();
    auto sugere = [&](const char* field, TDateEdit* ini, TDateEdit* fin) {
        TField& m = cdsMaxData.FieldByName(field);
        const bool vazio = cdsMaxData.IsEmpty() || m.IsNull();
        const TDateTime ultimo = vazio ? proc : m.AsDateTime().DateOnly();
        fin->SetDate(ultimo > proc ? ultimo : proc);
        ini->SetDate(Consiste::PriDiaMes(ultimo));
    };
    sugere("DTLANCESTQ", depRetiradaIni, depRetiradaFin);
    sugere("DTCARDAPIO", depCardapioIni, depCardapioFin);
}

// ---- Confirmation -----------------------------------------------------------------------------

void TfrmFiltroRetirada::sbtConfirmaClick(TObject* Sender) {
    IFiltroRetiradaTela& t = tela();
    FiltroRetiradaUnit& u = Pla02010Unit();

    Vd_Servico(true);
    Vd_Datas(depRetiradaIni, depRetiradaFin);
    Vd_Datas(depCardapioIni, depCardapioFin);

    const std::string servico = medCdServico->Text();
    const bool todos = Consiste::EmptyString(servico);
    VariantArray args{Variant(t.Filial()),
                      Variant(todos ? std::string() : servico),
                      Variant(todos ? "T" : ""),
                      Variant(depRetiradaIni->Date()),
                      Variant(depRetiradaFin->Date()),
                      Variant(depCardapioIni->Date()),
                      Variant(depCardapioFin->Date())};

    // A failed fetch leaves the screen as it was.
    TFiltroCarregado carga{depRetiradaIni->Date(), depRetiradaFin->Date(), Variant(), Variant()};
    {
        u.boGetData = true;
        TScopeExit buscou([&u] { u.boGetData = false; });
        THourGlass espera;
        Variant r = Consiste::CheckResultServ(t.ChamaRetirada("GetRomaRetirada", args), true, 0);
        const VariantArray& parts = r.AsArray();
        if (parts.size() < 2) throw Exception("Resposta inesperada do servidor em GetRomaRetirada.");
        carga.RomaRetirada = parts[0];
        carga.UtilizaRetiPrat = parts[1];
    }

    filtroRetirada = TRecordFilter{medCdServico->Text(),    edtNmServico->Text(),    depRetiradaIni->Date(),
                                   depRetiradaFin->Date(), depCardapioIni->Date(), depCardapioFin->Date()};
    t.FiltroCarregado(carga);

    // Only a confirmation that got this far is reported as one.
    u.boConfirma = true;
    TfrmRotiGeral::sbtConfirmaClick(Sender);
}

void TfrmFiltroRetirada::LembraFiltro(const std::string& cdServico, const std::string& nmServico) {
    if (!Consiste::EmptyString(medCdServico->Text())) {
        filtroRetirada.CdServico = cdServico;
        filtroRetirada.NmServico = nmServico;
    }
    filtroRetirada.DtRetiradaIni = depRetiradaIni->Date();
    filtroRetirada.DtRetiradaFin = depRetiradaFin->Date();
    filtroRetirada.DtCardapioIni = depCardapioIni->Date();
    filtroRetirada.DtCardapioFin = depCardapioFin->Date();
}

FiltroRetiradaUnit& Pla02010Unit() {
    static FiltroRetiradaUnit unit;
    return unit;
}

bool MostraFiltroRetirada() {
    FiltroRetiradaUnit& u = Pla02010Unit();
    if (!u.tela) throw Exception("A tela de retirada não está aberta.");
    if (!u.frmFiltroRetirada) {
        THourGlass espera;
        u.frmFiltroRetirada = Application().CreateForm<TfrmFiltroRetirada>("frmFiltroRetirada");
    }
    // Each showing reports its own outcome: closing without confirming is
    // never taken for an earlier confirmation.
    u.boConfirma = false;
    u.frmFiltroRetirada->ShowModal();
    return u.boConfirma;
}
