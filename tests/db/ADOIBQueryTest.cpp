#include "db/ADOIBQuery.h"
#include "db/DataSetProvider.h"
#include "db/LocalConnection.h"
#include "db/SqliteConnection.h"

#include <gtest/gtest.h>

namespace {

class QueryTest : public ::testing::Test {
protected:
    std::shared_ptr<db::SqliteConnection> conn = std::make_shared<db::SqliteConnection>(":memory:");
    void SetUp() override {
        conn->ExecuteScript(
            "CREATE TABLE PRODUTO (CDPRODUTO VARCHAR(10), CDARVPROD VARCHAR(20), NMPRODUTO VARCHAR(50),"
            " CDNVPRODUTO VARCHAR(1), VRFATOCONV DOUBLE PRECISION, DTCADASTRO TIMESTAMP, IDATIVO VARCHAR(1));"
            "INSERT INTO PRODUTO VALUES ('100001', '0101001', 'ARROZ', '3', 1, '2026-01-02 00:00:00', 'S');"
            "INSERT INTO PRODUTO VALUES ('100002', '0101002', 'FEIJÃO', '3', 2.5, NULL, 'N');"
            "INSERT INTO PRODUTO VALUES ('900001', '01', 'GRUPO', '1', 1, NULL, '');");
        db::SetLocalConnection(conn);
    }
    void TearDown() override { db::SetLocalConnection(nullptr); }

    static void declareProduct(TADOIBQuery& q) {
        q.AddField({"CDARVPROD", TFieldType::ftString, 20, "Código"});
        q.AddField({"CDPRODUTO", TFieldType::ftString, 10, "Código", false, true, 15});
        q.AddField({"NMPRODUTO", TFieldType::ftString, 50, "Nome", true, true});
        q.AddField({"VRFATOCONV", TFieldType::ftFloat});
    }
};

}  // namespace

TEST_F(QueryTest, GenericTextOrOracleWhereGenericIsEmptyAndNoneIsAnError) {
    TADOIBQuery q("qryX");
    q.SQL_ORACLE = "SELECT 'oracle' AS T";
    q.SQL_MSSQL = "SELECT 'mssql' AS T";
    q.SQL = "  \n ";
    q.Open();
    EXPECT_EQ(q.FieldByName("T").AsString(), "oracle");
    q.Close();
    q.SQL = "SELECT 'generic' AS T";
    EXPECT_EQ(q.TextFor(db::Dialect::PostgreSQL), q.SQL);
    TADOIBQuery none("qryNone");
    none.SQL_MSSQL = "SELECT 1";
    try {
        none.Open();
        FAIL() << "opened without an applicable text";
    } catch (const Exception& e) {
        EXPECT_NE(e.Message().find("qryNone"), std::string::npos);
    }
    EXPECT_FALSE(none.Active());
}

TEST_F(QueryTest, ParametersComeFromEveryTextKeepTheirValuesAndAreOnlyData) {
    TADOIBQuery q("qryFiliOffLine");
    q.SQL_ORACLE = "SELECT CDPRODUTO FROM PRODUTO WHERE CDPRODUTO = NVL(:P_CDPRODUTO, CDPRODUTO) ORDER BY 1";
    q.SQL_IB = "SELECT 1 FROM X, PARAM(:P_IBONLY) P";
    EXPECT_EQ(q.Params().Count(), 2);
    EXPECT_THROW(q.ParamByName("P_NADA"), Exception);
    q.Open();  // unset parameter binds null: NVL takes every row
    EXPECT_EQ(q.RecordCount(), 3);
    q.Close();
    q.ParamByName("p_cdproduto").SetAsString("100002");
    q.SQL_IB.clear();
    EXPECT_EQ(q.Params().Count(), 1);
    q.Open();  // the value survives the text change
    EXPECT_EQ(q.RecordCount(), 1);
    q.Close();
    q.ParamByName("P_CDPRODUTO").SetAsString("100002' OR '1'='1");
    q.Open();
    EXPECT_TRUE(q.IsEmpty());
}

TEST_F(QueryTest, DeclaredFieldsShapeAndConvertTheRowsAndAMissingOneRefusesTheOpen) {
    TADOIBQuery q("qryProduto");
    declareProduct(q);
    q.AddField({"DTCADASTRO", TFieldType::ftDateTime});
    q.SQL = "SELECT CDARVPROD, CDPRODUTO, NMPRODUTO, VRFATOCONV, DTCADASTRO, 99 AS EXTRA FROM PRODUTO ORDER BY CDARVPROD";
    q.Open();
    EXPECT_EQ(q.FieldCount(), 5);  // the undeclared EXTRA is left out
    EXPECT_FALSE(q.FieldByName("CDPRODUTO").Visible);
    EXPECT_EQ(q.FieldByName("CDPRODUTO").Name, "qryProdutoCDPRODUTO");
    q.Next();
    EXPECT_EQ(q.FieldByName("VRFATOCONV").Value().Type(), VarType::Double);
    EXPECT_EQ(q.FieldByName("DTCADASTRO").AsDateTime(), EncodeDate(2026, 1, 2));
    EXPECT_THROW(q.Edit(), Exception);  // read-only
    TADOIBQuery missing("qryMissing");
    declareProduct(missing);
    missing.SQL = "SELECT CDARVPROD, CDPRODUTO FROM PRODUTO";
    EXPECT_THROW(missing.Open(), Exception);
    EXPECT_FALSE(missing.Active());
    // Undeclared, fields follow the columns' kinds.
    TADOIBQuery any("qryAny");
    any.SQL = "SELECT CDPRODUTO, COUNT(*) OVER () AS N, DTCADASTRO FROM PRODUTO";
    any.Connection = conn;
    any.Open();
    EXPECT_EQ(any.FieldByName("CDPRODUTO").Size(), 10);
    EXPECT_EQ(any.FieldByName("N").DataType(), TFieldType::ftInteger);
    EXPECT_EQ(any.FieldByName("DTCADASTRO").DataType(), TFieldType::ftDateTime);
}

TEST_F(QueryTest, ProviderDeliversRowsAndAFailingQueryLeavesTheClientDataSetAsItWas) {
    TADOIBQuery qry("qryProduto");
    declareProduct(qry);
    qry.SQL = "SELECT CDARVPROD, CDPRODUTO, NMPRODUTO, VRFATOCONV FROM PRODUTO WHERE CDNVPRODUTO = :P ORDER BY 1";
    qry.ParamByName("P").SetAsString("3");
    TDataSetProvider dsp("dspProduto", qry);
    TClientDataSet cds;
    cds.AddField("CDARVPROD", TFieldType::ftString, 20);
    cds.AddField("VRFATOCONV", TFieldType::ftFloat);
    dsp.Fill(cds);
    EXPECT_FALSE(qry.Active());  // opened for the provider and closed again
    EXPECT_EQ(cds.RecordCount(), 2);
    EXPECT_TRUE(cds.Locate("CDARVPROD", "0101002"));
    EXPECT_EQ(cds.FieldByName("VRFATOCONV").AsFloat(), 2.5);
    // An open source is read whole and keeps its cursor.
    qry.Open();
    qry.Last();
    dsp.Fill(cds);
    EXPECT_EQ(qry.RecNo(), 2);
    qry.Close();
    qry.SQL = "SELECT broken FROM";
    EXPECT_THROW(dsp.Fill(cds), db::SqlError);
    EXPECT_EQ(cds.RecordCount(), 2);
    EXPECT_FALSE(qry.Active());
    // Without a connection of its own or a local one there is nothing to open.
    db::SetLocalConnection(nullptr);
    EXPECT_THROW(qry.Open(), Exception);
}
