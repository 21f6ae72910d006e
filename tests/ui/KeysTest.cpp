#include "UiFixture.h"

#include "core/Exception.h"
#include "core/Text.h"
#include "ui/Form.h"
#include "ui/StdCtrls.h"

#include <string>
#include <vector>

namespace {

struct KeyForm : UiTest {
    TForm* form{};
    TEdit *e1{}, *e2{};
    std::vector<std::string> log;

    void SetUp() override {
        UiTest::SetUp();
        form = Application().CreateForm<TForm>("frmTeste");
        e1 = TComponent::Create<TEdit>(form, "e1");
        e1->SetParent(form);
        e2 = TComponent::Create<TEdit>(form, "e2");
        e2->SetParent(form);
        form->Show();
    }
};

TEST_F(KeyForm, RoutingOrderHookFormControlDefault) {
    Application().OnMessage = [&](TMsg& m, bool&) { log.push_back("hook " + std::to_string(m.Key)); };
    form->SetKeyPreview(true);
    form->OnKeyDown = [&](TObject*, WORD& k, TShiftState) { log.push_back("form " + std::to_string(k)); };
    form->OnKeyPress = [&](TObject*, char32_t& c) { log.push_back("formpress " + CharToUtf8(c)); };
    e1->OnKeyDown = [&](TObject*, WORD& k, TShiftState) { log.push_back("edit " + std::to_string(k)); };
    e1->OnKeyPress = [&](TObject*, char32_t& c) { log.push_back("editpress " + CharToUtf8(c)); };
    e1->UserType("a");
    EXPECT_EQ(log, (std::vector<std::string>{"hook 65", "form 65", "edit 65", "formpress a", "editpress a"}));
    EXPECT_EQ(e1->Text(), "a");
}

// A hook that rewrites keys is the screen's (screen/KeysTest, retirada_teclas.scn).
TEST_F(KeyForm, HandlersConsumeOrRewriteKeysAndHookMayHandle) {
    form->SetKeyPreview(true);
    form->OnKeyDown = [](TObject*, WORD& k, TShiftState) {
        if (k == 'X') k = 0;  // the form swallows X
    };
    e1->OnKeyPress = [](TObject*, char32_t& c) {
        if (c == U'b') c = U'B';
        if (c == U'z') c = 0;
    };
    e1->UserType("xbz");
    EXPECT_EQ(e1->Text(), "B");
    Application().OnMessage = [](TMsg&, bool& handled) { handled = true; };
    e1->UserType("q");
    EXPECT_EQ(e1->Text(), "B");
}

TEST_F(KeyForm, MaskedEditUpperCasesInsertsLiteralsAndLimits) {
    auto* med = TComponent::Create<TMaskEdit>(form, "medCodigo");
    med->SetParent(form);
    med->SetEditMask(">LL-000;1;_");
    med->UserType("ab1234");
    EXPECT_EQ(med->Text(), "AB-123");
    EXPECT_EQ(med->MaxLength(), 6);
    med->UserKeyDown(VK_BACK);
    EXPECT_EQ(med->Text(), "AB-12");
    EXPECT_FALSE(med->IsComplete());
    auto* code = TComponent::Create<TMaskEdit>(form, "medServico");
    code->SetParent(form);
    code->SetEditMask("99.99;0;_");
    code->UserType("1x234");
    EXPECT_EQ(code->EditText(), "12.34");
    EXPECT_EQ(code->Text(), "1234");  // literals not saved
}

}  // namespace
