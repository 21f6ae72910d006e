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
    EXPECT_FALSE(f->tshFormulario->Enabled());
    EXPECT_FALSE(f->sbtAlterar->Enabled());
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
