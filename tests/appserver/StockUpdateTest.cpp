// AtualizaEstoque and verifitens on a fresh demo database: pending items
// carried once stock arrives, each on its own; the question refusing a key
// that names no withdrawal.
#include "StockWriting.h"
#include "store/StockLedger.h"

using namespace stockwriting;
namespace demo = store::demo;

namespace {

struct Saved {
    std::string posting, withdrawal;
};

Saved confirmPlain(const Fixture& fx, const std::vector<Item>& items) {
    Header h;
    h.branch = demo::kBranchPlain;  // negative stock allowed: irregular items are saved pending
    auto r = fx.call("Confirma_Lanc", confirmArgs(headerDelta(h), itemsDelta(h.branch, items), h));
    auto rows = rowsOf(r.value);
    return {number(rows, "NRLANCESTQ"), number(rows, "NRRETIRADA")};
}

VariantArray updateArgs(const Saved& s, const std::string& branch = demo::kBranchPlain) {
    return {Variant(branch), Variant(branch),      Variant(s.posting),   Variant(day(0)), Variant(day(0)),
            Variant("S"),    Variant("0"),         Variant(s.withdrawal), Variant("")};
}

void stockArrives(const Fixture& fx, const std::string& product, double quantity) {
    fx.app->WithDatabase([&](db::SqlConnection& c) {
        db::Transaction t(c);
        store::AddMovement(c, {demo::kBranchPlain, product, {}, day(0), 'E', quantity, 8.0, "", ""});
        t.Commit();
        return 0;
    });
}

bool pending(const Fixture& fx, const std::string& withdrawal) {
    auto r = fx.call("verifitens", {Variant(demo::kBranchPlain), Variant(withdrawal)});
    EXPECT_EQ(r.value.Type(), VarType::Bool) << r.value.AsString();
    return r.value.Type() == VarType::Bool && r.value.AsBoolean();
}

std::string itemMark(const DataPacket& items, const std::string& seq) {
    for (const PacketRow& r : items.rows)
        if (text::Trim(r.values[static_cast<size_t>(items.FieldIndex("NRSEQUITEM"))].AsString()) == seq)
            return r.values[static_cast<size_t>(items.FieldIndex("IDEVOLESTOQ"))].AsString();
    return "(none)";
}

}  // namespace

TEST(AtualizaEstoque, PendingItemsAreCarriedEachOnItsOwnOnceStockArrives) {
    Fixture fx;
    // Stock 5 of each: 8 of the corn and 12 of the tomato paste are left pending, 1 of the yeast is posted.
    Saved s = confirmPlain(fx, {{"0001", kStock5, 8}, {"0002", kStock10, 12}, {"0003", "300004", 1}});
    ASSERT_FALSE(s.posting.empty());
    EXPECT_TRUE(pending(fx, s.withdrawal));

    // Corn arrives: only the corn is carried, the tomato paste still waits.
    stockArrives(fx, kStock5, 10);
    auto r = fx.call("AtualizaEstoque", updateArgs(s));
    ASSERT_TRUE(r.value.IsArray()) << r.value.AsString();
    EXPECT_EQ(errorsOf(rowsOf(r.value.AsArray()[0])), (std::vector<Row>{{"LIB00200_3", kStock10, "", ""}}));
    EXPECT_EQ(itemMark(r.value.AsArray()[1].AsPacket(), "0001"), "S");
    EXPECT_EQ(itemMark(r.value.AsArray()[1].AsPacket(), "0002"), "N");
    EXPECT_DOUBLE_EQ(fx.ledger("0002", s.posting, "0001"), -8);
    EXPECT_DOUBLE_EQ(fx.ledger("0002", s.posting, "0002"), 0);

    stockArrives(fx, kStock10, 2);
    r = fx.call("AtualizaEstoque", updateArgs(s));
    ASSERT_TRUE(r.value.IsArray()) << r.value.AsString();
    EXPECT_TRUE(rowsOf(r.value.AsArray()[0]).empty());
    EXPECT_DOUBLE_EQ(fx.ledger("0002", s.posting, "0002"), -12);
    EXPECT_FALSE(pending(fx, s.withdrawal));
    // Nothing left to carry: a further update moves nothing.
    const std::string movements = fx.one("SELECT COUNT(*) FROM MOVIESTQ");
    fx.call("AtualizaEstoque", updateArgs(s));
    EXPECT_EQ(fx.one("SELECT COUNT(*) FROM MOVIESTQ"), movements);
    EXPECT_TRUE(fx.violations().empty()) << ::testing::PrintToString(fx.violations());
}

TEST(AtualizaEstoque, RefusesWhatNamesNoSavedWithdrawal) {
    Fixture fx;
    auto r = fx.call("AtualizaEstoque", updateArgs(Saved{"NOVOCODRET", "NOVOCODRET"}));
    ASSERT_TRUE(r.value.IsString());
    Saved unknown{"9999999999", ""};
    r = fx.call("AtualizaEstoque", updateArgs(unknown));
    ASSERT_TRUE(r.value.IsString());
    EXPECT_NE(r.value.AsString().find("não encontrado"), std::string::npos) << r.value.AsString();
    // A posting given with another withdrawal's number is refused, not updated.
    Saved s = confirmPlain(fx, {{"0001", kStock5, 8}});
    Saved wrong{s.posting, "0000000001"};
    r = fx.call("AtualizaEstoque", updateArgs(wrong));
    ASSERT_TRUE(r.value.IsString());
    EXPECT_EQ(fx.mark("0002", s.posting, "0001"), "N");
}

TEST(verifitens, BlankOrPlaceholderNumbersAreRefusedNotMatched) {
    Fixture fx;
    // The demo's withdrawal of 0001 with extra requisition 0000000002 has an item not carried.
    const std::string withPending = fx.one(
        "SELECT L.NRRETIRADA FROM LANCTOEST L JOIN ITLANCTOEST I ON I.CDFILIAL = L.CDFILIAL"
        " AND I.NRLANCESTQ = L.NRLANCESTQ WHERE L.CDFILIAL = '0001' AND I.IDEVOLESTOQ = 'N'");
    ASSERT_NE(withPending, "null");
    auto r = fx.call("verifitens", {Variant("0001"), Variant(withPending)});
    EXPECT_EQ(r.value, Variant(true));
    for (const char* key : {"", " ", "NOVOCODRET"}) {
        r = fx.call("verifitens", {Variant("0001"), Variant(key)});
        EXPECT_TRUE(r.value.IsString()) << "key '" << key << "'";
    }
    r = fx.call("verifitens", {Variant("0001"), Variant("9999999999")});
    EXPECT_EQ(r.value, Variant(false));
}
