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

TEST_F(Modal, NestedLoopDeliversInputUntilTheFormCloses) {
    auto* main = Application().CreateForm<TForm>("frmMain");
    main->Show();
    auto* dlg = Application().CreateFormOwned<TDlg>(main, "frmDlg");
    input.push_back([&] { dlg->edt->UserType("abc"); });
    input.push_back([&] { dlg->UserKeyDown(VK_RETURN); });  // default button
    int shownActive = 0;
    dlg->OnActivate = [&](TObject*) { ++shownActive; };
    EXPECT_EQ(dlg->ShowModal(), mrOk);
    EXPECT_EQ(dlg->edt->Text(), "abc");
    EXPECT_EQ(shownActive, 1);
    EXPECT_FALSE(dlg->Visible());
    EXPECT_EQ(Application().ActiveForm(), main);
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

TEST_F(Modal, ActivationEventsFollowTheActiveForm) {
    std::vector<std::string> log;
    auto* a = Application().CreateForm<TForm>("frmA");
    auto* b = Application().CreateForm<TForm>("frmB");
    a->OnActivate = [&](TObject*) { log.push_back("A+"); };
    a->OnDeactivate = [&](TObject*) { log.push_back("A-"); };
    b->OnActivate = [&](TObject*) { log.push_back("B+"); };
    b->OnDeactivate = [&](TObject*) { log.push_back("B-"); };
    a->Show();
    b->Show();
    a->UserActivate();
    b->Close();
    EXPECT_EQ(log, (std::vector<std::string>{"A+", "A-", "B+", "B-", "A+"}));
    EXPECT_EQ(Application().ActiveForm(), a);
}

TEST_F(Modal, ActiveControlSetBeforeShowingTakesTheFocusOnShow) {
    auto* dlg = Application().CreateForm<TDlg>("frmDlg");
    std::vector<std::string> log;
    dlg->btnCancel->OnEnter = [&](TObject*) { log.push_back("enter"); };
    dlg->SetActiveControl(dlg->btnCancel);
    EXPECT_TRUE(log.empty());
    int idle = 0;
    Application().OnIdle = [&] { ++idle; };
    dlg->UserActivate();  // hidden: nothing happens
    dlg->Show();
    EXPECT_EQ(dlg->ActiveControl(), dlg->btnCancel);
    EXPECT_EQ(log, std::vector<std::string>{"enter"});
    dlg->edt->UserType("a");
    EXPECT_EQ(idle, 2);  // the focus click and the key
    EXPECT_EQ(Application().FindComponentPath("frmDlg.EDT"), dlg->edt);
    EXPECT_EQ(Application().FindComponentPath("frmDlg.nada"), nullptr);
    EXPECT_EQ(Application().FindComponentPath("edt"), dlg->edt);
}

}  // namespace
