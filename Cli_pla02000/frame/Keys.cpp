// Keyboard handling: the application-wide key hook installed while the form
// is active (Enter and arrows move like Tab, the decimal key types the comma),
// F12 and the field-level key handlers.
#include "Cli_pla02000/Retirada.h"

#include "core/Text.h"
#include "services/Consiste.h"
#include "ui/Application.h"

namespace {

bool comboAberto(TWinControl* c) {
    auto* combo = dynamic_cast<TComboBox*>(c);
    return combo && combo->DroppedDown();
}

bool campoReal(TWinControl* c) {
    TField* f = nullptr;
    if (auto* e = dynamic_cast<TDBEdit*>(c))
        f = e->Field();
    else if (auto* d = dynamic_cast<TDBDateEdit*>(c))
        f = d->Field();
    else if (auto* g = dynamic_cast<TDBGrid*>(c))
        f = g->SelectedField();
    return f && f->DataType() == TFieldType::ftFloat;
}

}  // namespace

void TfrmRetirada::OnMessage(TMsg& Msg, bool&) {
    if (Msg.message != WM_KEYDOWN) return;
    TForm* ativa = Application().ActiveForm();
    TWinControl* focado = ativa ? ativa->ActiveControl() : nullptr;
    // The requisition field handles its own keys.
    if (focado == dbeNrRequisicao) return;

    if (ativa == this) {
        if (Msg.Key == VK_RETURN) {
            if (!Msg.Shift.Ctrl && !comboAberto(focado)) Msg.Key = VK_TAB;
        } else if (!dynamic_cast<TDBGrid*>(focado) && !comboAberto(focado)) {
            if (Msg.Key == VK_UP && focado) {
                if (TWinControl* anterior = FindNextControl(focado, false, true, false)) anterior->SetFocus();
            } else if (Msg.Key == VK_DOWN) {
                Msg.Key = VK_TAB;
            }
        }
        if ((Msg.Key == VK_OEM_PERIOD || Msg.Key == VK_DECIMAL) && SystemFormat().DecimalSeparator == ',' &&
            campoReal(focado))
            Msg.Key = VK_OEM_COMMA;
    }

    ControlTabStop(true);

    // A page changed by code while the last key was handled gets its
    // page-change handling now.
    if (pgcPadrao->ActivePage() != paginaNoGancho_ && paginaNoGancho_ && trocasDePagina_ == trocasNoGancho_)
        pgcPadraoChange(pgcPadrao);
    paginaNoGancho_ = pgcPadrao->ActivePage();
    trocasNoGancho_ = trocasDePagina_;
}

void TfrmRetirada::ControlTabStop(bool value) {
    for (int i = 0; i < ComponentCount(); ++i)
        if (auto* c = dynamic_cast<TWinControl*>(Components(i)); c && c->Tag() == 3) c->SetTabStop(value);
}

void TfrmRetirada::FormKeyDown(TObject* Sender, WORD& Key, TShiftState Shift) {
    TfrmPadrao::FormKeyDown(Sender, Key, Shift);
    if (Key == VK_F12 && Shift.Empty()) {
        // On to the next group of fields.
        TWinControl* proximo = Consiste::SelectNextControl(pgcPadrao, false, true, false);
        if (proximo && proximo->Parent()) Consiste::SelectFirstControl(proximo->Parent());
    }
}

void TfrmRetirada::medCdServicoKeyPress(TObject*, char32_t& Key) {
    // Typing over a browsed header starts an alteration first; where the
    // alteration is not offered (not built, a read-only withdrawal, a pending
    // edit) the browsed header takes no typing.
    if (cdsLanctoEst.State() != TDataSetState::dsBrowse) return;
    if (!sbtAlterar->Enabled()) {
        Key = 0;
        return;
    }
    sbtAlterarClick(sbtAlterar);
}

void TfrmRetirada::dbeNrRequisicaoKeyDown(TObject*, WORD& Key, TShiftState) {
    if (Key == VK_RETURN && medCdServico->CanFocus()) {
        Key = 0;
        medCdServico->SetFocus();
    }
}
