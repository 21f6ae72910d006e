#include "Cli_pla02030/VisualizaErros.h"

#include "Cli_pla02030/model/VisualizaErrosCatalog.h"
#include "core/Text.h"
#include "ui/Application.h"
#include "ui/CursorGuard.h"
#include "ui/PublishedDataSet.h"

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

namespace {

std::string campo(TDataSet& ds, int row, const char* name) {
    TField* f = ds.FindField(name);
    if (!f) return {};
    Variant v = ds.ValueAt(row, *f);
    return v.IsNull() ? std::string() : v.AsString();
}

// "Almoxarifado X" / "Localização Y", empty when the value is null or blank.
std::string parte(const char* rotulo, const std::string& valor) {
    return text::Trim(valor).empty() ? std::string() : std::string(rotulo) + valor;
}

}  // namespace

std::vector<std::string> LinhasDeErro(TDataSet* retorno, const std::string& tipo, const std::string& produto,
                                      const TMessages& catalog) {
    std::vector<std::string> linhas;
    if (!retorno || !retorno->Active()) return linhas;
    // Rows read by position: the screen's marks keep reading the list's cursor.
    const int n = retorno->RowCount();
    if (tipo == "L") {
        for (int i = 0; i < n; ++i) {
            if (campo(*retorno, i, "CDERRO") != "LIB00200_4") continue;
            linhas.push_back(catalog.Msg("Invent_Pend") + " " +
                             parte("Almoxarifado ", campo(*retorno, i, "CDOBJETO2")) + " " +
                             parte("Localização ", campo(*retorno, i, "CDOBJETO3")));
            break;
        }
        return linhas;
    }
    for (int i = 0; i < n; ++i) {
        if (campo(*retorno, i, "CDOBJETO") != produto) continue;
        const std::string erro = campo(*retorno, i, "CDERRO");
        if (erro == "PLA02000_1") linhas.push_back(catalog.Msg("Prod_inativo"));
        else if (erro == "PLA02000_2") linhas.push_back(catalog.Msg("Prod_NEst"));
        else if (erro == "LIB00200_3") linhas.push_back(catalog.Msg("Oper_Bloq"));
    }
    return linhas;
}

TDataSet* RetornoDaRetirada() {
    TComponent* tela = Application().FindComponent("frmRetirada");
    auto* ref = tela ? dynamic_cast<TDataSetRef*>(tela->FindComponent("cdsRetorno")) : nullptr;
    return ref ? ref->DataSet() : nullptr;
}

void TfrmVisualizaErrosReti::FormActivate(TObject*) {
    lsbErros->Clear();
    const VisualizaErrosUnit& u = Pla02030Unit();
    for (const std::string& linha : LinhasDeErro(RetornoDaRetirada(), u.stTipoErro, u.stCdProduto, *msgPadrao))
        lsbErros->AddItem(linha);
}

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
    u.stTipoErro = tipo ? tipo : "";
    u.stCdProduto = codigo ? codigo : "";
    {
        // The wait is the creation's; the list itself is read by the user at the default cursor.
        THourGlass espera;
        if (!u.boIdCriado || !u.frmVisualizaErrosReti) {
            u.frmVisualizaErrosReti = app.CreateForm<TfrmVisualizaErrosReti>("frmVisualizaErrosReti");
            u.boIdCriado = true;
        }
    }
    u.frmVisualizaErrosReti->ShowModal();
}
