// Event order of datasets, and what an exception in a Before* event leaves behind.
#include "DataTestUtil.h"
#include "core/Exception.h"

#include <gtest/gtest.h>

namespace {

struct Recorder {
    std::vector<std::string> log;
    void Hook(TDataSet& ds) {
        auto on = [this](const char* name) { return [this, name](TDataSet&) { log.push_back(name); }; };
        ds.BeforeOpen = on("BeforeOpen");
        ds.AfterOpen = on("AfterOpen");
        ds.BeforeClose = on("BeforeClose");
        ds.AfterClose = on("AfterClose");
        ds.BeforeInsert = on("BeforeInsert");
        ds.OnNewRecord = on("OnNewRecord");
        ds.AfterInsert = on("AfterInsert");
        ds.BeforeEdit = on("BeforeEdit");
        ds.AfterEdit = on("AfterEdit");
        ds.BeforePost = on("BeforePost");
        ds.AfterPost = on("AfterPost");
        ds.BeforeCancel = on("BeforeCancel");
        ds.AfterCancel = on("AfterCancel");
        ds.BeforeDelete = on("BeforeDelete");
        ds.AfterDelete = on("AfterDelete");
        ds.BeforeScroll = on("BeforeScroll");
        ds.AfterScroll = on("AfterScroll");
    }
    std::vector<std::string> Take() { return std::exchange(log, {}); }
};

using V = std::vector<std::string>;

class EventOrder : public ::testing::Test {
protected:
    void SetUp() override {
        DeclareItems(ds);
        rec.Hook(ds);
    }
    void Load(int rows) {
        ds.SetData(Variant(ItemsPacket(rows)));
        rec.Take();
    }
    TClientDataSet ds;
    Recorder rec;
};

TEST_F(EventOrder, OpenAndClose) {
    ds.SetData(Variant(ItemsPacket(2)));
    EXPECT_EQ(rec.Take(), (V{"BeforeOpen", "AfterOpen", "AfterScroll"}));
    ds.SetData(Variant(ItemsPacket(3)));
    EXPECT_EQ(rec.Take(), (V{"BeforeClose", "AfterClose", "BeforeOpen", "AfterOpen", "AfterScroll"}));
    ds.Close();
    EXPECT_EQ(rec.Take(), (V{"BeforeClose", "AfterClose"}));
    ds.CreateDataSet();  // empty: no scroll
    EXPECT_EQ(rec.Take(), (V{"BeforeOpen", "AfterOpen"}));
}

TEST_F(EventOrder, InsertPostCancel) {
    Load(2);
    ds.Append();
    EXPECT_EQ(rec.Take(), (V{"BeforeInsert", "BeforeScroll", "OnNewRecord", "AfterInsert", "AfterScroll"}));
    ds.FieldByName("CODE").SetAsString("X");
    ds.Post();
    EXPECT_EQ(rec.Take(), (V{"BeforePost", "AfterPost"}));
    ds.Insert();
    rec.Take();
    ds.Cancel();
    EXPECT_EQ(rec.Take(), (V{"BeforeCancel", "AfterCancel"}));
    ds.Cancel();  // browse: nothing
    EXPECT_TRUE(rec.Take().empty());
}

TEST_F(EventOrder, EditAndDelete) {
    Load(3);
    ds.Edit();
    EXPECT_EQ(rec.Take(), (V{"BeforeEdit", "AfterEdit"}));
    ds.Edit();  // already editing
    EXPECT_TRUE(rec.Take().empty());
    ds.Delete();
    EXPECT_EQ(rec.Take(), (V{"BeforeDelete", "BeforeScroll", "AfterDelete", "AfterScroll"}));
    ds.Insert();
    rec.Take();
    ds.Delete();  // deleting an insert cancels it
    EXPECT_EQ(rec.Take(), (V{"BeforeCancel", "AfterCancel"}));
}

TEST_F(EventOrder, MovingWhileEditingPostsOrCancels) {
    Load(3);
    ds.Edit();
    ds.FieldByName("NAME").SetAsString("changed");
    rec.Take();
    ds.Next();
    EXPECT_EQ(rec.Take(), (V{"BeforePost", "AfterPost", "BeforeScroll", "AfterScroll"}));
    ds.Edit();
    rec.Take();
    ds.Next();  // not modified: cancelled
    EXPECT_EQ(rec.Take(), (V{"BeforeCancel", "AfterCancel", "BeforeScroll", "AfterScroll"}));
    ds.Next();  // at the last record: Eof
    EXPECT_TRUE(ds.Eof());
    rec.Take();
    ds.Next();  // already at Eof: no AfterScroll
    EXPECT_EQ(rec.Take(), (V{"BeforeScroll"}));
}

TEST_F(EventOrder, ClosingWhileEditingDiscardsTheEdit) {
    Load(1);
    ds.Edit();
    ds.FieldByName("NAME").SetAsString("lost");
    rec.Take();
    ds.Close();
    EXPECT_EQ(rec.Take(), (V{"BeforeClose", "AfterClose"}));
    EXPECT_EQ(ds.State(), TDataSetState::dsInactive);
}

TEST_F(EventOrder, FilterChangeGoesToFirstWithScrollEvents) {
    Load(6);
    ds.Last();
    rec.Take();
    ds.SetFilter("GRP = 'G1'");
    ds.SetFiltered(true);
    EXPECT_EQ(rec.Take(), (V{"BeforeScroll", "AfterScroll"}));
    EXPECT_EQ(ds.FieldByName("CODE").AsString(), "C1");
}

TEST_F(EventOrder, AbortInBeforeEventsLeavesEverythingUntouched) {
    Load(3);
    ds.Next();
    ds.BeforeInsert = [](TDataSet&) { Abort(); };
    EXPECT_THROW(ds.Append(), EAbort);
    EXPECT_EQ(ds.State(), TDataSetState::dsBrowse);
    EXPECT_EQ(ds.RecordCount(), 3);
    EXPECT_EQ(ds.RecNo(), 2);

    ds.BeforeEdit = [](TDataSet&) { throw Exception("no"); };
    EXPECT_THROW(ds.Edit(), Exception);
    EXPECT_EQ(ds.State(), TDataSetState::dsBrowse);

    ds.BeforeDelete = [](TDataSet&) { Abort(); };
    EXPECT_THROW(ds.Delete(), EAbort);
    EXPECT_EQ(ds.RecordCount(), 3);
    EXPECT_EQ(ds.ChangeCount(), 0);

    ds.BeforeEdit = nullptr;
    ds.Edit();
    ds.FieldByName("NAME").SetAsString("pending");
    ds.BeforePost = [](TDataSet&) { Abort(); };
    EXPECT_THROW(ds.Post(), EAbort);
    EXPECT_EQ(ds.State(), TDataSetState::dsEdit);  // the edit stays for correction
    EXPECT_EQ(ds.FieldByName("NAME").AsString(), "pending");
    EXPECT_EQ(ds.ChangeCount(), 0);

    ds.BeforeScroll = [](TDataSet&) { Abort(); };
    ds.BeforePost = nullptr;
    ds.Post();
    EXPECT_THROW(ds.Next(), EAbort);
    EXPECT_EQ(ds.RecNo(), 2);

    ds.BeforeClose = [](TDataSet&) { Abort(); };
    EXPECT_THROW(ds.Close(), EAbort);
    EXPECT_TRUE(ds.Active());
}

TEST_F(EventOrder, OnNewRecordFailureCancelsTheInsert) {
    Load(2);
    ds.OnNewRecord = [](TDataSet& d) {
        d.FieldByName("CODE").SetAsString("N");
        throw Exception("bad default");
    };
    EXPECT_THROW(ds.Append(), Exception);
    EXPECT_EQ(ds.State(), TDataSetState::dsBrowse);
    EXPECT_EQ(ds.RecordCount(), 2);
}

TEST_F(EventOrder, OnNewRecordValuesAreNotModifications) {
    Load(1);
    ds.OnNewRecord = [](TDataSet& d) { d.FieldByName("GRP").SetAsString("G9"); };
    ds.Append();
    EXPECT_FALSE(ds.Modified());
    EXPECT_EQ(ds.FieldByName("GRP").AsString(), "G9");
    ds.First();  // unmodified insert is cancelled by moving
    EXPECT_EQ(ds.RecordCount(), 1);
}

TEST_F(EventOrder, CalcFieldsRunForEachRecordShown) {
    TClientDataSet c;
    c.AddField("A", TFieldType::ftFloat);
    TField& twice = c.AddField("TWICE", TFieldType::ftFloat, 0, TFieldKind::fkCalculated);
    int calls = 0;
    c.OnCalcFields = [&](TDataSet& d) {
        ++calls;
        EXPECT_EQ(d.State(), TDataSetState::dsCalcFields);
        d.FieldByName("TWICE").SetAsFloat(d.FieldByName("A").AsFloat() * 2);
    };
    c.CreateDataSet();
    c.AppendRecord({Variant(2.0)});
    c.AppendRecord({Variant(5.0)});
    EXPECT_EQ(twice.AsFloat(), 10.0);
    c.First();
    EXPECT_EQ(twice.AsFloat(), 4.0);
    EXPECT_EQ(c.ValueAt(1, twice).AsFloat(), 10.0);  // another row, cursor stays
    EXPECT_EQ(c.RecNo(), 1);
    c.Edit();
    c.FieldByName("A").SetAsFloat(7);
    EXPECT_EQ(twice.AsFloat(), 14.0);  // recalculated on change
    EXPECT_GT(calls, 4);
    EXPECT_THROW(twice.SetAsFloat(1), Exception);  // only inside OnCalcFields
}

}  // namespace
