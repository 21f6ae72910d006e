// The use-counted connections and the branch's stock parameters.
#include "ScreenFixture.h"

using namespace screen_test;

namespace {
class ConnectionsTest : public ScreenTest {};
}  // namespace

TEST_F(ConnectionsTest, OpensAreCountedAndAFailedOneLeavesTheCountAtZero) {
    TfrmRetirada* f = Open();
    ASSERT_NE(f, nullptr);
    TNetConnection& c = f->netRetirada;
    auto count = [&] { return f->slConexoes.Count("netRetirada"); };
    f->ConnectServer(c, true);
    f->ConnectServer(c, true);
    f->ConnectServer(c, false);
    EXPECT_TRUE(c.Connected());
    EXPECT_EQ(count(), 1);
    f->ConnectServer(c, false);
    EXPECT_FALSE(c.Connected());
    f->ConnectServer(c, false);  // a close without an open never goes below zero
    EXPECT_EQ(count(), 0);
    ctx().WebURL = "inproc://nobody";
    EXPECT_THROW(f->CallServer(c, "UsaLocalizacao", {Variant("0001")}), Exception);
    EXPECT_EQ(count(), 0);
    EXPECT_FALSE(c.Connected());
    ctx().WebURL = "inproc://screen";
    EXPECT_TRUE(f->CallServer(c, "UsaLocalizacao", {Variant("0001")}).AsBoolean());
    EXPECT_FALSE(c.Connected()) << "closed again after the call";
}

TEST_F(ConnectionsTest, StockParametersOfTheLoadedBranchNeedNoRemoteCall) {
    TfrmRetirada* f = Open();
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(Calls("GetParamEstoque"), 1) << "creation forces one load";
    f->GetParamEstoque("0001", "S", "10", false);
    EXPECT_EQ(Calls("GetParamEstoque"), 1);
    f->GetParamEstoque("0001", "S", "10", true);
    EXPECT_EQ(Calls("GetParamEstoque"), 2);
    f->GetParamEstoque("0004", "S", "10", false);
    EXPECT_EQ(Calls("GetParamEstoque"), 3);
    EXPECT_EQ(f->ParamEstoque("CDFILIAL"), "0004");
    EXPECT_EQ(f->ParamEstoque("IDCTRLESTQ"), "N");
    EXPECT_EQ(f->slConexoes.Count("netEstoque"), 0);
}

TEST_F(ConnectionsTest, FailedReloadKeepsThePreviousParameters) {
    TfrmRetirada* f = Open();
    ASSERT_NE(f, nullptr);
    ctx().WebURL = "inproc://nobody";
    EXPECT_THROW(f->GetParamEstoque("0001", "S", "10", true), Exception);
    EXPECT_EQ(f->ParamEstoque("CDFILIAL"), "0001");
    ctx().WebURL = "inproc://screen";
    // A server's failure text comes through as the error, not as a conversion fault.
    try {
        f->GetParamEstoque("9999", "S", "10", false);
        FAIL() << "an unknown branch has no parameters";
    } catch (const EAbort&) {
        FAIL() << "the failure must carry the server's text";
    } catch (const Exception& e) {
        EXPECT_FALSE(std::string(e.what()).empty());
    }
    EXPECT_EQ(f->ParamEstoque("CDFILIAL"), "0001");
}
