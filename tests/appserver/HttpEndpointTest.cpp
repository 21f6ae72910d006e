// The HTTP endpoint's bad input and limits over the test server: each gets its
// error and the server keeps serving (SlowClientsTest has the endpoint's own).
#include "ServerFixture.h"
#include "net/RpcProtocol.h"

#include <gtest/gtest.h>
#include <httplib.h>


using testing_server::Server;

namespace {

httplib::Client client() {
    httplib::Client c("127.0.0.1", Server::Get().port);
    c.set_read_timeout(std::chrono::seconds(10));
    return c;
}

int rpcCode(const std::string& body) {
    try {
        net::DecodeResponse(body);
    } catch (const net::ERpcError& e) {
        return e.Code();
    }
    return 0;
}

void expectStillServing() {
    auto c = client();
    auto r = c.Get("/health");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->status, 200);
}

}  // namespace

TEST(HttpEndpoint, MalformedOversizedAndUnauthorizedRequestsGetTheirErrors) {
    auto c = client();
    struct Case {
        std::string body;
        int code;
    } cases[] = {
        {"{\"jsonrpc\":\"2.0\",\"id\":1,", net::rpc_code::ParseError},
        {R"({"jsonrpc":"2.0","id":1,"method":"Pla02000.rdmRetirada.GetTipoReti","params":"x"})", net::rpc_code::InvalidRequest},
        {R"({"jsonrpc":"2.0","id":1,"method":"Pla02000.rdmRetirada.GetTipoReti","params":[]})", net::rpc_code::Unauthorized},
        {R"({"jsonrpc":"2.0","id":1,"method":"Session.SignOn","params":["DEMO","errada"]})", net::rpc_code::Unauthorized},
        {R"({"jsonrpc":"2.0","id":1,"method":"Session.SignOn","params":["DEMO"]})", net::rpc_code::InvalidParams},
        {R"({"jsonrpc":"2.0","id":1,"method":"Session.SignOn","params":[1,2]})", net::rpc_code::InvalidParams},
    };
    for (const auto& k : cases) {
        auto r = c.Post("/rpc", k.body, "application/json");
        ASSERT_TRUE(r) << k.body;
        EXPECT_EQ(rpcCode(r->body), k.code) << k.body << " -> " << r->body;
    }
    auto r = c.Post("/rpc", httplib::Headers{{"Authorization", "Bearer 00"}},
                    R"({"jsonrpc":"2.0","id":1,"method":"Pla02000.rdmRetirada.GetTipoReti","params":[]})", "application/json");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->status, 401);
    // Past the body limit: 413 with a JSON-RPC error, and the server goes on.
    const std::string big = R"({"jsonrpc":"2.0","id":1,"method":"Session.SignOn","params":[")" +
                            std::string(300 * 1024, 'x') + "\",\"y\"]}";
    r = c.Post("/rpc", big, "application/json");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->status, 413);
    EXPECT_EQ(rpcCode(r->body), net::rpc_code::PayloadTooLarge);
    expectStillServing();
}
