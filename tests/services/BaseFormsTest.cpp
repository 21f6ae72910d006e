#include "UiFixture.h"

#include "core/Exception.h"
#include "data/ClientDataSet.h"
#include "services/Consiste.h"
#include "services/FrmFiltroPadrao.h"
#include "services/FrmPadrao.h"
#include "ui/DBGrid.h"


namespace {

using BaseForms = UiTest;

// A screen in the manner of the real ones: overrides a base handler and calls it.
struct TfrmTeste : TfrmPadrao {
    TClientDataSet cds;
    TEdit* edtNome;
    TDBGrid* dbgPadrao;
    std::vector<std::string> log;
    TfrmTeste() {
        cds.AddField("NOME", TFieldType::ftString, 20);
        dtsPadrao.SetDataSet(&cds);
        edtNome = TComponent::Create<TEdit>(this, "edtNome");
        edtNome->SetParent(tshFormulario);
        dbgPadrao = TComponent::Create<TDBGrid>(this, "dbgPadrao");
        dbgPadrao->SetParent(tshFolhaDados);
        dbgPadrao->SetDataSource(&dtsPadrao);
    }
    void FormCreate(TObject* s) override {
        TfrmPadrao::FormCreate(s);
        cds.CreateDataSet();
        log.push_back("create");
    }
    void sbtIncluirClick(TObject* s) override {
        log.push_back("incluir");
        TfrmPadrao::sbtIncluirClick(s);
    }
    bool* destroyed = nullptr;
    void FormDestroy(TObject*) override {
        if (destroyed) *destroyed = true;
    }
};

TEST_F(BaseForms, MaintenanceFormCommandsPagesAndRelease) {
    auto* f = Application().CreateForm<TfrmTeste>("frmTeste");
    EXPECT_EQ(f->log, std::vector<std::string>{"create"});
    f->Show();
    EXPECT_EQ(f->FormStyle(), TFormStyle::fsMDIChild);
    EXPECT_EQ(f->pgcPadrao->ActivePage(), f->tshFolhaDados);
    f->sbtIncluir->UserClick();
    EXPECT_EQ(f->cds.State(), TDataSetState::dsInsert);
    EXPECT_EQ(f->log.back(), "incluir");
    f->cds.FieldByName("NOME").SetAsString("Arroz");
    f->mnuConfirmar->UserClick();
    EXPECT_EQ(f->cds.RecordCount(), 1);
    f->mnuFormulario->UserClick();
    EXPECT_EQ(f->pgcPadrao->ActivePage(), f->tshFormulario);
    EXPECT_TRUE(f->mnuFormulario->Checked());
    EXPECT_FALSE(f->mnuFolhaDados->Checked());
    dialogs->Queue(ScriptedAnswer::Button(mrNo));
    f->sbtExcluir->UserClick();
    EXPECT_EQ(f->cds.RecordCount(), 1);
    dialogs->Queue(ScriptedAnswer::Button(mrYes));
    f->sbtExcluir->UserClick();
    EXPECT_EQ(f->cds.RecordCount(), 0);
    bool destroyed = false;
    f->destroyed = &destroyed;
    f->sbtSair->UserClick();  // base close releases the form
    EXPECT_TRUE(destroyed);
    EXPECT_EQ(Application().FindComponent("frmTeste"), nullptr);
    EXPECT_EQ(Application().ActiveForm(), nullptr);
}

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

// The base dialog's confirm button and Esc close the browse filter dialog in
// every filter scenario.
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
