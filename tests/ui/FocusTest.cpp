#include "UiFixture.h"

#include "core/Exception.h"
#include "ui/Form.h"
#include "ui/Pages.h"
#include "ui/StdCtrls.h"

#include <string>
#include <vector>

namespace {

// panA { a1, a2 }, grbB { b1, panC { c1 } }, pages { tsh1 { p1 }, tsh2 { p2 } }
struct FocusForm : UiTest {
    TForm* form{};
    TPanel* panA{};
    TGroupBox* grbB{};
    TPanel* panC{};
    TEdit *a1{}, *a2{}, *b1{}, *c1{}, *p1{}, *p2{};
    TPageControl* pgc{};
    TTabSheet *tsh1{}, *tsh2{};
    std::vector<std::string> log;

    template <class T>
    T* make(const char* name, TWinControl* parent) {
        T* c = TComponent::Create<T>(form, name);
        c->SetParent(parent);
        c->OnEnter = [this, name](TObject*) { log.push_back(std::string("enter ") + name); };
        c->OnExit = [this, name](TObject*) { log.push_back(std::string("exit ") + name); };
        return c;
    }

    void SetUp() override {
        UiTest::SetUp();
        form = Application().CreateForm<TForm>("frmTeste");
        panA = make<TPanel>("panA", form);
        a1 = make<TEdit>("a1", panA);
        a2 = make<TEdit>("a2", panA);
        grbB = make<TGroupBox>("grbB", form);
        b1 = make<TEdit>("b1", grbB);
        panC = make<TPanel>("panC", grbB);
        c1 = make<TEdit>("c1", panC);
        pgc = make<TPageControl>("pgc", form);
        tsh1 = make<TTabSheet>("tsh1", pgc);
        tsh1->SetPageControl(pgc);
        tsh2 = make<TTabSheet>("tsh2", pgc);
        tsh2->SetPageControl(pgc);
        p1 = make<TEdit>("p1", tsh1);
        p2 = make<TEdit>("p2", tsh2);
        form->Show();
        log.clear();
    }
};

TEST_F(FocusForm, ExitsInnermostFirstThenEntersOutermostFirst) {
    c1->UserSetFocus();
    std::vector<std::string> want{"exit a1", "exit panA", "enter grbB", "enter panC", "enter c1"};
    EXPECT_EQ(log, want);
    log.clear();
    b1->UserSetFocus();  // leaves panC only, stays in grbB
    EXPECT_EQ(log, (std::vector<std::string>{"exit c1", "exit panC", "enter b1"}));
}

// An exit check that raises keeps the focus and shows its text: the screen's
// branch check does so in retirada_filial_operador.scn.
TEST_F(FocusForm, ContainerExitThatAbortsKeepsFocusSilently) {
    panA->OnExit = [](TObject*) { Abort(); };
    c1->UserSetFocus();
    EXPECT_EQ(form->ActiveControl(), a1);
    EXPECT_TRUE(dialogs->Transcript().empty());
    EXPECT_EQ(log, (std::vector<std::string>{"exit a1"}));
}

TEST_F(FocusForm, FocusingHiddenOrDisabledControlFails) {
    EXPECT_THROW(p2->SetFocus(), Exception);
    panC->SetEnabled(false);
    EXPECT_THROW(c1->SetFocus(), Exception);
    c1->UserSetFocus();  // a user simply cannot get there
    EXPECT_EQ(form->ActiveControl(), a1);
}

TEST_F(FocusForm, HidingOrDestroyingFocusedControlClearsFocus) {
    p1->SetFocus();
    pgc->SetActivePage(tsh2);
    EXPECT_EQ(form->ActiveControl(), nullptr);
    c1->SetFocus();
    form->DestroyComponent(c1);
    EXPECT_EQ(form->ActiveControl(), nullptr);
    b1->SetFocus();  // no dangling exit of the destroyed control
    EXPECT_EQ(form->ActiveControl(), b1);
}

TEST_F(FocusForm, OwnerDestroysOwnedAndFindsByName) {
    EXPECT_EQ(form->Find<TEdit>("C1"), c1);
    EXPECT_EQ(form->Find<TPanel>("c1"), nullptr);  // wrong kind
    bool destroyed = false;
    form->OnDestroy = [&](TObject*) { destroyed = true; };
    form->Close();
    EXPECT_FALSE(form->Visible());
    form->Release();
    Application().ProcessMessages();
    EXPECT_TRUE(destroyed);
    EXPECT_EQ(Application().ComponentCount(), 0);
    EXPECT_EQ(Application().ActiveForm(), nullptr);
}

}  // namespace
