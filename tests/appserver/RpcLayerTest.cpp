// The request path without a database of its own (the sessions live in one): dispatcher, signatures, sessions,
// failure texts and the log line, through a small module of our own.
#include "db/SqliteConnection.h"
#include "net/RpcProtocol.h"
#include "rpc/Dispatcher.h"
#include "rpc/RpcService.h"
#include "rpc/SessionStore.h"
#include "store/Database.h"

#include <gtest/gtest.h>

using namespace appserver;
using net::ERpcError;
namespace rpc_code = net::rpc_code;

namespace {

struct Journal {
    int commits = 0, rollbacks = 0;
    std::vector<std::string> writes;  // what the "transaction" wrote, kept only on commit
};

struct Fixture {
    Journal journal;
    std::vector<std::string> pending;
    Dispatcher dispatcher{[this](db::SqlConnection&, Access, const std::function<void()>& body) {
        pending.clear();
        try {
            body();
        } catch (...) {
            ++journal.rollbacks;
            throw;
        }
        ++journal.commits;
        for (auto& w : pending) journal.writes.push_back(w);
    }};
    std::chrono::system_clock::time_point now = std::chrono::system_clock::now();
    SessionStore sessions{std::chrono::minutes(30), [this] { return now; }};
    std::vector<std::string> log;
    // The methods here touch no database; the pool lends the call the connection the sessions live on.
    db::ConnectionPool pool{store::CreateDemoDatabase()};
    RpcService service{dispatcher, sessions, pool, [this](const std::string& line) { log.push_back(line); }};

    Fixture() {
        dispatcher.Register("Test.rdmTeste", {"Swap",
                                              {{"a", ArgType::String, true}, {"b", ArgType::Number, true}},
                                              [](CallContext&, VariantArray& a) {
                                                  Variant t = a[0];
                                                  a[0] = Variant(a[1].AsString());
                                                  a[1] = Variant(static_cast<long long>(t.AsString().size()));
                                                  return Variant("ok");
                                              }});
        dispatcher.Register("Test.rdmTeste", {"WriteThenRefuse",
                                              {{"what", ArgType::String}},
                                              [this](CallContext&, VariantArray& a) -> Variant {
                                                  pending.push_back(a[0].AsString());
                                                  if (a[0].AsString() == "bad") throw Exception("Recusado: bad");
                                                  return Variant(true);
                                              }});
        dispatcher.Register("Test.rdmTeste", {"Crash", {}, [](CallContext&, VariantArray&) -> Variant {
                                                  throw std::logic_error("boom");
                                              }});
        dispatcher.Register("Test.rdmTeste", {"WhoAmI", {}, [](CallContext& ctx, VariantArray&) {
                                                  return Variant(ctx.Operator);
                                              }});
        dispatcher.Register("Test.rdmTeste", {"Open", {{"op", ArgType::String}},
                                              [this](CallContext& ctx, VariantArray& a) {
                                                  return Variant(sessions.Open(ctx.Db(), a[0].AsString()).token);
                                              },
                                              false});
    }

    std::string token(const std::string& op = "DEMO") { return sessions.Open(*pool.Acquire(), op).token; }
    net::RpcResult call(const std::string& method, const VariantArray& args, const std::string& tok) {
        return net::DecodeResponse(service.Handle(net::EncodeRequest(1, method, args), tok).body);
    }
    int errorCode(const std::string& method, const VariantArray& args, const std::string& tok) {
        try {
            call(method, args, tok);
        } catch (const ERpcError& e) {
            return e.Code();
        }
        return 0;
    }
};

}  // namespace

TEST(RpcLayer, NamesCompareWithoutCaseAndRefsComeBack) {
    Fixture f;
    auto r = f.call("TEST.RDMTESTE.swap", {Variant("abc"), Variant(7)}, f.token());
    EXPECT_EQ(r.value, Variant("ok"));
    ASSERT_EQ(r.refs.size(), 2u);
    EXPECT_EQ(r.refs[0], Variant("7"));
    EXPECT_EQ(r.refs[1], Variant(3));
}

TEST(RpcLayer, SignaturesAreEnforcedBeforeTheMethodRuns) {
    Fixture f;
    std::string t = f.token();
    try {
        f.call("Test.rdmTeste.Swap", {Variant("a")}, t);
        FAIL();
    } catch (const ERpcError& e) {
        EXPECT_EQ(e.Code(), rpc_code::InvalidParams);
        EXPECT_NE(e.Message().find("takes 2 arguments, not 1"), std::string::npos) << e.Message();
    }
    try {
        f.call("Test.rdmTeste.Swap", {Variant("a"), Variant("x")}, t);
        FAIL();
    } catch (const ERpcError& e) {
        EXPECT_NE(e.Message().find("argument 1 (b) must be a number, not String"), std::string::npos) << e.Message();
    }
    // Null stands for an empty field and passes any declared kind.
    EXPECT_EQ(f.call("Test.rdmTeste.Swap", {Variant(), Variant()}, t).value, Variant("ok"));
    EXPECT_EQ(f.journal.commits, 1);
}

TEST(RpcLayer, UnknownModulesAndMethodsAreNamed) {
    Fixture f;
    std::string t = f.token();
    for (const char* m : {"Nada.rdmNada.Swap", "Test.rdmTeste.Nada", "semponto"}) {
        try {
            f.call(m, {}, t);
            ADD_FAILURE() << m;
        } catch (const ERpcError& e) {
            EXPECT_EQ(e.Code(), rpc_code::MethodNotFound);
            EXPECT_NE(e.Message().find(m), std::string::npos);
        }
    }
}

TEST(RpcLayer, AFailureTextRollsBackAndComesBackAsTheValue) {
    Fixture f;
    std::string t = f.token();
    EXPECT_EQ(f.call("Test.rdmTeste.WriteThenRefuse", {Variant("good")}, t).value, Variant(true));
    auto r = f.call("Test.rdmTeste.WriteThenRefuse", {Variant("bad")}, t);
    EXPECT_EQ(r.value, Variant("Recusado: bad"));
    EXPECT_EQ(f.journal.writes, std::vector<std::string>{"good"});
    EXPECT_EQ(f.journal.rollbacks, 1);
    EXPECT_EQ(f.errorCode("Test.rdmTeste.Crash", {}, t), rpc_code::InternalError);
    EXPECT_EQ(f.journal.rollbacks, 2);
}

TEST(RpcLayer, SessionsAreRequiredAndExpire) {
    Fixture f;
    EXPECT_EQ(f.errorCode("Test.rdmTeste.WhoAmI", {}, ""), rpc_code::Unauthorized);
    EXPECT_EQ(f.errorCode("Test.rdmTeste.WhoAmI", {}, "forged"), rpc_code::Unauthorized);
    EXPECT_EQ(f.service.Handle(net::EncodeRequest(1, "Test.rdmTeste.WhoAmI", {}), "").httpStatus, 401);
    std::string t = f.token("ANA");
    EXPECT_GE(t.size(), 32u);  // at least 128 bits in hex
    EXPECT_NE(t, f.token("ANA"));
    EXPECT_EQ(f.call("Test.rdmTeste.WhoAmI", {}, t).value, Variant("ANA"));
    // Use keeps a session alive; idleness ends it.
    f.now += std::chrono::minutes(20);
    EXPECT_EQ(f.call("Test.rdmTeste.WhoAmI", {}, t).value, Variant("ANA"));
    f.now += std::chrono::minutes(20);
    EXPECT_EQ(f.call("Test.rdmTeste.WhoAmI", {}, t).value, Variant("ANA"));
    f.now += std::chrono::minutes(31);
    EXPECT_EQ(f.errorCode("Test.rdmTeste.WhoAmI", {}, t), rpc_code::Unauthorized);
    // Methods declared without a session run without a token.
    EXPECT_FALSE(f.call("Test.rdmTeste.Open", {Variant("X")}, "").value.AsString().empty());
}

TEST(RpcLayer, OneLogLinePerRequest) {
    Fixture f;
    std::string t = f.token("ANA");
    f.call("Test.rdmTeste.WhoAmI", {}, t);
    f.call("Test.rdmTeste.WriteThenRefuse", {Variant("bad")}, t);
    f.errorCode("Test.rdmTeste.WhoAmI", {}, "");
    f.service.Handle("{not json", t);
    ASSERT_EQ(f.log.size(), 4u);
    EXPECT_NE(f.log[0].find(" id=1 method=Test.rdmTeste.WhoAmI operator=ANA status=200 ms="), std::string::npos) << f.log[0];
    EXPECT_NE(f.log[0].find("outcome=ok"), std::string::npos);
    EXPECT_NE(f.log[1].find("outcome=failed detail=\"Recusado: bad\""), std::string::npos) << f.log[1];
    EXPECT_NE(f.log[2].find("operator=- "), std::string::npos);
    EXPECT_NE(f.log[2].find("outcome=\"error -32001\""), std::string::npos) << f.log[2];
    EXPECT_NE(f.log[3].find("method=- "), std::string::npos);
    EXPECT_NE(f.log[3].find("error -32700"), std::string::npos);
}

TEST(RpcLayer, GarbageNeverEscapesAsAnException) {
    Fixture f;
    std::string t = f.token();
    for (const char* body : {"", "null", "[]", "{\"jsonrpc\":\"2.0\",\"method\":\"Test.rdmTeste.Swap\",\"params\":7}",
                             "{\"jsonrpc\":\"2.0\",\"id\":[1],\"method\":\"x.y\"}", "\xff\xfe"}) {
        RpcReply r;
        EXPECT_NO_THROW(r = f.service.Handle(body, t));
        EXPECT_THROW(net::DecodeResponse(r.body), ERpcError) << body;
    }
}
