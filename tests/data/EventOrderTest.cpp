// What an exception in a Before* event or in OnNewRecord leaves behind (the
// order of the events is what every scenario goes through).
#include "DataTestUtil.h"
#include "core/Exception.h"

#include <gtest/gtest.h>

namespace {

class EventOrder : public ::testing::Test {
protected:
    void SetUp() override { DeclareItems(ds); }
    void Load(int rows) { ds.SetData(Variant(ItemsPacket(rows))); }
    TClientDataSet ds;
};

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
