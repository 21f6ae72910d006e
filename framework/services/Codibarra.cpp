#include "services/Codibarra.h"

#include "core/Exception.h"
#include "core/ScopeGuard.h"
#include "core/Text.h"
#include "ui/Application.h"
#include "ui/DBGrid.h"
#include "ui/Form.h"
#include "ui/StdCtrls.h"

namespace Codibarra {

namespace {

struct TfrmCodigoBarra : TForm {
    TEdit* edtCodigo;
    TButton *btnOk, *btnCancelar;
    TfrmCodigoBarra() {
        SetCaption("Código de Barras");
        SetBorderIcons({true, false, false, false});
        auto* lbl = TComponent::Create<TLabel>(this, "lblCodigo");
        lbl->SetParent(this);
        lbl->SetCaption("Código");
        edtCodigo = TComponent::Create<TEdit>(this, "edtCodigo");
        edtCodigo->SetParent(this);
        btnOk = TComponent::Create<TButton>(this, "btnOk");
        btnOk->SetParent(this);
        btnOk->SetCaption("OK");
        btnOk->ModalResult = mrOk;
        btnOk->Default = true;
        btnCancelar = TComponent::Create<TButton>(this, "btnCancelar");
        btnCancelar->SetParent(this);
        btnCancelar->SetCaption("Cancelar");
        btnCancelar->ModalResult = mrCancel;
        btnCancelar->Cancel = true;
    }
};

}  // namespace

bool CodigoBarra(TDBGrid* grid, const std::string& fieldName) { return CodigoBarra(grid, fieldName, {}); }

bool CodigoBarra(TDBGrid* grid, const std::string& fieldName, const TTraducaoCodigo& traduz) {
    if (!grid || !grid->DataSet()) throw Exception("A leitura de código de barras precisa de uma grade com dados.");
    TDataSet& ds = *grid->DataSet();
    TField& field = ds.FieldByName(fieldName);
    auto* owner = grid->ParentForm() ? static_cast<TComponent*>(grid->ParentForm()) : &Application();
    auto* frm = Application().CreateFormOwned<TfrmCodigoBarra>(owner, "frmCodigoBarra");
    int result = mrCancel;
    std::string code;
    {
        TScopeExit libera([owner, frm] { owner->DestroyComponent(frm); });
        result = frm->ShowModal();
        code = text::Trim(frm->edtCodigo->Text());
    }
    if (result != mrOk || code.empty()) return false;
    if (traduz) code = traduz(code);
    if (ds.State() == TDataSetState::dsBrowse) ds.Edit();
    field.SetText(code);
    grid->SetSelectedField(fieldName);
    return true;
}

}  // namespace Codibarra
