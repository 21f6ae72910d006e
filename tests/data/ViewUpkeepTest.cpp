// Views and sums kept in step change by change must read as if rebuilt from
// scratch: random edits, inserts, deletions, undos and copies on datasets large
// enough to span several view blocks.
#include "DataTestUtil.h"
#include "data/ViewOrder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

namespace {

// What the visible records should be: a fresh dataset given the same data and settings.
std::vector<std::string> Rebuilt(TClientDataSet& ds) {
    TClientDataSet fresh;
    DeclareItems(fresh);
    fresh.SetIndexFieldNames(ds.IndexFieldNames());
    fresh.SetFilter(ds.Filter());
    fresh.SetFiltered(ds.Filtered());
    fresh.SetData(ds.Data());
    return Column(fresh, "CODE");
}

long double Walked(TClientDataSet& ds) {
    TClientDataSet all;
    DeclareItems(all);
    all.SetData(ds.Data());
    long double sum = 0;
    for (int r = 0; r < all.RowCount(); ++r)
        if (Variant v = all.ValueAt(r, all.FieldByName("QTY")); !v.IsNull()) sum += v.AsFloat();
    return sum;
}

void RandomChanges(TClientDataSet& ds, std::mt19937& rng, int steps) {
    for (int step = 0; step < steps; ++step) {
        int n = ds.RecordCount();
        int op = static_cast<int>(rng() % 10);
        if (n > 0) ds.SetRecNo(1 + static_cast<int>(rng() % static_cast<unsigned>(n)));
        if (op < 5 && n > 0) {
            ds.Edit();
            ds.FieldByName("NAME").SetAsString("Item " + std::to_string(rng() % 3000));
            ds.FieldByName("QTY").SetAsFloat(static_cast<double>(rng() % 1000) / 8);
            if (rng() % 4 == 0) ds.FieldByName("GRP").SetAsString("G" + std::to_string(rng() % 3));
            ds.Post();
        } else if (op < 7) {
            rng() % 2 ? ds.Insert() : ds.Append();
            ds.FieldByName("CODE").SetAsString("N" + std::to_string(step));
            ds.FieldByName("NAME").SetAsString("Item " + std::to_string(rng() % 3000));
            if (rng() % 3) ds.FieldByName("QTY").SetAsFloat(1.5);
            ds.Post();
        } else if (op < 9 && n > 0) {
            ds.Delete();
        } else {
            ds.UndoLastChange(true);
        }
    }
}

TEST(ViewUpkeep, ViewOrderReadsLikeAVectorThroughSplitsAndEmptiedBlocks) {
    std::mt19937 rng(3);
    std::vector<int> expected(1500);
    for (int i = 0; i < 1500; ++i) expected[static_cast<size_t>(i)] = i;
    ViewOrder view;
    view.Assign(expected);
    for (int step = 0; step < 6000; ++step) {
        // Inserts crowd the front (splitting its block), erasures empty the back.
        if (step < 3000 || expected.empty() || rng() % 3 == 0) {
            int pos = static_cast<int>(rng() % (std::min<size_t>(expected.size(), 40) + 1));
            view.Insert(pos, step + 10000);
            expected.insert(expected.begin() + pos, step + 10000);
        } else {
            int pos = static_cast<int>(expected.size()) - 1 - static_cast<int>(rng() % std::min<size_t>(expected.size(), 40));
            view.Erase(pos);
            expected.erase(expected.begin() + pos);
        }
    }
    ASSERT_EQ(view.Size(), static_cast<int>(expected.size()));
    for (int i = 0; i < view.Size(); i += 7) ASSERT_EQ(view.At(i), expected[static_cast<size_t>(i)]) << i;
    EXPECT_EQ(view.Find(expected.back()), view.Size() - 1);
}

TEST(ViewUpkeep, IndexedAndFilteredViewsMatchARebuildAfterEveryKindOfChange) {
    std::mt19937 rng(11);
    for (const char* filter : {"", "GRP = 'G1'"}) {
        TClientDataSet ds;
        DeclareItems(ds);
        ds.SetIndexFieldNames("NAME;QTY");
        ds.SetFilter(filter);
        ds.SetFiltered(*filter != 0);
        ds.SetData(Variant(ItemsPacket(2500)));
        for (int round = 0; round < 6; ++round) {
            RandomChanges(ds, rng, 150);
            ASSERT_EQ(Column(ds, "CODE"), Rebuilt(ds)) << "filter '" << filter << "', round " << round;
        }
    }
}

TEST(ViewUpkeep, AFewDeletionsAreSkippedInNaturalOrderAndCopiesKeepThem) {
    TClientDataSet ds, copy;
    DeclareItems(ds);
    DeclareItems(copy);
    ds.SetData(Variant(ItemsPacket(10)));
    for (int recNo : {10, 5, 1}) {
        ds.SetRecNo(recNo);
        ds.Delete();
    }
    copy.SetData(ds.Data());
    const std::vector<std::string> expected = {"C2", "C3", "C4", "C6", "C7", "C8", "C9"};
    EXPECT_EQ(Column(ds, "CODE"), expected);
    EXPECT_EQ(Column(copy, "CODE"), expected);
    ASSERT_TRUE(copy.Locate("CODE", "C6"));
    EXPECT_EQ(copy.RecNo(), 4);
    copy.UndoLastChange(true);  // C1 comes back first
    EXPECT_EQ(copy.FieldByName("CODE").AsString(), "C1");
    EXPECT_EQ(copy.RecordCount(), 8);
    EXPECT_EQ(ds.RecordCount(), 7);
}

TEST(ViewUpkeep, FieldSumFollowsPostsDeletionsUndosAndCopies) {
    std::mt19937 rng(5);
    TClientDataSet ds;
    DeclareItems(ds);
    ds.SetData(Variant(ItemsPacket(1200)));
    EXPECT_EQ(ds.FieldSum(ds.FieldByName("QTY")), 1200.0L * 1201 / 2);
    for (int round = 0; round < 5; ++round) {
        RandomChanges(ds, rng, 120);
        if (round == 2) ds.RevertRecord();
        if (round == 3) ds.MergeChangeLog();
        TClientDataSet copy;
        DeclareItems(copy);
        copy.SetData(ds.Data());
        const long double walked = Walked(ds);
        EXPECT_NEAR(static_cast<double>(ds.FieldSum(ds.FieldByName("QTY"))), static_cast<double>(walked), 1e-6);
        EXPECT_NEAR(static_cast<double>(copy.FieldSum(copy.FieldByName("QTY"))), static_cast<double>(walked), 1e-6);
    }
    ds.CancelUpdates();
    EXPECT_NEAR(static_cast<double>(ds.FieldSum(ds.FieldByName("QTY"))), static_cast<double>(Walked(ds)), 1e-6);
}

}  // namespace
