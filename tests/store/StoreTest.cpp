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

TEST(Migrations, IdempotentRecordedAndANewerDatabaseIsRefused) {
    auto blank = testdb::Blank();
    db::SqlConnection& c = *blank;
    EXPECT_EQ(store::Migrate(c), static_cast<int>(store::Migrations().size()));
    EXPECT_EQ(store::Migrate(c), 0);
    EXPECT_EQ(store::SchemaVersion(c), store::Migrations().back().version);
    auto r = store::InitDatabase(c, false);
    EXPECT_EQ(r.migrationsApplied, 0);
    EXPECT_FALSE(r.demoLoaded);
    EXPECT_EQ(count(c, "SELECT COUNT(*) FROM MOVIESTQ"), 0);
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
    if (!testdb::OnPostgres()) EXPECT_TRUE(b->Query("PRAGMA foreign_key_check").Empty());  // PostgreSQL checks on insert
}

TEST(DemoData, LoadedOnceNeverReplacedAndItsDatesCanMove) {
    auto path = (std::filesystem::temp_directory_path() / "pla_store_demo.sqlite").string();
    for (const char* s : {"", "-wal", "-shm"}) std::filesystem::remove(path + s);
    {
        auto c = store::OpenDatabase("sqlite:" + path);
        EXPECT_TRUE(store::InitDatabase(*c, true, 7, EncodeDate(2026, 12, 6)).demoLoaded);
        const int64_t movements = count(*c, "SELECT COUNT(*) FROM MOVIESTQ");
        EXPECT_FALSE(store::InitDatabase(*c, true, 8).demoLoaded);  // existing data is never replaced
        EXPECT_EQ(count(*c, "SELECT COUNT(*) FROM MOVIESTQ"), movements);
        store::SetProcessingDate(*c, demo::kBranchLocations, EncodeDateTime(2026, 12, 9, 10, 30, 0));
        EXPECT_EQ(store::ProcessingDate(*c, demo::kBranchLocations), EncodeDate(2026, 12, 9));
        EXPECT_EQ(store::ProcessingDate(*c, demo::kBranchPlain), EncodeDate(2026, 12, 6));
        EXPECT_FALSE(store::ProcessingDate(*c, "9999").has_value());
        EXPECT_THROW(store::SetProcessingDate(*c, "9999", Date()), db::SqlError);  // no such branch
    }
    // A new copy replaces the file.
    auto fresh = store::CreateDemoDatabase(path, demo::kDefaultSeed, EncodeDate(2026, 12, 6));
    EXPECT_EQ(fresh->Query("PRAGMA journal_mode").rows[0][0].AsString(), "wal");
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
    EXPECT_THROW(store::FormatNumber(12345, 4), Exception);
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
    EXPECT_NE(store::HashPassword("x"), store::HashPassword("x"));  // random salt
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
