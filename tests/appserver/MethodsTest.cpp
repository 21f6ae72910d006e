// The read methods through both transports, where their answers hold more
// than the scenarios look at: by-reference arguments left alone, the browse
// order, the separate reads agreeing with the combined one, refusals.
#include "ServerFixture.h"
#include "core/Packet.h"
#include "store/DemoData.h"

#include <gtest/gtest.h>

#include <set>

using namespace testing_server;
namespace demo = store::demo;

namespace {

class Methods : public ::testing::TestWithParam<Via> {
protected:
    void SetUp() override {
        ret = Connect(GetParam(), "Pla02000.rdmRetirada");
        est = Connect(GetParam(), "Est00000.rdmEstoque");
    }
    std::unique_ptr<TNetConnection> ret, est;
};

}  // namespace

TEST_P(Methods, BrowseIsOrderedLeavesItsArgumentsAndEachWithdrawalLoadsAsItsParts) {
    const TDateTime today = Date();
    VariantArray a{Variant("0001"), Variant(""), Variant("T"), Variant(IncDay(today, -30)), Variant(IncDay(today, 30)),
                   Variant(IncDay(today, -30)), Variant(IncDay(today, 30))};
    const VariantArray sent = a;
    Variant v = ret->Call("GetRomaRetirada", a);
    ASSERT_TRUE(v.IsArray()) << v.AsString();
    EXPECT_EQ(a, sent);
    const DataPacket& list = v.AsArray().at(0).AsPacket();
    ASSERT_GE(list.rows.size(), 3u);
    bool sawDishTypes = false;
    for (size_t r = 0; r < list.rows.size(); ++r) {
        auto col = [&](const char* n) { return list.rows[r].values[list.FieldIndex(n)]; };
        if (r > 0) {
            const auto& prev = list.rows[r - 1].values;
            EXPECT_LE(std::make_pair(prev[list.FieldIndex("DTLANCESTQ")].AsDateTime().Val, prev[list.FieldIndex("NRRETIRADA")].AsString()),
                      std::make_pair(col("DTLANCESTQ").AsDateTime().Val, col("NRRETIRADA").AsString()));
        }
        Variant w = ret->Call("GetLanctoEst", {col("CDFILIAL"), col("CDFILIMOVI"), col("NRLANCESTQ"), col("NRRETIRADA"),
                                               col("NRCARDAPIO")});
        ASSERT_TRUE(w.IsArray() && w.AsArray().size() == 3u) << w.AsString();
        const DataPacket& items = w.AsArray()[2].AsPacket();
        EXPECT_EQ(w.AsArray()[0].AsPacket().rows.size(), 1u);
        EXPECT_EQ(w.AsArray()[1].AsPacket().rows.empty(), col("IDRETIPRAT") != Variant("S"));
        sawDishTypes |= col("IDRETIPRAT") == Variant("S");
        EXPECT_EQ(ret->Call("GetRetiTipoPrat", {col("CDFILIMOVI"), col("NRRETIRADA"), col("NRCARDAPIO")}), w.AsArray()[1]);
        EXPECT_EQ(ret->Call("GetItLanctoEst", {col("CDFILIMOVI"), col("NRRETIRADA")}), w.AsArray()[2]);
        for (const auto& it : items.rows)
            EXPECT_EQ(it.values[items.FieldIndex("ESTOQUEOK")].AsBoolean(),
                      it.values[items.FieldIndex("IDEVOLESTOQ")].AsString() != "N");
        Variant sum = ret->Call("GetResumoItemReti", {col("CDFILIMOVI"), col("NRRETIRADA"), col("DTLANCESTQ")});
        ASSERT_TRUE(sum.IsPacket()) << sum.AsString();
        std::set<std::string> products;
        for (const auto& s : sum.AsPacket().rows)  // one row per product
            EXPECT_TRUE(products.insert(s.values[sum.AsPacket().FieldIndex("CDPRODUTO")].AsString()).second);
    }
    EXPECT_TRUE(sawDishTypes);
    EXPECT_TRUE(ret->Call("GetLanctoEst", {Variant("0001"), Variant("0001"), Variant("X"), Variant("Y"), Variant()}).IsString());
    EXPECT_TRUE(ret->Call("GetResumoItemReti", {Variant("0001"), Variant("X"), Variant()}).IsString());
}

TEST_P(Methods, RefusalsAreTextsAndEmptyAnswersAreNotRefusals) {
    EXPECT_EQ(est->Call("GetParamEstoque", {Variant("9999"), Variant("S"), Variant("10")}),
              Variant("Filial 9999 não cadastrada."));
    EXPECT_TRUE(ret->Call("UsaLocalizacao", {Variant("XX")}).IsString());
    EXPECT_TRUE(ret->Call("GetCtrlEstoque", {Variant("0001"), Variant("NADA")}).IsString());
    Variant none = ret->Call("getMaxData", {Variant(demo::kBranchNoStock)});
    ASSERT_TRUE(none.IsPacket());
    EXPECT_TRUE(none.AsPacket().rows.at(0).values[0].IsNull());
    // A quantity past what the stock unit can hold is refused, not rounded to infinity.
    Variant huge = est->Call("Arredond_Parametrizado", {Variant("0001"), Variant("100001"), Variant(1e308)});
    ASSERT_TRUE(huge.IsString());
    EXPECT_EQ(huge.AsString().rfind("Quantidade ", 0), 0u) << huge.AsString();
}

INSTANTIATE_TEST_SUITE_P(Transports, Methods, ::testing::Values(Via::InProcess, Via::Http),
                         [](const auto& info) { return info.param == Via::Http ? "Http" : "InProcess"; });

TEST(MethodsAcrossTransports, ForgedOrMissingSessionsAreRefusedAndAServerUrlInTheHostWorks) {
    auto c = Connect(Via::Http, "Pla02000.rdmRetirada");
    c->Token = "0123456789abcdef0123456789abcdef";
    Variant v = c->Call("GetTipoReti");
    ASSERT_TRUE(v.IsString());
    EXPECT_NE(v.AsString().find("Sessão"), std::string::npos);
    c->Token.clear();  // and the process holds no session for this endpoint
    EXPECT_TRUE(c->Call("GetTipoReti").IsString());
    TNetConnection url("netRetirada", "Pla02000.rdmRetirada");
    url.Host = "http://127.0.0.1:" + std::to_string(Server::Get().port) + "/";
    url.ThrowException = false;
    url.SignOn("DEMO", "demo");
    EXPECT_TRUE(url.Call("GetTipoReti").IsPacket());
}
