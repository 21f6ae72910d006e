// Every local query of the screen, opened through the query component on the
// demo database as the screen opens it.
#include "SuiteQueries.h"
#include "data/ClientDataSet.h"
#include "db/ADOIBQuery.h"
#include "db/DataSetProvider.h"
#include "db/LocalConnection.h"
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

    // Opens the query with its texts and parameters set by name; the rows come back as a result.
    db::SqlResult run(const QueryText& q, const db::SqlParams& params = {}) {
        TADOIBQuery qry(q.name);
        qry.Connection = conn;
        qry.SQL = q.sql;
        qry.SQL_ORACLE = q.sqlOracle;
        for (const auto& p : params) qry.ParamByName(p.name).SetValue(p.value);
        qry.Open();
        db::SqlResult r;
        for (int i = 0; i < qry.FieldCount(); ++i) r.columns.push_back({qry.Fields(i).FieldName(), ""});
        for (int row = 0; row < qry.RecordCount(); ++row) {
            VariantArray values;
            for (int i = 0; i < qry.FieldCount(); ++i) values.push_back(qry.ValueAt(row, qry.Fields(i)));
            r.rows.push_back(std::move(values));
        }
        EXPECT_EQ(TextFor(q), qry.TextFor(conn->GetDialect()));
        return r;
    }
    static std::vector<std::string> col(const db::SqlResult& r, const std::string& name) {
        std::vector<std::string> out;
        for (size_t i = 0; i < r.rows.size(); ++i) out.push_back(r.Value(i, name).AsString());
        return out;
    }
    static bool has(const std::vector<std::string>& v, const std::string& s) {
        return std::find(v.begin(), v.end(), s) != v.end();
    }
};

}  // namespace

TEST_F(LocalQueries, FilialOneOrAll) {
    auto one = run(qryFilial, {{"P_CDFILIAL", "0002"}, {"P_TCDFILIAL", "N"}});
    ASSERT_EQ(one.rows.size(), 1u);
    EXPECT_EQ(one.Value(0, "NMFILIAL").AsString(), "FILIAL NORTE");
    for (const char* f : {"IDCNTRRESC", "CDEMPRESA", "CDINSCMUNI", "CDINSCESTA"}) EXPECT_GE(one.ColumnIndex(f), 0);
    auto all = run(qryFilial, {{"P_CDFILIAL", ""}, {"P_TCDFILIAL", "T"}});
    EXPECT_EQ(col(all, "CDFILIAL"), (std::vector<std::string>{"0001", "0002", "0003", "0004", "0005", "0006", "0007", "0008"}));
    EXPECT_TRUE(run(qryFilial, {{"P_CDFILIAL", "0001' OR '1'='1"}, {"P_TCDFILIAL", "N"}}).Empty());
}

TEST_F(LocalQueries, ServicesLeaveOutOnlyExplicitlyInactive) {
    for (const QueryText* q : {&qryServico, &qryServicoFiltro}) {
        auto codes = col(run(*q, {{"P_CDFILIAL", demo::kBranchLocations}}), "CDSERVFILI");
        EXPECT_TRUE(has(codes, demo::kServiceByDish));
        EXPECT_FALSE(has(codes, demo::kServiceInactive)) << q->name;
        // IDSERVATIV null: SQL's <> leaves it out, as the text says.
        EXPECT_FALSE(has(codes, demo::kServiceOccasional)) << q->name;
        EXPECT_TRUE(std::is_sorted(codes.begin(), codes.end()));
    }
    EXPECT_TRUE(run(qryServico, {{"P_CDFILIAL", "9999"}}).Empty());
    auto vd = run(qryVDServico, {{"P_CDFILIAL", demo::kBranchLocations}, {"P_CDSERVFILI", demo::kServiceInactive}});
    ASSERT_EQ(vd.rows.size(), 1u);
    EXPECT_EQ(vd.Value(0, "IDSERVATIV").AsString(), "N");
    EXPECT_EQ(vd.Value(0, "NMSERVICO").AsString(), "CEIA");
}

TEST_F(LocalQueries, FiliOffLineGivesNForEmptyOrNull) {
    auto flag = [&](Variant branch) {
        auto r = run(qryFiliOffLine, {{"P_CDFILIAL", branch}});
        return col(r, "IDUTILOFFLINE");
    };
    EXPECT_EQ(flag(demo::kBranchLocations), std::vector<std::string>{"N"});  // null
    EXPECT_EQ(flag(demo::kBranchPlain), std::vector<std::string>{"N"});      // empty text
    EXPECT_EQ(flag(demo::kBranchOffline), std::vector<std::string>{"S"});
    EXPECT_EQ(flag(demo::kBranchNoStock), std::vector<std::string>{"N"});
    EXPECT_EQ(flag(Variant()).size(), 8u);  // null parameter: every branch
    EXPECT_TRUE(flag("9999").empty());
}

TEST_F(LocalQueries, RetOffLineOnlyForBranchWithPendingRows) {
    auto r = run(qryRetOffLine, {{"P_CDFILIAL", demo::kBranchOffline}});
    EXPECT_EQ(r.Value(0, "CDFILIAL").AsString(), demo::kBranchOffline);
    auto none = run(qryRetOffLine, {{"P_CDFILIAL", demo::kBranchLocations}});
    ASSERT_EQ(none.rows.size(), 1u);  // an aggregate: one row, null
    EXPECT_TRUE(none.Value(0, "CDFILIAL").IsNull());
}

TEST_F(LocalQueries, ProductListsLastLevelStockProducts) {
    auto all = run(qryProduto, {{"P_CDNVPRODUTO", std::to_string(demo::kProductLevels)}});
    auto trees = col(all, "CDARVPROD");
    EXPECT_GE(trees.size(), 80u);
    EXPECT_TRUE(std::is_sorted(trees.begin(), trees.end()));
    EXPECT_TRUE(has(trees, demo::kProductRice));
    EXPECT_FALSE(has(trees, demo::kProductRicePack));  // carried by another stock product
    EXPECT_FALSE(has(trees, "0101"));                  // a group
    for (size_t i = 0; i < all.rows.size(); ++i)
        EXPECT_EQ(all.Value(i, "CDPRODUTO").AsString(), all.Value(i, "CDPRODESTO").AsString());
    EXPECT_EQ(col(run(qryProdutoSemCache, {{"P_CDNVPRODUTO", "3"}}), "CDARVPROD"), trees);

    auto cached = col(run(qryProdutoCache, {{"P_CDNVPRODUTO", "3"}, {"P_CDFILIAL", demo::kBranchLocations}}), "CDARVPROD");
    EXPECT_FALSE(has(cached, demo::kProductInactive0001));
    EXPECT_EQ(cached.size() + 2, trees.size());  // 0001 has two inactive stock products
    auto other = col(run(qryProdutoCache, {{"P_CDNVPRODUTO", "3"}, {"P_CDFILIAL", demo::kBranchNoStock}}), "CDARVPROD");
    EXPECT_EQ(other, trees);
    EXPECT_EQ(col(run(qryParamGeral), "IDCACHPRODFI"), std::vector<std::string>{"S"});
}

TEST_F(LocalQueries, ValidProdutoFindsByTreeCodeInEitherText) {
    for (const std::string& text : {qryValidProduto.sql, qryValidProduto.sqlOracle}) {
        auto r = conn->Query(text, {{"P_CDPRODUTO", demo::kProductRicePack}});
        ASSERT_EQ(r.rows.size(), 1u);
        EXPECT_EQ(r.Value(0, "NMPRODUTO").AsString(), "ARROZ PACOTE 5 KG");
        EXPECT_EQ(r.Value(0, "VRFATOCONV").AsFloat(), 5.0);
        EXPECT_NE(r.Value(0, "CDPRODESTO").AsString(), r.Value(0, "CDPRODUTO").AsString());
        EXPECT_TRUE(conn->Query(text, {{"P_CDPRODUTO", "100001"}}).Empty());  // internal code is not a tree code
    }
}

TEST_F(LocalQueries, ValidProdRetiMatchesByTreePrefix) {
    auto tied = col(run(qryExisteProdTReti, {{"P_CDTIPORETI", demo::kTypeDisposables}}), "CDPRODRETI");
    EXPECT_EQ(tied.size(), 1u);
    EXPECT_TRUE(run(qryExisteProdTReti, {{"P_CDTIPORETI", demo::kTypeFree}}).Empty());

    auto valid = [&](const char* product, const char* type) {
        return run(qryValidProdReti, {{"P_CDPRODUTO", product}, {"P_CDTIPORETI", type}}).rows.size();
    };
    EXPECT_EQ(valid("0201003", demo::kTypeDisposables), 1u);  // under group 0201
    EXPECT_EQ(valid("0201101", demo::kTypeDisposables), 1u);  // a package under it too
    EXPECT_EQ(valid("0301004", demo::kTypeCleaning), 1u);     // under level-1 group 03
    EXPECT_EQ(valid(demo::kProductRice, demo::kTypeDisposables), 0u);
    EXPECT_EQ(valid(demo::kProductRice, demo::kTypeCleaning), 0u);
    EXPECT_EQ(valid("0103009", "04"), 1u);  // a product tied itself
    EXPECT_EQ(valid("0103010", "04"), 0u);
    auto r = run(qryValidProdReti, {{"P_CDPRODUTO", "0201003"}, {"P_CDTIPORETI", demo::kTypeDisposables}});
    EXPECT_EQ(r.Value(0, "NMPRODUTO").AsString(), "PRATO DESCARTÁVEL");
    EXPECT_EQ(valid("02%", demo::kTypeDisposables), 0u);  // a pattern typed by the user is only text
}

TEST_F(LocalQueries, DishTypesOneOrAll) {
    auto one = run(qryTipoPrat, {{"P_CDTIPOPRAT", "02"}, {"P_TCDTIPOPRAT", "N"}});
    EXPECT_EQ(col(one, "NMTIPOPRAT"), std::vector<std::string>{"PRATO PRINCIPAL"});
    EXPECT_EQ(run(qryTipoPrat, {{"P_CDTIPOPRAT", ""}, {"P_TCDTIPOPRAT", "T"}}).rows.size(), 5u);
}

TEST_F(LocalQueries, DishesOfTheBranchAndShared) {
    auto r = run(qryPrato, {{"P_CDFILIAL", demo::kBranchLocations}, {"P_NIVEL", std::to_string(demo::kDishLevels)}});
    auto owners = col(r, "CDFILAUXPRAT");
    EXPECT_TRUE(has(owners, "P"));
    EXPECT_TRUE(has(owners, demo::kBranchLocations));
    EXPECT_FALSE(has(owners, demo::kBranchPlain));
    EXPECT_FALSE(has(col(r, "CDPRATO"), "01"));  // level 1 left out
    EXPECT_EQ(r.rows.size(), 11u);

    auto dish = [&](const char* code, const char* branch) {
        return run(qryValidaPrato, {{"P_CDPRATO", code}, {"P_CDFILAUXPRAT", branch}, {"P_NIVEL", "2"}});
    };
    auto shared = dish("03001", demo::kBranchPlain);
    ASSERT_EQ(shared.rows.size(), 1u);
    EXPECT_EQ(shared.Value(0, "CDFILAUXPRAT").AsString(), "P");
    EXPECT_EQ(dish("02003", demo::kBranchLocations).Value(0, "NMPRATO").AsString(), "FILÉ DE TILÁPIA ASSADO");
    EXPECT_EQ(dish("02003", demo::kBranchPlain).Value(0, "NMPRATO").AsString(), "ESCONDIDINHO DE CARNE");
    EXPECT_TRUE(dish("02003", demo::kBranchNoStock).Empty());
    EXPECT_TRUE(dish("02", "P").Empty());  // wrong level
}

TEST_F(LocalQueries, GeneralFilterServicesByGroupList) {
    auto services = [&](const char* groups, const char* all) {
        return col(run(qryServicoGeral, {{"P_CDGRUPSERV", groups}, {"P_TCDGRUPSERV", all}, {"P_CDFILIAL", "0001"}}),
                   "CDSERVFILI");
    };
    auto every = services("", "T");
    EXPECT_FALSE(has(every, demo::kServiceOccasional));  // type "A"
    EXPECT_FALSE(has(every, demo::kServiceInactive));
    EXPECT_TRUE(has(every, demo::kServiceDiet));
    EXPECT_TRUE(has(every, demo::kServiceBlockedAdd));
    EXPECT_EQ(services("'DIETA'", "N"), std::vector<std::string>{demo::kServiceDiet});
    auto two = services("'DIETA','LANCHE'", "N");
    EXPECT_EQ(two, (std::vector<std::string>{demo::kServiceDiet, demo::kServiceBlockedAdd}));
    EXPECT_TRUE(services("", "N").empty());  // no group chosen matches nothing
    EXPECT_EQ(col(run(qryGrupServ), "CDGRUPSERV"), (std::vector<std::string>{"DIETA", "LANCHE", "REFEICAO"}));
}

TEST_F(LocalQueries, ProductListThroughProviderOnTheLocalConnection) {
    // The screen's way: queries on the shared local connection, the product
    // list chosen in BeforeOpen from the general parameter, delivered to cdsProduto.
    db::SetLocalConnection(conn);
    TADOIBQuery qryParamGeral("qryParamGeral"), qryProdutoCache("qryProdutoCache"),
        qryProdutoSemCache("qryProdutoSemCache"), qryProduto("qryProduto");
    qryParamGeral.SQL = suite_queries::qryParamGeral.sql;
    qryProdutoCache.SQL = suite_queries::qryProdutoCache.sql;
    qryProdutoSemCache.SQL = suite_queries::qryProdutoSemCache.sql;
    qryProduto.SQL = suite_queries::qryProduto.sql;
    {
        TADOIBQuery* q = &qryProduto;
        q->AddField({"CDARVPROD", TFieldType::ftString, 20, "Código"});
        q->AddField({"CDPRODUTO", TFieldType::ftString, 10, "Código", false, true, 15});
        q->AddField({"NMPRODUTO", TFieldType::ftString, 50, "Nome", true, true});
        q->AddField({"CDNVPRODUTO", TFieldType::ftString, 1, "", false, true});
        q->AddField({"SGUNIDADE", TFieldType::ftString, 10, "", false});
        q->AddField({"CDPRODESTO", TFieldType::ftString, 10, "", false});
        q->AddField({"VRFATOCONV", TFieldType::ftFloat, 0, "", false});
    }
    qryProduto.BeforeOpen = [&](TDataSet&) {
        qryParamGeral.Open();
        if (qryParamGeral.FieldByName("IDCACHPRODFI").AsString() == "S") {
            qryProduto.AssignSQL(qryProdutoCache);
            qryProduto.ParamByName("P_CDFILIAL").SetAsString(demo::kBranchLocations);
        } else {
            qryProduto.AssignSQL(qryProdutoSemCache);
        }
        qryProduto.ParamByName("P_CDNVPRODUTO").SetAsString(std::to_string(demo::kProductLevels));
        qryParamGeral.Close();
    };
    TDataSetProvider dspProduto("dspProduto", qryProduto);
    TClientDataSet cdsProduto;
    cdsProduto.Name = "cdsProduto";
    dspProduto.Fill(cdsProduto);
    EXPECT_GE(cdsProduto.RecordCount(), 80);
    EXPECT_TRUE(cdsProduto.Locate("CDARVPROD", demo::kProductRice));
    EXPECT_FALSE(cdsProduto.Locate("CDARVPROD", demo::kProductInactive0001));
    EXPECT_EQ(cdsProduto.FieldByName("VRFATOCONV").DataType(), TFieldType::ftFloat);

    // The off-line check of the form's creation, on the same connection.
    TADOIBQuery qryFiliOffLine("qryFiliOffLine");
    qryFiliOffLine.SQL_ORACLE = suite_queries::qryFiliOffLine.sqlOracle;
    qryFiliOffLine.AddField({"IDUTILOFFLINE", TFieldType::ftString, 1});
    qryFiliOffLine.ParamByName("P_CDFILIAL").SetAsString(demo::kBranchOffline);
    qryFiliOffLine.Open();
    EXPECT_EQ(qryFiliOffLine.FieldByName("IDUTILOFFLINE").AsString(), "S");
    db::SetLocalConnection(nullptr);
}
