#include "net/RpcProtocol.h"

#include <gtest/gtest.h>

using namespace net;

TEST(RpcProtocol, RequestRoundTrip) {
    std::string text = EncodeRequest(3, "Est00000.rdmEstoque.GetParamEstoque", {Variant("0001"), Variant("S"), Variant("10")});
    RpcRequest r = DecodeRequest(text);
    EXPECT_TRUE(r.id.present);
    EXPECT_EQ(r.id.json, "3");
    EXPECT_EQ(r.method, "Est00000.rdmEstoque.GetParamEstoque");
    ASSERT_EQ(r.params.size(), 3u);
    EXPECT_EQ(r.params[2], Variant("10"));
}

TEST(RpcProtocol, ResultCarriesValueAndRefs) {
    RpcResult in;
    in.value = VarArrayOf({Variant(1), Variant("x")});
    in.refs[0] = Variant("0001");
    in.refs[6] = Variant(EncodeDate(2024, 1, 1));
    RpcResult out = DecodeResponse(EncodeResult(RpcId{true, "9"}, in));
    EXPECT_EQ(out.value, in.value);
    EXPECT_EQ(out.refs, in.refs);
}

TEST(RpcProtocol, ErrorsComeBackAsErpcError) {
    try {
        DecodeResponse(EncodeError({}, rpc_code::MethodNotFound, "Unknown method X"));
        FAIL();
    } catch (const ERpcError& e) {
        EXPECT_EQ(e.Code(), rpc_code::MethodNotFound);
        EXPECT_EQ(e.Message(), "Unknown method X");
    }
}

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
