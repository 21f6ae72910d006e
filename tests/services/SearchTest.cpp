#include "UiFixture.h"

#include "core/Exception.h"
#include "data/ClientDataSet.h"
#include "services/Codibarra.h"
#include "services/Morvena.h"
#include "services/Pesquisa.h"
#include "services/Tabvalid.h"
#include "ui/DBGrid.h"
#include "ui/Form.h"
#include "ui/SearchList.h"

#include <deque>
#include <functional>

namespace {

struct Lists : UiTest {
    TClientDataSet cds;
    TDataSource dts;
    void SetUp() override {
        UiTest::SetUp();
        cds.AddField("CDSERVFILI", TFieldType::ftString, 5);
        cds.AddField("NMSERVICO", TFieldType::ftString, 30);
        cds.CreateDataSet();
        cds.AppendRecord({"00001", "Desjejum"});
        cds.AppendRecord({"00002", "Almoço"});
        cds.AppendRecord({"00003", "Jantar"});
        cds.First();
        dts.Name = "dtsServico";
        dts.SetDataSet(&cds);
    }
};

TEST_F(Lists, PesquisarLeavesTheSourceOnThePickedRowOrShowsTheEmptyListsText) {
    cds.Last();
    dialogs->Queue(ScriptedAnswer::CancelList());
    EXPECT_FALSE(Pesquisa::Pesquisar(&dts, "Serviço"));
    EXPECT_EQ(cds.FieldByName("CDSERVFILI").AsString(), "00003");
    cds.EmptyDataSet();
    EXPECT_FALSE(Pesquisa::Pesquisar(&dts, "Produto|Não há produto cadastrado."));
    EXPECT_EQ(dialogs->Transcript().back().Kind, "MessageBox");
    EXPECT_EQ(dialogs->Transcript().back().Text, "Não há produto cadastrado.");
    dts.SetEnabled(false);
    EXPECT_THROW(Pesquisa::Pesquisar(&dts, "x"), Exception);
    EXPECT_THROW(Pesquisa::Pesquisar(nullptr, "x"), Exception);
}

TEST_F(Lists, PesquisaListaJoinsTheChosenCodes) {
    std::string result = "antes";
    dialogs->Queue(ScriptedAnswer::PickRows({0, 2}));
    EXPECT_TRUE(Pesqlista::PesquisaLista(&dts, "CDSERVFILI", "Serviço", false, result));
    EXPECT_EQ(result, "00001_00003_");
    dialogs->Queue(ScriptedAnswer::CancelList());
    EXPECT_FALSE(Pesqlista::PesquisaLista(&dts, "CDSERVFILI", "Serviço", false, result));
    EXPECT_EQ(result, "00001_00003_");
}

TEST_F(Lists, ProcuraFindsByPrefixIgnoringCase) {
    dialogs->Queue(ScriptedAnswer::FindText("NMSERVICO", "alm"));
    EXPECT_TRUE(Procurar::Procura(&cds));
    EXPECT_EQ(cds.FieldByName("CDSERVFILI").AsString(), "00002");
    dialogs->Queue(ScriptedAnswer::FindText("NMSERVICO", "ceia"));
    EXPECT_FALSE(Procurar::Procura(&cds));
    EXPECT_EQ(dialogs->Transcript().back().Text, "Registro não encontrado.");
    EXPECT_EQ(cds.FieldByName("CDSERVFILI").AsString(), "00002");
}

TEST_F(Lists, ValidExChecksTreeCodes) {
    Morvena::ResetContext();
    Morvena::Context().PictProduto = "99.99.999;0;_";
    EXPECT_TRUE(Tabvalid::ValidEx(nullptr, 0, "0102003", Tabvalid::voUltimoNivel, "", true));
    EXPECT_TRUE(Tabvalid::ValidEx(nullptr, 0, "0102", 0, "", true));
    EXPECT_FALSE(Tabvalid::ValidEx(nullptr, 0, "0102", Tabvalid::voUltimoNivel, "", false));
    EXPECT_THROW(Tabvalid::ValidEx(nullptr, 0, "01020", Tabvalid::voUltimoNivel, "", true), EAbort);
    EXPECT_EQ(dialogs->Transcript().back().Text, "Código 01020 inválido.");
    EXPECT_FALSE(Tabvalid::ValidEx(&dts, 0, "00003", Tabvalid::voExiste, "CDSERVFILI", false));  // 5 chars: no level
    Morvena::ResetContext();
}

TEST_F(Lists, BarCodeEntryWritesTheFieldAndSelectsItsColumn) {
    auto* form = Application().CreateForm<TForm>("frmItens");
    auto* grid = TComponent::Create<TDBGrid>(form, "dbgItens");
    grid->SetParent(form);
    grid->SetDataSource(&dts);
    grid->Columns().Add("NMSERVICO");
    grid->Columns().Add("CDSERVFILI");
    form->Show();
    std::deque<std::function<void()>> input;
    Application().SetInputPump([&] {
        if (input.empty()) return false;
        auto step = input.front();
        input.pop_front();
        step();
        return true;
    });
    input.push_back([&] {
        auto* frm = form->Find<TForm>("frmCodigoBarra");
        ASSERT_NE(frm, nullptr);
        frm->Find<TEdit>("edtCodigo")->UserType("00009");
        frm->UserKeyDown(VK_RETURN);
    });
    EXPECT_TRUE(Codibarra::CodigoBarra(grid, "CDSERVFILI"));
    EXPECT_EQ(cds.FieldByName("CDSERVFILI").AsString(), "00009");
    EXPECT_EQ(grid->SelectedIndex(), 1);
    EXPECT_EQ(form->FindComponent("frmCodigoBarra"), nullptr);
    input.push_back([&] { form->Find<TForm>("frmCodigoBarra")->UserKeyDown(VK_ESCAPE); });
    EXPECT_FALSE(Codibarra::CodigoBarra(grid, "CDSERVFILI"));
}

}  // namespace
