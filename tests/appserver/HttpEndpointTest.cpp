// The HTTP endpoint's limits and bad input: each gets its error and the
// server keeps serving.
#include "ServerFixture.h"
#include "net/RpcProtocol.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <thread>

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

TEST(HttpEndpoint, HealthAnswers) { expectStillServing(); }

TEST(HttpEndpoint, OversizedBodiesGet413WithAJsonRpcError) {
    auto c = client();
    std::string big = R"({"jsonrpc":"2.0","id":1,"method":"Session.SignOn","params":[")" + std::string(300 * 1024, 'x') + "\",\"y\"]}";
    auto r = c.Post("/rpc", big, "application/json");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->status, 413);
    EXPECT_EQ(rpcCode(r->body), net::rpc_code::PayloadTooLarge);
    expectStillServing();
}

TEST(HttpEndpoint, MalformedRequestsGetTheirErrors) {
    auto c = client();
    struct Case {
        std::string body;
        int code;
    } cases[] = {
        {"{\"jsonrpc\":\"2.0\",\"id\":1,", net::rpc_code::ParseError},
        {"[]", net::rpc_code::InvalidRequest},
        {R"({"jsonrpc":"2.0","id":1,"method":"Pla02000.rdmRetirada.GetTipoReti","params":"x"})", net::rpc_code::InvalidRequest},
        {R"({"jsonrpc":"2.0","id":1,"method":"Nada.rdmNada.X","params":[]})", net::rpc_code::MethodNotFound},
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
    auto notFound = c.Get("/nothing");
    ASSERT_TRUE(notFound);
    EXPECT_EQ(notFound->status, 404);
    EXPECT_EQ(rpcCode(notFound->body), net::rpc_code::InvalidRequest);
    expectStillServing();
}

TEST(HttpEndpoint, ConcurrentClientsAreServed) {
    std::vector<std::thread> threads;
    std::atomic<int> ok{0};
    for (int i = 0; i < 6; ++i)
        threads.emplace_back([&] {
            auto c = testing_server::Connect(testing_server::Via::Http, "Pla02000.rdmRetirada");
            for (int k = 0; k < 10; ++k)
                if (c->Call("GetTipoReti").IsPacket()) ++ok;
        });
    for (auto& t : threads) t.join();
    EXPECT_EQ(ok.load(), 60);
}
