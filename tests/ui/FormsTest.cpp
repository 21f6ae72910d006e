#include "UiFixture.h"

#include "core/Exception.h"
#include "ui/Form.h"
#include "ui/StdCtrls.h"

#include <deque>
#include <functional>

namespace {

// A dialog with an edit and OK/Cancel buttons.
struct TDlg : TForm {
    TEdit* edt;
    TButton *btnOk, *btnCancel;
    TDlg() {
        edt = TComponent::Create<TEdit>(this, "edt");
        edt->SetParent(this);
        btnOk = TComponent::Create<TButton>(this, "btnOk");
        btnOk->SetParent(this);
        btnOk->ModalResult = mrOk;
        btnOk->Default = true;
        btnCancel = TComponent::Create<TButton>(this, "btnCancel");
        btnCancel->SetParent(this);
        btnCancel->ModalResult = mrCancel;
        btnCancel->Cancel = true;
    }
};

struct Modal : UiTest {
    std::deque<std::function<void()>> input;
    void SetUp() override {
        UiTest::SetUp();
        Application().SetInputPump([this] {
            if (input.empty()) return false;
            auto step = std::move(input.front());
            input.pop_front();
            step();
            return true;
        });
    }
};

TEST_F(Modal, WithoutPumpShowModalFailsClearly) {
    Application().SetInputPump(nullptr);
    auto* dlg = Application().CreateForm<TDlg>("frmDlg");
    EXPECT_THROW(dlg->ShowModal(), Exception);
    EXPECT_FALSE(dlg->Visible());
}

TEST_F(Modal, CloseQueryMayRefuseAndEscapeCancels) {
    auto* dlg = Application().CreateForm<TDlg>("frmDlg");
    int asked = 0;
    dlg->OnCloseQuery = [&](TObject*, bool& can) { can = ++asked > 1; };
    input.push_back([&] { dlg->btnOk->UserClick(); });      // refused
    input.push_back([&] { dlg->UserKeyDown(VK_ESCAPE); });  // accepted
    EXPECT_EQ(dlg->ShowModal(), mrCancel);
    EXPECT_EQ(asked, 2);
}

TEST_F(Modal, PumpRunningDryIsAScriptFailureNotAHang) {
    auto* dlg = Application().CreateForm<TDlg>("frmDlg");
    input.push_back([&] { dlg->edt->UserType("x"); });
    EXPECT_THROW(dlg->ShowModal(), EInputExhausted);
    EXPECT_FALSE(dlg->Visible());
}

TEST_F(Modal, ModalFromAHandlerThatFreesItselfIsDestroyedAfterTheAction) {
    auto* main = Application().CreateForm<TForm>("frmMain");
    auto* btn = TComponent::Create<TButton>(main, "btnFiltro");
    btn->SetParent(main);
    main->Show();
    int result = -1;
    bool destroyed = false;
    btn->OnClick = [&](TObject*) {
        auto* dlg = Application().CreateFormOwned<TDlg>(main, "frmFiltro");
        dlg->OnClose = [](TObject*, TCloseAction& a) { a = TCloseAction::caFree; };
        dlg->OnDestroy = [&](TObject*) { destroyed = true; };
        input.push_back([dlg] { dlg->btnOk->UserClick(); });
        result = dlg->ShowModal();
        EXPECT_FALSE(destroyed);  // still alive inside the handler
    };
    btn->UserClick();
    EXPECT_EQ(result, mrOk);
    EXPECT_TRUE(destroyed);
    EXPECT_EQ(main->FindComponent("frmFiltro"), nullptr);
}

TEST_F(Modal, CreationErrorIsShownAndTheFormStays) {
    struct TBad : TForm {
        TBad() {
            OnCreate = [](TObject*) { throw Exception("Operação bloqueada!"); };
        }
    };
    auto* f = Application().CreateForm<TBad>("frmBad");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(Application().MainForm(), f);
    ASSERT_EQ(dialogs->Transcript().size(), 1u);
    EXPECT_EQ(dialogs->Transcript()[0].Text, "Operação bloqueada!");
}

}  // namespace
