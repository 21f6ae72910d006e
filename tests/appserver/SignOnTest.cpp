// Sign-on against the operators of the demo database: passwords, inactive
// operators, lockout after repeated failures, sign-off.
#include "TestDatabase.h"
#include "AppServer.h"
#include "core/Exception.h"
#include "net/NetConnection.h"
#include "store/Database.h"

#include <gtest/gtest.h>

using namespace appserver;

namespace {

struct Fixture {
    std::chrono::system_clock::time_point now = std::chrono::system_clock::now();
    std::unique_ptr<AppServer> server;
    std::string host;
    std::vector<std::string> log;
    Fixture() {
        AppServerOptions o;
        o.log = [this](const std::string& line) { log.push_back(line); };
        o.clock = [this] { return now; };
        server = std::make_unique<AppServer>(testdb::Demo(), o);
        host = server->RegisterInProcess("signon-tests");
    }
    // "" on success, else the refusal text.
    std::string signOn(const std::string& op, const std::string& pw) {
        TNetConnection c("net", "Pla02000.rdmRetirada");
        c.Host = host;
        try {
            c.SignOn(op, pw);
        } catch (const Exception& e) {
            return e.Message();
        }
        return "";
    }
};

}  // namespace

TEST(SignOn, PasswordsOperatorsAndCase) {
    Fixture f;
    EXPECT_EQ(f.signOn("DEMO", "demo"), "");
    EXPECT_EQ(f.signOn(" demo ", "demo"), "");  // operator codes are upper case, typed any way
    EXPECT_EQ(f.signOn("DEMO", "DEMO"), "Operador ou senha inválidos.");
    EXPECT_EQ(f.signOn("NINGUEM", "demo"), "Operador ou senha inválidos.");  // same answer: no hint who exists
    f.server->WithDatabase([](db::SqlConnection& c) { return c.Execute("UPDATE OPERADOR SET IDATIVO = 'N' WHERE CDOPERADOR = 'ANA'"); });
    EXPECT_EQ(f.signOn("ANA", "ana"), "Operador ou senha inválidos.");
}

TEST(SignOn, AFailedSignOnLogsTheNameTriedAndNeverThePassword) {
    Fixture f;
    f.signOn("ninguém\x1b[2J", "segredo-123");
    ASSERT_FALSE(f.log.empty());
    const std::string& line = f.log.back();
    EXPECT_NE(line.find("method=Session.SignOn operator=- tried=\"NINGUÉM\\u001b[2J\" status=401"), std::string::npos) << line;
    EXPECT_EQ(line.find("segredo"), std::string::npos) << line;
    f.signOn("DEMO", "demo");
    EXPECT_NE(f.log.back().find("operator=DEMO status=200"), std::string::npos) << f.log.back();
    EXPECT_EQ(f.log.back().find("tried="), std::string::npos) << f.log.back();
}

TEST(SignOn, RepeatedFailuresLockTheOperatorOutForAWhile) {
    Fixture f;
    for (int i = 0; i < 5; ++i) EXPECT_EQ(f.signOn("BRUNO", "x"), "Operador ou senha inválidos.");
    EXPECT_NE(f.signOn("BRUNO", "bruno").find("bloqueado temporariamente"), std::string::npos);
    EXPECT_EQ(f.signOn("DEMO", "demo"), "");  // others are not affected
    f.now += std::chrono::seconds(61);
    EXPECT_EQ(f.signOn("BRUNO", "bruno"), "");
    // A success clears the count.
    for (int i = 0; i < 4; ++i) f.signOn("BRUNO", "x");
    EXPECT_EQ(f.signOn("BRUNO", "bruno"), "");
    for (int i = 0; i < 4; ++i) f.signOn("BRUNO", "x");
    EXPECT_EQ(f.signOn("BRUNO", "bruno"), "");
}

TEST(SignOn, SignOffEndsTheSession) {
    Fixture f;
    TNetConnection c("net", "Session");
    c.Host = f.host;
    c.ThrowException = false;
    c.SignOn("DEMO", "demo");
    EXPECT_EQ(c.Call("SignOff"), Variant(true));
    Variant v = c.Call("SignOff");
    ASSERT_TRUE(v.IsString());
    EXPECT_NE(v.AsString().find("Sessão inválida"), std::string::npos);
}

TEST(Transactions, ARefusedCallLeavesNothingBehindAndTheNextCallWorks) {
    AppServerOptions o;
    o.log = NullLogSink();
    o.extraModules = [](Dispatcher& d) {
        d.Register("Test.rdmTeste", {"Grava",
                                     {{"refuse", ArgType::Bool}},
                                     [](CallContext& ctx, VariantArray& a) -> Variant {
                                         ctx.Db().Execute("INSERT INTO LIBERACAO (CDFILIAL, DTLIBERADA, CDOPERADOR, DTHRLIBERA)"
                                                      " VALUES ('0001', :D, :O, :D)",
                                                      {{"D", EncodeDate(2001, 1, 1)}, {"O", ctx.Operator}});
                                         if (a[0].AsBoolean()) throw Exception("Recusado depois de gravar.");
                                         return Variant(true);
                                     },
                                     true, Access::Write});
    };
    AppServer server(testdb::Demo(), o);
    std::string host = server.RegisterInProcess("tx-tests");
    TNetConnection c("net", "Test.rdmTeste");
    c.Host = host;
    c.ThrowException = false;
    c.SignOn("DEMO", "demo");
    auto count = [&] {
        return server.WithDatabase([](db::SqlConnection& conn) {
            return conn.Query("SELECT COUNT(*) FROM LIBERACAO WHERE DTLIBERADA = :D", {{"D", EncodeDate(2001, 1, 1)}})
                .rows[0][0]
                .AsInteger();
        });
    };
    EXPECT_EQ(c.Call("Grava", {Variant(true)}), Variant("Recusado depois de gravar."));
    EXPECT_EQ(count(), 0);
    EXPECT_EQ(c.Call("Grava", {Variant(false)}), Variant(true));
    EXPECT_EQ(count(), 1);
    // A fault (here a duplicate key) is rolled back too and reported as an error text.
    Variant dup = c.Call("Grava", {Variant(false)});
    ASSERT_TRUE(dup.IsString());
    EXPECT_EQ(count(), 1);
}
