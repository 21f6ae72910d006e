#include "UiFixture.h"

#include "core/Exception.h"
#include "data/ClientDataSet.h"
#include "ui/DBCtrls.h"
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

}  // namespace
