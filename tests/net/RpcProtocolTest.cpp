#include "net/RpcProtocol.h"
#include "net/VariantJson.h"

#include <gtest/gtest.h>

using namespace net;

// Requests and answers make their round trip in NetConnectionTest and through
// the server (appserver/JsonRpcTest); here, what the codec itself must refuse.
TEST(RpcProtocol, BadRequestsAndAnswersGetTheRightCode) {
    const std::string longName = R"({"jsonrpc":"2.0","id":1,"method":")" + std::string(kMaxMethodName + 1, 'm') + "\"}";
    const std::string deep = R"({"jsonrpc":"2.0","id":1,"method":"a.b","params":[)" + std::string(5000, '[') +
                             std::string(5000, ']') + "]}";
    const std::pair<std::string, int> requests[] = {
        {"not json", rpc_code::ParseError},
        {R"({"jsonrpc":"2.0","id":{},"method":"a.b"})", rpc_code::InvalidRequest},
        {R"({"jsonrpc":"2.0","id":1,"method":"a.b","params":[1e400]})", rpc_code::ParseError},
        {R"({"jsonrpc":"2.0","id":1,"method":"a.b","params":[{"$date":"x"}]})", rpc_code::InvalidParams},
        {longName, rpc_code::InvalidRequest},
    };
    for (const auto& [text, code] : requests) {
        try {
            DecodeRequest(text);
            ADD_FAILURE() << "accepted " << text.substr(0, 80);
        } catch (const ERpcError& e) {
            EXPECT_EQ(e.Code(), code) << text.substr(0, 80) << " -> " << e.Message();
            EXPECT_LT(e.Message().size(), 200u);
        }
    }
    // Nested past the codec's bound: a protocol or codec error, never a crash.
    EXPECT_ANY_THROW(DecodeRequest(deep));
    for (const char* text : {"", "{}", R"({"result":{"refs":{"x":1}}})", R"({"result":{"value":{"$q":1}}})"}) {
        try {
            DecodeResponse(text);
            ADD_FAILURE() << "accepted " << text;
        } catch (const ERpcError& e) {
            EXPECT_EQ(e.Code(), rpc_code::InternalError);
            EXPECT_NE(e.Message().find("Invalid answer"), std::string::npos);
        }
    }
}
