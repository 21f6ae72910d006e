// The key hook: Enter and the arrows move like Tab, the decimal key types the
// comma; F12 and the field-level handlers.
#include "ScreenFixture.h"

#include "core/Text.h"

using namespace screen_test;

namespace {

class KeysTest : public ScreenTest {
protected:
    TfrmRetirada* OpenOnForm() {
        TfrmRetirada* f = OpenWithList(-1, 0);
        if (!f) return nullptr;
        f->cdsRomaRetirada.Locate("IDRETIPRAT", Variant("N"));
        f->mnuFormulario->UserClick();
        return f;
    }
    static WORD Hook(WORD key, TShiftState shift = {}) {
        TMsg m;
        m.Key = key;
        m.Shift = shift;
        bool handled = false;
        Morvena::MsgEventForm()(m, handled);
        EXPECT_FALSE(handled) << "the hook never swallows a key";
        return m.Key;
    }
};

}  // namespace

TEST_F(KeysTest, DecimalKeyTypesTheCommaInFloatColumns) {
    TfrmRetirada* f = OpenOnForm();
    ASSERT_NE(f, nullptr);
    ASSERT_TRUE(f->dbgItens->SetSelectedField("QTEXTRARETI"));
    EXPECT_EQ(Hook(VK_OEM_PERIOD), VK_OEM_COMMA);
    EXPECT_EQ(Hook(VK_DECIMAL), VK_OEM_COMMA);
    ASSERT_TRUE(f->dbgItens->SetSelectedField("CDTIPORETI"));
    EXPECT_EQ(Hook(VK_OEM_PERIOD), VK_OEM_PERIOD) << "not a number column";
    ASSERT_TRUE(f->dbgItens->SetSelectedField("QTEXTRARETI"));
    SystemFormat().DecimalSeparator = '.';
    EXPECT_EQ(Hook(VK_OEM_PERIOD), VK_OEM_PERIOD) << "a dot system keeps its dot";
    SystemFormat().DecimalSeparator = ',';
}

TEST_F(KeysTest, TypingInTheServiceAltersOnlyWhereAlteringIsOffered) {
    TfrmRetirada* f = OpenOnForm();
    ASSERT_NE(f, nullptr);
    f->HabilitaFiltro(true);
    const std::string servico = f->medCdServico->Text();
    f->sbtAlterar->SetEnabled(false);  // a withdrawal that may not be altered
    f->medCdServico->UserSetFocus();
    f->UserType("9");
    EXPECT_EQ(f->cdsLanctoEst.State(), TDataSetState::dsBrowse);
    EXPECT_EQ(f->medCdServico->Text(), servico);
    f->sbtAlterar->SetEnabled(true);
    f->UserType("9");
    EXPECT_EQ(f->cdsLanctoEst.State(), TDataSetState::dsEdit);
    f->cdsLanctoEst.Cancel();
}
