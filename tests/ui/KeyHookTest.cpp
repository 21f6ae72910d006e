// The kind of application key hook a data-entry screen installs while it is
// active: Enter moves as Tab (not with Ctrl), Up goes back and Down forward
// outside grids, and the decimal keys type the comma in float fields.
#include "UiFixture.h"

#include "core/Text.h"
#include "data/ClientDataSet.h"
#include "ui/DBCtrls.h"
#include "ui/DBGrid.h"
#include "ui/Form.h"
#include "ui/StdCtrls.h"

namespace {

struct HookedForm : UiTest {
    TClientDataSet cds;
    TDataSource dts;
    TForm* form{};
    TEdit* edtReq{};
    TDBEdit* dbeQtd{};
    TDBGrid* grid{};
    TEdit* edtNome{};

    bool floatTarget(TWinControl* c) {
        if (auto* e = dynamic_cast<TDBEdit*>(c)) return e->Field() && e->Field()->DataType() == TFieldType::ftFloat;
        if (auto* g = dynamic_cast<TDBGrid*>(c))
            return g->SelectedField() && g->SelectedField()->DataType() == TFieldType::ftFloat;
        return false;
    }

    void hook(TMsg& m, bool&) {
        if (Application().ActiveForm() != form) return;
        TWinControl* focused = form->ActiveControl();
        if (focused == edtReq) return;  // handles its own keys
        bool inGrid = dynamic_cast<TDBGrid*>(focused) != nullptr;
        if (m.Key == VK_RETURN && !m.Shift.Ctrl) {
            m.Key = VK_TAB;
        } else if (!inGrid && m.Key == VK_UP) {
            m.Key = 0;
            form->SelectNext(focused, false, true);
        } else if (!inGrid && m.Key == VK_DOWN) {
            m.Key = VK_TAB;
        }
        if ((m.Key == VK_OEM_PERIOD || m.Key == VK_DECIMAL) && SystemFormat().DecimalSeparator == ',' &&
            floatTarget(focused))
            m.Key = VK_OEM_COMMA;
    }

    void SetUp() override {
        UiTest::SetUp();
        SystemFormat() = FormatSettings{};
        cds.AddField("QTD", TFieldType::ftFloat);
        cds.AddField("NOME", TFieldType::ftString, 20);
        cds.CreateDataSet();
        cds.AppendRecord({1.0, "a"});
        cds.AppendRecord({2.0, "b"});
        cds.First();
        dts.SetDataSet(&cds);
        form = Application().CreateForm<TForm>("frmRetirada");
        edtReq = TComponent::Create<TEdit>(form, "dbeNrRequisicao");
        edtReq->SetParent(form);
        dbeQtd = TComponent::Create<TDBEdit>(form, "dbeQtd");
        dbeQtd->SetParent(form);
        dbeQtd->SetDataSource(&dts);
        dbeQtd->SetDataField("QTD");
        grid = TComponent::Create<TDBGrid>(form, "dbgItens");
        grid->SetParent(form);
        grid->SetDataSource(&dts);
        grid->Columns().Add("QTD");
        grid->Columns().Add("NOME");
        edtNome = TComponent::Create<TEdit>(form, "edtNome");
        edtNome->SetParent(form);
        form->OnActivate = [this](TObject*) { Application().OnMessage = [this](TMsg& m, bool& h) { hook(m, h); }; };
        form->OnDeactivate = [](TObject*) { Application().OnMessage = nullptr; };
        form->Show();
    }
    void TearDown() override {
        SystemFormat() = FormatSettings{};
        UiTest::TearDown();
    }
};

TEST_F(HookedForm, EnterAndArrowsMoveLikeTab) {
    edtReq->UserKeyDown(VK_RETURN);  // left alone in the requisition field
    EXPECT_EQ(form->ActiveControl(), edtReq);
    dbeQtd->UserKeyDown(VK_RETURN);
    EXPECT_EQ(form->ActiveControl(), grid);
    grid->UserKeyDown(VK_DOWN);  // the grid keeps its rows
    EXPECT_EQ(form->ActiveControl(), grid);
    EXPECT_EQ(cds.RecNo(), 2);
    grid->UserKeyDown(VK_RETURN);  // Enter still moves as Tab: next column
    EXPECT_EQ(grid->SelectedIndex(), 1);
    edtNome->UserKeyDown(VK_UP);
    EXPECT_EQ(form->ActiveControl(), grid);
    edtNome->UserKeyDown(VK_RETURN, ssCtrl);
    EXPECT_EQ(form->ActiveControl(), edtNome);
}

TEST_F(HookedForm, DecimalKeysTypeTheCommaInFloatFieldsOnly) {
    dbeQtd->UserType("2.5");
    EXPECT_EQ(dbeQtd->Text(), "2,5");
    edtNome->UserType("a.b");
    EXPECT_EQ(edtNome->Text(), "a.b");
    grid->UserSelectCell(0, 0);
    grid->UserType("3");
    grid->UserKeyDown(VK_DECIMAL);
    grid->UserType("75");
    EXPECT_EQ(grid->InplaceEditorText(), "3,75");
    grid->UserKeyDown(VK_TAB);
    EXPECT_DOUBLE_EQ(cds.FieldByName("QTD").AsFloat(), 3.75);
    SystemFormat() = FormatSettings{'.', ','};
    dbeQtd->UserType("1.5");  // a dot system keeps the dot
    EXPECT_EQ(dbeQtd->Text(), "1.5");
}

TEST_F(HookedForm, HookFollowsActivation) {
    auto* other = Application().CreateForm<TForm>("frmOutro");
    other->Show();
    EXPECT_FALSE(static_cast<bool>(Application().OnMessage));
    form->UserActivate();
    EXPECT_TRUE(static_cast<bool>(Application().OnMessage));
}

}  // namespace
