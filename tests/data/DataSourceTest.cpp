// Data sources and links: state, notifications, Enabled, DisableControls, lifetime.
#include "DataTestUtil.h"
#include "data/DataSource.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

struct DataSources : ::testing::Test {
    TClientDataSet ds;
    TDataSource src;
    void SetUp() override { DeclareItems(ds); }
};

TEST_F(DataSources, DisableControlsSendsOneNoticeAtTheEnd) {
    ds.SetData(Variant(ItemsPacket(5)));
    src.SetDataSet(&ds);
    int data = 0, state = 0, scrolls = 0;
    src.OnDataChange = [&](TDataSource&, TField*) { ++data; };
    src.OnStateChange = [&](TDataSource&) { ++state; };
    ds.AfterScroll = [&](TDataSet&) { ++scrolls; };
    ds.DisableControls();
    ds.DisableControls();
    for (ds.First(); !ds.Eof(); ds.Next()) {
        ds.Edit();
        ds.FieldByName("QTY").SetAsFloat(0);
        ds.Post();
    }
    ds.EnableControls();
    EXPECT_EQ(data, 0);
    EXPECT_TRUE(ds.ControlsDisabled());
    ds.EnableControls();
    EXPECT_EQ(data, 1);
    EXPECT_EQ(state, 0);   // browse before and after
    EXPECT_EQ(scrolls, 6);  // dataset events still run
}

TEST(DataSourceLifetime, EitherSideMayGoFirst) {
    auto ds = std::make_unique<TClientDataSet>();
    DeclareItems(*ds);
    ds->SetData(Variant(ItemsPacket(1)));
    TDataSource src;
    src.SetDataSet(ds.get());
    TDataLink link;
    link.SetDataSource(&src);
    ds.reset();
    EXPECT_EQ(src.DataSet(), nullptr);
    EXPECT_FALSE(link.Active());

    auto src2 = std::make_unique<TDataSource>();
    TClientDataSet ds2;
    DeclareItems(ds2);
    src2->SetDataSet(&ds2);
    link.SetDataSource(src2.get());
    src2.reset();
    EXPECT_EQ(link.DataSource(), nullptr);
    ds2.CreateDataSet();  // no dangling source is called
    EXPECT_TRUE(ds2.Active());
}

}  // namespace
