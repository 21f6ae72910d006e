#include "UiFixture.h"

#include "core/Exception.h"
#include "data/ClientDataSet.h"
#include "ui/DBCtrls.h"
#include "ui/DBGrid.h"
#include "ui/Form.h"
#include "ui/Menus.h"
#include "ui/StdCtrls.h"

#include <string>
#include <vector>

namespace {

struct Controls : UiTest {
    TForm* form{};
    void SetUp() override {
        UiTest::SetUp();
        form = Application().CreateForm<TForm>("frmTeste");
    }
    template <class T>
    T* add(const char* name, TWinControl* parent = nullptr) {
        T* c = TComponent::Create<T>(form, name);
        c->SetParent(parent ? parent : form);
        return c;
    }
};

TEST_F(Controls, ChangeObserversHearRealChangesOnly) {
    std::vector<std::string> heard;
    int id = AddChangeObserver([&](TComponent& c, std::string_view p) {
        heard.push_back(c.Name() + "." + std::string(p));
    });
    auto* edt = add<TEdit>("edtNome");
    heard.clear();
    edt->SetText("a");
    edt->SetText("a");
    edt->SetEnabled(false);
    edt->SetEnabled(false);
    RemoveChangeObserver(id);
    edt->SetText("b");
    EXPECT_EQ(heard, (std::vector<std::string>{"edtNome.Text", "edtNome.Enabled"}));
}

TEST_F(Controls, NamesAreUniquePerOwner) {
    add<TEdit>("edtNome");
    EXPECT_THROW(add<TEdit>("EDTNOME"), std::invalid_argument);
    auto* other = Application().CreateForm<TForm>("frmOutro");
    EXPECT_NO_THROW(TComponent::Create<TEdit>(other, "edtNome"));
    EXPECT_NO_THROW(add<TLabel>(""));
    EXPECT_NO_THROW(add<TLabel>(""));
}

TEST_F(Controls, RadioButtonsUncheckTheirSiblingsOnly) {
    auto* grb1 = add<TGroupBox>("grbGrupServ");
    auto* grb2 = add<TGroupBox>("grbServico");
    auto* r1 = add<TRadioButton>("rdbGrupServTodos", grb1);
    auto* r2 = add<TRadioButton>("rdbGrupServLista", grb1);
    auto* r3 = add<TRadioButton>("rdbServTodos", grb2);
    int clicks = 0;
    r2->OnClick = [&](TObject*) { ++clicks; };
    r1->SetChecked(true);
    r3->SetChecked(true);
    form->Show();
    r2->UserClick();
    EXPECT_TRUE(r2->Checked());
    EXPECT_FALSE(r1->Checked());
    EXPECT_TRUE(r3->Checked());
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(form->ActiveControl(), r2);
}

TEST_F(Controls, CheckBoxToggleAndSpace) {
    auto* chb = add<TCheckBox>("chbCardapio");
    form->Show();
    chb->UserClick();
    EXPECT_TRUE(chb->Checked());
    chb->UserType(" ");
    EXPECT_FALSE(chb->Checked());
    chb->SetEnabled(false);
    chb->UserClick();
    EXPECT_FALSE(chb->Checked());
}

TEST_F(Controls, ListAndComboSelection) {
    auto* lst = add<TListBox>("lstErros");
    lst->Items = {"a", "b", "c"};
    auto* cmb = add<TComboBox>("cmbTipo");
    cmb->Items = {"Cardápio", "Fixo"};
    int changes = 0;
    cmb->OnChange = [&](TObject*) { ++changes; };
    form->Show();
    lst->UserSelect(1);
    EXPECT_EQ(lst->ItemIndex(), 1);
    lst->UserKeyDown(VK_DOWN);
    EXPECT_EQ(lst->ItemIndex(), 2);
    EXPECT_FALSE(lst->Selected(1));
    lst->MultiSelect = true;
    lst->UserSelect(0);
    EXPECT_TRUE(lst->Selected(0) && lst->Selected(2));
    cmb->UserKeyDown(VK_DOWN, ssAlt);
    EXPECT_TRUE(cmb->DroppedDown());
    cmb->UserSelect(1);
    EXPECT_FALSE(cmb->DroppedDown());
    EXPECT_EQ(cmb->Text(), "Fixo");
    EXPECT_EQ(changes, 1);
}

TEST_F(Controls, PopupMenuShortcutsWorkInsideItsControl) {
    auto* pan = add<TPanel>("panItens");
    auto* edt = add<TEdit>("edtA", pan);
    auto* other = add<TEdit>("edtB");
    auto* pop = TComponent::Create<TPopupMenu>(form, "popItens");
    auto* item = TComponent::Create<TMenuItem>(form, "mnuExcluirItem");
    pop->Items().Add(item);
    item->SetShortCut(TShortCut{VK_DELETE, ssCtrl});
    pan->SetPopupMenu(pop);
    int clicks = 0;
    item->OnClick = [&](TObject*) { ++clicks; };
    form->Show();
    edt->UserKeyDown(VK_DELETE, ssCtrl);
    other->UserKeyDown(VK_DELETE, ssCtrl);
    EXPECT_EQ(clicks, 1);
    form->DestroyComponent(item);  // the menu forgets a destroyed item
    EXPECT_EQ(pop->Items().Count(), 0);
}

TEST_F(Controls, ControlsOfADisabledContainerRefuseInput) {
    auto* pan = add<TPanel>("panFiltro");
    auto* edt = add<TEdit>("medCdFilial", pan);
    auto* btn = add<TButton>("btnOk");
    int clicks = 0;
    btn->OnClick = [&](TObject*) { ++clicks; };
    form->Show();
    pan->SetEnabled(false);
    edt->UserType("0001");
    EXPECT_EQ(edt->Text(), "");
    btn->SetVisible(false);
    btn->UserClick();
    EXPECT_EQ(clicks, 0);
}

struct DataControls : Controls {
    TClientDataSet cds;
    TDataSource dts;
    void SetUp() override {
        Controls::SetUp();
        cds.AddField("CDARVPROD", TFieldType::ftString, 7).EditMask = "99.99.999;0;_";
        cds.AddField("DTLANCESTQ", TFieldType::ftDateTime);
        cds.CreateDataSet();
        cds.AppendRecord({"0102003", EncodeDate(2026, 12, 1)});
        cds.AppendRecord({"0102004", EncodeDate(2026, 12, 2)});
        cds.First();
        dts.SetDataSet(&cds);
    }
};

TEST_F(DataControls, DataAwareEditTakesTheFieldMask) {
    auto* dbe = add<TDBEdit>("dbeProduto");
    add<TEdit>("edtOutro");
    dbe->SetDataSource(&dts);
    dbe->SetDataField("CDARVPROD");
    form->Show();
    EXPECT_EQ(dbe->EditMask(), "99.99.999;0;_");
    EXPECT_EQ(dbe->EditText(), "01.02.003");
    EXPECT_EQ(dbe->Text(), "0102003");
    dbe->UserType("0203001");
    EXPECT_EQ(dbe->EditText(), "02.03.001");
    dbe->UserKeyDown(VK_TAB);
    EXPECT_EQ(cds.FieldByName("CDARVPROD").AsString(), "0203001");
}

TEST_F(DataControls, DataAwareDateEditAndEscape) {
    auto* dbd = add<TDBDateEdit>("dbdRetirada");
    auto* other = add<TEdit>("edt");
    dbd->SetDataSource(&dts);
    dbd->SetDataField("DTLANCESTQ");
    form->Show();
    EXPECT_EQ(dbd->Text(), "01/12/2026");
    dbd->UserType("0");
    dbd->UserKeyDown(VK_ESCAPE);  // drops what was typed
    EXPECT_EQ(dbd->Text(), "01/12/2026");
    dbd->UserType("15122026");
    other->UserSetFocus();
    EXPECT_EQ(cds.FieldByName("DTLANCESTQ").AsDateTime(), EncodeDate(2026, 12, 15));
    cds.Next();  // another record shows its own date
    EXPECT_EQ(dbd->Text(), "02/12/2026");
}

TEST_F(DataControls, NavigatorButtonsFollowTheDataset) {
    auto* nav = add<TDBNavigator>("navPadrao");
    nav->SetDataSource(&dts);
    form->Show();
    EXPECT_FALSE(nav->ButtonEnabled(TNavigateBtn::nbPrior));
    EXPECT_TRUE(nav->ButtonEnabled(TNavigateBtn::nbNext));
    nav->UserBtnClick(TNavigateBtn::nbLast);
    EXPECT_EQ(cds.RecNo(), 2);
    nav->UserBtnClick(TNavigateBtn::nbPost);  // not editing: ignored
    dialogs->Queue(ScriptedAnswer::Button(mrCancel));
    nav->UserBtnClick(TNavigateBtn::nbDelete);
    EXPECT_EQ(cds.RecordCount(), 2);
    nav->SetEnabled(false);
    EXPECT_FALSE(nav->ButtonEnabled(TNavigateBtn::nbFirst));
    dts.SetEnabled(false);
    nav->SetEnabled(true);
    EXPECT_FALSE(nav->ButtonEnabled(TNavigateBtn::nbFirst));
}

TEST_F(DataControls, GridLeavesDeletionToTheScreenAndEditorKeys) {
    auto* grid = add<TDBGrid>("dbgItens");
    grid->SetDataSource(&dts);
    grid->Columns().Add("CDARVPROD");
    grid->Columns().Add("DTLANCESTQ");
    form->Show();
    // No handler: Ctrl+Delete neither asks nor deletes.
    grid->UserKeyDown(VK_DELETE, ssCtrl);
    EXPECT_EQ(cds.RecordCount(), 2);
    EXPECT_TRUE(dialogs->Transcript().empty());
    int requests = 0;
    grid->OnDeleteRequest = [&](TObject*) { ++requests; };
    grid->UserKeyDown(VK_DELETE, ssCtrl);
    EXPECT_EQ(requests, 1);
    EXPECT_EQ(cds.RecordCount(), 2);
    grid->ReadOnly = true;
    grid->UserKeyDown(VK_DELETE, ssCtrl);
    EXPECT_EQ(requests, 1);
    grid->ReadOnly = false;
    auto* btnOk = add<TButton>("btnOk");
    btnOk->Default = true;
    int okClicks = 0;
    btnOk->OnClick = [&](TObject*) { ++okClicks; };
    grid->UserKeyDown(VK_RETURN);  // the grid keeps Enter
    EXPECT_EQ(okClicks, 0);
    grid->UserKeyDown(VK_F2);  // editor with the field's text
    EXPECT_TRUE(grid->EditorMode());
    EXPECT_EQ(grid->InplaceEditorText(), "0102003");
    grid->UserType("9");  // first key after opening replaces the text shown
    EXPECT_EQ(grid->InplaceEditorText(), "9");
    grid->UserKeyDown(VK_ESCAPE);  // drops the typing
    EXPECT_FALSE(grid->EditorMode());
    grid->UserKeyDown(VK_ESCAPE);  // then the record's edit
    EXPECT_EQ(cds.State(), TDataSetState::dsBrowse);
    EXPECT_EQ(cds.FieldByName("CDARVPROD").AsString(), "0102003");
    grid->UserSelectCell(0, 1);
    EXPECT_EQ(grid->SelectedIndex(), 1);
    grid->Columns()[1].Visible = false;
    grid->UserKeyDown(VK_HOME);
    EXPECT_EQ(grid->SelectedIndex(), 0);
    grid->UserKeyDown(VK_RIGHT);  // the hidden column is skipped
    EXPECT_EQ(grid->SelectedIndex(), 0);
}

}  // namespace
