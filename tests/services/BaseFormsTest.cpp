#include "UiFixture.h"

#include "core/Exception.h"
#include "services/Consiste.h"
#include "services/FrmFiltroPadrao.h"
#include "services/FrmPadrao.h"

namespace {

using BaseForms = UiTest;

TEST_F(BaseForms, NextGroupOfFieldsStaysInsideItsScope) {
    auto* f = Application().CreateForm<TfrmPadrao>("frmGrupos");
    auto edit = [f](const char* name, TWinControl* parent) {
        auto* e = TComponent::Create<TEdit>(f, name);
        e->SetParent(parent);
        return e;
    };
    auto group = [f](const char* name, TWinControl* parent) {
        auto* g = TComponent::Create<TGroupBox>(f, name);
        g->SetParent(parent);
        return g;
    };
    auto* panFora = TComponent::Create<TPanel>(f, "panFora");
    panFora->SetParent(f);
    panFora->SetTabOrder(0);
    auto* edtFora = edit("edtFora", panFora);
    auto* grbA = group("grbA", f->tshFormulario);
    auto* edtA1 = edit("edtA1", grbA);
    auto* edtA2 = edit("edtA2", grbA);
    auto* grbOff = group("grbOff", f->tshFormulario);
    edit("edtOff", grbOff);
    grbOff->SetEnabled(false);
    auto* grbB = group("grbB", f->tshFormulario);
    auto* edtB1 = edit("edtB1", grbB);
    edit("edtSemTab", grbB)->SetTabStop(false);
    f->Show();
    f->pgcPadrao->SetActivePage(f->tshFormulario);

    edtA2->SetFocus();
    // On to the next group, past the rest of the focused one and a disabled one.
    EXPECT_EQ(Consiste::SelectNextControl(f->pgcPadrao, false, true, false), edtB1);
    EXPECT_EQ(f->ActiveControl(), edtB1);
    // The last group wraps to the first inside the page control, never to the panel around it.
    EXPECT_EQ(Consiste::SelectNextControl(f->pgcPadrao, false, true, false), edtA1);
    // Backward meets the previous group's last tab stop; its first is then one call away.
    EXPECT_EQ(Consiste::SelectNextControl(f->pgcPadrao, true, true, false), edtB1);
    EXPECT_EQ(Consiste::SelectFirstControl(edtB1->Parent()), edtB1);
    // Focus outside the scope: the walk starts at the scope's first field.
    edtFora->SetFocus();
    EXPECT_EQ(Consiste::SelectNextControl(f->pgcPadrao, false, true, false), edtA1);
    // Leaving the scope allowed: the walk goes on to the form's other controls.
    edtB1->SetFocus();
    EXPECT_EQ(Consiste::SelectNextControl(f->pgcPadrao, false, true, true), edtFora);
    // A scope with one group only keeps the focus where it is.
    f->pgcPadrao->SetActivePage(f->tshFolhaDados);
    grbA->SetParent(f->tshFolhaDados);
    edtA1->SetFocus();
    EXPECT_EQ(Consiste::SelectNextControl(f->pgcPadrao, false, true, false), nullptr);
    EXPECT_EQ(f->ActiveControl(), edtA1);

    Consiste::SetChildEnabled(f->panMenu, false);
    EXPECT_FALSE(f->sbtIncluir->Enabled());
}

TEST_F(BaseForms, FilterDialogSavesAndLoadsItsOptions) {
    auto* dlg = Application().CreateForm<TfrmFiltroPadrao>("frmFiltroRetiradaGeral");
    auto* chb = TComponent::Create<TCheckBox>(dlg, "chbCardapio");
    chb->SetParent(dlg->grbFiltro);
    auto* edt = TComponent::Create<TEdit>(dlg, "edtServ");
    edt->SetParent(dlg->grbFiltro);
    dlg->Show();
    dlg->btfLoadOpc->UserClick();
    EXPECT_EQ(dialogs->Transcript().back().Text, "Não há opções salvas.");
    chb->SetChecked(true);
    edt->SetText("00001");
    dlg->btfSaveOpc->UserClick();
    chb->SetChecked(false);
    edt->SetText("");
    dlg->btfLoadOpc->UserClick();
    EXPECT_TRUE(chb->Checked());
    EXPECT_EQ(edt->Text(), "00001");
}

}  // namespace
