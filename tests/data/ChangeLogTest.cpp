// Change log, Delta, undo, status filter, and copies of data between datasets.
#include "DataTestUtil.h"
#include "core/Exception.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>

namespace {

class ChangeLog : public ::testing::Test {
protected:
    void SetUp() override {
        DeclareItems(ds);
        ds.SetData(Variant(ItemsPacket(4)));
    }
    void EditName(const std::string& code, const std::string& name) {
        ASSERT_TRUE(ds.Locate("CODE", code));
        ds.Edit();
        ds.FieldByName("NAME").SetAsString(name);
        ds.Post();
    }
    void AppendCode(const std::string& code) {
        ds.Append();
        ds.FieldByName("CODE").SetAsString(code);
        ds.Post();
    }
    TClientDataSet ds;
};

TEST_F(ChangeLog, EveryChangeIsLoggedAndDeltaCarriesKindsAndOriginals) {
    EXPECT_EQ(ds.ChangeCount(), 0);
    EXPECT_EQ(ds.UpdateStatus(), usUnmodified);
    EditName("C2", "changed");
    EXPECT_EQ(ds.UpdateStatus(), usModified);
    AppendCode("N1");
    EXPECT_EQ(ds.UpdateStatus(), usInserted);
    ASSERT_TRUE(ds.Locate("CODE", "C3"));
    ds.Delete();
    EXPECT_EQ(ds.ChangeCount(), 3);

    Variant deltaData = ds.Delta();
    const DataPacket& delta = deltaData.AsPacket();
    ASSERT_EQ(delta.rows.size(), 3u);
    EXPECT_EQ(delta.fields.size(), 4u);
    EXPECT_EQ(delta.rows[0].change, RowChange::Modified);
    EXPECT_EQ(delta.rows[0].values[1].AsString(), "changed");
    EXPECT_EQ(delta.rows[0].original[1].AsString(), "Item 2");
    EXPECT_EQ(delta.rows[1].change, RowChange::Deleted);
    EXPECT_EQ(delta.rows[1].original[0].AsString(), "C3");
    EXPECT_EQ(delta.rows[2].change, RowChange::Inserted);
    EXPECT_EQ(delta.rows[2].values[0].AsString(), "N1");

    // Posting unchanged values logs nothing; a row inserted then deleted stays out.
    ds.CancelUpdates();
    EditName("C1", "Item 1");
    EXPECT_EQ(ds.ChangeCount(), 0);
    AppendCode("TMP");
    ds.Delete();
    EXPECT_EQ(ds.Delta().AsPacket().rows.size(), 0u);
    EXPECT_EQ(ds.RecordCount(), 4);
}

TEST_F(ChangeLog, CancelUpdatesRestoresTheLoadedRows) {
    EditName("C1", "x");
    AppendCode("N");
    ds.Last();
    ds.Delete();
    ds.First();
    ds.Delete();
    ds.CancelUpdates();
    EXPECT_EQ(ds.ChangeCount(), 0);
    EXPECT_EQ(Column(ds, "CODE"), (std::vector<std::string>{"C1", "C2", "C3", "C4"}));
    EXPECT_EQ(Column(ds, "NAME")[0], "Item 1");
}

TEST_F(ChangeLog, MergeMakesChangesTheNewOriginals) {
    EditName("C1", "merged");
    ds.First();
    ds.Next();
    ds.Delete();
    ds.MergeChangeLog();
    EXPECT_EQ(ds.ChangeCount(), 0);
    EXPECT_EQ(ds.Delta().AsPacket().rows.size(), 0u);
    ds.CancelUpdates();
    EXPECT_EQ(Column(ds, "NAME"), (std::vector<std::string>{"merged", "Item 3", "Item 4"}));
}

TEST_F(ChangeLog, UndoLastChangeStepsBackOneChangeAtATime) {
    EditName("C1", "first");
    EditName("C1", "second");
    AppendCode("N");
    EXPECT_TRUE(ds.UndoLastChange(true));
    EXPECT_EQ(ds.RecordCount(), 4);
    EXPECT_TRUE(ds.UndoLastChange(true));
    EXPECT_EQ(ds.FieldByName("NAME").AsString(), "first");  // followed the change
    EXPECT_EQ(ds.UpdateStatus(), usModified);
    EXPECT_TRUE(ds.UndoLastChange(true));
    EXPECT_EQ(ds.FieldByName("NAME").AsString(), "Item 1");
    EXPECT_EQ(ds.UpdateStatus(), usUnmodified);
    EXPECT_FALSE(ds.UndoLastChange(true));
}

TEST_F(ChangeLog, StatusFilterShowsDeletedRowsReadOnly) {
    ds.First();
    ds.Delete();
    EditName("C3", "m");
    ds.SetStatusFilter(usDeleted);
    EXPECT_EQ(ds.RecordCount(), 1);
    EXPECT_EQ(ds.FieldByName("CODE").AsString(), "C1");
    EXPECT_EQ(ds.UpdateStatus(), usDeleted);
    EXPECT_THROW(ds.Edit(), Exception);
    ds.SetStatusFilter(usModified);
    EXPECT_EQ(Column(ds, "CODE"), (std::vector<std::string>{"C3"}));
    ds.SetStatusFilter(usDefaultStatusFilter);
    EXPECT_EQ(ds.RecordCount(), 3);
}

// A long log (hundreds of edits) handed to a copy: each side undoes and edits
// on its own, past the first edits too.
TEST_F(ChangeLog, ALongLogStaysApartInTheSourceAndItsCopy) {
    for (int k = 0; k < 600; ++k) EditName("C1", "v" + std::to_string(k));
    TClientDataSet copy;
    DeclareItems(copy);
    copy.SetData(ds.Data());
    for (int k = 0; k < 10; ++k) ds.UndoLastChange(true);
    EditName("C1", "source");
    for (int k = 0; k < 300; ++k) copy.UndoLastChange(true);
    ASSERT_EQ(ds.ChangeCount(), 591);
    ASSERT_EQ(copy.ChangeCount(), 300);
    EXPECT_EQ(ds.FieldByName("NAME").AsString(), "source");
    ASSERT_TRUE(copy.Locate("CODE", "C1"));
    EXPECT_EQ(copy.FieldByName("NAME").AsString(), "v299");
    while (copy.UndoLastChange(true)) {
    }
    ASSERT_TRUE(copy.Locate("CODE", "C1"));
    EXPECT_EQ(copy.FieldByName("NAME").AsString(), "Item 1");
    EXPECT_EQ(ds.ChangeCount(), 591);
}

TEST_F(ChangeLog, DeletedRowsComeBackInACopyByUndoingTheLastChanges) {
    // Items marked and then deleted before a save that fails must come back,
    // still marked: copy, show deleted rows, undo one change per row shown.
    EditName("C2", "marked");
    EditName("C4", "marked");
    AppendCode("NEW");
    ds.Edit();
    ds.FieldByName("NAME").SetAsString("marked");
    ds.Post();
    ds.SetFilter("NAME = 'marked'");
    ds.SetFiltered(true);
    while (!ds.IsEmpty()) ds.Delete();
    ds.SetFiltered(false);
    EXPECT_EQ(ds.RecordCount(), 2);

    TClientDataSet scratch;
    DeclareItems(scratch);
    scratch.SetData(ds.Data());
    scratch.SetStatusFilter(usDeleted);
    int shown = scratch.RecordCount();
    EXPECT_EQ(shown, 3);
    for (int k = 0; k < shown; ++k) scratch.UndoLastChange(true);
    scratch.SetStatusFilter(usDefaultStatusFilter);
    ds.SetData(scratch.Data());
    EXPECT_EQ(ds.RecordCount(), 5);
    EXPECT_EQ(Column(ds, "NAME"), (std::vector<std::string>{"Item 1", "marked", "Item 3", "marked", "marked"}));
    EXPECT_EQ(ds.Delta().AsPacket().rows.size(), 3u);  // two modified, one inserted
}

}  // namespace

namespace {

// Rows shown by a packet (deleted ones left out), as "CODE/NAME".
std::vector<std::string> Shown(const DataPacket& p) {
    std::vector<std::string> out;
    for (const PacketRow& r : p.rows)
        if (r.change != RowChange::Deleted) out.push_back(r.values[0].AsString() + "/" + r.values[1].AsString());
    return out;
}

std::vector<std::string> Shown(TClientDataSet& ds) {
    std::vector<std::string> out;
    for (ds.First(); !ds.Eof(); ds.Next())
        out.push_back(ds.FieldByName("CODE").AsString() + "/" + ds.FieldByName("NAME").AsString());
    return out;
}

// Random edits on a dataset whose data is copied now and then: every copy
// keeps what it got, the source's packet always matches its rows, and a
// copy of a copy reads the same.
void RandomCopies(int rows, int steps) {
    std::mt19937 rng(7);
    TClientDataSet ds;
    DeclareItems(ds);
    ds.SetData(Variant(ItemsPacket(rows)));
    struct Kept {
        std::unique_ptr<TClientDataSet> ds;
        std::vector<std::string> rows;
    };
    std::vector<Kept> copies;
    for (int step = 0; step < steps; ++step) {
        int op = static_cast<int>(rng() % 9);
        if (ds.IsEmpty()) op = 0;
        else ds.SetRecNo(1 + static_cast<int>(rng() % static_cast<unsigned>(ds.RecordCount())));
        switch (op) {
            case 0: case 1:
                ds.Insert();
                ds.FieldByName("CODE").SetAsString("N" + std::to_string(step));
                ds.Post();
                break;
            case 2: case 3:
                ds.Edit();
                ds.FieldByName("NAME").SetAsString("E" + std::to_string(step));
                ds.Post();
                break;
            case 4: ds.Delete(); break;
            case 5: ds.UndoLastChange(true); break;
            case 6: ds.RevertRecord(); break;
            case 7: if (rng() % 4 == 0) ds.MergeChangeLog(); else ds.CancelUpdates(); break;
            default: break;
        }
        Variant data = ds.Data();
        ASSERT_EQ(Shown(data.AsPacket()), Shown(ds)) << "step " << step;
        if (step % 5 == 0) {
            Kept k{std::make_unique<TClientDataSet>(), Shown(data.AsPacket())};
            DeclareItems(*k.ds);
            k.ds->SetData(data);
            copies.push_back(std::move(k));
            if (step % 10 == 0) {  // the copy changes too
                auto& c = *copies.back().ds;
                c.Append();
                c.FieldByName("CODE").SetAsString("COPY");
                c.Post();
                copies.back().rows = Shown(c);
            }
        }
    }
    for (auto& k : copies) {
        EXPECT_EQ(Shown(*k.ds), k.rows);
        TClientDataSet again;
        DeclareItems(again);
        again.SetData(k.ds->Data());
        EXPECT_EQ(Shown(again), k.rows);
        EXPECT_EQ(again.ChangeCount(), k.ds->ChangeCount());
    }
}

TEST(CopySemantics, RandomChangesNeverLeakBetweenCopies) { RandomCopies(12, 600); }
// Enough rows for the records to span several shared chunks and blocks of them.
TEST(CopySemantics, RandomChangesOnLargeDataSets) { RandomCopies(2300, 150); }

}  // namespace
