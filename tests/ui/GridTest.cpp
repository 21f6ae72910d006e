#include "UiFixture.h"

#include "core/Exception.h"
#include "data/ClientDataSet.h"
#include "ui/DBCtrls.h"
#include "ui/DBGrid.h"
#include "ui/Form.h"
#include "ui/StdCtrls.h"

#include <string>
#include <vector>

namespace {

struct GridForm : UiTest {
    TClientDataSet cds;
    TDataSource dts;
    TForm* form{};
    TDBGrid* grid{};
    TEdit* edt{};
    std::vector<std::string> log;

    void SetUp() override {
        UiTest::SetUp();
        cds.AddField("CODE", TFieldType::ftString, 5);
        cds.AddField("QTY", TFieldType::ftFloat).DisplayFormat = "#,##0.00000";
        cds.AddField("NAME", TFieldType::ftString, 20);
        cds.CreateDataSet();
        cds.AppendRecord({"A", 1.0, "Arroz"});
        cds.AppendRecord({"B", 2.0, "Feijão"});
        cds.FieldByName("NAME").ReadOnly = true;
        cds.First();
        dts.SetDataSet(&cds);
        form = Application().CreateForm<TForm>("frmGrid");
        grid = TComponent::Create<TDBGrid>(form, "dbgItens");
        grid->SetParent(form);
        grid->SetDataSource(&dts);
        grid->Columns().Add("CODE", "Código");
        grid->Columns().Add("QTY", "Quantidade");
        grid->Columns().Add("NAME", "Nome");
        grid->OnColExit = [this](TObject*) { log.push_back("exit " + grid->SelectedField()->FieldName()); };
        grid->OnColEnter = [this](TObject*) { log.push_back("enter " + grid->SelectedField()->FieldName()); };
        edt = TComponent::Create<TEdit>(form, "edt");
        edt->SetParent(form);
        form->Show();
        ASSERT_EQ(form->ActiveControl(), grid);
    }
};

TEST_F(GridForm, ColumnExitThatRaisesKeepsTheColumn) {
    grid->SetSelectedIndex(1);
    log.clear();
    grid->OnColExit = [this](TObject*) {
        grid->SetSelectedIndex(grid->ColumnIndexOf("CODE"));
        throw Exception("Código deve ser informado.");
    };
    grid->UserKeyDown(VK_TAB);
    EXPECT_EQ(grid->SelectedIndex(), 0);
    EXPECT_EQ(log, std::vector<std::string>{"enter CODE"});
    ASSERT_EQ(dialogs->Transcript().size(), 1u);
    EXPECT_EQ(dialogs->Transcript()[0].Text, "Código deve ser informado.");
    grid->OnColExit = [](TObject*) { Abort(); };  // refuses without choosing
    grid->UserKeyDown(VK_RIGHT);
    EXPECT_EQ(grid->SelectedIndex(), 0);
    EXPECT_EQ(dialogs->Transcript().size(), 1u);
}

TEST_F(GridForm, BadNumberStaysInTheEditor) {
    grid->SetSelectedIndex(1);
    log.clear();
    grid->UserType("abc");
    grid->UserKeyDown(VK_TAB);
    EXPECT_EQ(grid->SelectedIndex(), 1);
    EXPECT_EQ(grid->InplaceEditorText(), "abc");
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(dialogs->Transcript().size(), 1u);
}

TEST_F(GridForm, RowMovesPostAndDownOnLastRowAppends) {
    int posts = 0;
    cds.AfterPost = [&](TDataSet&) { ++posts; };
    grid->UserType("Z");
    grid->UserKeyDown(VK_DOWN);
    EXPECT_EQ(posts, 1);
    EXPECT_EQ(cds.RecNo(), 2);
    EXPECT_EQ(cds.State(), TDataSetState::dsBrowse);
    grid->UserKeyDown(VK_DOWN);  // last row: a new one
    EXPECT_EQ(cds.State(), TDataSetState::dsInsert);
    grid->UserKeyDown(VK_DOWN);  // an untouched new row does not stack another
    EXPECT_EQ(cds.State(), TDataSetState::dsInsert);
    grid->UserKeyDown(VK_UP);  // leaving it upwards drops it
    EXPECT_EQ(cds.State(), TDataSetState::dsBrowse);
    EXPECT_EQ(cds.RecordCount(), 2);
    grid->UserKeyDown(VK_INSERT);
    EXPECT_EQ(cds.State(), TDataSetState::dsInsert);
    grid->UserKeyDown(VK_ESCAPE);
    EXPECT_EQ(cds.State(), TDataSetState::dsBrowse);
}

TEST_F(GridForm, DataAwareEditWritesBeforeItsExitHandler) {
    auto* dbe = TComponent::Create<TDBEdit>(form, "dbeQty");
    dbe->SetParent(form);
    dbe->SetDataSource(&dts);
    dbe->SetDataField("QTY");
    EXPECT_EQ(dbe->Text(), "1,00000");
    std::string seen;
    dbe->OnExit = [&](TObject*) { seen = cds.FieldByName("QTY").AsString(); };
    dbe->UserType("7,5");
    EXPECT_EQ(cds.State(), TDataSetState::dsEdit);
    edt->UserSetFocus();
    EXPECT_DOUBLE_EQ(cds.FieldByName("QTY").AsFloat(), 7.5);
    EXPECT_FALSE(seen.empty());
    EXPECT_EQ(dbe->Text(), "7,50000");
    dbe->UserType("xyz");
    edt->UserSetFocus();  // not a number: the focus stays
    EXPECT_EQ(form->ActiveControl(), dbe);
    dts.SetEnabled(false);
    EXPECT_EQ(dbe->Text(), "");
}

}  // namespace
