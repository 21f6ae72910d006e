// The demo database made by `pla-appserver init-db --demo` on PostgreSQL (the
// cluster's pla_demo) answers every read method as SQLite's demo does, for
// arguments taken from every withdrawal of the demo.
#include "AppServer.h"
#include "TestDatabase.h"
#include "net/NetConnection.h"
#include "net/VariantJson.h"
#include "store/Database.h"

#include <gtest/gtest.h>

#include <map>

using namespace appserver;

namespace {

struct Side {
    std::unique_ptr<AppServer> app;
    std::string host, token;

    explicit Side(std::unique_ptr<db::SqlConnection> conn, const std::string& name) {
        AppServerOptions o;
        o.log = NullLogSink();
        app = std::make_unique<AppServer>(std::move(conn), o);
        host = app->RegisterInProcess(name);
        TNetConnection s("s", "Session");
        s.Host = host;
        s.ThrowException = true;
        s.Open();
        VariantArray args{Variant("DEMO"), Variant("demo")};
        token = s.Call("SignOn", args).AsArray()[0].AsString();
    }

    // The answer and the by-reference arguments after the call, as JSON.
    std::string Call(const std::string& method, VariantArray args) {
        size_t dot = method.rfind('.');
        TNetConnection c("c", method.substr(0, dot));
        c.Host = host;
        c.Token = token;
        c.ThrowException = false;
        c.Open();
        Variant v = c.Call(method.substr(dot + 1), args);
        return net::EncodeVariant(v) + " refs " + net::EncodeVariant(Variant(args));
    }
};

}  // namespace

TEST(BackEndsAgree, EveryReadMethodAnswersAsOnSqlite) {
    ASSERT_TRUE(testdb::OnPostgres()) << "runs under the postgres label (PLA_TEST_PG)";
    Side lite(store::CreateDemoDatabase(":memory:"), "agree-sqlite");
    Side pg(testdb::Demo(), "agree-postgres");

    // One set of arguments per withdrawal of the demo, named as the methods name them.
    auto conn = store::CreateDemoDatabase(":memory:");
    auto rows = conn->Query(
        "SELECT L.CDFILIAL, L.CDFILIMOVI, L.NRLANCESTQ, L.NRRETIRADA, L.NRCARDAPIO, L.DTLANCESTQ, L.CDSERVFILI,"
        " L.DTCARDAPIO, L.NRREQUEXTRRE, (SELECT MIN(I.CDPRODUTO) FROM ITLANCTOEST I WHERE I.CDFILIAL = L.CDFILIAL"
        " AND I.NRLANCESTQ = L.NRLANCESTQ) AS CDPRODUTO FROM LANCTOEST L ORDER BY L.CDFILIAL, L.NRLANCESTQ");
    ASSERT_GE(rows.rows.size(), 4u);
    const TDateTime today = Date();
    int calls = 0, methods = 0;
    for (const auto& name : lite.app->Methods().MethodNames()) {
        const MethodDef& def = *lite.app->Methods().Find(name);
        // Sign-off ends the session the calls use; it writes nothing either way.
        if (def.access != Access::Read || !def.requiresSession || name.rfind("Session.", 0) == 0) continue;
        ++methods;
        for (size_t r = 0; r < rows.rows.size(); ++r) {
            std::map<std::string, Variant> named;
            for (size_t c = 0; c < rows.columns.size(); ++c) named[rows.columns[c].name] = rows.rows[r][c];
            named["NRREQUEXTR"] = named["NRREQUEXTRRE"];
            named["DATA"] = named["DTLANCESTQ"];
            named["DTRETIRADAINI"] = IncDay(today, -30);
            named["DTRETIRADAFIM"] = IncDay(today, 30);
            named["DTINICIAL"] = IncDay(today, -10);
            named["DTFINAL"] = IncDay(today, 10);
            named["IDTODOS"] = r % 2 ? "T" : "N";
            named["QUANTIDADE"] = 1.25;
            named["PREFIXO"] = "";
            named["kind"] = 0;
            named["operation"] = "LIBERACAO_DATA";
            VariantArray args;
            for (const ArgSpec& a : def.args) {
                auto it = named.find(a.name);
                if (it != named.end()) args.push_back(it->second);
                else args.push_back(a.type == ArgType::String ? Variant(" ") : Variant());
            }
            SCOPED_TRACE(name + " on withdrawal " + named["NRLANCESTQ"].AsString());
            EXPECT_EQ(pg.Call(name, args), lite.Call(name, args));
            ++calls;
        }
    }
    EXPECT_GE(methods, 20);
    EXPECT_GE(calls, methods * 4);
}
