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

}  // namespace
