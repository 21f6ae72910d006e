// Opening, sizing and closing the withdrawal screen; retirada_abertura checks
// the landing page, the branch and its parameters.
#include "ScreenFixture.h"

#include "services/Showavi.h"

using namespace screen_test;

namespace {
class LifecycleTest : public ScreenTest {};
}  // namespace

TEST_F(LifecycleTest, BranchWithOffLineWithdrawalsNeverShowsTheForm) {
    ctx().FiliProc = "0003";
    TfrmRetirada* f = Open();
    EXPECT_EQ(f, nullptr);  // closed and released at once
    EXPECT_FALSE(Pla02000Unit().boIdCriado);
    EXPECT_TRUE(Pla02000Unit().boRetiOffline);
    EXPECT_NE(Shown().find("Operação bloqueada! Existem retiradas lançadas no sistema Off-Line que não foram importadas."),
              std::string::npos)
        << Shown();
    EXPECT_EQ(Calls("GetParamEstoque"), 0) << "creation stops at the off-line check";
    for (TForm* shown : Application().ShowingForms()) EXPECT_NE(shown->Name(), "frmRetirada");
}

TEST_F(LifecycleTest, BlockedBranchCanOpenOnceItsWithdrawalsWereImported) {
    ctx().FiliProc = "0003";
    EXPECT_EQ(Open(), nullptr);
    // Another user of the process signs on to a branch without pending withdrawals.
    ctx().FiliProc = "0001";
    TfrmRetirada* f = Open();
    ASSERT_NE(f, nullptr);
    EXPECT_TRUE(f->Visible());
    EXPECT_FALSE(Pla02000Unit().boRetiOffline);
}

TEST_F(LifecycleTest, NormalOpenLandsOnRomaneioWithDataSourcesDisabled) {
    TfrmRetirada* f = Open();
    ASSERT_NE(f, nullptr);
    EXPECT_TRUE(Pla02000Unit().boIdCriado);
    EXPECT_TRUE(f->Visible());
    EXPECT_EQ(f->Caption(), "Retirada (Planejamento)");
    EXPECT_EQ(f->pgcPadrao->ActivePage(), f->tshFolhaDados);
    for (TDataSource* s : {&f->dtsPadrao, &f->dtsItLanctoEst, &f->dtsServico, &f->dtsRomaRetirada})
        EXPECT_FALSE(s->Enabled()) << s->Name;
    EXPECT_EQ(f->cdsItLanctoEst.IndexFieldNames(), "NRSEQUITRETI");
    EXPECT_FALSE(Showavi::Active()) << "the creation's progress note is gone once shown";
    EXPECT_EQ(f->dbgItens->ColumnIndexOf("IDERRO"), -1);
    // Masks from the framework's pictures.
    EXPECT_EQ(f->cdsItLanctoEst.FieldByName("CDARVPROD").EditMask, ctx().PictProduto);
    EXPECT_EQ(f->cdsResumo.FieldByName("CDARVPROD").EditMask, ctx().PictProduto);
    EXPECT_EQ(f->qryPrato.FieldByName("CDPRATO").EditMask, ctx().PictPrato);
    ASSERT_TRUE(Pla02000Unit().dbpProduto);
    EXPECT_EQ(Pla02000Unit().dbpProduto->GetTtNiveis(), 3);
}

TEST_F(LifecycleTest, SecondOpenReusesTheForm) {
    TfrmRetirada* f = Open();
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(Open(), f);
    EXPECT_EQ(Calls("GetParamEstoque"), 1);
}

TEST_F(LifecycleTest, WindowSizeFollowsTheMainWindow) {
    TfrmRetirada* f = Open();
    ASSERT_NE(f, nullptr);
    // Creation leaves 105 pixels, CriaRetirada 110 afterwards.
    EXPECT_EQ(f->Height(), 700 - 110);
    EXPECT_EQ(f->Top(), 3);
    EXPECT_EQ(f->WindowState(), TWindowState::wsNormal);
}

TEST_F(LifecycleTest, SmallScreenKeepsTheDesignedHeightAndFixedIcons) {
    Application().SetScreenSize(640, 480);
    TfrmRetirada* f = Open();
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->BorderIcons(), (TBorderIcons{true, true, true, false}));
    EXPECT_EQ(f->WindowState(), TWindowState::wsNormal);
    EXPECT_EQ(f->Height(), 440) << "no sizing from the main window on a 640 x 480 screen";
}

TEST_F(LifecycleTest, ClosingWhileEditingAsksAndNoKeepsTheForm) {
    TfrmRetirada* f = Open();
    ASSERT_NE(f, nullptr);
    f->dtsPadrao.SetEnabled(true);
    f->cdsLanctoEst.CreateDataSet();
    f->tshFormulario->SetEnabled(true);
    f->pgcPadrao->SetActivePage(f->tshFormulario);
    f->cdsLanctoEst.Insert();

    dialogs().Queue(ScriptedAnswer::Button(mrNo));
    f->UserClose();
    Application().ProcessMessages();
    EXPECT_NE(Shown().find("Cancelar operação?"), std::string::npos) << Shown();
    ASSERT_EQ(frmRetirada(), f);
    EXPECT_TRUE(f->Visible());
    EXPECT_EQ(f->cdsLanctoEst.State(), TDataSetState::dsInsert) << "No loses nothing";

    dialogs().Queue(ScriptedAnswer::Button(mrYes));
    f->UserClose();
    Application().ProcessMessages();
    EXPECT_EQ(frmRetirada(), nullptr) << Shown();
    EXPECT_FALSE(Pla02000Unit().boIdCriado);
    EXPECT_TRUE(Pla02000Unit().boFechando);
}

TEST_F(LifecycleTest, ClosingReleasesTheFormAndItsHook) {
    TfrmRetirada* f = Open();
    ASSERT_NE(f, nullptr);
    EXPECT_TRUE(static_cast<bool>(Morvena::MsgEventForm())) << "the key hook is in while the form is active";
    f->UserClose();
    Application().ProcessMessages();
    EXPECT_EQ(frmRetirada(), nullptr);
    EXPECT_FALSE(static_cast<bool>(Morvena::MsgEventForm()));
    EXPECT_FALSE(Pla02000Unit().Coluna);
    EXPECT_FALSE(Pla02000Unit().dbpProduto);
    // And it opens again.
    EXPECT_NE(Open(), nullptr);
}

TEST_F(LifecycleTest, DeactivationRemovesTheKeyHook) {
    TfrmRetirada* f = Open();
    ASSERT_NE(f, nullptr);
    main_->UserActivate();
    EXPECT_FALSE(static_cast<bool>(Morvena::MsgEventForm()));
    f->UserActivate();
    EXPECT_TRUE(static_cast<bool>(Morvena::MsgEventForm()));
}
