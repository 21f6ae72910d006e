// Confirma_Lanc on a fresh demo database, beyond what the confirmation
// scenarios check: alterations moving only the difference, irregular stock
// refused or kept pending by the branch's rule (not the screen's), the
// repeated sending, rights and branches, two confirmations racing for the
// last stock.
#include "StockWriting.h"

#include <future>

using namespace stockwriting;
namespace demo = store::demo;

namespace {

struct Confirmed {
    net::RpcResult result;
    std::vector<Row> rows;
    std::string posting, withdrawal;
};

Confirmed confirm(const Fixture& fx, const Header& h, const std::vector<Item>& items, const std::string& ignore = "0",
                  const std::string& as = "") {
    Confirmed c;
    c.result = fx.call("Confirma_Lanc", confirmArgs(h.change == RowChange::Unmodified ? Variant() : headerDelta(h),
                                                    itemsDelta(h.branch, items), h, ignore),
                       as);
    c.rows = rowsOf(c.result.value);
    c.posting = number(c.rows, "NRLANCESTQ");
    c.withdrawal = number(c.rows, "NRRETIRADA");
    return c;
}

// The header of a withdrawal confirmed before, unchanged.
Header recorded(const Confirmed& c, const std::string& branch = demo::kBranchLocations) {
    Header h;
    h.branch = branch;
    h.posting = c.posting;
    h.withdrawal = c.withdrawal;
    h.menu = "";
    h.change = RowChange::Unmodified;
    return h;
}

Item saved(const Confirmed& c, Item it, RowChange change = RowChange::Modified) {
    it.posting = c.posting;
    it.withdrawal = c.withdrawal;
    it.change = change;
    return it;
}

}  // namespace

TEST(Confirma_Lanc, AlterationPostsOnlyTheDifferenceAndDeletionReverses) {
    Fixture fx;
    Item rice{"0001", kStock10, 3, "000001", "A01"};
    Item corn{"0002", kStock5, 2, "000001", "A01"};
    Confirmed c = confirm(fx, Header{}, {rice, corn});
    ASSERT_TRUE(errorsOf(c.rows).empty()) << ::testing::PrintToString(c.rows);
    // The by-reference logs come back with the numbers in place of the placeholder.
    const DataPacket& items = c.result.refs.at(1).AsPacket();
    EXPECT_EQ(items.rows[0].values[static_cast<size_t>(items.FieldIndex("NRLANCESTQ"))].AsString(), c.posting);
    EXPECT_DOUBLE_EQ(fx.ledger("0001", c.posting, "0001"), -3);

    rice.consumed = 5;
    Confirmed a = confirm(fx, recorded(c), {saved(c, rice)});
    ASSERT_TRUE(errorsOf(a.rows).empty()) << ::testing::PrintToString(a.rows);
    EXPECT_EQ(a.posting, c.posting);
    EXPECT_DOUBLE_EQ(fx.ledger("0001", c.posting, "0001"), -5);
    // The same alteration again moves nothing.
    const std::string movements = fx.one("SELECT COUNT(*) FROM MOVIESTQ");
    confirm(fx, recorded(c), {saved(c, rice)});
    EXPECT_EQ(fx.one("SELECT COUNT(*) FROM MOVIESTQ"), movements);

    // Consumed 0: carried, nothing held. Marked "D": reversed and removed.
    rice.consumed = 0;
    corn.status = "D";
    Confirmed z = confirm(fx, recorded(c), {saved(c, rice), saved(c, corn)});
    ASSERT_TRUE(errorsOf(z.rows).empty()) << ::testing::PrintToString(z.rows);
    EXPECT_EQ(fx.mark("0001", c.posting, "0001"), "S");
    EXPECT_DOUBLE_EQ(fx.ledger("0001", c.posting, "0001"), 0);
    EXPECT_EQ(fx.mark("0001", c.posting, "0002"), "null");
    EXPECT_DOUBLE_EQ(fx.ledger("0001", c.posting, "0002"), 0);
    EXPECT_TRUE(fx.violations().empty()) << ::testing::PrintToString(fx.violations());
}

TEST(Confirma_Lanc, IrregularStockWithoutPermissionSavesNothing) {
    Fixture fx;
    const std::string before = fx.footprint();
    Confirmed c = confirm(fx, Header{}, {{"0001", kStock10, 1, "000001", "A01"}, {"0002", kStock5, 8, "000001", "A01"}});
    ASSERT_TRUE(c.result.value.IsPacket()) << c.result.value.AsString();
    EXPECT_EQ(c.posting, "");
    EXPECT_EQ(c.withdrawal, "");
    EXPECT_EQ(errorsOf(c.rows), (std::vector<Row>{{"LIB00200_3", kStock5, "000001", "A01"}}));
    EXPECT_EQ(fx.footprint(), before);
    // The deltas come back as they were sent.
    const DataPacket& items = c.result.refs.at(1).AsPacket();
    EXPECT_EQ(items.rows[0].values[static_cast<size_t>(items.FieldIndex("NRLANCESTQ"))].AsString(), "NOVOCODRET");
    // Accepted through the ignore list it is a success, as the screen takes it, but the branch does not allow
    // negative stock: the item is saved pending, with nothing posted.
    c = confirm(fx, Header{}, {{"0002", kStock5, 8, "000001", "A01"}}, "#LIB00200_3#");
    EXPECT_FALSE(c.posting.empty());
    EXPECT_EQ(errorsOf(c.rows), (std::vector<Row>{{"LIB00200_3", kStock5, "000001", "A01"}}));
    EXPECT_EQ(fx.mark("0001", c.posting, "0002"), "N");
    EXPECT_DOUBLE_EQ(fx.ledger("0001", c.posting, "0002"), 0);
    EXPECT_TRUE(fx.violations().empty()) << ::testing::PrintToString(fx.violations());
}

TEST(Confirma_Lanc, AcceptedIrregularStockCarriesTheSavedPendingItemsNotSentAgain) {
    Fixture fx;
    Header h;
    h.branch = demo::kBranchPlain;  // IDPERMESTNEG "S"
    Confirmed c = confirm(fx, h, {{"0001", kStock10, 12}, {"0002", kStock5, 8}, {"0003", "300004", 1}});
    ASSERT_FALSE(c.posting.empty()) << "a LIB00200_3 row is a success where negative stock is allowed";
    ASSERT_EQ(errorsOf(c.rows).size(), 2u);
    EXPECT_EQ(fx.mark("0002", c.posting, "0003"), "S");
    EXPECT_DOUBLE_EQ(fx.ledger("0002", c.posting, "0002"), 0);
    // "Valida": nothing accepted, the item not sent stays pending.
    Confirmed v = confirm(fx, recorded(c, demo::kBranchPlain), {saved(c, {"0002", kStock5, 8})});
    EXPECT_EQ(fx.mark("0002", c.posting, "0001"), "N");
    // "Grava" with only the corn in the log: the tomato paste, saved pending
    // and its error accepted as well, is carried too.
    Confirmed g = confirm(fx, recorded(c, demo::kBranchPlain), {saved(c, {"0002", kStock5, 8})}, "#LIB00200_3#");
    EXPECT_TRUE(errorsOf(g.rows).empty()) << ::testing::PrintToString(g.rows);
    EXPECT_EQ(fx.mark("0002", c.posting, "0001"), "S");
    EXPECT_EQ(fx.mark("0002", c.posting, "0002"), "S");
    EXPECT_DOUBLE_EQ(fx.ledger("0002", c.posting, "0001"), -12);
    EXPECT_DOUBLE_EQ(fx.ledger("0002", c.posting, "0002"), -8);
    EXPECT_TRUE(fx.violations().empty()) << ::testing::PrintToString(fx.violations());
}

TEST(Confirma_Lanc, RepeatedSendingIsAnsweredWithTheFirstAnswer) {
    Fixture fx;
    Header h;
    h.key = "confirm-key-1";
    Confirmed first = confirm(fx, h, {{"0001", kStock10, 3, "000001", "A01"}});
    ASSERT_FALSE(first.posting.empty()) << ::testing::PrintToString(first.rows);
    const std::string after = fx.footprint();
    Confirmed again = confirm(fx, h, {{"0001", kStock10, 3, "000001", "A01"}});
    EXPECT_EQ(again.rows, first.rows);
    EXPECT_EQ(again.result.refs.at(1), first.result.refs.at(1));
    EXPECT_EQ(fx.footprint(), after);
    // A failed sending records no key: the same key may then succeed.
    Header k;
    k.key = "confirm-key-2";
    Confirmed refused = confirm(fx, k, {{"0001", kStock5, 9, "000001", "A01"}});
    EXPECT_EQ(refused.posting, "");
    Confirmed ok = confirm(fx, k, {{"0001", kStock5, 1, "000001", "A01"}});
    EXPECT_FALSE(ok.posting.empty()) << ::testing::PrintToString(ok.rows);
}

TEST(Confirma_Lanc, RightAndBranchAreCheckedOnTheServer) {
    Fixture fx;
    Confirmed c = confirm(fx, Header{}, {{"0001", kStock10, 3, "000001", "A01"}});
    ASSERT_FALSE(c.posting.empty());
    Item it{"0001", kStock10, 4, "000001", "A01"};
    // BRUNO (0001, no right) may not alter; nothing moves.
    Confirmed b = confirm(fx, recorded(c), {saved(c, it)}, "0", fx.tokenOf(demo::kOperatorNoRights));
    ASSERT_TRUE(b.result.value.IsString());
    EXPECT_NE(b.result.value.AsString().find("sem direito"), std::string::npos) << b.result.value.AsString();
    EXPECT_DOUBLE_EQ(fx.ledger("0001", c.posting, "0001"), -3);
    // CARLA (bound to 0002) may not touch 0001 at all.
    EXPECT_THROW(confirm(fx, recorded(c), {saved(c, it)}, "0", fx.tokenOf(demo::kOperatorAlterOnly)), net::ERpcError);
    EXPECT_DOUBLE_EQ(fx.ledger("0001", c.posting, "0001"), -3);
    // ANA (0001, both rights) may.
    Confirmed a = confirm(fx, recorded(c), {saved(c, it)}, "0", fx.tokenOf(demo::kOperatorAllRights));
    EXPECT_TRUE(errorsOf(a.rows).empty()) << ::testing::PrintToString(a.rows);
    EXPECT_DOUBLE_EQ(fx.ledger("0001", c.posting, "0001"), -4);
}

TEST(Confirma_Lanc, TwoConfirmationsCannotBothTakeTheLastStock) {
    Fixture fx(2);
    auto run = [&] {
        return std::async(std::launch::async, [&] { return confirm(fx, Header{}, {{"0001", kStock5, 4, "000001", "A01"}}); });
    };
    auto f1 = run(), f2 = run();
    Confirmed a = f1.get(), b = f2.get();
    ASSERT_TRUE(a.result.value.IsPacket()) << a.result.value.AsString();
    ASSERT_TRUE(b.result.value.IsPacket()) << b.result.value.AsString();
    EXPECT_NE(a.posting.empty(), b.posting.empty()) << ::testing::PrintToString(a.rows) << ::testing::PrintToString(b.rows);
    EXPECT_DOUBLE_EQ(fx.number("SELECT SUM(QTMOVIDIA) FROM SALDODIA WHERE CDFILIAL = '0001' AND CDPRODESTO = '300001'"),
                     1);
    EXPECT_TRUE(fx.violations().empty()) << ::testing::PrintToString(fx.violations());
}
