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
    // A pending inventory without its place (retirada_confirmar_bloqueios shows one with it).
    r.SetData(Variant(resultado({{"LIB00200_4", "", "  ", nullptr}})));
    EXPECT_EQ(LinhasDeErro(&r, "L", "", catalog), (std::vector<std::string>{kInvent + "  "}));
}

