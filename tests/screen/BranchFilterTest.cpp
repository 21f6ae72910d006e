// The branch panel: entering resets the screen, leaving validates the branch,
// loads its parameters and the location switch and opens the browse filter.
#include "ScreenFixture.h"

#include "Cli_pla02010/FiltroRetirada.h"

using namespace screen_test;

namespace {

class BranchFilterTest : public ScreenTest {
protected:
    TfrmRetirada* OpenAt(const std::string& branchText) {
        TfrmRetirada* f = Open();
        if (!f) return nullptr;
        f->medCdFilial->UserSetFocus();
        f->medCdFilial->UserSetText(branchText);
        return f;
    }
    // Leaves the branch panel with Tab, as the user does.
    void Leave(TfrmRetirada* f) { f->medCdFilial->UserKeyDown(VK_TAB); }
};

}  // namespace

TEST_F(BranchFilterTest, TypingClearsTheServiceAndDisablesTheDataSourcesAtOnce) {
    TfrmRetirada* f = Open();
    ASSERT_NE(f, nullptr);
    f->medCdServico->SetText("00001");
    f->edtNmServico->SetText("ALMOÇO");
    for (TDataSource* s : {&f->dtsPadrao, &f->dtsItLanctoEst, &f->dtsServico, &f->dtsRomaRetirada}) s->SetEnabled(true);
    f->medCdFilial->UserSetFocus();
    f->medCdFilial->UserType("2");
    EXPECT_EQ(f->edtNmFilial->Text(), "");
    EXPECT_EQ(f->medCdServico->Text(), "");
    EXPECT_EQ(f->edtNmServico->Text(), "");
    for (TDataSource* s : {&f->dtsPadrao, &f->dtsItLanctoEst, &f->dtsServico, &f->dtsRomaRetirada})
        EXPECT_FALSE(s->Enabled()) << s->Name;
}

TEST_F(BranchFilterTest, CancelledFilterReturnsToTheBranchWithTheGeneralWithdrawalOff) {
    TfrmRetirada* f = OpenAt("0001");
    ASSERT_NE(f, nullptr);
    int shown = 0;
    FiltroRetiradaHook = [&] {
        ++shown;
        return false;
    };
    Leave(f);
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(f->ActiveControl(), f->medCdFilial);
    EXPECT_TRUE(f->sbtFiltro->Enabled());
    EXPECT_TRUE(f->mnuFiltraLanc->Enabled());
    EXPECT_FALSE(f->sbtRetGeral->Enabled());
    EXPECT_FALSE(f->mnuRetGeral->Enabled());
    EXPECT_TRUE(f->boUsaLocalizacao) << "0001 works with storerooms and locations";
    EXPECT_TRUE(f->grbLocalizacao->Visible());
}

TEST_F(BranchFilterTest, OneDayFilterOffersTheGeneralWithdrawal) {
    TfrmRetirada* f = OpenAt("0001");
    ASSERT_NE(f, nullptr);
    const TDateTime today = Date();
    FiltroRetiradaHook = [&] { return ConfirmaFiltro(*f, IncDay(today, -1), IncDay(today, -1)); };
    Leave(f);
    EXPECT_EQ(f->ActiveControl(), f->dbgPadrao);
    ASSERT_TRUE(f->cdsRomaRetirada.Active());
    EXPECT_EQ(f->cdsRomaRetirada.RecordCount(), 2);
    EXPECT_TRUE(f->sbtRetGeral->Enabled());
    EXPECT_TRUE(f->sbtIncluir->Enabled());
    EXPECT_TRUE(f->sbtFiltro->Enabled());

    // A wider range keeps it off.
    FiltroRetiradaHook = [&] { return ConfirmaFiltro(*f, IncDay(today, -1), today); };
    f->sbtFiltro->UserClick();
    EXPECT_FALSE(f->sbtRetGeral->Enabled());
    EXPECT_EQ(f->cdsRomaRetirada.RecordCount(), 3);
}

TEST_F(BranchFilterTest, EnteringThePanelEmptiesTheScreen) {
    TfrmRetirada* f = OpenAt("0001");
    ASSERT_NE(f, nullptr);
    const TDateTime today = Date();
    FiltroRetiradaHook = [&] { return ConfirmaFiltro(*f, IncDay(today, -1), today); };
    Leave(f);
    ASSERT_TRUE(f->cdsRomaRetirada.Active());
    f->medCdFilial->UserSetFocus();
    EXPECT_FALSE(f->cdsRomaRetirada.Active());
    EXPECT_FALSE(f->cdsLanctoEst.Active());
    EXPECT_FALSE(f->dtsRomaRetirada.Enabled());
    EXPECT_EQ(f->pgcPadrao->ActivePage(), f->tshFolhaDados);
    EXPECT_TRUE(f->mnuFolhaDados->Checked());
    EXPECT_FALSE(f->tshFormulario->Enabled());
    for (TSpeedButton* b : {f->sbtIncluir, f->sbtAlterar, f->sbtExcluir, f->sbtProcurar, f->sbtVerificar,
                            f->sbtAtuaEstoq, f->sbtFiltro, f->sbtRetGeral})
        EXPECT_FALSE(b->Enabled()) << b->Name();
    EXPECT_FALSE(f->mnuFiltraLanc->Enabled());
    EXPECT_FALSE(f->tshResumo->Enabled());
}

TEST_F(BranchFilterTest, BoundUserTakesUpTheBranchOnFirstActivation) {
    ctx().ModuFili = true;
    ctx().FiliProc = "0002";
    int shown = 0;
    FiltroRetiradaHook = [&] {
        ++shown;
        return false;
    };
    TfrmRetirada* f = Open();
    ASSERT_NE(f, nullptr);
    EXPECT_FALSE(f->medCdFilial->Enabled());
    EXPECT_FALSE(f->btpFilial->Enabled());
    EXPECT_EQ(shown, 1) << "the browse filter opens at once";
    EXPECT_TRUE(f->sbtFiltro->Enabled()) << "so that the filter can be opened again";
    EXPECT_FALSE(Pla02000Unit().boHabilitaReti);
    EXPECT_FALSE(f->grbLocalizacao->Visible());
}

TEST_F(BranchFilterTest, BranchSearchListsEveryBranch) {
    TfrmRetirada* f = Open();
    ASSERT_NE(f, nullptr);
    f->medCdFilial->UserSetFocus();
    dialogs().Queue(ScriptedAnswer::PickWhere("CDFILIAL", "0002"));
    f->btpFilial->UserClick();
    EXPECT_EQ(f->medCdFilial->Text(), "0002");
    EXPECT_EQ(f->edtNmFilial->Text(), "FILIAL NORTE");
    EXPECT_GE(f->qryFilial.RecordCount(), 4);
}

TEST_F(BranchFilterTest, ConfirmationRefreshesTheRememberedFilter) {
    TfrmRetirada* f = Open();
    ASSERT_NE(f, nullptr);
    f->ChangeParams();  // no dialog yet: nothing to refresh, nothing fails
    auto* dlg = Application().CreateForm<TfrmFiltroRetirada>("frmFiltroRetirada");
    Pla02010Unit().frmFiltroRetirada = dlg;
    dlg->medCdServico->SetText("00001");
    dlg->depRetiradaIni->SetDate(EncodeDate(2026, 1, 2));
    f->medCdServico->SetText("00002");
    f->edtNmServico->SetText("JANTAR");
    f->ChangeParams();
    EXPECT_EQ(dlg->FiltroLembrado().CdServico, "00002");
    EXPECT_EQ(dlg->FiltroLembrado().NmServico, "JANTAR");
    EXPECT_EQ(dlg->FiltroLembrado().DtRetiradaIni, EncodeDate(2026, 1, 2));
    Pla02010Unit().frmFiltroRetirada = nullptr;
}
