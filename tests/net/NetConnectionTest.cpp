#include "core/Exception.h"
#include "net/ClientSessions.h"
#include "net/InProcessTransport.h"
#include "net/NetConnection.h"
#include "net/RpcProtocol.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace net;

namespace {

// A tiny server: "M.Echo" returns its arguments and writes "changed" into
// argument 0; "M.Fail" answers a JSON-RPC error; "Session.SignOn" hands out
// "tok-<operator>"; every call records the token it saw.
struct StubServer {
    std::string lastToken;
    std::string lastMethod;
    std::string operator()(const std::string& body, const std::string& token) {
        lastToken = token;
        RpcRequest r;
        try {
            r = DecodeRequest(body);
        } catch (const ERpcError& e) {
            return EncodeError({}, e.Code(), e.Message());
        }
        lastMethod = r.method;
        RpcResult res;
        if (r.method == "Session.SignOn") {
            if (r.params.size() != 2 || r.params[1] != Variant("pw"))
                return EncodeError(r.id, rpc_code::Unauthorized, "Operador ou senha inválidos.");
            res.value = VarArrayOf({Variant("tok-" + r.params[0].AsString())});
        } else if (r.method == "M.Fail") {
            return EncodeError(r.id, rpc_code::MethodNotFound, "Método desconhecido");
        } else {
            res.value = Variant(r.params);
            if (!r.params.empty()) res.refs[0] = Variant("changed");
        }
        return EncodeResult(r.id, res);
    }
};

int freeLoopbackPort() {
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    socklen_t len = sizeof addr;
    getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
    close(fd);
    return ntohs(addr.sin_port);
}

class NetConnectionTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterInProcessServer("stub", [this](const std::string& b, const std::string& t) { return stub(b, t); });
    }
    void TearDown() override {
        UnregisterInProcessServer("stub");
        ClearSessionToken("inproc://stub");
    }
    StubServer stub;
};

}  // namespace

TEST_F(NetConnectionTest, ThrowExceptionDecidesBetweenTextAndException) {
    TNetConnection c("netRetirada", "M");
    c.Host = "inproc://stub";
    c.Open();
    c.ThrowException = false;
    Variant v = c.Call("Fail");
    ASSERT_TRUE(v.IsString());
    // The protocol's refusal is told to the user as a failed operation.
    EXPECT_EQ(v.AsString(), "O servidor de aplicação não atendeu à operação M.Fail. Informe o suporte técnico.");
    c.ThrowException = true;
    EXPECT_THROW(c.Call("Fail"), Exception);
}

TEST_F(NetConnectionTest, ClosedOrAbsentServersRaiseClearlyAndConnectionsCloseIndependently) {
    TNetConnection c("netRetirada", "M"), b("netInfoProd", "M");
    c.ThrowException = false;
    EXPECT_THROW(c.Call("Echo"), Exception);
    EXPECT_THROW(c.Open(), Exception);  // no host at all
    c.Host = b.Host = "inproc://stub";
    c.Open();
    c.Open();  // opening twice is harmless
    b.Open();
    c.Close();
    EXPECT_THROW(c.Call("Echo"), Exception);
    EXPECT_NO_THROW(b.Call("Echo"));

    TNetConnection inproc("netEstoque", "M");
    inproc.Host = "inproc://nobody";
    try {
        inproc.Open();
        FAIL();
    } catch (const Exception& e) {
        EXPECT_NE(e.Message().find("nobody"), std::string::npos);
    }
    // A loopback port nobody listens on: bind one, then free it.
    int port = freeLoopbackPort();
    TNetConnection http("netEstoque", "M");
    http.Host = "127.0.0.1";
    http.Port = port;
    try {
        http.Open();
        FAIL();
    } catch (const Exception& e) {
        EXPECT_NE(e.Message().find("127.0.0.1:" + std::to_string(port)), std::string::npos) << e.Message();
    }
    EXPECT_FALSE(http.Connected());
}

TEST_F(NetConnectionTest, SignOnServesEveryConnectionToTheEndpoint) {
    TNetConnection a("netRetirada", "M"), b("netEstoque", "M");
    a.Host = b.Host = "inproc://stub";
    EXPECT_THROW(a.SignOn("DEMO", "wrong"), Exception);
    a.SignOn("DEMO", "pw");
    b.Open();
    b.Call("Echo");
    EXPECT_EQ(stub.lastToken, "tok-DEMO");
    b.Token = "own";
    b.Call("Echo");
    EXPECT_EQ(stub.lastToken, "own");
}

TEST_F(NetConnectionTest, BeforeConnectChoosesTheServerAtEachOpenAndCallsWriteBackRefs) {
    StubServer other;
    RegisterInProcessServer("other", [&other](const std::string& b, const std::string& t) { return other(b, t); });
    std::string target = "inproc://stub";
    TNetConnection c("netRetirada", "M");
    c.BeforeConnect = [&target](TNetConnection& self) { self.Host = target; };
    c.Open();
    VariantArray args{Variant("0001"), Variant(2.5)};
    EXPECT_EQ(c.Call("Echo", args), VarArrayOf({Variant("0001"), Variant(2.5)}));
    EXPECT_EQ(args, (VariantArray{Variant("changed"), Variant(2.5)}));  // by-reference values written back
    c.Close();
    target = "inproc://other";
    c.Open();
    c.Call("Echo");
    EXPECT_EQ(stub.lastMethod, "M.Echo");
    EXPECT_EQ(other.lastMethod, "M.Echo");
    EXPECT_EQ(c.Endpoint(), "inproc://other");
    c.Close();
    EXPECT_EQ(c.Endpoint(), "");
    UnregisterInProcessServer("other");
    EXPECT_THROW(c.Open(), Exception);  // the server it knew is gone
    EXPECT_FALSE(c.Connected());
}

// A server kept in a static object and created after the first registration
// withdraws itself while the process ends; that must not touch a destroyed table.
namespace {
struct LateServer {
    LateServer() { RegisterInProcessServer("late", [](const std::string&, const std::string&) { return std::string(); }); }
    ~LateServer() { UnregisterInProcessServer("late"); }
};
}  // namespace

TEST(InProcessRegistry, OutlivesStaticServers) {
    static bool once = [] {
        static LateServer* holder = nullptr;
        static LateServer server;  // destroyed at exit, after this test's registrations
        holder = &server;
        return holder != nullptr;
    }();
    EXPECT_TRUE(once);
    EXPECT_NE(FindInProcessServer("late"), nullptr);
}
