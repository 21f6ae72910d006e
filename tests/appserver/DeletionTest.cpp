// DelLancto on a fresh demo database: what the ledger holds comes back (not
// the first quantities), a withdrawal deleted twice is a success, billed
// meals, the right and the branch are the server's to refuse, a reversal that
// a position cannot bear keeps the whole withdrawal.
#include "StockWriting.h"
#include "store/StockLedger.h"

using namespace stockwriting;
namespace demo = store::demo;

namespace {

struct Saved {
    std::string branch, posting, withdrawal;
};

Saved confirmNew(const Fixture& fx, const std::string& branch, const std::vector<Item>& items,
                 const std::string& service = demo::kServicePlain) {
    Header h;
    h.branch = branch;
    h.service = service;
    auto r = fx.call("Confirma_Lanc", confirmArgs(headerDelta(h), itemsDelta(h.branch, items), h));
    auto rows = rowsOf(r.value);
    EXPECT_TRUE(errorsOf(rows).empty()) << ::testing::PrintToString(rows);
    return {branch, number(rows, "NRLANCESTQ"), number(rows, "NRRETIRADA")};
}

net::RpcResult del(const Fixture& fx, const Saved& s, const std::string& ignore = "0", const std::string& as = "") {
    return fx.call("DelLancto",
                   {Variant(s.branch), Variant(s.branch), Variant(s.posting), Variant(s.withdrawal), Variant(day(0)),
                    Variant(day(0)), Variant("N"), Variant(ignore), Variant(""), Variant(day(0)), Variant("0000000000")},
                   as);
}

double stockOf(const Fixture& fx, const std::string& branch, const std::string& product) {
    return fx.number("SELECT SUM(QTMOVIDIA) FROM SALDODIA WHERE CDFILIAL = '" + branch + "' AND CDPRODESTO = '" +
                     product + "'");
}

std::string count(const Fixture& fx, const char* table, const Saved& s) {
    return fx.one(std::string("SELECT COUNT(*) FROM ") + table + " WHERE CDFILIAL = '" + s.branch +
                  "' AND NRLANCESTQ = '" + s.posting + "'");
}

}  // namespace

TEST(DelLancto, GivesBackExactlyWhatTheWithdrawalTookAndTwiceIsASuccess) {
    Fixture fx;
    const double corn = stockOf(fx, "0001", kStock5), paste = stockOf(fx, "0001", kStock10);
    Item a{"0001", kStock5, 2, "000001", "A01"}, b{"0002", kStock10, 3, "000001", "A01"};
    Saved s = confirmNew(fx, "0001", {a, b});
    // An alteration in between: the deletion gives back what the ledger holds, not the first quantities.
    a.consumed = 4;
    a.posting = s.posting;
    a.withdrawal = s.withdrawal;
    a.change = RowChange::Modified;
    Header h;
    h.posting = s.posting;
    h.withdrawal = s.withdrawal;
    fx.call("Confirma_Lanc", confirmArgs(Variant(), itemsDelta("0001", {a}), h));
    ASSERT_DOUBLE_EQ(stockOf(fx, "0001", kStock5), corn - 4);

    auto r = del(fx, s);
    ASSERT_TRUE(r.value.IsPacket()) << r.value.AsString();
    EXPECT_TRUE(rowsOf(r.value).empty());
    EXPECT_DOUBLE_EQ(stockOf(fx, "0001", kStock5), corn);
    EXPECT_DOUBLE_EQ(stockOf(fx, "0001", kStock10), paste);
    EXPECT_EQ(count(fx, "ITLANCTOEST", s), "0");
    EXPECT_TRUE(fx.violations().empty()) << ::testing::PrintToString(fx.violations());

    const std::string after = fx.footprint();
    r = del(fx, s);
    ASSERT_TRUE(r.value.IsPacket()) << r.value.AsString();
    EXPECT_TRUE(rowsOf(r.value).empty());
    EXPECT_EQ(fx.footprint(), after);
}

TEST(DelLancto, BilledMealsRightAndBranchRefuseAndKeepEverything) {
    Fixture fx;
    Saved s = confirmNew(fx, "0001", {{"0001", kStock10, 3, "000001", "A01"}});
    auto r = del(fx, s, "0", fx.tokenOf(demo::kOperatorNoRights));
    ASSERT_TRUE(r.value.IsString());
    EXPECT_NE(r.value.AsString().find("sem direito"), std::string::npos) << r.value.AsString();
    EXPECT_THROW(del(fx, s, "0", fx.tokenOf(demo::kOperatorAlterOnly)), net::ERpcError);
    // CARLA holds only the right to alter: in her own branch the deletion is refused too.
    Saved plain = confirmNew(fx, "0002", {{"0001", kStock10, 1}});
    r = del(fx, plain, "0", fx.tokenOf(demo::kOperatorAlterOnly));
    EXPECT_TRUE(r.value.IsString());
    EXPECT_EQ(count(fx, "LANCTOEST", plain), "1");

    fx.app->WithDatabase([&](db::SqlConnection& c) {
        c.Execute("INSERT INTO EFETIVOSERV (CDFILIAL, CDSERVFILI, DTEFETIVO, QTEFETIVO, IDFATURADO)"
                  " VALUES ('0001', '00002', :D, 120, 'S')",
                  {{"D", day(0)}});
        return 0;
    });
    const std::string billed = fx.footprint();
    r = del(fx, s);
    ASSERT_TRUE(r.value.IsString());
    EXPECT_EQ(r.value.AsString(), "EFET_FATU");
    EXPECT_EQ(fx.footprint(), billed);
    EXPECT_EQ(count(fx, "ITLANCTOEST", s), "1");
}

TEST(DelLancto, AReversalNoPositionCanBearKeepsTheWholeWithdrawal) {
    Fixture fx;
    // An item whose ledger rows had added stock (two units more than it took), and that stock issued since.
    Saved s = confirmNew(fx, "0001", {{"0001", kStock5, 1, "000001", "A01"}, {"0002", kStock10, 2, "000001", "A01"}});
    fx.app->WithDatabase([&](db::SqlConnection& c) {
        db::Transaction t(c);
        store::AddMovement(c, {"0001", kStock5, {"000001", "A01", " ", " "}, day(0), 'D', 3, 8.4, s.posting, "0001"});
        store::AddMovement(c, {"0001", kStock5, {"000001", "A01", " ", " "}, day(0), 'S',
                               -store::PositionOfDay(c, "0001", kStock5, day(0)).quantity, 8.4, "", ""});
        t.Commit();
        return 0;
    });
    const double held = fx.ledger("0001", s.posting, "0001");
    ASSERT_DOUBLE_EQ(held, 2);
    const std::string before = fx.footprint();
    auto r = del(fx, s);
    ASSERT_TRUE(r.value.IsPacket()) << r.value.AsString();
    EXPECT_EQ(rowsOf(r.value), (std::vector<Row>{{"LIB00200_3", kStock5, "000001", "A01"}}));
    // Error rows mean nothing changed: the item that could go back stays too.
    EXPECT_EQ(fx.footprint(), before);
    EXPECT_EQ(count(fx, "ITLANCTOEST", s), "2");
    EXPECT_DOUBLE_EQ(fx.ledger("0001", s.posting, "0002"), -2);
    // Accepted through the ignore list while the screen believes negative stock
    // allowed, but 0001 does not allow it: still refused, still nothing changed.
    r = fx.call("DelLancto", {Variant(s.branch), Variant(s.branch), Variant(s.posting), Variant(s.withdrawal),
                              Variant(day(0)), Variant(day(0)), Variant("S"), Variant("#LIB00200_3#"), Variant(""),
                              Variant(day(0)), Variant("0000000000")});
    EXPECT_EQ(rowsOf(r.value).size(), 1u);
    EXPECT_EQ(fx.footprint(), before);
    fx.app->WithDatabase([&](db::SqlConnection& c) {
        return c.Execute("UPDATE PARAMESTOQUE SET IDPERMESTNEG = 'S' WHERE CDFILIAL = '0001'");
    });
    // Allowed by the branch, the same refusal until the user accepts it.
    r = del(fx, s);
    EXPECT_EQ(rowsOf(r.value).size(), 1u);
    EXPECT_EQ(count(fx, "ITLANCTOEST", s), "2");
    r = del(fx, s, "#LIB00200_3#");
    ASSERT_TRUE(r.value.IsPacket()) << r.value.AsString();
    EXPECT_TRUE(rowsOf(r.value).empty());
    EXPECT_EQ(count(fx, "LANCTOEST", s), "0");
    EXPECT_DOUBLE_EQ(fx.ledger("0001", s.posting, "0001"), 0);
    EXPECT_LT(stockOf(fx, "0001", kStock5), 0);
}
