#include "UiFixture.h"

#include "core/Exception.h"
#include "data/ClientDataSet.h"
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

}  // namespace
