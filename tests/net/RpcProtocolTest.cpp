#include "net/RpcProtocol.h"
#include "net/VariantJson.h"

#include <gtest/gtest.h>

using namespace net;

// Requests, results with their by-reference values and error answers make
// their round trip in NetConnectionTest; here, what must be refused.
TEST(RpcProtocol, BadRequestsGetTheRightCode) {
    struct Case {
        const char* text;
        int code;
    } cases[] = {
        {"not json", rpc_code::ParseError},
        {"[1,2]", rpc_code::InvalidRequest},
        {R"({"id":1,"method":"a.b","params":[]})", rpc_code::InvalidRequest},
        {R"({"jsonrpc":"2.0","id":1,"method":5})", rpc_code::InvalidRequest},
        {R"({"jsonrpc":"2.0","id":{},"method":"a.b"})", rpc_code::InvalidRequest},
        {R"({"jsonrpc":"2.0","id":1,"method":"a.b","params":5})", rpc_code::InvalidRequest},
        {R"({"jsonrpc":"2.0","id":1,"method":"a.b","params":[1e400]})", rpc_code::ParseError},
        {R"({"jsonrpc":"2.0","id":1,"method":"a.b","params":[{"$date":"x"}]})", rpc_code::InvalidParams},
    };
    std::string longName = R"({"jsonrpc":"2.0","id":1,"method":")" + std::string(kMaxMethodName + 1, 'm') + "\"}";
    try {
        DecodeRequest(longName);
        ADD_FAILURE() << "accepted a method name past the limit";
    } catch (const ERpcError& e) {
        EXPECT_EQ(e.Code(), rpc_code::InvalidRequest);
        EXPECT_LT(e.Message().size(), 100u);
    }
    for (const auto& c : cases) {
        try {
            DecodeRequest(c.text);
            ADD_FAILURE() << "accepted " << c.text;
        } catch (const ERpcError& e) {
            EXPECT_EQ(e.Code(), c.code) << c.text << " -> " << e.Message();
        }
    }
}

TEST(RpcProtocol, MalformedAnswersAreReported) {
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

// Random and mutated messages are the libFuzzer targets' work (fuzz/); a
// request nested past the codec's bound fails as a protocol or codec error.
TEST(RpcProtocol, DeepParamsFailCleanly) {
    std::string deep = R"({"jsonrpc":"2.0","id":1,"method":"a.b","params":[)" + std::string(5000, '[') +
                       std::string(5000, ']') + "]}";
    try {
        DecodeRequest(deep);
        ADD_FAILURE() << "accepted 5000 levels";
    } catch (const ERpcError&) {
    } catch (const ECodecError&) {
    }
}
