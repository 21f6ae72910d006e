// The declared queries opened on the demo database: every declared field must
// come back from its text, so a field the schema lacks or a text that does not
// run shows up here rather than on the screen.
#include "Cli_pla02000/model/RetiradaQueries.h"
#include "Cli_pla02010/model/FiltroRetiradaModel.h"
#include "Cli_pla02015/model/FiltroRetiradaGeralModel.h"
#include "core/Exception.h"
#include "db/ADOIBQuery.h"
#include "db/BuildQuery.h"
#include "TestDatabase.h"
#include "store/Database.h"

#include <gtest/gtest.h>

#include <map>

using namespace model;

namespace {

// Parameter values that select something on the demo data.
const std::map<std::string, Variant> kParams{
    {"P_CDFILIAL", "0001"}, {"P_TCDFILIAL", "T"}, {"P_CDNVPRODUTO", 3}, {"P_CDPRODUTO", "0101001"},
    {"P_CDTIPORETI", "01"}, {"P_CDTIPOPRAT", "01"}, {"P_TCDTIPOPRAT", "T"}, {"P_NIVEL", 2},
    {"P_CDPRATO", "01"},    {"P_CDFILAUXPRAT", "0001"}, {"P_CDSERVFILI", "001"}, {"P_CDGRUPSERV", ""},
    {"P_TCDGRUPSERV", "T"}};

class QueriesOnDemoDatabase : public ::testing::Test {
protected:
    std::shared_ptr<db::SqlConnection> conn = testdb::Demo();

    void OpenAll(std::span<const QueryDef> queries) {
        for (const QueryDef& def : queries) {
            SCOPED_TRACE(std::string(def.name));
            TADOIBQuery query;
            BuildQuery(query, def);
            query.Connection = conn;
            if (query.TextFor(conn->GetDialect()).empty()) {
                EXPECT_EQ(def.name, "qryPesqProduto");  // its handler gives it a text before it opens
                continue;
            }
            for (std::string_view p : def.params) {
                auto value = kParams.find(std::string(p));
                ASSERT_NE(value, kParams.end()) << p;
                query.ParamByName(std::string(p)).SetValue(value->second);
            }
            ASSERT_NO_THROW(query.Open());
            EXPECT_EQ(query.FieldCount(), static_cast<int>(def.fields.size()));
            ++opened;
        }
    }
    int opened = 0;
};

}  // namespace

TEST_F(QueriesOnDemoDatabase, EveryQueryWithATextOpensWithItsDeclaredFields) {
    OpenAll(ScreenQueries());
    OpenAll(FiltroRetiradaQueries());
    OpenAll(FiltroRetiradaGeralQueries());
    EXPECT_EQ(opened, 18);
}

TEST_F(QueriesOnDemoDatabase, ABuiltQueryIsNotBuiltTwiceAndFallsBackToTheOracleText) {
    TADOIBQuery branches;
    BuildQuery(branches, *FindScreenQuery("qryFilial"));
    EXPECT_EQ(branches.FieldByName("CDFILIAL").EditMask, ">aaaa;0; ");
    EXPECT_THROW(BuildQuery(branches, *FindScreenQuery("qryFilial")), Exception);
    // The off-line check has no generic text: the Oracle text runs here.
    TADOIBQuery offline;
    BuildQuery(offline, *FindScreenQuery("qryFiliOffLine"));
    EXPECT_EQ(offline.TextFor(conn->GetDialect()), FindScreenQuery("qryFiliOffLine")->sqlOracle);
}

TEST_F(QueriesOnDemoDatabase, AFieldTheTextDoesNotReturnFailsToOpen) {
    constexpr FieldDef fields[] = {StringField("CDFILIAL", 4), StringField("NOSUCHCOLUMN", 4)};
    const QueryDef def = Query("qryBroken", fields).Sql("SELECT CDFILIAL FROM FILIAL");
    TADOIBQuery query;
    BuildQuery(query, def);
    query.Connection = conn;
    EXPECT_ANY_THROW(query.Open());
}
