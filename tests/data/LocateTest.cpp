// Locate, Lookup and IndexFieldNames ordering.
#include "DataTestUtil.h"
#include "core/Exception.h"

#include <gtest/gtest.h>

namespace {

class Locating : public ::testing::Test {
protected:
    void SetUp() override {
        DeclareItems(ds);
        DataPacket p = ItemsPacket(6);
        p.rows[3].values[1] = Variant("Feijão Preto");
        p.rows[4].values[2] = Variant();
        ds.SetData(Variant(p));
    }
    TClientDataSet ds;
};

TEST_F(Locating, CaseInsensitiveAndPartial) {
    EXPECT_FALSE(ds.Locate("NAME", "feijão preto"));
    EXPECT_TRUE(ds.Locate("NAME", "FEIJÃO PRETO", loCaseInsensitive));
    EXPECT_EQ(ds.FieldByName("CODE").AsString(), "C4");
    EXPECT_TRUE(ds.Locate("NAME", "Item", loPartialKey));
    EXPECT_EQ(ds.FieldByName("CODE").AsString(), "C1");
    EXPECT_TRUE(ds.Locate("CODE;NAME;GRP", VarArrayOf({"c6", "item", "g0"}), loCaseInsensitive | loPartialKey));
    EXPECT_EQ(ds.RecNo(), 6);
}

TEST_F(Locating, NotFoundStaysAndBadArgumentsRaise) {
    ds.SetRecNo(2);
    int scrolls = 0;
    ds.AfterScroll = [&](TDataSet&) { ++scrolls; };
    EXPECT_FALSE(ds.Locate("CODE", "ZZ"));
    EXPECT_EQ(ds.RecNo(), 2);
    EXPECT_EQ(scrolls, 0);
    EXPECT_THROW(ds.Locate("NOPE", "x"), Exception);
    EXPECT_THROW(ds.Locate("CODE;GRP", "x"), Exception);
}

TEST_F(Locating, LocateSeesOnlyVisibleRecordsAndPostsFirst) {
    ds.SetFilter("GRP = 'G1'");
    ds.SetFiltered(true);
    EXPECT_FALSE(ds.Locate("CODE", "C2"));
    ds.Edit();
    ds.FieldByName("NAME").SetAsString("edited");
    EXPECT_TRUE(ds.Locate("CODE", "C4"));
    EXPECT_EQ(ds.State(), TDataSetState::dsBrowse);
    EXPECT_EQ(ds.ChangeCount(), 1);
}

TEST_F(Locating, IndexFieldNamesOrdersAndKeepsTheCursor) {
    ASSERT_TRUE(ds.Locate("CODE", "C5"));
    ds.SetIndexFieldNames("GRP;QTY");
    EXPECT_EQ(ds.FieldByName("CODE").AsString(), "C5");
    EXPECT_EQ(Column(ds, "CODE"), (std::vector<std::string>{"C3", "C6", "C1", "C4", "C5", "C2"}));
    ds.Append();
    ds.FieldByName("CODE").SetAsString("A");
    ds.FieldByName("GRP").SetAsString("G0");
    ds.FieldByName("QTY").SetAsFloat(4);
    ds.Post();
    EXPECT_EQ(ds.RecNo(), 2);  // sorted into place
    EXPECT_EQ(Column(ds, "CODE"), (std::vector<std::string>{"C3", "A", "C6", "C1", "C4", "C5", "C2"}));
    EXPECT_THROW(ds.SetIndexFieldNames("NOPE"), Exception);
    ds.SetIndexFieldNames("");
    EXPECT_EQ(Column(ds, "CODE").back(), "A");
}

}  // namespace
