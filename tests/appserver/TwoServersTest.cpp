// Two pla-appserver processes over one database, reached over loopback HTTP:
// a session opened at one serves at the other, and a sign-off at the first
// ends it at the second. On a fresh demo database of each back end.
#include "ServerProcess.h"
#include "TestDatabase.h"
#include "net/NetConnection.h"

#include <gtest/gtest.h>

namespace {

std::unique_ptr<TNetConnection> connect(int port, const std::string& module, const std::string& token) {
    auto c = std::make_unique<TNetConnection>("net", module);
    c->Host = "127.0.0.1";
    c->Port = port;
    c->ThrowException = false;
    c->Token = token;
    c->Open();
    return c;
}

}  // namespace

TEST(TwoServers, ASessionOpenedAtOneServesAtTheOtherUntilSignedOffAtTheFirst) {
    const std::string url = testdb::DemoUrl();
    ServerProcess one(PLA_APPSERVER, url, ::testing::TempDir() + "two-servers-1.log", {"--threads", "2"});
    ServerProcess two(PLA_APPSERVER, url, ::testing::TempDir() + "two-servers-2.log", {"--threads", "2"});

    auto session = connect(one.Port(), "Session", "");
    Variant signedOn = session->Call("SignOn", {Variant("DEMO"), Variant("demo")});
    ASSERT_TRUE(signedOn.IsArray()) << signedOn.AsString();
    const std::string token = signedOn.AsArray()[0].AsString();

    auto estoque = connect(two.Port(), "Est00000.rdmEstoque", token);
    EXPECT_TRUE(estoque->Call("VerificaLiberacao", {Variant("0001"), Variant(EncodeDate(2026, 1, 5))}).IsArray());

    session->Token = token;
    EXPECT_EQ(session->Call("SignOff"), Variant(true));
    Variant refused = estoque->Call("VerificaLiberacao", {Variant("0001"), Variant(EncodeDate(2026, 1, 5))});
    ASSERT_TRUE(refused.IsString());
    EXPECT_NE(refused.AsString().find("Sessão inválida"), std::string::npos) << refused.AsString();
}
