#include "TestDatabase.h"
#include "db/ConnectionUrl.h"
#include "db/SqliteConnection.h"
#include "store/Database.h"
#include "store/LedgerAudit.h"
#include "store/Migrations.h"
#include "store/Password.h"
#include "store/ProcessingDate.h"
#include "store/Sequences.h"
#include "store/StockLedger.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <thread>

namespace demo = store::demo;

namespace {
int64_t count(db::SqlConnection& c, const std::string& sql, const db::SqlParams& p = {}) {
    return c.Query(sql, p).rows.at(0).at(0).AsInteger();
}
}  // namespace

TEST(Migrations, IdempotentAndRecorded) {
    auto blank = testdb::Blank();
    db::SqlConnection& c = *blank;
    EXPECT_EQ(store::SchemaVersion(c), 0);
    EXPECT_EQ(store::Migrate(c), static_cast<int>(store::Migrations().size()));
    EXPECT_EQ(store::Migrate(c), 0);
    EXPECT_EQ(store::SchemaVersion(c), store::Migrations().back().version);
    auto r = store::InitDatabase(c, false);
    EXPECT_EQ(r.migrationsApplied, 0);
    EXPECT_FALSE(r.demoLoaded);
    for (const char* t : {"FILIAL", "SERVICO", "PRODUTO", "PRODFILI", "PARAMGERAL", "RETIRADA", "PRODRETI", "TIPOPRAT",
                          "PRATO", "GRUPSERV", "PARAMESTOQUE", "PARAMFILIAL", "DATAPROC", "MOVIESTQ", "LANCTOEST",
                          "ITLANCTOEST", "RETITIPOPRAT", "PREVRETI", "ITPREVRETI", "CARDAPIO", "OPERADOR", "NUMSEQ"})
        EXPECT_EQ(count(c, std::string("SELECT COUNT(*) FROM ") + t), 0) << t;
}

TEST(Migrations, NewerDatabaseIsRefused) {
    auto blank = testdb::Blank();
    db::SqlConnection& c = *blank;
    store::Migrate(c);
    c.Execute("INSERT INTO SCHEMA_VERSAO (NRVERSAO, DSVERSAO, DTAPLICADA) VALUES (999, 'futuro', '2030-01-01 00:00:00')");
    EXPECT_THROW(store::Migrate(c), Exception);
}

// A database from before the running balances: the migration builds them
// (and the places) from the movements it holds.
TEST(Migrations, RunningBalancesAreBuiltFromAnExistingLedger) {
    auto blank = testdb::Blank();
    db::SqlConnection& c = *blank;
    store::SchemaVersion(c);
    for (const store::Migration& m : store::Migrations())
        if (m.version < 10) {
            if (*m.sql) c.ExecuteScript(m.sql);
            if (m.then) m.then(c);
            c.Execute("INSERT INTO SCHEMA_VERSAO (NRVERSAO, DSVERSAO, DTAPLICADA) VALUES (:V, 'x', '2026-01-01 00:00:00')",
                      {{"V", m.version}});
        }
    c.ExecuteScript(
        "INSERT INTO FILIAL (CDFILIAL, NMFILIAL, CDEMPRESA, CDINSCMUNI, CDINSCESTA) VALUES ('0001', 'F', '01', '1', '1');"
        "INSERT INTO PRODUTO VALUES ('P1', '0101001', 'ARROZ', '3', 'KG', 'P1', 1, 'S');"
        "INSERT INTO NUMSEQ (CDFILIAL, CDSEQUENCIA, NRULTIMO) VALUES ('0001', 'MOVIESTQ', 3);"
        "INSERT INTO MOVIESTQ (CDFILIAL, NRMOVIESTQ, CDPRODESTO, CDALMOXARIFE, CDLOCALESTOQ, NRLOTEESTQ, NRSUBLOTE,"
        " DTMOVIESTQ, IDTIPOMOVI, QTMOVIESTQ, VRCUSTOUNIT) VALUES"
        " ('0001', 1, 'P1', '000001', 'A01', ' ', ' ', '2026-01-05 10:00:00', 'E', 10, 2),"
        " ('0001', 2, 'P1', '000001', 'A01', ' ', ' ', '2026-01-02 09:00:00', 'E', 6, 4),"
        " ('0001', 3, 'P1', '000002', 'CF1', ' ', ' ', '2026-01-05 18:00:00', 'S', -3, 2);"
        "INSERT INTO SALDODIA (CDFILIAL, CDPRODESTO, DTSALDO, CDALMOXARIFE, CDLOCALESTOQ, NRLOTEESTQ, NRSUBLOTE,"
        " QTMOVIDIA, QTENTRDIA, VRENTRDIA) VALUES"
        " ('0001', 'P1', '2026-01-05 00:00:00', '000001', 'A01', ' ', ' ', 10, 10, 20),"
        " ('0001', 'P1', '2026-01-02 00:00:00', '000001', 'A01', ' ', ' ', 6, 6, 24),"
        " ('0001', 'P1', '2026-01-05 00:00:00', '000002', 'CF1', ' ', ' ', -3, 0, 0);");
    EXPECT_EQ(store::Migrate(c), static_cast<int>(store::Migrations().size()) - 9);
    EXPECT_EQ(store::LedgerViolations(c), std::vector<std::string>{});
    auto pos = [&](int day, const char* storeroom = "") {
        return store::PositionOfDay(c, "0001", "P1", EncodeDate(2026, 1, day), {storeroom, "", "", ""});
    };
    EXPECT_FALSE(pos(1).moved);
    EXPECT_EQ(pos(4).quantity, 6);
    EXPECT_EQ(pos(5).quantity, 13);
    EXPECT_EQ(pos(5, "000001").quantity, 16);
    EXPECT_DOUBLE_EQ(pos(9).averageCost, 44.0 / 16);
    EXPECT_EQ(count(c, "SELECT COUNT(*) FROM SALDOLOCAL"), 2);
}

TEST(InitDatabase, DemoOnceAndOnFileUrl) {
    auto path = std::filesystem::temp_directory_path() / "pla_store_init.sqlite";
    for (const char* s : {"", "-wal", "-shm"}) std::filesystem::remove(path.string() + s);
    {
        auto c = store::OpenDatabase("sqlite:" + path.string());
        auto first = store::InitDatabase(*c, true, 7, EncodeDate(2026, 3, 10));
        EXPECT_TRUE(first.demoLoaded);
        int64_t movements = count(*c, "SELECT COUNT(*) FROM MOVIESTQ");
        auto again = store::InitDatabase(*c, true, 8);
        EXPECT_FALSE(again.demoLoaded);  // existing data is never replaced
        EXPECT_EQ(count(*c, "SELECT COUNT(*) FROM MOVIESTQ"), movements);
        EXPECT_EQ(c->Query("SELECT DTPROCESSA FROM DATAPROC WHERE CDFILIAL = '0002'").rows[0][0].AsDateTime(),
                  EncodeDate(2026, 3, 10));
    }
    std::filesystem::remove(path);
}

TEST(DemoData, FixedNamesAndShape) {
    auto c = testdb::Demo();
    // Operators and rights.
    auto op = c->Query("SELECT CDFILIAL, DSSENHA FROM OPERADOR WHERE CDOPERADOR = :O", {{"O", demo::kOperator}});
    ASSERT_EQ(op.rows.size(), 1u);
    EXPECT_TRUE(op.Value(0, "CDFILIAL").IsNull());
    EXPECT_TRUE(store::VerifyPassword(demo::kPassword, op.Value(0, "DSSENHA").AsString()));
    EXPECT_FALSE(store::VerifyPassword("DEMO", op.Value(0, "DSSENHA").AsString()));
    EXPECT_EQ(count(*c, "SELECT COUNT(*) FROM OPERDIREITO WHERE CDOPERADOR = 'DEMO'"),
              count(*c, "SELECT COUNT(*) FROM DIREITO"));
    EXPECT_EQ(count(*c, "SELECT COUNT(*) FROM OPERDIREITO WHERE CDOPERADOR = :O", {{"O", demo::kOperatorNoRights}}), 0);
    EXPECT_EQ(count(*c, "SELECT COUNT(*) FROM OPERDIREITO WHERE CDOPERADOR = :O", {{"O", demo::kOperatorAlterOnly}}), 1);
    // Branches: locations only in 0001, off-line rows only in 0003, processing date today.
    EXPECT_EQ(count(*c, "SELECT COUNT(*) FROM PARAMFILIAL WHERE IDUSALOCALIZ = 'S'"), 1);
    EXPECT_EQ(c->Query("SELECT IDUSALOCALIZ FROM PARAMFILIAL WHERE CDFILIAL = '0001'").rows[0][0].AsString(), "S");
    EXPECT_EQ(count(*c, "SELECT COUNT(*) FROM LOCALESTOQ WHERE CDFILIAL = '0002'"), 0);
    EXPECT_EQ(count(*c, "SELECT COUNT(*) FROM RETIRADA WHERE CDFILIAL <> '0003'"), 0);
    EXPECT_EQ(count(*c, "SELECT COUNT(*) FROM DATAPROC WHERE DTPROCESSA = :D", {{"D", Date()}}), 8);
    EXPECT_EQ(c->Query("SELECT IDCTRLESTQ FROM PARAMESTOQUE WHERE CDFILIAL = '0004'").rows[0][0].AsString(), "N");
    // Products: about a hundred, levels 2-2-3, one without stock control.
    EXPECT_GE(count(*c, "SELECT COUNT(*) FROM PRODUTO"), 100);
    EXPECT_EQ(count(*c, "SELECT COUNT(*) FROM PRODUTO WHERE CDNVPRODUTO = '3' AND LENGTH(CDARVPROD) <> 7"), 0);
    EXPECT_EQ(c->Query("SELECT IDCNTRESTOQ FROM PRODUTO WHERE CDARVPROD = :A", {{"A", demo::kProductNoStockControl}})
                  .rows[0][0].AsString(), "N");
    // Requisitions: the planned ones of today (five services) and extra ones.
    EXPECT_EQ(count(*c, "SELECT COUNT(*) FROM PREVRETI WHERE CDFILIAL = '0001' AND NRREQUEXTR = '0000000000'"
                        " AND DTPREVRETI = :D", {{"D", Date()}}), 5);
    EXPECT_GE(count(*c, "SELECT COUNT(*) FROM PREVRETI WHERE NRREQUEXTR <> '0000000000'"), 4);
    // Withdrawals: items belong to their headers, dish rows to the dish-type one.
    EXPECT_GE(count(*c, "SELECT COUNT(*) FROM LANCTOEST"), 4);
    EXPECT_EQ(count(*c, "SELECT COUNT(*) FROM ITLANCTOEST WHERE IDEVOLESTOQ = 'N'"), 1);
    EXPECT_GT(count(*c, "SELECT COUNT(*) FROM RETITIPOPRAT R JOIN LANCTOEST L ON L.CDFILIAL = R.CDFILIAL"
                        " AND L.NRRETIRADA = R.NRRETIRADA WHERE L.IDRETIPRAT = 'S'"), 0);
    // Open inventories: one of a product in 0001, a general one in 0008.
    EXPECT_EQ(count(*c, "SELECT COUNT(*) FROM INVENTARIO WHERE IDSITUACAO = 'A'"), 2);
    if (!testdb::OnPostgres()) EXPECT_TRUE(c->Query("PRAGMA foreign_key_check").Empty());  // PostgreSQL checks on insert
}

// Every case of the withdrawal date window has a branch where the screen can
// be tried (on line, with stock control, no inventory holding its stock).
TEST(DemoData, EveryDateWindowCaseHasABranch) {
    auto c = testdb::Demo();
    const char* cases[] = {
        "IDLANCDTMAIFIL = 'S'",
        "IDLANCDTMAIFIL = 'N' AND IDLANCDTMAI = 'S'",
        "IDLANCDTMAIFIL = 'N' AND COALESCE(IDLANCDTMAI, ' ') <> 'S'",
        "COALESCE(IDLANCDTMAIFIL, ' ') NOT IN ('S', 'N') AND IDLANCDTMAI = 'S'",
        "COALESCE(IDLANCDTMAIFIL, ' ') NOT IN ('S', 'N') AND COALESCE(IDLANCDTMAI, ' ') <> 'S'",
        "IDLANCDTMENFIL = 'S'",
        "IDLANCDTMENFIL = 'N' AND IDLANCDTMEN = 'N'",
        "IDLANCDTMENFIL = 'N' AND COALESCE(IDLANCDTMEN, ' ') <> 'N'",
        "COALESCE(IDLANCDTMENFIL, ' ') NOT IN ('S', 'N') AND COALESCE(IDLANCDTMEN, ' ') <> 'N'",
        "COALESCE(IDLANCDTMENFIL, ' ') NOT IN ('S', 'N') AND IDLANCDTMEN = 'N'",
    };
    for (const char* where : cases)
        EXPECT_GT(count(*c, std::string("SELECT COUNT(*) FROM PARAMESTOQUE P JOIN FILIAL F ON F.CDFILIAL = P.CDFILIAL"
                                        " WHERE P.IDCTRLESTQ = 'S' AND COALESCE(F.IDUTILOFFLINE, 'N') <> 'S'"
                                        "   AND P.CDFILIAL <> :I AND ") + where,
                        {{"I", demo::kBranchInventory}}),
                  0)
            << where;
}

TEST(DemoData, SameSeedSameDataOtherSeedOtherData) {
    const char* sql = "SELECT SUM(QTMOVIESTQ * VRCUSTOUNIT) FROM MOVIESTQ";
    auto a = testdb::Demo(3, EncodeDate(2026, 5, 1));
    auto b = testdb::Blank();
    store::InitDatabase(*b, true, 3, EncodeDate(2026, 5, 1));  // built directly, not copied
    auto other = testdb::Demo(4, EncodeDate(2026, 5, 1));
    EXPECT_EQ(a->Query(sql).rows[0][0].AsFloat(), b->Query(sql).rows[0][0].AsFloat());
    EXPECT_NE(a->Query(sql).rows[0][0].AsFloat(), other->Query(sql).rows[0][0].AsFloat());
    // Copies are independent.
    a->Execute("DELETE FROM RETIRADA");
    EXPECT_EQ(count(*testdb::Demo(3, EncodeDate(2026, 5, 1)), "SELECT COUNT(*) FROM RETIRADA"), 2);
}

TEST(DemoData, FileCopyIsAWalDatabaseAndDatesCanMove) {
    auto path = (std::filesystem::temp_directory_path() / "pla_store_demo.sqlite").string();
    {
        auto c = store::CreateDemoDatabase(path, demo::kDefaultSeed, EncodeDate(2026, 12, 6));
        EXPECT_EQ(c->Query("PRAGMA journal_mode").rows[0][0].AsString(), "wal");
        EXPECT_EQ(store::ProcessingDate(*c, demo::kBranchLocations), EncodeDate(2026, 12, 6));
        store::SetProcessingDate(*c, demo::kBranchLocations, EncodeDateTime(2026, 12, 9, 10, 30, 0));
        EXPECT_EQ(store::ProcessingDate(*c, demo::kBranchLocations), EncodeDate(2026, 12, 9));
        EXPECT_EQ(store::ProcessingDate(*c, demo::kBranchPlain), EncodeDate(2026, 12, 6));
        EXPECT_FALSE(store::ProcessingDate(*c, "9999").has_value());
        EXPECT_THROW(store::SetProcessingDate(*c, "9999", Date()), db::SqlError);  // no such branch
    }
    {
        // Another connection to the same file sees the copy; a new copy replaces the file.
        db::SqliteConnection again(path);
        EXPECT_EQ(count(again, "SELECT COUNT(*) FROM FILIAL"), 8);
    }
    auto fresh = store::CreateDemoDatabase(path, demo::kDefaultSeed, EncodeDate(2026, 12, 6));
    EXPECT_EQ(store::ProcessingDate(*fresh, demo::kBranchLocations), EncodeDate(2026, 12, 6));
    fresh.reset();
    for (const char* s : {"", "-wal", "-shm"}) std::filesystem::remove(path + s);
}

TEST(Sequences, PerBranchAndRolledBackWithTheCaller) {
    auto c = testdb::Demo();
    std::string a = store::NextCode(*c, "0001", "TESTE"), b = store::NextCode(*c, "0001", "TESTE");
    EXPECT_EQ(a, "0000000001");
    EXPECT_EQ(b, "0000000002");
    EXPECT_EQ(store::NextNumber(*c, "0002", "TESTE"), 1);
    {
        db::Transaction t(*c);
        store::NextNumber(*c, "0001", "TESTE");
    }
    EXPECT_EQ(store::NextNumber(*c, "0001", "TESTE"), 3);
    // The demo's own sequences continue after its documents.
    auto last = c->Query("SELECT MAX(NRRETIRADA) FROM LANCTOEST WHERE CDFILIAL = '0001'").rows[0][0].AsString();
    EXPECT_GT(store::NextCode(*c, "0001", store::kSeqRetirada), last);
    EXPECT_THROW(store::FormatNumber(12345, 4), Exception);
}

TEST(StockLedger, PositionOfDayByPlace) {
    auto empty = testdb::Empty();
    db::SqlConnection& c = *empty;
    c.ExecuteScript(
        "INSERT INTO FILIAL (CDFILIAL, NMFILIAL, CDEMPRESA, CDINSCMUNI, CDINSCESTA) VALUES ('0001', 'F', '01', '1', '1');"
        "INSERT INTO PRODUTO VALUES ('P1', '0101001', 'ARROZ', '3', 'KG', 'P1', 1, 'S');");
    auto mv = [&](int day, double q, double cost, const char* alm) {
        store::StockMovement m{"0001", "P1", {alm, "A01", " ", " "}, EncodeDateTime(2026, 1, day, 15, 0, 0),
                               q > 0 ? 'E' : 'S', q, cost, "", ""};
        return store::AddMovement(c, m);
    };
    EXPECT_EQ(mv(1, 10, 2.0, "000001"), 1);
    EXPECT_EQ(mv(1, 30, 4.0, "000002"), 2);
    mv(2, -5, 2.0, "000001");
    mv(5, -100, 2.0, "000001");
    auto pos = [&](int day, const char* alm = "") {
        return store::PositionOfDay(c, "0001", "P1", EncodeDate(2026, 1, day), {alm, "", "", ""});
    };
    EXPECT_EQ(pos(1).quantity, 40);  // movements late in the day count on that day
    EXPECT_DOUBLE_EQ(pos(1).averageCost, 3.5);
    EXPECT_EQ(pos(2, "000001").quantity, 5);
    EXPECT_EQ(pos(4).quantity, 35);
    EXPECT_EQ(pos(5).quantity, -65);
    EXPECT_EQ(store::PositionOfDay(c, "0001", "P1", EncodeDate(2025, 12, 31)).quantity, 0);
    // A movement dated back changes the later days too.
    mv(1, 7, 2.0, "000001");
    EXPECT_EQ(pos(4).quantity, 42);
}

// Movements in any day order (dated back, forward, on days already moved) and
// places: every position read from the running balances is the plain sum of
// the movements, and a rebuild from the ledger gives the same balances.
TEST(StockLedger, RunningBalancesAgreeWithTheMovements) {
    auto c = testdb::Demo();
    const std::vector<store::StockPlace> places = {
        {"000001", "A01", " ", " "}, {"000001", "A02", "L1", " "}, {"000001", "A02", "L2", "S1"}, {" ", " ", " ", " "}};
    uint32_t seed = 7;
    auto next = [&](uint32_t n) { return (seed = seed * 1103515245u + 12345u) / 65536u % n; };
    {
        db::Transaction t(*c);
        for (int i = 0; i < 120; ++i)
            store::AddMovement(*c, {"0001", i % 3 ? "100001" : "100003", places[next(4)],
                                    IncDay(Date(), int(next(60)) - 45), next(3) ? 'E' : 'S',
                                    next(3) ? 1.0 + next(9) : -2.5, 0.5 * next(7), "", ""});
        t.Commit();
    }
    const char* raw =
        "SELECT SUM(QTMOVIESTQ), SUM(CASE WHEN QTMOVIESTQ > 0 THEN QTMOVIESTQ * VRCUSTOUNIT ELSE 0 END),"
        " SUM(CASE WHEN QTMOVIESTQ > 0 THEN QTMOVIESTQ ELSE 0 END) FROM MOVIESTQ"
        " WHERE CDFILIAL = '0001' AND CDPRODESTO = :P AND DTMOVIESTQ < :D"
        " AND (:A = '' OR CDALMOXARIFE = :A) AND (:L = '' OR CDLOCALESTOQ = :L) AND (:LT = '' OR NRLOTEESTQ = :LT)";
    auto agree = [&](const char* when) {
        int checked = 0;
        for (const char* product : {"100001", "100003", "100013"})
            for (int offset : {-60, -40, -20, -1, 0, 5, 30})
                for (store::StockPlace f : {store::StockPlace{}, store::StockPlace{"000001", "", "", ""},
                                            store::StockPlace{"000001", "A02", "", ""}, store::StockPlace{"", "", "L2", ""},
                                            store::StockPlace{" ", "", "", ""}}) {
                    TDateTime day = IncDay(Date(), offset);
                    auto r = c->Query(raw, {{"P", product}, {"D", IncDay(day, 1)}, {"A", f.storeroom}, {"L", f.location},
                                            {"LT", f.lot}});
                    const auto& row = r.rows.at(0);
                    auto pos = store::PositionOfDay(*c, "0001", product, day, f);
                    EXPECT_EQ(pos.moved, !row[0].IsNull()) << when << product << offset << f.storeroom << f.location;
                    EXPECT_NEAR(pos.quantity, row[0].IsNull() ? 0 : row[0].AsFloat(), 1e-9) << when << product << offset;
                    if (!row[2].IsNull() && row[2].AsFloat() > 0)
                        EXPECT_NEAR(pos.averageCost, row[1].AsFloat() / row[2].AsFloat(), 1e-9) << when << product;
                    ++checked;
                }
        EXPECT_EQ(checked, 105);
        EXPECT_EQ(store::LedgerViolations(*c), std::vector<std::string>{}) << when;
    };
    agree("kept: ");
    const int64_t days = count(*c, "SELECT COUNT(*) FROM SALDODIA"), kept = count(*c, "SELECT COUNT(*) FROM SALDOLOCAL");
    store::RebuildDailyBalances(*c);
    EXPECT_EQ(count(*c, "SELECT COUNT(*) FROM SALDODIA"), days);
    EXPECT_EQ(count(*c, "SELECT COUNT(*) FROM SALDOLOCAL"), kept);
    agree("rebuilt: ");
}

TEST(Password, SaltedAndVerified) {
    std::string h1 = store::HashPassword("segredo", "salt-1", 1000), h2 = store::HashPassword("segredo", "salt-2", 1000);
    EXPECT_NE(h1, h2);
    EXPECT_TRUE(store::VerifyPassword("segredo", h1));
    EXPECT_FALSE(store::VerifyPassword("Segredo", h1));
    EXPECT_FALSE(store::VerifyPassword("segredo", "plain"));
    EXPECT_FALSE(store::VerifyPassword("segredo", "pbkdf2-sha256$x$00$00"));
    std::string fresh = store::HashPassword("x");
    EXPECT_NE(fresh, store::HashPassword("x"));  // random salt
    EXPECT_TRUE(store::VerifyPassword("x", fresh));
}

// Writers on their own connections at once: every movement gets its own
// number and the daily balances still add up to the ledger.
TEST(StockLedger, ConcurrentWritersKeepNumbersAndBalances) {
    const std::string url = testdb::DemoUrl();
    constexpr int kThreads = 4, kEach = 15;
    std::vector<std::vector<int64_t>> numbers(kThreads);
    std::vector<std::string> errors(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&, t] {
            try {
                auto c = db::OpenConnection(url);
                for (int i = 0; i < kEach; ++i) {
                    db::Transaction tx(*c);
                    store::LockLedger(*c, "0001");
                    // A new day of its own for each writer and one day shared by all.
                    TDateTime day = IncDay(Date(), i % 2 ? 30 + t : 40);
                    numbers[t].push_back(store::AddMovement(
                        *c, {"0001", "100001", {" ", " ", " ", " "}, day, 'E', 1.0 + t, 2.0, "", ""}));
                    tx.Commit();
                }
            } catch (const std::exception& e) {
                errors[t] = e.what();
            }
        });
    for (auto& th : threads) th.join();
    std::set<int64_t> distinct;
    for (int t = 0; t < kThreads; ++t) {
        EXPECT_EQ(errors[t], "") << t;
        distinct.insert(numbers[t].begin(), numbers[t].end());
    }
    EXPECT_EQ(distinct.size(), size_t{kThreads * kEach});
    auto c = db::OpenConnection(url);
    const char* sum = "SELECT SUM(QTMOVIESTQ) FROM MOVIESTQ WHERE CDFILIAL = '0001' AND CDPRODESTO = '100001'";
    const char* days = "SELECT SUM(QTMOVIDIA) FROM SALDODIA WHERE CDFILIAL = '0001' AND CDPRODESTO = '100001'";
    EXPECT_DOUBLE_EQ(c->Query(sum).rows[0][0].AsFloat(), c->Query(days).rows[0][0].AsFloat());
    EXPECT_DOUBLE_EQ(store::PositionOfDay(*c, "0001", "100001", IncDay(Date(), 40)).quantity -
                         store::PositionOfDay(*c, "0001", "100001", IncDay(Date(), 29)).quantity,
                     kEach * (1.0 + 2.0 + 3.0 + 4.0));
}
