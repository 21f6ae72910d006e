// The request path without a database of its own (the sessions live in one):
// names, by-reference values, rollback of refused calls and sessions, through
// a small module of our own. The protocol's corners are JsonRpcTest's.
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

TEST(RpcLayer, NamesCompareWithoutCaseRefsComeBackAndNullPassesAnyKind) {
    Fixture f;
    std::string t = f.token();
    auto r = f.call("TEST.RDMTESTE.swap", {Variant("abc"), Variant(7)}, t);
    EXPECT_EQ(r.value, Variant("ok"));
    ASSERT_EQ(r.refs.size(), 2u);
    EXPECT_EQ(r.refs[0], Variant("7"));
    EXPECT_EQ(r.refs[1], Variant(3));
    // Null stands for an empty field; a wrong kind never reaches the method.
    EXPECT_EQ(f.call("Test.rdmTeste.Swap", {Variant(), Variant()}, t).value, Variant("ok"));
    EXPECT_EQ(f.errorCode("Test.rdmTeste.Swap", {Variant("a"), Variant("x")}, t), rpc_code::InvalidParams);
    EXPECT_EQ(f.journal.commits, 2);
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
