#include "Cli_pla02000/model/RetiradaCatalog.h"
#include "Cli_pla02010/model/FiltroRetiradaCatalog.h"
#include "Cli_pla02015/model/FiltroRetiradaGeralCatalog.h"
#include "Cli_pla02030/model/VisualizaErrosCatalog.h"
#include "core/Exception.h"
#include "services/Messages.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

using namespace model;

namespace {

std::string Text(const std::vector<CatalogEntry>& catalog, std::string_view key) {
    const std::string* t = FindCatalogText(catalog, key);
    return t ? *t : "<missing " + std::string(key) + ">";
}

std::string ReadSource(const std::string& relative) {
    std::ifstream in(std::string(PLA_SOURCE_DIR) + "/" + relative, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace

TEST(Catalogs, EmbeddedResourcesAreTheFilesByteForByte) {
    EXPECT_EQ(MsgPadraoRetiradaResource(), ReadSource("Cli_pla02000/model/msgPadrao.txt"));
    EXPECT_EQ(MsgPadraoFiltroRetiradaResource(), ReadSource("Cli_pla02010/model/msgPadrao.txt"));
    EXPECT_EQ(MsgPadraoFiltroRetiradaGeralResource(), ReadSource("Cli_pla02015/model/msgPadrao.txt"));
    EXPECT_EQ(MsgPadraoVisualizaErrosResource(), ReadSource("Cli_pla02030/model/msgPadrao.txt"));
}

TEST(Catalogs, KeysAreLookedUpWithoutRegardToCase) {
    const auto c = MsgPadraoRetirada();
    EXPECT_EQ(Text(c, "SERV_INATIVO"), "Serviço não habilitado para retiradas.");
    EXPECT_EQ(FindCatalogText(c, "NoSuchKey"), nullptr);
}

// The forms' catalog component reads the same resources the same way.
TEST(Catalogs, TheCatalogComponentLoadsEachResourceEntryForEntry) {
    const std::vector<std::pair<std::string_view, std::vector<CatalogEntry>>> resources{
        {MsgPadraoRetiradaResource(), MsgPadraoRetirada()},
        {MsgPadraoFiltroRetiradaResource(), MsgPadraoFiltroRetirada()},
        {MsgPadraoFiltroRetiradaGeralResource(), MsgPadraoFiltroRetiradaGeral()},
        {MsgPadraoVisualizaErrosResource(), MsgPadraoVisualizaErros()}};
    for (const auto& [resource, entries] : resources) {
        ComponentPtr<TMessages> msg = MakeComponent<TMessages>("msgPadrao");
        msg->LoadFromText(resource);
        ASSERT_EQ(msg->Count(), static_cast<int>(entries.size()));
        for (const CatalogEntry& e : entries) {
            EXPECT_EQ(msg->Msg(e.key), e.text) << e.key;
        }
    }
}
