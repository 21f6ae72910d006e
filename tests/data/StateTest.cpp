// States, navigation and the shape of datasets.
#include "DataTestUtil.h"
#include "core/Exception.h"

#include <gtest/gtest.h>

namespace {

struct States : ::testing::Test {
    TClientDataSet ds;
    void SetUp() override { DeclareItems(ds); }
    void Load(int rows) { ds.SetData(Variant(ItemsPacket(rows))); }
};

TEST_F(States, OpenNeedsDataAndFieldsMatch) {
    EXPECT_EQ(ds.State(), TDataSetState::dsInactive);
    EXPECT_THROW(ds.Open(), Exception);  // no data
    EXPECT_FALSE(ds.Active());

    DataPacket p = ItemsPacket(1);
    p.fields.pop_back();  // GRP missing
    for (auto& r : p.rows) r.values.pop_back();
    try {
        ds.SetData(Variant(p));
        FAIL();
    } catch (const Exception& e) {
        EXPECT_NE(std::string(e.what()).find("GRP"), std::string::npos);
    }
    EXPECT_FALSE(ds.Active());
    EXPECT_THROW(ds.SetData(Variant("oops")), EConvertError);

    TClientDataSet none;
    EXPECT_THROW(none.CreateDataSet(), Exception);  // nothing declared
    DataPacket shortRow = ItemsPacket(3);
    shortRow.rows[1].values.pop_back();
    EXPECT_THROW(none.SetData(Variant(shortRow)), EConvertError);
    EXPECT_FALSE(none.Active());
}

TEST(PacketFields, ComeFromThePacketWhenNoneDeclared) {
    TClientDataSet ds;
    ds.Name = "cdsRetorno";
    ds.SetData(Variant(ItemsPacket(2)));
    ASSERT_EQ(ds.FieldCount(), 4);
    EXPECT_EQ(ds.FieldByName("name").AsString(), "Item 1");
    TField* code = ds.FindField("CODE");
    ds.SetData(Variant(ItemsPacket(5)));
    EXPECT_EQ(ds.FindField("CODE"), code);  // same shape: the field survives
    EXPECT_EQ(ds.FindField("NOPE"), nullptr);
    EXPECT_THROW(ds.FieldByName("NOPE"), Exception);
    EXPECT_THROW(ds.AddField("X", TFieldType::ftString), Exception);  // open
}

TEST_F(States, NavigationBofEofRecNo) {
    Load(3);
    EXPECT_TRUE(ds.Bof());
    EXPECT_FALSE(ds.Eof());
    EXPECT_EQ(ds.RecNo(), 1);
    EXPECT_EQ(Column(ds, "CODE"), (std::vector<std::string>{"C1", "C2", "C3"}));
    EXPECT_TRUE(ds.Eof());
    EXPECT_EQ(ds.RecNo(), 3);
    ds.Last();
    ds.Prior();
    EXPECT_EQ(ds.FieldByName("CODE").AsString(), "C2");
    EXPECT_EQ(ds.MoveBy(-5), -1);
    EXPECT_TRUE(ds.Bof());
    ds.SetRecNo(3);
    EXPECT_EQ(ds.FieldByName("CODE").AsString(), "C3");
    EXPECT_THROW(ds.SetRecNo(4), Exception);
    EXPECT_EQ(ds.RecordCount(), 3);
}

TEST_F(States, EmptyDataSetBehaviour) {
    ds.CreateDataSet();
    EXPECT_TRUE(ds.IsEmpty());
    EXPECT_TRUE(ds.Eof() && ds.Bof());
    EXPECT_EQ(ds.RecNo(), 0);
    EXPECT_TRUE(ds.FieldByName("CODE").IsNull());
    EXPECT_THROW(ds.Delete(), Exception);
    ds.Edit();  // an empty dataset inserts instead
    EXPECT_EQ(ds.State(), TDataSetState::dsInsert);
    EXPECT_FALSE(ds.IsEmpty());
    ds.FieldByName("CODE").SetAsString("A");
    ds.Post();
    EXPECT_EQ(ds.RecordCount(), 1);
    ds.EmptyDataSet();
    EXPECT_TRUE(ds.IsEmpty());
    EXPECT_EQ(ds.ChangeCount(), 0);
}

TEST_F(States, InsertPutsTheRecordBeforeTheCurrentAppendAtTheEnd) {
    Load(3);
    ds.SetRecNo(2);
    ds.Insert();
    EXPECT_EQ(ds.RecNo(), 2);
    EXPECT_EQ(ds.RowCount(), 4);
    ds.FieldByName("CODE").SetAsString("NEW");
    ds.Post();
    EXPECT_EQ(ds.RecNo(), 2);
    ds.Append();
    ds.FieldByName("CODE").SetAsString("END");
    ds.Post();
    EXPECT_EQ(Column(ds, "CODE"), (std::vector<std::string>{"C1", "NEW", "C2", "C3", "END"}));
}

TEST_F(States, DeleteLoopEndsAndKeepsTheRest) {
    Load(9);
    ds.First();
    while (!ds.Eof()) {
        if (ds.FieldByName("GRP").AsString() != "G1") ds.Delete();
        else ds.Next();
    }
    EXPECT_EQ(Column(ds, "CODE"), (std::vector<std::string>{"C1", "C4", "C7"}));
}

TEST_F(States, ReadOnlyDataSetRefusesChanges) {
    ds.ReadOnly = true;
    Load(2);
    EXPECT_THROW(ds.Edit(), Exception);
    EXPECT_THROW(ds.Append(), Exception);
    EXPECT_THROW(ds.Delete(), Exception);
    EXPECT_EQ(ds.State(), TDataSetState::dsBrowse);
    EXPECT_EQ(ds.Locate("CODE", "C2"), true);  // reading still works
}

TEST_F(States, PostAndFieldsOutsideEditing) {
    Load(1);
    try {
        ds.Post();
        FAIL();
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "Dataset not in edit or insert mode");
    }
    EXPECT_THROW(ds.FieldByName("CODE").SetAsString("X"), Exception);
    EXPECT_EQ(ds.FieldByName("CODE").AsString(), "C1");
}

TEST_F(States, RequiredFieldStopsThePostAndFocusesTheField) {
    TField& name = ds.FieldByName("NAME");
    name.Required = true;
    name.SetDisplayLabel("Nome");
    int focused = 0;
    name.OnFocusControl = [&](TField&) { ++focused; };
    ds.CreateDataSet();
    ds.Append();
    ds.FieldByName("CODE").SetAsString("A");
    try {
        ds.Post();
        FAIL();
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "Field 'Nome' must have a value");
    }
    EXPECT_EQ(focused, 1);
    EXPECT_EQ(ds.State(), TDataSetState::dsInsert);
    name.SetAsString("ok");
    ds.Post();
    EXPECT_EQ(ds.RecordCount(), 1);
}

TEST_F(States, BookmarksFollowRecords) {
    Load(5);
    ds.SetRecNo(4);
    TBookmark b = ds.Bookmark();
    ds.First();
    ds.Delete();
    ds.GotoBookmark(b);
    EXPECT_EQ(ds.FieldByName("CODE").AsString(), "C4");
    ds.Delete();
    EXPECT_FALSE(ds.BookmarkValid(b));
    EXPECT_THROW(ds.GotoBookmark(b), Exception);
}

TEST_F(States, GridRowsIncludeThePendingInsertAndTheEditBuffer) {
    ds.FieldByName("QTY").DisplayFormat = "#,##0.00";
    Load(3);
    TField& code = ds.FieldByName("CODE");
    ds.SetRecNo(2);
    ds.Insert();
    code.SetAsString("NEW");
    EXPECT_EQ(ds.RowCount(), 4);
    EXPECT_EQ(ds.CurrentRow(), 1);
    EXPECT_EQ(ds.ValueAt(0, code).AsString(), "C1");
    EXPECT_EQ(ds.ValueAt(1, code).AsString(), "NEW");
    EXPECT_EQ(ds.ValueAt(2, code).AsString(), "C2");
    EXPECT_EQ(ds.DisplayTextAt(3, ds.FieldByName("QTY")), "3,00");
    EXPECT_THROW(ds.ValueAt(4, code), Exception);
    ds.Cancel();
    ds.Edit();
    code.SetAsString("EDITED");
    EXPECT_EQ(ds.ValueAt(1, code).AsString(), "EDITED");
    EXPECT_EQ(ds.RecNo(), 2);  // reading rows moved nothing
}

}  // namespace
