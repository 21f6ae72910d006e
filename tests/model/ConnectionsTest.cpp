#include "Cli_pla02000/model/RetiradaConnections.h"

#include <gtest/gtest.h>

using namespace model;

TEST(Connections, RemoteMethodsGoThroughDeclaredConnections) {
    for (const RemoteMethodDef& m : ScreenRemoteMethods()) {
        EXPECT_NE(FindScreenConnection(m.connection), nullptr) << m.name;
    }
    EXPECT_EQ(FindScreenRemoteMethod("GetParamEstoque")->connection, "netEstoque");
    ASSERT_NE(FindScreenRemoteMethod("getEstoqMin"), nullptr);  // spelled so at one call site
    EXPECT_EQ(FindScreenRemoteMethod("getEstoqMin")->argCount, 2);
    EXPECT_EQ(FindScreenRemoteMethod("NoSuchMethod"), nullptr);
}
