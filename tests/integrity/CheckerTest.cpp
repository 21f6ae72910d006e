// The checks can fail: each invariant broken by hand on a fresh demo
// database is reported, and the demo as made breaks none.
#include "Invariants.h"
#include "TestDatabase.h"
#include "store/LedgerAudit.h"
#include "store/StockLedger.h"

#include <gtest/gtest.h>

namespace {

bool mentions(const std::vector<std::string>& found, const std::string& part) {
    for (const auto& f : found)
        if (f.find(part) != std::string::npos) return true;
    return false;
}

}  // namespace

TEST(Checker, ReportsEveryInvariantBrokenByHand) {
    auto c = testdb::Demo();
    ASSERT_TRUE(store::LedgerViolations(*c).empty()) << ::testing::PrintToString(store::LedgerViolations(*c));
    ASSERT_TRUE(store::NumberingViolations(*c, {}).empty());

    // An item carried to stock whose stock quantity changed behind the ledger.
    c->Execute("UPDATE ITLANCTOEST SET QTLANCTOEST = QTLANCTOEST + 1 WHERE CDFILIAL = '0001'"
               " AND NRLANCESTQ = '0000000002' AND NRSEQUITEM = '0001'");
    EXPECT_TRUE(mentions(store::LedgerViolations(*c), "conservation 0001/0000000002/0001"));

    // A header gone without its items (past the schema's foreign keys): orphans,
    // and a number missing unless deleted on purpose.
    c->Execute(c->GetDialect() == db::Dialect::SQLite ? "PRAGMA foreign_keys = OFF"
                                                       : "SET session_replication_role = replica");
    c->Execute("DELETE FROM LANCTOEST WHERE CDFILIAL = '0002' AND NRLANCESTQ = '0000000001'");
    EXPECT_TRUE(mentions(store::LedgerViolations(*c), "item without withdrawal 0002/0000000001"));
    EXPECT_TRUE(mentions(store::NumberingViolations(*c, {}), "postings 0002: number 1 issued but missing"));
    EXPECT_TRUE(mentions(store::NumberingViolations(*c, {}), "withdrawals 0002: number 1 issued but missing"));
    EXPECT_TRUE(store::NumberingViolations(*c, {{"0002", "0000000001", "0000000001"}}).empty());
    EXPECT_TRUE(store::NumberingViolations(*c, {}, {{"0002", "0000000001", "0000000001"}}).empty());
    EXPECT_TRUE(mentions(store::NumberingViolations(*c, {{"0001", "0000000001", "0000000001"}}),
                         "withdrawal 0001/0000000001 deleted but still there"));

    // A movement rolled out of the ledger, and one written beside the sequence.
    c->Execute("DELETE FROM MOVIESTQ WHERE CDFILIAL = '0002' AND NRMOVIESTQ = 7");
    auto found = store::LedgerViolations(*c);
    EXPECT_TRUE(mentions(found, "movements 0002: number 7 issued but missing"));
    EXPECT_TRUE(mentions(found, "balance 0002/"));
    c->Execute("INSERT INTO MOVIESTQ (CDFILIAL, NRMOVIESTQ, CDPRODESTO, CDALMOXARIFE, CDLOCALESTOQ, NRLOTEESTQ,"
               " NRSUBLOTE, DTMOVIESTQ, IDTIPOMOVI, QTMOVIESTQ, VRCUSTOUNIT)"
               " SELECT CDFILIAL, 9999, CDPRODESTO, CDALMOXARIFE, CDLOCALESTOQ, NRLOTEESTQ, NRSUBLOTE,"
               " DTMOVIESTQ, 'E', 0, 0 FROM MOVIESTQ WHERE CDFILIAL = '0003' AND NRMOVIESTQ = 1");
    EXPECT_TRUE(mentions(store::LedgerViolations(*c), "movements 0003: number 9999 beyond the sequence's last 194"));

    // Running balances and whole balances of a place that drifted from the movements.
    ASSERT_FALSE(mentions(store::LedgerViolations(*c), "0001/100001"));
    c->Execute("UPDATE SALDODIA SET QTSALDOACUM = QTSALDOACUM + 1 WHERE CDFILIAL = '0001' AND CDPRODESTO = '100001'"
               " AND DTSALDO = (SELECT MAX(DTSALDO) FROM SALDODIA WHERE CDFILIAL = '0001' AND CDPRODESTO = '100001')");
    c->Execute("UPDATE SALDODIA SET VRENTRACUM = VRENTRACUM * 2 WHERE CDFILIAL = '0001' AND CDPRODESTO = '100013'");
    c->Execute("UPDATE SALDOLOCAL SET QTSALDO = QTSALDO - 2 WHERE CDFILIAL = '0001' AND CDPRODESTO = '100027'");
    found = store::LedgerViolations(*c);
    EXPECT_TRUE(mentions(found, "running balance 0001/100001")) << ::testing::PrintToString(found);
    EXPECT_TRUE(mentions(found, "running balance 0001/100013"));
    EXPECT_TRUE(mentions(found, "place 0001/100027"));
    EXPECT_FALSE(mentions(found, "0001/100002"));
}

TEST(Checker, NegativePositionsWhereRefusedAndModelsThatDisagree) {
    auto c = testdb::Demo();
    const auto before = integrity::TakeBaseline(*c);
    store::StockPlace place{"000001", "A01", " ", " "};
    {
        db::Transaction t(*c);
        store::AddMovement(*c, {"0001", "300001", place, Date(), 'S', -6, 1, "", ""});  // 5 in stock
        store::AddMovement(*c, {"0002", "300001", {" ", " ", " ", " "}, Date(), 'S', -6, 1, "", ""});
        t.Commit();
    }
    integrity::Deletions none;
    const auto found = integrity::CheckInvariants(*c, before, none);
    EXPECT_TRUE(mentions(found, "negative position 0001/300001")) << ::testing::PrintToString(found);
    EXPECT_FALSE(mentions(found, "0002/300001")) << "0002 allows negative stock";

    integrity::ModelWithdrawal w{"0001", "0000000002", "0000000002"};
    w.items.push_back({"0001", "100025", 11.0});
    const auto models = integrity::CheckModels(*c, before, {w});
    EXPECT_TRUE(mentions(models, "withdrawal 0001/0000000002 item 0002 (")) << ::testing::PrintToString(models);
    EXPECT_TRUE(mentions(integrity::CheckModels(*c, {}, {}), "withdrawal 0001/0000000001 that no operator was answered for"));
    w.posting = "0000000099";
    EXPECT_TRUE(mentions(integrity::CheckModels(*c, before, {w}), "0001/0000000099 confirmed to its operator but not"));
    EXPECT_TRUE(integrity::EngineConsistency(*c).empty());
}
