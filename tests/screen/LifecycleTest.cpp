// Opening and closing the withdrawal screen; retirada_abertura, retirada_offline
// and retirada_itens_janela check the landing page, the off-line block and the question on closing.
#include "ScreenFixture.h"

using namespace screen_test;

TEST_F(ScreenTest, BlockedBranchCanOpenOnceItsWithdrawalsWereImportedAndASecondOpenReusesTheForm) {
    ctx().FiliProc = "0003";
    EXPECT_EQ(Open(), nullptr);
    // Another user of the process signs on to a branch without pending withdrawals.
    ctx().FiliProc = "0001";
    TfrmRetirada* f = Open();
    ASSERT_NE(f, nullptr);
    EXPECT_TRUE(f->Visible());
    EXPECT_FALSE(Pla02000Unit().boRetiOffline);
    EXPECT_EQ(Open(), f);
    EXPECT_EQ(Calls("GetParamEstoque"), 1);
}

TEST_F(ScreenTest, TheKeyHookFollowsActivationAndClosingReleasesEverything) {
    TfrmRetirada* f = Open();
    ASSERT_NE(f, nullptr);
    EXPECT_TRUE(static_cast<bool>(Morvena::MsgEventForm()));
    main_->UserActivate();
    EXPECT_FALSE(static_cast<bool>(Morvena::MsgEventForm()));
    f->UserActivate();
    EXPECT_TRUE(static_cast<bool>(Morvena::MsgEventForm()));
    f->UserClose();
    Application().ProcessMessages();
    EXPECT_EQ(frmRetirada(), nullptr);
    EXPECT_FALSE(static_cast<bool>(Morvena::MsgEventForm()));
    EXPECT_FALSE(Pla02000Unit().Coluna);
    EXPECT_FALSE(Pla02000Unit().dbpProduto);
    EXPECT_NE(Open(), nullptr) << "and it opens again";
}
