// The screen's local queries where the back ends could part: null against
// empty text, aggregates of no rows, typed text that looks like SQL or a
// pattern, the generic text against the Oracle one. The rest of them run in
// the scenarios on both databases.
#include "SuiteQueries.h"
#include "db/ADOIBQuery.h"
#include "TestDatabase.h"
#include "store/Database.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace suite_queries;
namespace demo = store::demo;

namespace {

class LocalQueries : public ::testing::Test {
protected:
    std::shared_ptr<db::SqlConnection> conn = testdb::Demo();

    // The values of one column after opening the query as the screen does.
    std::vector<std::string> run(const QueryText& q, const db::SqlParams& params, const std::string& column) {
        TADOIBQuery qry(q.name);
        qry.Connection = conn;
        qry.SQL = q.sql;
        qry.SQL_ORACLE = q.sqlOracle;
        for (const auto& p : params) qry.ParamByName(p.name).SetValue(p.value);
        qry.Open();
        EXPECT_EQ(TextFor(q), qry.TextFor(conn->GetDialect()));
        std::vector<std::string> out;
        for (int row = 0; row < qry.RecordCount(); ++row) {
            Variant v = qry.ValueAt(row, qry.FieldByName(column));
            out.push_back(v.IsNull() ? "(null)" : v.AsString());
        }
        return out;
    }
    static bool has(const std::vector<std::string>& v, const std::string& s) {
        return std::find(v.begin(), v.end(), s) != v.end();
    }
};

}  // namespace

TEST_F(LocalQueries, NullAndEmptyTextMeanTheSameAsTheSuiteWantsThem) {
    auto offline = [&](Variant branch) { return run(qryFiliOffLine, {{"P_CDFILIAL", branch}}, "IDUTILOFFLINE"); };
    EXPECT_EQ(offline(demo::kBranchLocations), std::vector<std::string>{"N"});  // null
    EXPECT_EQ(offline(demo::kBranchPlain), std::vector<std::string>{"N"});      // empty text
    EXPECT_EQ(offline(demo::kBranchOffline), std::vector<std::string>{"S"});
    EXPECT_EQ(offline(Variant()).size(), 8u);  // null parameter: every branch
    // An aggregate of no rows is one row holding null.
    EXPECT_EQ(run(qryRetOffLine, {{"P_CDFILIAL", demo::kBranchLocations}}, "CDFILIAL"), std::vector<std::string>{"(null)"});
    // IDSERVATIV null: SQL's <> leaves the service out, as the text says.
    for (const QueryText* q : {&qryServico, &qryServicoFiltro}) {
        auto codes = run(*q, {{"P_CDFILIAL", demo::kBranchLocations}}, "CDSERVFILI");
        EXPECT_TRUE(has(codes, demo::kServiceByDish)) << q->name;
        EXPECT_FALSE(has(codes, demo::kServiceInactive)) << q->name;
        EXPECT_FALSE(has(codes, demo::kServiceOccasional)) << q->name;
    }
}

TEST_F(LocalQueries, TypedTextIsOnlyTextNeverSqlNorAPattern) {
    EXPECT_TRUE(run(qryFilial, {{"P_CDFILIAL", "0001' OR '1'='1"}, {"P_TCDFILIAL", "N"}}, "CDFILIAL").empty());
    auto valid = [&](const char* product, const char* type) {
        return run(qryValidProdReti, {{"P_CDPRODUTO", product}, {"P_CDTIPORETI", type}}, "CDPRODUTO").size();
    };
    EXPECT_EQ(valid("0201003", demo::kTypeDisposables), 1u);  // under group 0201
    EXPECT_EQ(valid("0301004", demo::kTypeCleaning), 1u);     // under level-1 group 03
    EXPECT_EQ(valid(demo::kProductRice, demo::kTypeDisposables), 0u);
    EXPECT_EQ(valid("02%", demo::kTypeDisposables), 0u);
    // Group lists are the screen's own quoted codes; none chosen matches nothing.
    auto services = [&](const char* groups, const char* all) {
        return run(qryServicoGeral, {{"P_CDGRUPSERV", groups}, {"P_TCDGRUPSERV", all}, {"P_CDFILIAL", "0001"}},
                   "CDSERVFILI");
    };
    EXPECT_EQ(services("'DIETA','LANCHE'", "N"), (std::vector<std::string>{demo::kServiceDiet, demo::kServiceBlockedAdd}));
    EXPECT_TRUE(services("", "N").empty());
    EXPECT_FALSE(has(services("", "T"), demo::kServiceOccasional));  // type "A"
}

TEST_F(LocalQueries, TheGenericAndTheOracleTextFindTheSameAndCachedListsLeaveOutInactiveProducts) {
    for (const std::string& text : {qryValidProduto.sql, qryValidProduto.sqlOracle}) {
        auto r = conn->Query(text, {{"P_CDPRODUTO", demo::kProductRicePack}});
        ASSERT_EQ(r.rows.size(), 1u);
        EXPECT_EQ(r.Value(0, "VRFATOCONV").AsFloat(), 5.0);
        EXPECT_TRUE(conn->Query(text, {{"P_CDPRODUTO", "100001"}}).Empty());  // internal code is not a tree code
    }
    auto all = run(qryProdutoSemCache, {{"P_CDNVPRODUTO", "3"}}, "CDARVPROD");
    EXPECT_TRUE(std::is_sorted(all.begin(), all.end()));
    EXPECT_FALSE(has(all, demo::kProductRicePack));  // carried by another stock product
    auto cached = run(qryProdutoCache, {{"P_CDNVPRODUTO", "3"}, {"P_CDFILIAL", demo::kBranchLocations}}, "CDARVPROD");
    EXPECT_FALSE(has(cached, demo::kProductInactive0001));
    EXPECT_EQ(cached.size() + 2, all.size());  // 0001 has two inactive stock products
    EXPECT_EQ(run(qryProdutoCache, {{"P_CDNVPRODUTO", "3"}, {"P_CDFILIAL", demo::kBranchNoStock}}, "CDARVPROD"), all);
}
