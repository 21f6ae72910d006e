#include "db/ConnectionUrl.h"
#include "db/SqliteConnection.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace db;

namespace {

class SqliteTest : public ::testing::Test {
protected:
    SqliteConnection conn{":memory:"};
    void SetUp() override {
        conn.ExecuteScript(
            "CREATE TABLE T (CD VARCHAR(4) PRIMARY KEY, NM VARCHAR(30), QT DOUBLE PRECISION, DT TIMESTAMP);"
            "INSERT INTO T VALUES ('0001', 'UM', 1.5, '2026-12-06 00:00:00');"
            "INSERT INTO T VALUES ('0002', '', NULL, NULL);");
    }
    int64_t count() { return conn.Query("SELECT COUNT(*) FROM T").rows[0][0].AsInteger(); }
};

std::filesystem::path tempDb(const char* name) {
    auto p = std::filesystem::temp_directory_path() / name;
    std::filesystem::remove(p);
    std::filesystem::remove(p.string() + "-wal");
    std::filesystem::remove(p.string() + "-shm");
    return p;
}

}  // namespace

TEST_F(SqliteTest, NamedParametersBindByNameAndRepeat) {
    const char* sql = "SELECT CD FROM T WHERE (CD = :P_CD) OR (:P_T = 'T') ORDER BY CD";
    EXPECT_EQ(conn.Query(sql, {{"P_CD", "0002"}, {"P_T", "N"}}).rows.size(), 1u);
    // The same text again: the cached statement must not keep old bindings.
    EXPECT_EQ(conn.Query(sql, {{"p_cd", Variant()}, {"P_T", "T"}}).rows.size(), 2u);
    EXPECT_THROW(conn.Query(sql, {{"P_CD", "0001"}}), SqlError);
}

TEST_F(SqliteTest, ParameterValuesAreOnlyData) {
    const std::string evil = "0001' OR '1'='1";
    EXPECT_TRUE(conn.Query("SELECT CD FROM T WHERE CD = :P", {{"P", evil}}).Empty());
    conn.Execute("INSERT INTO T (CD, NM) VALUES ('0003', :NM)", {{"NM", "x'); DROP TABLE T; --"}});
    EXPECT_EQ(count(), 3);
    EXPECT_EQ(conn.Query("SELECT NM FROM T WHERE CD = '0003'").rows[0][0].AsString(), "x'); DROP TABLE T; --");
}

TEST_F(SqliteTest, ValuesComeBackByKindAndDatesAsDates) {
    auto r = conn.Query("SELECT CD, QT, DT, NM FROM T ORDER BY CD");
    EXPECT_EQ(r.Value(0, "qt").AsFloat(), 1.5);
    EXPECT_EQ(r.Value(0, "DT").AsDateTime(), EncodeDate(2026, 12, 6));
    EXPECT_TRUE(r.Value(1, "DT").IsNull());
    EXPECT_EQ(r.Value(1, "NM").AsString(), "");
    EXPECT_THROW(r.Value(0, "NOPE"), SqlError);
    conn.Execute("UPDATE T SET DT = :D WHERE CD = '0002'", {{"D", EncodeDateTime(2026, 1, 2, 13, 4, 5)}});
    EXPECT_EQ(conn.Query("SELECT DT FROM T WHERE CD = '0002'").rows[0][0].AsDateTime(),
              EncodeDateTime(2026, 1, 2, 13, 4, 5));
    // Dates compare as texts in date order.
    EXPECT_EQ(conn.Query("SELECT CD FROM T WHERE DT >= :D", {{"D", EncodeDate(2026, 12, 6)}}).rows.size(), 1u);
    EXPECT_THROW(conn.Query("SELECT :A", {{"A", VarArrayOf({1, 2})}}), SqlError);
}

TEST_F(SqliteTest, OracleFunctionsTreatEmptyTextAsNull) {
    auto one = [&](const char* sql) { return conn.Query(sql).rows[0][0]; };
    EXPECT_EQ(one("SELECT NVL(NM, 'N') FROM T WHERE CD = '0002'").AsString(), "N");
    EXPECT_EQ(one("SELECT NVL(NULL, 'N')").AsString(), "N");
    EXPECT_EQ(one("SELECT NVLSTR('S', 'N')").AsString(), "S");
    EXPECT_EQ(one("SELECT INSTR('ALM,JAN', 'JAN')").AsInteger(), 5);
    EXPECT_EQ(one("SELECT INSTR('ÇÃOJAN', 'JAN')").AsInteger(), 4);  // characters, not bytes
    EXPECT_EQ(one("SELECT INSTR('ALM', 'X')").AsInteger(), 0);
    EXPECT_TRUE(one("SELECT INSTR('ALM', '')").IsNull());
}

TEST_F(SqliteTest, TransactionGuardRollsBackUnlessCommitted) {
    {
        Transaction t(conn);
        conn.Execute("DELETE FROM T");
    }
    EXPECT_EQ(count(), 2);
    EXPECT_THROW(
        {
            Transaction t(conn);
            conn.Execute("DELETE FROM T WHERE CD = '0001'");
            conn.Execute("INSERT INTO T (CD) VALUES ('0002')");  // duplicate key
            t.Commit();
        },
        SqlError);
    EXPECT_EQ(count(), 2);
    EXPECT_FALSE(conn.InTransaction());
    {
        Transaction t(conn);
        conn.Execute("DELETE FROM T WHERE CD = '0001'");
        t.Commit();
        EXPECT_THROW(t.Commit(), SqlError);
    }
    EXPECT_EQ(count(), 1);
}

// A read transaction refuses writes, as on PostgreSQL; the next write transaction may write.
TEST_F(SqliteTest, ReadTransactionMayNotWrite) {
    {
        Transaction t(conn, TxMode::Read);
        EXPECT_EQ(count(), 2);
        EXPECT_THROW(conn.Execute("DELETE FROM T"), SqlError);
        EXPECT_THROW(conn.Query("INSERT INTO T (CD) VALUES ('0003') RETURNING CD"), SqlError);
        EXPECT_THROW(conn.ExecuteScript("SELECT 1; DELETE FROM T"), SqlError);
        {
            Transaction inner(conn, TxMode::Read);  // a savepoint writes nothing
            EXPECT_EQ(count(), 2);
            inner.Commit();
        }
        t.Commit();
    }
    Transaction t(conn);
    EXPECT_EQ(conn.Execute("DELETE FROM T"), 2);
}

TEST_F(SqliteTest, NestedGuardIsASavepoint) {
    Transaction outer(conn);
    EXPECT_THROW(conn.Begin(), SqlError);
    conn.Execute("DELETE FROM T WHERE CD = '0001'");
    {
        Transaction inner(conn);
        conn.Execute("DELETE FROM T");
    }
    EXPECT_EQ(count(), 1);
    {
        Transaction inner(conn);
        conn.Execute("INSERT INTO T (CD) VALUES ('0009')");
        inner.Commit();
    }
    outer.Commit();
    EXPECT_EQ(count(), 2);
    EXPECT_FALSE(conn.InTransaction());
}

TEST_F(SqliteTest, ScriptsAndSingleStatements) {
    EXPECT_THROW(conn.Query("SELECT 1; SELECT 2"), SqlError);
    EXPECT_THROW(conn.Query("SELEC 1"), SqlError);
    EXPECT_THROW(conn.ExecuteScript("CREATE TABLE T (X INTEGER)"), SqlError);
}

TEST(SqliteFile, WalForeignKeysAndCopy) {
    auto path = tempDb("pla_db_test.sqlite");
    {
        auto c = OpenConnection("sqlite:" + path.string());
        EXPECT_EQ(c->GetDialect(), Dialect::SQLite);
        EXPECT_EQ(c->Query("PRAGMA journal_mode").rows[0][0].AsString(), "wal");
        EXPECT_EQ(c->Query("PRAGMA synchronous").rows[0][0].AsInteger(), 2) << "every commit synced unless asked";
        EXPECT_EQ(OpenConnection("sqlite:" + path.string() + "?sync=normal")->Query("PRAGMA synchronous").rows[0][0].AsInteger(), 1);
        c->ExecuteScript("CREATE TABLE A (ID INTEGER PRIMARY KEY); CREATE TABLE B (ID INTEGER REFERENCES A(ID));");
        EXPECT_THROW(c->Execute("INSERT INTO B VALUES (7)"), SqlError);
        c->Execute("INSERT INTO A VALUES (7)");
        // A second connection reads while the first holds a write transaction.
        Transaction t(*c);
        c->Execute("INSERT INTO B VALUES (7)");
        SqliteConnection reader(path.string());
        EXPECT_EQ(reader.Query("SELECT COUNT(*) FROM B").rows[0][0].AsInteger(), 0);
        t.Commit();
        EXPECT_EQ(reader.Query("SELECT COUNT(*) FROM B").rows[0][0].AsInteger(), 1);
        SqliteConnection mem(":memory:");
        reader.CopyTo(mem);
        EXPECT_EQ(mem.Query("SELECT COUNT(*) FROM A").rows[0][0].AsInteger(), 1);
    }
    std::filesystem::remove(path);
    EXPECT_THROW(OpenConnection("oracle://x"), SqlError);
    EXPECT_THROW(OpenConnection("sqlite:"), SqlError);
    EXPECT_THROW(OpenConnection("nopath"), SqlError);
    EXPECT_THROW(SqliteConnection("/nonexistent-dir/x.db"), SqlError);
}
