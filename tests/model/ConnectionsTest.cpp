#include "Cli_pla02000/model/RetiradaConnections.h"
#include "Cli_pla02015/model/FiltroRetiradaGeralModel.h"

#include <gtest/gtest.h>

using namespace model;

TEST(Connections, ModulesAndHandlers) {
    ASSERT_EQ(ScreenConnections().size(), 4u);
    EXPECT_EQ(FindScreenConnection("netRetirada")->serverModule, "Pla02000.rdmRetirada");
    EXPECT_EQ(FindScreenConnection("netEstoque")->serverModule, "Est00000.rdmEstoque");
    EXPECT_EQ(FindScreenConnection("netInfoProd")->serverModule, "Est00000.rdmEstoque");
    EXPECT_EQ(FindScreenConnection("netAutoriza")->serverModule, "Est.rdmAutoriza");
    for (const ConnectionDef& c : ScreenConnections()) {
        EXPECT_EQ(c.beforeConnect, std::string(c.name) + "BeforeConnect");
    }
    ASSERT_EQ(FiltroRetiradaGeralConnections().size(), 1u);
    EXPECT_EQ(FiltroRetiradaGeralConnections()[0].name, "netFiltroRetirada");
}

TEST(Connections, RemoteMethodsGoThroughDeclaredConnections) {
    EXPECT_EQ(ScreenRemoteMethods().size(), 29u);
    for (const RemoteMethodDef& m : ScreenRemoteMethods()) {
        EXPECT_NE(FindScreenConnection(m.connection), nullptr) << m.name;
    }
    EXPECT_EQ(FindScreenRemoteMethod("GetParamEstoque")->connection, "netEstoque");
    ASSERT_NE(FindScreenRemoteMethod("getEstoqMin"), nullptr);  // spelled so at one call site
    EXPECT_EQ(FindScreenRemoteMethod("getEstoqMin")->argCount, 2);
    EXPECT_EQ(FindScreenRemoteMethod("GetRequisicao")->argCount, 16);
    EXPECT_EQ(FindScreenRemoteMethod("Confirma_Lanc")->argCount, 15);
    EXPECT_EQ(FindScreenRemoteMethod("GetTipoReti")->argCount, 0);
    EXPECT_EQ(FindScreenRemoteMethod("NoSuchMethod"), nullptr);
}
