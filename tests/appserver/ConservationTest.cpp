// Random seeded sequences of confirmations, alterations, pending updates,
// deletions and stock arrivals on both branches kinds (negative stock refused
// in 0001, allowed in 0002): after every step the ledger holds minus the
// stock quantity of every carried item and nothing for the others, and the
// daily balances are the ledger's sums (store::LedgerViolations).
#include "StockWriting.h"
#include "store/StockLedger.h"

#include "store/Sequences.h"

#include <random>

using namespace stockwriting;

namespace {

struct Withdrawal {
    std::string branch, posting, withdrawal;
    std::vector<Item> items;
    int next = 0;
};

class Walk {
public:
    Walk(const Fixture& fx, uint32_t seed) : fx_(fx), rng_(seed) {}

    void Step() {
        switch (pick(live_.empty() ? 1 : 5)) {
            case 0: create(); break;
            case 1: alter(); break;
            case 2: update(); break;
            case 3: remove(); break;
            default: arrive(); break;
        }
    }
    std::string last;  // what the step did, for the failure message

private:
    const Fixture& fx_;
    std::mt19937 rng_;
    std::vector<Withdrawal> live_;

    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
    Item item(Withdrawal& w) {
        static const char* products[] = {kStock5, kStock10, "300004"};
        Item it{store::FormatNumber(++w.next, 4), products[pick(3)], static_cast<double>(pick(8))};
        if (w.branch == store::demo::kBranchLocations) {
            it.storeroom = "000001";
            it.location = "A01";
        }
        it.posting = w.posting.empty() ? "NOVOCODRET" : w.posting;
        it.withdrawal = w.withdrawal.empty() ? "NOVOCODRET" : w.withdrawal;
        return it;
    }
    Header header(const Withdrawal& w) const {
        Header h;
        h.branch = w.branch;
        h.posting = w.posting;
        h.withdrawal = w.withdrawal;
        h.menu = "";
        h.change = RowChange::Unmodified;
        return h;
    }
    std::vector<Row> confirm(const Header& h, const std::vector<Item>& items) {
        auto r = fx_.call("Confirma_Lanc",
                          confirmArgs(h.change == RowChange::Unmodified ? Variant() : headerDelta(h),
                                      itemsDelta(h.branch, items), h, pick(4) == 0 ? "#LIB00200_3#" : "0"));
        EXPECT_TRUE(r.value.IsPacket()) << last << ": " << r.value.AsString();
        return rowsOf(r.value);
    }

    void create() {
        Withdrawal w;
        w.branch = pick(2) ? store::demo::kBranchLocations : store::demo::kBranchPlain;
        for (int n = 1 + pick(3); n > 0; --n) w.items.push_back(item(w));
        Header h;
        h.branch = w.branch;
        h.service = store::demo::kServiceOccasional;  // no meals billed: every withdrawal may be deleted
        last = "create in " + w.branch;
        auto rows = confirm(h, w.items);
        w.posting = number(rows, "NRLANCESTQ");
        w.withdrawal = number(rows, "NRRETIRADA");
        if (w.posting.empty()) return;
        for (Item& it : w.items) {
            it.posting = w.posting;
            it.withdrawal = w.withdrawal;
            it.change = RowChange::Modified;
        }
        live_.push_back(std::move(w));
    }

    void alter() {
        Withdrawal& w = live_[static_cast<size_t>(pick(static_cast<int>(live_.size())))];
        std::vector<Item> items = w.items;
        std::vector<Item> sent;
        const int what = pick(3);
        if (what == 0 || items.size() < 2) {
            Item it = item(w);
            sent.push_back(it);
            it.change = RowChange::Modified;
            items.push_back(it);
        } else {
            const size_t i = static_cast<size_t>(pick(static_cast<int>(items.size())));
            if (what == 1) {
                items[i].consumed = pick(8);
                sent.push_back(items[i]);
            } else {
                Item d = items[i];
                d.status = "D";
                sent.push_back(d);
                items.erase(items.begin() + static_cast<long>(i));
            }
        }
        last = "alter " + w.branch + "/" + w.posting;
        auto rows = confirm(header(w), sent);
        if (!number(rows, "NRLANCESTQ").empty()) w.items = items;
    }

    void update() {
        Withdrawal& w = live_[static_cast<size_t>(pick(static_cast<int>(live_.size())))];
        last = "update " + w.branch + "/" + w.posting;
        auto r = fx_.call("AtualizaEstoque", {Variant(w.branch), Variant(w.branch), Variant(w.posting), Variant(day(0)),
                                              Variant(day(0)), Variant("N"), Variant("0"), Variant(w.withdrawal),
                                              Variant("")});
        EXPECT_TRUE(r.value.IsArray()) << last << ": " << r.value.AsString();
    }

    void remove() {
        const size_t i = static_cast<size_t>(pick(static_cast<int>(live_.size())));
        const Withdrawal& w = live_[i];
        last = "delete " + w.branch + "/" + w.posting;
        auto r = fx_.call("DelLancto", {Variant(w.branch), Variant(w.branch), Variant(w.posting), Variant(w.withdrawal),
                                        Variant(day(0)), Variant(day(0)), Variant("N"), Variant("0"), Variant(""),
                                        Variant(day(0)), Variant("0000000000")});
        ASSERT_TRUE(r.value.IsPacket()) << last << ": " << r.value.AsString();
        EXPECT_TRUE(rowsOf(r.value).empty()) << last;
        EXPECT_EQ(fx_.one("SELECT COUNT(*) FROM LANCTOEST WHERE CDFILIAL = '" + w.branch + "' AND NRLANCESTQ = '" +
                          w.posting + "'"),
                  "0");
        live_.erase(live_.begin() + static_cast<long>(i));
    }

    void arrive() {
        const std::string branch = pick(2) ? store::demo::kBranchLocations : store::demo::kBranchPlain;
        static const char* products[] = {kStock5, kStock10, "300004"};
        const std::string product = products[pick(3)];
        const double qty = product == "300004" ? 1000.0 * (1 + pick(4)) : 1 + pick(4);
        last = "stock of " + product + " arrives in " + branch;
        fx_.app->WithDatabase([&](db::SqlConnection& c) {
            db::Transaction t(c);
            store::StockPlace place;
            if (branch == store::demo::kBranchLocations) place = {"000001", "A01", " ", " "};
            store::AddMovement(c, {branch, product, place, day(0), 'E', qty, 5.0, "", ""});
            t.Commit();
            return 0;
        });
    }
};

}  // namespace

TEST(StockConservation, HoldsAfterRandomConfirmAlterRetryDeleteSequences) {
    for (uint32_t seed : {7u, 19u, 2026u}) {
        Fixture fx;
        Walk walk(fx, seed);
        for (int step = 0; step < 30; ++step) {
            walk.Step();
            const auto broken = fx.violations();
            ASSERT_TRUE(broken.empty()) << "seed " << seed << ", step " << step << " (" << walk.last
                                        << "): " << ::testing::PrintToString(broken);
        }
    }
}
