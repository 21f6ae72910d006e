// The error review: the lines the viewer makes of the result list, the
// command's menu, and the viewer's life (made when asked, gone when closed).
#include "ScreenFixture.h"

#include "Cli_pla02030/VisualizaErros.h"
#include "Cli_pla02030/model/VisualizaErrosCatalog.h"

#include <deque>

using namespace screen_test;

namespace {

struct Linha {
    const char* erro;
    const char* objeto;
    const char* almox = nullptr;
    const char* local = nullptr;
};

DataPacket resultado(std::initializer_list<Linha> linhas) {
    DataPacket p;
    p.fields = {{"CDERRO", TFieldType::ftString, 20},
                {"CDOBJETO", TFieldType::ftString, 20},
                {"CDOBJETO2", TFieldType::ftString, 6},
                {"CDOBJETO3", TFieldType::ftString, 6}};
    auto v = [](const char* s) { return s ? Variant(s) : Variant(); };
    for (const Linha& l : linhas)
        p.rows.push_back({{v(l.erro), v(l.objeto), v(l.almox), v(l.local)}, RowChange::Unmodified, {}});
    return p;
}

const std::string kInvent = "Operação bloqueada! Inventário pendente para a filial.";

}  // namespace

TEST(ViewerLines, OneLinePerRecognisedRowOfTheProductInOrder) {
    TMessages catalog;
    catalog.LoadFromText(model::MsgPadraoVisualizaErrosResource());
    TClientDataSet r;
    r.SetData(Variant(resultado({{"LIB00200_3", "P1"},
                                 {"PLA02000_1", "P2"},
                                 {"NRLANCESTQ", "P1"},
                                 {"PLA02000_2", "P1"},
                                 {"PLA02000_1", "p1"},
                                 {"PLA02000_1", "P1"}})));
    r.Last();
    EXPECT_EQ(LinhasDeErro(&r, "I", "P1", catalog),
              (std::vector<std::string>{
                  "A confirmação da operação fará com que a posição de estoque deste produto se torne irregular.",
                  "Produto não controla estoque.", "O produto encontra-se inativo para a filial."}));
    EXPECT_EQ(r.RecNo(), 6) << "the list's cursor stays";
    EXPECT_TRUE(LinhasDeErro(&r, "I", "P9", catalog).empty());
    EXPECT_TRUE(LinhasDeErro(&r, "L", "", catalog).empty()) << "no pending inventory, no line";
    EXPECT_TRUE(LinhasDeErro(nullptr, "I", "P1", catalog).empty());
}

TEST(ViewerLines, PendingInventoryNamesItsStoreroomAndLocation) {
    TMessages catalog;
    catalog.LoadFromText(model::MsgPadraoVisualizaErrosResource());
    TClientDataSet r;
    r.SetData(Variant(resultado({{"PLA02000_1", "P1"}, {"LIB00200_4", "", "01", "A3"}, {"LIB00200_4", "", "02", "B"}})));
    EXPECT_EQ(LinhasDeErro(&r, "L", "", catalog),
              (std::vector<std::string>{kInvent + " Almoxarifado 01 Localização A3"}));
    r.SetData(Variant(resultado({{"LIB00200_4", "", "  ", nullptr}})));
    EXPECT_EQ(LinhasDeErro(&r, "L", "", catalog), (std::vector<std::string>{kInvent + "  "}));
}

TEST_F(ScreenTest, ReviewMenuFollowsTheCurrentItemAndTheViewerLivesWhileShown) {
    TfrmRetirada* f = OpenWithList(0, 0);
    ASSERT_NE(f, nullptr);
    f->mnuFormulario->UserClick();
    TClientDataSet& it = f->cdsItLanctoEst;
    it.First();
    const std::string produto = it.FieldByName("CDPRODUTO").AsString();
    f->cdsRetorno->SetData(Variant(resultado({{"LIB00200_4", "", "01", "A1"}, {"PLA02000_2", produto.c_str()}})));
    f->HabilitaComando(retirada::Comando::VisualizaErros, true);
    ASSERT_TRUE(f->sbtVisualizaErros->Enabled());

    // The item has a row; the posting's test then reads the row found, not the inventory's.
    f->sbtVisualizaErros->UserClick();
    EXPECT_TRUE(f->pmnErros->Popped());
    EXPECT_EQ(f->pmnErros->PopupAnchor(), f->sbtVisualizaErros);
    EXPECT_EQ(f->pmnErros->PopupDy(), 21);
    EXPECT_TRUE(f->mnuErrosItem->Enabled());
    EXPECT_FALSE(f->mnuErrosLanc->Enabled());
    f->pmnErros->Close();
    // Another item without rows: the list stays on its first row, the inventory's.
    it.Next();
    f->cdsRetorno->First();
    f->sbtVisualizaErros->UserClick();
    EXPECT_FALSE(f->mnuErrosItem->Enabled());
    EXPECT_TRUE(f->mnuErrosLanc->Enabled());
    f->pmnErros->Close();

    // The viewer, shown modally: its lines, then closed by the user.
    it.First();
    std::vector<std::string> mostradas;
    int vezes = 0;
    std::deque<std::function<void()>> passos;
    auto fecha = [&] {
        auto* v = Application().Find<TfrmVisualizaErrosReti>("frmVisualizaErrosReti");
        ASSERT_NE(v, nullptr);
        EXPECT_TRUE(Pla02030Unit().boIdCriado);
        mostradas = v->lsbErros->Items;
        ++vezes;
        v->Close();
    };
    Application().SetInputPump([&] {
        if (passos.empty()) return false;
        auto p = std::move(passos.front());
        passos.pop_front();
        p();
        return true;
    });
    passos.push_back(fecha);
    f->mnuErrosItemClick(nullptr);
    EXPECT_EQ(mostradas, (std::vector<std::string>{"Produto não controla estoque."}));
    EXPECT_FALSE(Pla02030Unit().boIdCriado);
    EXPECT_EQ(Pla02030Unit().frmVisualizaErrosReti, nullptr);
    Application().ProcessMessages();
    EXPECT_EQ(Application().FindComponent("frmVisualizaErrosReti"), nullptr) << "released on close";
    // Made again for the posting's errors.
    passos.push_back(fecha);
    f->mnuErrosLancClick(nullptr);
    EXPECT_EQ(mostradas, (std::vector<std::string>{kInvent + " Almoxarifado 01 Localização A1"}));
    EXPECT_EQ(vezes, 2);
    Application().SetInputPump(nullptr);
    EXPECT_EQ(Shown().find("Box"), std::string::npos) << Shown();
}
