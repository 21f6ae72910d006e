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
    Variant one(const char* sql) { return conn.Query(sql).rows[0][0]; }
};

}  // namespace

TEST_F(SqliteTest, ParametersBindByNameAfreshEachTimeAndAreOnlyData) {
    const char* sql = "SELECT CD FROM T WHERE (CD = :P_CD) OR (:P_T = 'T') ORDER BY CD";
    EXPECT_EQ(conn.Query(sql, {{"P_CD", "0002"}, {"P_T", "N"}}).rows.size(), 1u);
    // The same text again: the cached statement must not keep old bindings.
    EXPECT_EQ(conn.Query(sql, {{"p_cd", Variant()}, {"P_T", "T"}}).rows.size(), 2u);
    EXPECT_THROW(conn.Query(sql, {{"P_CD", "0001"}}), SqlError);
    EXPECT_TRUE(conn.Query("SELECT CD FROM T WHERE CD = :P", {{"P", "0001' OR '1'='1"}}).Empty());
    conn.Execute("INSERT INTO T (CD, NM) VALUES ('0003', :NM)", {{"NM", "x'); DROP TABLE T; --"}});
    EXPECT_EQ(one("SELECT NM FROM T WHERE CD = '0003'").AsString(), "x'); DROP TABLE T; --");
    EXPECT_THROW(conn.Query("SELECT :A", {{"A", VarArrayOf({1, 2})}}), SqlError);
}

TEST_F(SqliteTest, DatesRoundTripAndCompareInDateOrder) {
    auto r = conn.Query("SELECT CD, QT, DT, NM FROM T ORDER BY CD");
    EXPECT_EQ(r.Value(0, "qt").AsFloat(), 1.5);
    EXPECT_EQ(r.Value(0, "DT").AsDateTime(), EncodeDate(2026, 12, 6));
    EXPECT_TRUE(r.Value(1, "DT").IsNull());
    EXPECT_THROW(r.Value(0, "NOPE"), SqlError);
    conn.Execute("UPDATE T SET DT = :D WHERE CD = '0002'", {{"D", EncodeDateTime(2026, 1, 2, 13, 4, 5)}});
    EXPECT_EQ(one("SELECT DT FROM T WHERE CD = '0002'").AsDateTime(), EncodeDateTime(2026, 1, 2, 13, 4, 5));
    EXPECT_EQ(conn.Query("SELECT CD FROM T WHERE DT >= :D", {{"D", EncodeDate(2026, 12, 6)}}).rows.size(), 1u);
}

TEST_F(SqliteTest, OracleFunctionsTreatEmptyTextAsNullAndCountCharacters) {
    EXPECT_EQ(one("SELECT NVL(NM, 'N') FROM T WHERE CD = '0002'").AsString(), "N");
    EXPECT_EQ(one("SELECT NVLSTR('S', 'N')").AsString(), "S");
    EXPECT_EQ(one("SELECT INSTR('ÇÃOJAN', 'JAN')").AsInteger(), 4);
    EXPECT_EQ(one("SELECT INSTR('ALM', 'X')").AsInteger(), 0);
    EXPECT_TRUE(one("SELECT INSTR('ALM', '')").IsNull());
}

TEST_F(SqliteTest, GuardsRollBackUnlessCommittedNestAsSavepointsAndReadsMayNotWrite) {
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
        Transaction read(conn, TxMode::Read);
        EXPECT_THROW(conn.Execute("DELETE FROM T"), SqlError);
        EXPECT_THROW(conn.Query("INSERT INTO T (CD) VALUES ('0003') RETURNING CD"), SqlError);
        EXPECT_THROW(conn.ExecuteScript("SELECT 1; DELETE FROM T"), SqlError);
        read.Commit();
    }
    Transaction outer(conn);
    EXPECT_THROW(conn.Begin(), SqlError);
    conn.Execute("DELETE FROM T WHERE CD = '0001'");
    {
        Transaction inner(conn);
        conn.Execute("DELETE FROM T");
    }
    {
        Transaction inner(conn);
        conn.Execute("INSERT INTO T (CD) VALUES ('0009')");
        inner.Commit();
    }
    outer.Commit();
    EXPECT_THROW(outer.Commit(), SqlError);
    EXPECT_EQ(count(), 2);
    EXPECT_THROW(conn.Query("SELECT 1; SELECT 2"), SqlError);
    EXPECT_THROW(conn.ExecuteScript("CREATE TABLE T (X INTEGER)"), SqlError);
}

TEST(SqliteFile, SyncedWalWithForeignKeysReadersBesideAWriterAndBadUrls) {
    auto path = std::filesystem::temp_directory_path() / "pla_db_test.sqlite";
    for (const char* s : {"", "-wal", "-shm"}) std::filesystem::remove(path.string() + s);
    {
        auto c = OpenConnection("sqlite:" + path.string());
        EXPECT_EQ(c->Query("PRAGMA journal_mode").rows[0][0].AsString(), "wal");
        EXPECT_EQ(c->Query("PRAGMA synchronous").rows[0][0].AsInteger(), 2) << "every commit synced unless asked";
        EXPECT_EQ(OpenConnection("sqlite:" + path.string() + "?sync=normal")->Query("PRAGMA synchronous").rows[0][0].AsInteger(), 1);
        c->ExecuteScript("CREATE TABLE A (ID INTEGER PRIMARY KEY); CREATE TABLE B (ID INTEGER REFERENCES A(ID));");
        EXPECT_THROW(c->Execute("INSERT INTO B VALUES (7)"), SqlError);
        c->Execute("INSERT INTO A VALUES (7)");
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
    for (const char* s : {"", "-wal", "-shm"}) std::filesystem::remove(path.string() + s);
    for (const char* bad : {"oracle://x", "sqlite:", "nopath"}) EXPECT_THROW(OpenConnection(bad), SqlError) << bad;
    EXPECT_THROW(SqliteConnection("/nonexistent-dir/x.db"), SqlError);
}
