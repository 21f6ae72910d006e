#include "services/FrmPadrao.h"

#include "services/Pesquisa.h"
#include "ui/Dialogs.h"

namespace {

template <class T>
T* make(TComponent* owner, const char* name, TWinControl* parent, const char* caption = "") {
    T* c = TComponent::Create<T>(owner, name);
    if constexpr (std::is_base_of_v<TControl, T>) {
        if (parent) c->SetParent(parent);
        c->SetCaption(caption);
    }
    return c;
}

TMenuItem* item(TComponent* owner, TMenuItem* parent, const char* name, const char* caption) {
    auto* m = TComponent::Create<TMenuItem>(owner, name);
    m->SetCaption(caption);
    parent->Add(m);
    return m;
}

}  // namespace

TfrmPadrao::TfrmPadrao() {
    SetKeyPreview(true);
    SetFormStyle(TFormStyle::fsMDIChild);
    dtsPadrao.Name = "dtsPadrao";
    panMenu = make<TPanel>(this, "panMenu", this);
    panMenu->SetAlign(TAlign::alTop);
    sbtIncluir = make<TSpeedButton>(this, "sbtIncluir", panMenu, "Incluir");
    sbtAlterar = make<TSpeedButton>(this, "sbtAlterar", panMenu, "Alterar");
    sbtExcluir = make<TSpeedButton>(this, "sbtExcluir", panMenu, "Excluir");
    sbtConfirmar = make<TSpeedButton>(this, "sbtConfirmar", panMenu, "Confirmar");
    sbtCancelar = make<TSpeedButton>(this, "sbtCancelar", panMenu, "Cancelar");
    sbtProcurar = make<TSpeedButton>(this, "sbtProcurar", panMenu, "Procurar");
    sbtImprimir = make<TSpeedButton>(this, "sbtImprimir", panMenu, "Imprimir");
    sbtSair = make<TSpeedButton>(this, "sbtSair", panMenu, "Sair");
    const std::pair<TSpeedButton*, const char*> glyphs[] = {
        {sbtIncluir, "incluir"},     {sbtAlterar, "alterar"},   {sbtExcluir, "excluir"}, {sbtConfirmar, "confirmar"},
        {sbtCancelar, "cancelar"},   {sbtProcurar, "procurar"}, {sbtImprimir, "imprimir"}, {sbtSair, "sair"}};
    for (auto [button, glyph] : glyphs) button->Glyph = glyph;

    mnuPrincipal = TComponent::Create<TMainMenu>(this, "mnuPrincipal");
    SetMenu(mnuPrincipal);
    mnuOperacao = item(this, &mnuPrincipal->Items(), "mnuOperacao", "&Operação");
    mnuFolhaDados = item(this, mnuOperacao, "mnuFolhaDados", "Folha de &Dados");
    mnuFormulario = item(this, mnuOperacao, "mnuFormulario", "&Formulário");
    mnuResumo = item(this, mnuOperacao, "mnuResumo", "R&esumo");
    mnuIncluir = item(this, mnuOperacao, "mnuIncluir", "&Incluir");
    mnuAlterar = item(this, mnuOperacao, "mnuAlterar", "&Alterar");
    mnuExcluir = item(this, mnuOperacao, "mnuExcluir", "E&xcluir");
    mnuConfirmar = item(this, mnuOperacao, "mnuConfirmar", "&Confirmar");
    mnuCancelar = item(this, mnuOperacao, "mnuCancelar", "Ca&ncelar");
    mnuProcurar = item(this, mnuOperacao, "mnuProcurar", "&Procurar");
    mnuImprimir = item(this, mnuOperacao, "mnuImprimir", "Im&primir");
    mnuSair = item(this, mnuOperacao, "mnuSair", "&Sair");

    pgcPadrao = make<TPageControl>(this, "pgcPadrao", this);
    pgcPadrao->SetAlign(TAlign::alClient);
    tshFolhaDados = make<TTabSheet>(this, "tshFolhaDados", pgcPadrao, "Folha de Dados");
    tshFolhaDados->SetPageControl(pgcPadrao);
    tshFormulario = make<TTabSheet>(this, "tshFormulario", pgcPadrao, "Formulário");
    tshFormulario->SetPageControl(pgcPadrao);
    tshResumo = make<TTabSheet>(this, "tshResumo", pgcPadrao, "Resumo");
    tshResumo->SetPageControl(pgcPadrao);

    msgMensagensPadroes = TComponent::Create<TMessages>(this, "msgMensagensPadroes");

    OnCreate = [this](TObject* s) { FormCreate(s); };
    OnShow = [this](TObject* s) { FormShow(s); };
    OnActivate = [this](TObject* s) { FormActivate(s); };
    OnDeactivate = [this](TObject* s) { FormDeactivate(s); };
    OnCloseQuery = [this](TObject* s, bool& c) { FormCloseQuery(s, c); };
    OnClose = [this](TObject* s, TCloseAction& a) { FormClose(s, a); };
    OnDestroy = [this](TObject* s) { FormDestroy(s); };
    OnKeyDown = [this](TObject* s, WORD& k, TShiftState sh) { FormKeyDown(s, k, sh); };
    pgcPadrao->OnChanging = [this](TObject* s, bool& a) { pgcPadraoChanging(s, a); };
    pgcPadrao->OnChange = [this](TObject* s) { pgcPadraoChange(s); };
    mnuFolhaDados->OnClick = [this](TObject* s) { mnuFolhaDadosClick(s); };
    mnuFormulario->OnClick = [this](TObject* s) { mnuFormularioClick(s); };
    mnuResumo->OnClick = [this](TObject* s) { mnuResumoClick(s); };
    sbtIncluir->OnClick = mnuIncluir->OnClick = [this](TObject* s) { sbtIncluirClick(s); };
    sbtAlterar->OnClick = mnuAlterar->OnClick = [this](TObject* s) { sbtAlterarClick(s); };
    sbtExcluir->OnClick = mnuExcluir->OnClick = [this](TObject* s) { sbtExcluirClick(s); };
    sbtConfirmar->OnClick = mnuConfirmar->OnClick = [this](TObject* s) { sbtConfirmarClick(s); };
    sbtCancelar->OnClick = mnuCancelar->OnClick = [this](TObject* s) { sbtCancelarClick(s); };
    sbtProcurar->OnClick = mnuProcurar->OnClick = [this](TObject* s) { sbtProcurarClick(s); };
    sbtImprimir->OnClick = mnuImprimir->OnClick = [this](TObject* s) { sbtImprimirClick(s); };
    sbtSair->OnClick = mnuSair->OnClick = [this](TObject* s) { sbtSairClick(s); };
}

void TfrmPadrao::FormCreate(TObject*) {
    pgcPadrao->SetActivePage(tshFolhaDados);
    mnuFolhaDados->SetChecked(true);
}
void TfrmPadrao::FormShow(TObject*) {}
void TfrmPadrao::FormActivate(TObject*) {}
void TfrmPadrao::FormDeactivate(TObject*) {}
void TfrmPadrao::FormCloseQuery(TObject*, bool& CanClose) { CanClose = true; }
void TfrmPadrao::FormClose(TObject*, TCloseAction& Action) { Action = TCloseAction::caFree; }
void TfrmPadrao::FormDestroy(TObject*) {}
void TfrmPadrao::FormKeyDown(TObject*, WORD&, TShiftState) {}

void TfrmPadrao::pgcPadraoChanging(TObject*, bool& AllowChange) { AllowChange = true; }

void TfrmPadrao::pgcPadraoChange(TObject*) {
    TTabSheet* p = pgcPadrao->ActivePage();
    mnuFolhaDados->SetChecked(p == tshFolhaDados);
    mnuFormulario->SetChecked(p == tshFormulario);
    mnuResumo->SetChecked(p == tshResumo);
}

bool TfrmPadrao::SelectPageAsUser(TTabSheet* page) {
    if (!page || pgcPadrao->ActivePage() == page) return false;
    bool allow = true;
    if (pgcPadrao->OnChanging) pgcPadrao->OnChanging(pgcPadrao, allow);
    if (!allow) return false;
    pgcPadrao->SetActivePage(page);
    if (pgcPadrao->OnChange) pgcPadrao->OnChange(pgcPadrao);
    return true;
}

void TfrmPadrao::mnuFolhaDadosClick(TObject*) { SelectPageAsUser(tshFolhaDados); }
void TfrmPadrao::mnuFormularioClick(TObject*) { SelectPageAsUser(tshFormulario); }
void TfrmPadrao::mnuResumoClick(TObject*) { SelectPageAsUser(tshResumo); }

void TfrmPadrao::sbtIncluirClick(TObject*) {
    if (auto* ds = dtsPadrao.DataSet()) ds->Insert();
}

void TfrmPadrao::sbtAlterarClick(TObject*) {
    if (auto* ds = dtsPadrao.DataSet()) ds->Edit();
}

void TfrmPadrao::sbtExcluirClick(TObject*) {
    auto* ds = dtsPadrao.DataSet();
    if (!ds || ds->IsEmpty()) return;
    if (MessageDlg("Confirma exclusão?", TMsgDlgType::mtConfirmation, {TMsgDlgBtn::mbYes, TMsgDlgBtn::mbNo}) ==
        mrYes)
        ds->Delete();
}

void TfrmPadrao::sbtConfirmarClick(TObject*) {
    auto* ds = dtsPadrao.DataSet();
    if (ds && (ds->State() == TDataSetState::dsEdit || ds->State() == TDataSetState::dsInsert)) ds->Post();
}

void TfrmPadrao::sbtCancelarClick(TObject*) {
    if (auto* ds = dtsPadrao.DataSet()) ds->Cancel();
}

void TfrmPadrao::sbtProcurarClick(TObject*) {
    if (auto* ds = dtsPadrao.DataSet()) Procurar::Procura(ds);
}

void TfrmPadrao::sbtImprimirClick(TObject*) {}

void TfrmPadrao::sbtSairClick(TObject*) { Close(); }
