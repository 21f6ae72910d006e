// JSON-RPC 2.0 as the protocol defines it, through the server's request
// handling: the protocol's own request examples as a table (method names
// qualified with a module, as this server wants them), then ids in every
// error, numbers out of range, arguments by name and the log line per call.
#include "db/SqliteConnection.h"
#include "net/RpcProtocol.h"
#include "rpc/Dispatcher.h"
#include "rpc/RpcService.h"
#include "rpc/SessionStore.h"

#include <gtest/gtest.h>

#include <atomic>

using namespace appserver;
namespace rpc_code = net::rpc_code;

namespace {

struct Fixture {
    Dispatcher dispatcher;
    SessionStore sessions;
    std::vector<std::string> log;
    LogFormat format = LogFormat::Logfmt;
    db::ConnectionPool pool{std::make_unique<db::SqliteConnection>(":memory:")};  // lent, never used
    RpcService service{dispatcher, sessions, pool, [this](const std::string& line) { log.push_back(line); }};
    std::atomic<int> updates{0};

    Fixture() {
        auto reg = [this](const char* name, std::vector<ArgSpec> args, MethodFn fn) {
            MethodDef d{name, std::move(args), std::move(fn)};
            d.requiresSession = false;
            dispatcher.Register("Ex", std::move(d));
        };
        const ArgSpec n1{"minuend", ArgType::Number}, n2{"subtrahend", ArgType::Number};
        reg("subtract", {n1, n2}, [](CallContext&, VariantArray& a) { return Variant(a[0].AsFloat() - a[1].AsFloat()); });
        reg("sum", {{"a", ArgType::Number}, {"b", ArgType::Number}, {"c", ArgType::Number}}, [](CallContext&, VariantArray& a) {
            return Variant(a[0].AsFloat() + a[1].AsFloat() + a[2].AsFloat());
        });
        reg("update", {AnyArg(1), AnyArg(2), AnyArg(3), AnyArg(4), AnyArg(5)}, [this](CallContext&, VariantArray&) {
            ++updates;
            return Variant(true);
        });
        reg("notify_hello", {AnyArg(1)}, [this](CallContext&, VariantArray&) {
            ++updates;
            return Variant(true);
        });
        reg("get_data", {}, [](CallContext&, VariantArray&) { return VarArrayOf({Variant("hello"), Variant(5)}); });
        reg("quantity", {{"q", ArgType::Number}}, [](CallContext&, VariantArray& a) { return Variant(a[0].AsFloat() * 10); });
    }
    static ArgSpec AnyArg(int i) { return {"p" + std::to_string(i), ArgType::Any}; }

    std::vector<net::RpcAnswer> handle(const std::string& request) {
        return net::DecodeAnswers(service.Handle(request, RequestOrigin{"", "10.0.0.9"}).body);
    }
};

// An expected answer: its id as JSON text, then an error code, or 0 and the value.
struct Expected {
    std::string id;
    int code;
    Variant value;
};

struct Example {
    const char* what;
    const char* request;
    std::vector<Expected> answers;  // empty: nothing comes back
};

}  // namespace

TEST(JsonRpc, TheProtocolsRequestExamples) {
    const std::vector<Example> examples = {
        {"positional parameters", R"({"jsonrpc": "2.0", "method": "Ex.subtract", "params": [42, 23], "id": 1})",
         {{"1", 0, Variant(19.0)}}},
        {"named parameters",
         R"({"jsonrpc": "2.0", "method": "Ex.subtract", "params": {"subtrahend": 23, "minuend": 42}, "id": 3})",
         {{"3", 0, Variant(19.0)}}},
        {"notification", R"({"jsonrpc": "2.0", "method": "Ex.update", "params": [1,2,3,4,5]})", {}},
        {"notification of an unknown method", R"({"jsonrpc": "2.0", "method": "Ex.foobar"})", {}},
        {"non-existent method", R"({"jsonrpc": "2.0", "method": "Ex.foobar", "id": "1"})",
         {{"\"1\"", rpc_code::MethodNotFound, {}}}},
        {"invalid JSON", R"({"jsonrpc": "2.0", "method": "foobar, "params": "bar", "baz])",
         {{"null", rpc_code::ParseError, {}}}},
        {"invalid request object", R"({"jsonrpc": "2.0", "method": 1, "params": "bar"})",
         {{"null", rpc_code::InvalidRequest, {}}}},
        {"batch, invalid JSON",
         R"([{"jsonrpc": "2.0", "method": "Ex.sum", "params": [1,2,4], "id": "1"}, {"jsonrpc": "2.0", "method" ])",
         {{"null", rpc_code::ParseError, {}}}},
        {"empty array", "[]", {{"null", rpc_code::InvalidRequest, {}}}},
        {"invalid batch", "[1,2,3]",
         {{"null", rpc_code::InvalidRequest, {}}, {"null", rpc_code::InvalidRequest, {}}, {"null", rpc_code::InvalidRequest, {}}}},
        {"batch",
         R"([
            {"jsonrpc": "2.0", "method": "Ex.sum", "params": [1,2,4], "id": "1"},
            {"jsonrpc": "2.0", "method": "Ex.notify_hello", "params": [7]},
            {"jsonrpc": "2.0", "method": "Ex.subtract", "params": [42,23], "id": "2"},
            {"foo": "boo"},
            {"jsonrpc": "2.0", "method": "foo.get", "params": {"name": "myself"}, "id": "5"},
            {"jsonrpc": "2.0", "method": "Ex.get_data", "id": "9"}
         ])",
         {{"\"1\"", 0, Variant(7.0)},
          {"\"2\"", 0, Variant(19.0)},
          {"null", rpc_code::InvalidRequest, {}},
          {"\"5\"", rpc_code::MethodNotFound, {}},
          {"\"9\"", 0, VarArrayOf({Variant("hello"), Variant(5)})}}},
        {"batch of notifications only",
         R"([{"jsonrpc": "2.0", "method": "Ex.update", "params": [1,2,3,4,5]},
             {"jsonrpc": "2.0", "method": "Ex.notify_hello", "params": [7]}])",
         {}},
    };
    for (const auto& ex : examples) {
        SCOPED_TRACE(ex.what);
        Fixture f;
        auto answers = f.handle(ex.request);
        ASSERT_EQ(answers.size(), ex.answers.size());
        for (size_t i = 0; i < answers.size(); ++i) {
            EXPECT_EQ(answers[i].id.json, ex.answers[i].id) << "answer " << i;
            EXPECT_EQ(answers[i].errorCode, ex.answers[i].code) << "answer " << i << ": " << answers[i].errorMessage;
            if (ex.answers[i].code == 0) {
                EXPECT_EQ(answers[i].result.value, ex.answers[i].value) << "answer " << i;
            }
        }
    }
}

TEST(JsonRpc, NotificationsRunAndAnswerNothingNotEvenOverHttpStatus) {
    Fixture f;
    RpcReply r = f.service.Handle(R"({"jsonrpc":"2.0","method":"Ex.update","params":[1,2,3,4,5]})", "");
    EXPECT_EQ(r.httpStatus, 204);
    EXPECT_TRUE(r.body.empty());
    EXPECT_EQ(f.updates, 1);
    // A notification whose arguments do not fit is not answered either.
    EXPECT_TRUE(f.service.Handle(R"({"jsonrpc":"2.0","method":"Ex.update","params":[1]})", "").body.empty());
    EXPECT_EQ(f.updates, 1);
}

TEST(JsonRpc, TheIdIsEchoedInEveryErrorOfAReadableCall) {
    Fixture f;
    struct Case {
        const char* request;
        int code;
    };
    const Case cases[] = {
        {R"({"jsonrpc":"2.0","id":77,"method":"Ex.subtract","params":[1]})", rpc_code::InvalidParams},
        {R"({"jsonrpc":"2.0","id":77,"method":"Ex.subtract","params":[{"$date":"nonsense"},1]})", rpc_code::InvalidParams},
        {R"({"jsonrpc":"2.0","id":77,"method":"Ex.subtract","params":{"minuend":1}})", rpc_code::InvalidParams},
        {R"({"jsonrpc":"2.0","id":77,"method":"Ex.subtract","params":{"minuend":1,"other":2}})", rpc_code::InvalidParams},
        {R"({"jsonrpc":"2.0","id":77,"method":"Ex.nothing"})", rpc_code::MethodNotFound},
        {R"({"jsonrpc":"1.0","id":77,"method":"Ex.subtract"})", rpc_code::InvalidRequest},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.request);
        auto a = f.handle(c.request);
        ASSERT_EQ(a.size(), 1u);
        EXPECT_EQ(a[0].errorCode, c.code) << a[0].errorMessage;
        EXPECT_EQ(a[0].id.json, "77");
    }
    // A text id comes back as a text.
    EXPECT_EQ(f.handle(R"({"jsonrpc":"2.0","id":"a-1","method":"Ex.subtract","params":[1]})").at(0).id.json, "\"a-1\"");
}

TEST(JsonRpc, NumbersOutOfRangeAreTheCallersFaultNotTheServers) {
    Fixture f;
    // Too large for a double: the text is no JSON this server can read.
    auto huge = f.handle(R"({"jsonrpc":"2.0","id":5,"method":"Ex.quantity","params":[1e400]})");
    ASSERT_EQ(huge.size(), 1u);
    EXPECT_EQ(huge[0].errorCode, rpc_code::ParseError) << huge[0].errorMessage;
    // A result the wire cannot carry (1e308 * 10 is infinite) is an internal
    // error of that call, with its id, and never a crash.
    auto inf = f.handle(R"({"jsonrpc":"2.0","id":6,"method":"Ex.quantity","params":[1e308]})");
    ASSERT_EQ(inf.size(), 1u);
    EXPECT_EQ(inf[0].errorCode, rpc_code::InternalError);
    EXPECT_EQ(inf[0].id.json, "6");
}

TEST(JsonRpc, OneLogLinePerCallWithOriginIdAndOutcome) {
    Fixture f;
    f.handle(R"([{"jsonrpc":"2.0","id":1,"method":"Ex.get_data"},{"jsonrpc":"2.0","id":"x\u001b[31m","method":"Ex.none\u0007"}])");
    ASSERT_EQ(f.log.size(), 2u);
    EXPECT_NE(f.log[0].find("peer=10.0.0.9 id=1 method=Ex.get_data operator=- status=200"), std::string::npos) << f.log[0];
    EXPECT_NE(f.log[0].find("outcome=ok"), std::string::npos) << f.log[0];
    EXPECT_EQ(f.log[0].rfind("time=20", 0), 0u) << f.log[0];
    // ESC and BEL never reach the log raw.
    for (const auto& line : f.log)
        for (char c : line) EXPECT_GE(static_cast<unsigned char>(c), 0x20) << line;
    EXPECT_NE(f.log[1].find(R"(id="\"x\\u001b[31m\"")"), std::string::npos) << f.log[1];
    EXPECT_NE(f.log[1].find(R"(method="Ex.none\u0007")"), std::string::npos) << f.log[1];
    EXPECT_NE(f.log[1].find("outcome=\"error -32601\""), std::string::npos) << f.log[1];
}

TEST(JsonRpc, LogLinesAsJsonStayOneLineWithTheirTextsEscaped) {
    RequestLogEntry e;
    e.peer = "::1";
    e.id = "3";
    e.method = "M.x";
    e.tried = "ANA\nforged=1";
    e.status = 401;
    e.milliseconds = 1.25;
    e.outcome = "error -32001";
    e.detail = std::string("bad \xff utf-8 \"quoted\"");
    const std::string line = FormatLogLine(e, LogFormat::Json);
    EXPECT_EQ(line.find('\n'), std::string::npos);
    EXPECT_NE(line.find(R"("peer":"::1","id":"3","method":"M.x","operator":"-","tried":"ANA\nforged=1","status":401,"ms":1.2)"),
              std::string::npos)
        << line;
    EXPECT_NE(line.find(R"("detail":"bad \ufffd utf-8 \"quoted\""})"), std::string::npos) << line;
    LogFormat f = LogFormat::Logfmt;
    EXPECT_TRUE(ParseLogFormat("json", f) && f == LogFormat::Json);
    EXPECT_FALSE(ParseLogFormat("xml", f));
}
