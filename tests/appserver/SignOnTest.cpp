// Sign-on against the operators of the demo database: passwords, inactive
// operators, growing delays after failures per operator and address,
// sessions shared through the database, sign-off; a refused call's writes.
#include "TestDatabase.h"
#include "AppServer.h"
#include "core/Exception.h"
#include "net/NetConnection.h"
#include "net/RpcProtocol.h"
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
    // "" on success, else the refusal text (with its code when it is not -32001).
    std::string signOnFrom(const std::string& address, const std::string& op, const std::string& pw) {
        try {
            net::DecodeResponse(server->Service()
                                    .Handle(net::EncodeRequest(1, "Session.SignOn", {Variant(op), Variant(pw)}),
                                            RequestOrigin{"", address})
                                    .body);
        } catch (const net::ERpcError& e) {
            return e.Code() == net::rpc_code::Unauthorized ? e.Message() : std::to_string(e.Code()) + " " + e.Message();
        }
        return "";
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

TEST(SignOn, FailuresDelayTheOperatorAtThatAddressOnlyWithGrowingWaits) {
    Fixture f;
    const std::string a = "10.0.0.1", b = "10.0.0.2";
    // Three attempts are free; each later one sets a wait that doubles.
    for (int i = 0; i < 4; ++i) EXPECT_EQ(f.signOnFrom(a, "BRUNO", "x"), "Operador ou senha inválidos.");
    EXPECT_EQ(f.signOnFrom(a, "BRUNO", "bruno"), "-32004 Muitas tentativas inválidas deste operador a partir deste "
                                                  "endereço. Tente novamente em 1 segundo.");
    // Guessing from A locks no one out at B, nor others at A.
    EXPECT_EQ(f.signOnFrom(b, "BRUNO", "bruno"), "");
    EXPECT_EQ(f.signOnFrom(a, "DEMO", "demo"), "");
    f.now += std::chrono::seconds(1);
    EXPECT_EQ(f.signOnFrom(a, "BRUNO", "x"), "Operador ou senha inválidos.");
    EXPECT_NE(f.signOnFrom(a, "BRUNO", "x").find("em 2 segundos"), std::string::npos);
    f.now += std::chrono::seconds(1);
    EXPECT_NE(f.signOnFrom(a, "BRUNO", "bruno").find("em 1 segundo."), std::string::npos);  // the time left
    // Once the wait is over the right password passes and the count is forgotten.
    f.now += std::chrono::seconds(1);
    EXPECT_EQ(f.signOnFrom(a, "BRUNO", "bruno"), "");
    for (int i = 0; i < 3; ++i) EXPECT_EQ(f.signOnFrom(a, "BRUNO", "x"), "Operador ou senha inválidos.");
    EXPECT_EQ(f.signOnFrom(a, "BRUNO", "bruno"), "");
    // Unknown names are counted too, and an hour without attempts forgets them.
    for (int i = 0; i < 5; ++i) f.signOnFrom(a, "NINGUEM", "x");
    EXPECT_NE(f.signOnFrom(a, "NINGUEM", "x").find("Tente novamente"), std::string::npos);
    f.now += std::chrono::hours(2);
    EXPECT_EQ(f.signOnFrom(a, "NINGUEM", "x"), "Operador ou senha inválidos.");
    // A long name is counted under its first characters, never half of one.
    std::string longName = "A";
    for (int i = 0; i < 30; ++i) longName += "Ç";
    EXPECT_EQ(f.signOnFrom(a, longName, "x"), "Operador ou senha inválidos.");
    EXPECT_EQ(SignOnThrottle().DelayAfter(1000), std::chrono::seconds(300));  // bounded
}

TEST(SignOn, SessionsLiveInTheDatabaseSharedByEveryServerAndOutliveARestart) {
    AppServerOptions o;
    o.log = NullLogSink();
    o.dbUrl = testdb::DemoUrl();
    auto one = std::make_unique<AppServer>(o);
    AppServer two(o);
    TNetConnection atOne("one", "Session"), atTwo("two", "System");
    atOne.Host = one->RegisterInProcess("shared-one");
    atTwo.Host = two.RegisterInProcess("shared-two");
    atOne.ThrowException = atTwo.ThrowException = false;
    atOne.Open();
    atTwo.Open();
    Variant signedOn = atOne.Call("SignOn", {Variant("DEMO"), Variant("demo")});
    ASSERT_TRUE(signedOn.IsArray());
    atOne.Token = atTwo.Token = signedOn.AsArray()[0].AsString();
    EXPECT_TRUE(atTwo.Call("ListMethods").IsArray());
    // Only the token's digest is stored.
    auto stored = two.WithDatabase([](db::SqlConnection& c) { return c.Query("SELECT CDHASHSESSAO FROM SESSAOSERV"); });
    ASSERT_EQ(stored.rows.size(), 1u);
    EXPECT_EQ(stored.rows[0][0].AsString(), SessionStore::Digest(atOne.Token));
    EXPECT_NE(stored.rows[0][0].AsString(), atOne.Token);
    // A restart signs no one off.
    one.reset();
    one = std::make_unique<AppServer>(o);
    TNetConnection again("again", "Session");
    again.Host = one->RegisterInProcess("shared-one-again");
    again.Token = atOne.Token;
    again.ThrowException = false;
    again.Open();
    EXPECT_EQ(again.Call("SignOff"), Variant(true));
    EXPECT_TRUE(again.Call("SignOff").IsString());
    // Signed off at one, refused at the other.
    Variant refused = atTwo.Call("ListMethods");
    ASSERT_TRUE(refused.IsString());
    EXPECT_NE(refused.AsString().find("Sessão inválida"), std::string::npos);
}

TEST(SignOn, UseKeepsASessionAliveIdlenessEndsItAndNoSessionIsA401) {
    Fixture f;
    TNetConnection c("net", "Pla02000.rdmRetirada");
    c.Host = f.host;
    c.ThrowException = false;
    c.SignOn("DEMO", "demo");
    for (int i = 0; i < 3; ++i) {
        f.now += std::chrono::hours(5);
        EXPECT_TRUE(c.Call("GetTipoReti").IsPacket()) << i;
    }
    f.now += std::chrono::hours(9);
    EXPECT_TRUE(c.Call("GetTipoReti").IsString());
    const auto reply = f.server->Service().Handle(net::EncodeRequest(1, "Pla02000.rdmRetirada.GetTipoReti", {}),
                                                  RequestOrigin{"", "10.0.0.1"});
    EXPECT_EQ(reply.httpStatus, 401);
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
