#include "Cli_pla02030/VisualizaErros.h"

#include "Cli_pla02030/model/VisualizaErrosCatalog.h"
#include "ui/Application.h"
#include "ui/CursorGuard.h"

TfrmVisualizaErrosReti::TfrmVisualizaErrosReti() {
    SetCaption("Visualização dos Erros");
    SetBorderIcons({true, false, false, false});
    SetBounds(0, 0, 466, 134);
    Panel1 = TComponent::Create<TPanel>(this, "Panel1");
    Panel1->SetParent(this);
    Panel1->SetAlign(TAlign::alClient);
    lsbErros = TComponent::Create<TListBox>(this, "lsbErros");
    lsbErros->SetParent(Panel1);
    lsbErros->SetAlign(TAlign::alClient);
    msgPadrao = TComponent::Create<TMessages>(this, "msgPadrao");
    msgPadrao->LoadFromText(model::MsgPadraoVisualizaErrosResource());
    OnActivate = [this](TObject* s) { FormActivate(s); };
    OnClose = [this](TObject* s, TCloseAction& a) { FormClose(s, a); };
}

void TfrmVisualizaErrosReti::FormActivate(TObject*) { lsbErros->Clear(); }

void TfrmVisualizaErrosReti::FormClose(TObject*, TCloseAction& Action) {
    VisualizaErrosUnit& u = Pla02030Unit();
    u.boIdCriado = false;
    if (u.frmVisualizaErrosReti == this) u.frmVisualizaErrosReti = nullptr;
    Action = TCloseAction::caFree;
}

VisualizaErrosUnit& Pla02030Unit() {
    static VisualizaErrosUnit unit;
    return unit;
}

extern "C" void CriaVisualizaErros(const char* tipo, const char* codigo) {
    auto& app = Application();
    VisualizaErrosUnit& u = Pla02030Unit();
    THourGlass espera;
    u.stTipoErro = tipo ? tipo : "";
    u.stCdProduto = codigo ? codigo : "";
    if (!u.boIdCriado) {
        u.frmVisualizaErrosReti = app.CreateForm<TfrmVisualizaErrosReti>("frmVisualizaErrosReti");
        u.boIdCriado = true;
    }
    u.frmVisualizaErrosReti->ShowModal();
}
