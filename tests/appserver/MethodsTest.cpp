// The remote methods against a fresh demo database, through both transports.
#include "ServerFixture.h"
#include "core/Packet.h"
#include "store/DemoData.h"

#include <gtest/gtest.h>

using namespace testing_server;
namespace demo = store::demo;

namespace {

std::vector<std::string> names(const DataPacket& p) {
    std::vector<std::string> out;
    for (const auto& f : p.fields) out.push_back(f.name);
    return out;
}

std::string productCode(const std::string& tree) {
    return Server::Get().app->WithDatabase([&](db::SqlConnection& c) {
        return c.Query("SELECT CDPRODUTO FROM PRODUTO WHERE CDARVPROD = :A", {{"A", tree}}).rows.at(0).at(0).AsString();
    });
}

TDateTime today() { return Date(); }

class Methods : public ::testing::TestWithParam<Via> {
protected:
    void SetUp() override {
        ret = Connect(GetParam(), "Pla02000.rdmRetirada");
        est = Connect(GetParam(), "Est00000.rdmEstoque");
        aut = Connect(GetParam(), "Est.rdmAutoriza");
    }
    Variant browse(const std::string& branch, const std::string& service = "") {
        VariantArray a{Variant(branch), Variant(service), Variant(service.empty() ? "T" : ""),
                       Variant(IncDay(today(), -30)), Variant(IncDay(today(), 30)), Variant(IncDay(today(), -30)),
                       Variant(IncDay(today(), 30))};
        return ret->Call("GetRomaRetirada", a);
    }
    std::unique_ptr<TNetConnection> ret, est, aut;
};

}  // namespace

TEST_P(Methods, StockParametersOfTheBranch) {
    Variant v = est->Call("GetParamEstoque", {Variant("0001"), Variant("S"), Variant("10")});
    ASSERT_TRUE(v.IsPacket()) << v.AsString();
    const DataPacket& p = v.AsPacket();
    EXPECT_EQ(names(p), (std::vector<std::string>{
                            "IDORDEREQU", "NRNIVEREQU", "IDUTREQUPRAT", "IDUTCODBARRA", "IDESTONLINE", "IDPERMESTNEG",
                            "IDCTRLESTQ", "IDLANCDTMEN", "IDLANCDTMAI", "CDFILIAL", "IDCONAUTIRRG", "DTPROCESSA",
                            "NRDIASSAID", "NRDIASSAIDPD", "IDUTCODBARFI", "IDCARDIFRETI", "CDTPRETIPADR",
                            "CDTIPCUSTEST", "IDLANCDTMENFIL", "NRDIASSAIDFIL", "IDLANCDTMAIFIL", "NRDIASSAIDPDFIL"}));
    ASSERT_EQ(p.rows.size(), 1u);
    EXPECT_EQ(p.rows[0].values[p.FieldIndex("CDFILIAL")], Variant("0001"));
    EXPECT_EQ(p.rows[0].values[p.FieldIndex("DTPROCESSA")], Variant(today()));
    Variant missing = est->Call("GetParamEstoque", {Variant("9999"), Variant("S"), Variant("10")});
    ASSERT_TRUE(missing.IsString());
    EXPECT_EQ(missing.AsString(), "Filial 9999 não cadastrada.");
}

TEST_P(Methods, BranchParametersAndLocations) {
    Variant pf = ret->Call("GetParamFilial", {Variant("0001")});
    ASSERT_TRUE(pf.IsPacket());
    EXPECT_EQ(names(pf.AsPacket()), (std::vector<std::string>{"IDPERMVISPOSEST", "IDBLPRCOMEST"}));
    EXPECT_EQ(ret->Call("UsaLocalizacao", {Variant("0001")}), Variant(true));
    EXPECT_EQ(ret->Call("UsaLocalizacao", {Variant("0002")}), Variant(false));
    EXPECT_TRUE(ret->Call("UsaLocalizacao", {Variant("XX")}).IsString());
}

TEST_P(Methods, StockControlOfAProduct) {
    auto flag = [&](const char* branch, const std::string& tree) {
        Variant v = ret->Call("GetCtrlEstoque", {Variant(branch), Variant(productCode(tree))});
        EXPECT_TRUE(v.IsPacket()) << v.AsString();
        return v.IsPacket() ? v.AsPacket().rows.at(0).values.at(0).AsString() : "";
    };
    EXPECT_EQ(flag("0001", demo::kProductRice), "S");
    EXPECT_EQ(flag("0001", demo::kProductNoStockControl), "N");
    EXPECT_EQ(flag(demo::kBranchNoStock, demo::kProductRice), "N");
    EXPECT_TRUE(ret->Call("GetCtrlEstoque", {Variant("0001"), Variant("NADA")}).IsString());
}

TEST_P(Methods, BrowseListIsOrderedByDateAndNumberAndEchoesItsArguments) {
    VariantArray a{Variant("0001"), Variant(""), Variant("T"), Variant(IncDay(today(), -30)),
                   Variant(IncDay(today(), 30)), Variant(IncDay(today(), -30)), Variant(IncDay(today(), 30))};
    VariantArray sent = a;
    Variant v = ret->Call("GetRomaRetirada", a);
    ASSERT_TRUE(v.IsArray()) << v.AsString();
    EXPECT_EQ(a, sent);  // by reference, unchanged
    const DataPacket& list = v.AsArray().at(0).AsPacket();
    EXPECT_EQ(names(list), (std::vector<std::string>{"CDSERVFILI", "NMSERVICO", "DTLANCESTQ", "DTCARDAPIO",
                                                      "NRREQUEXTRRE", "NRLANCESTQ", "CDFILIAL", "NRRETIRADA",
                                                      "CDFILIMOVI", "NRCARDAPIO", "IDRETIPRAT"}));
    ASSERT_GE(list.rows.size(), 3u);
    for (size_t i = 1; i < list.rows.size(); ++i) {
        auto key = [&](size_t r) {
            return std::make_pair(list.rows[r].values[2].AsDateTime().Val, list.rows[r].values[7].AsString());
        };
        EXPECT_LE(key(i - 1), key(i));
    }
    const DataPacket& services = v.AsArray().at(1).AsPacket();
    EXPECT_EQ(names(services), (std::vector<std::string>{"IDBLOQALTPRA", "CDSERVFILI", "IDUTRETIPRAT"}));

    Variant one = browse("0001", demo::kServicePlain);
    ASSERT_TRUE(one.IsArray());
    for (const auto& r : one.AsArray().at(0).AsPacket().rows) EXPECT_EQ(r.values[0], Variant(demo::kServicePlain));
    EXPECT_EQ(one.AsArray().at(1).AsPacket().rows.size(), 1u);

    // A day range outside every withdrawal gives an empty list, not a failure.
    VariantArray none{Variant("0001"), Variant(""), Variant("T"), Variant(EncodeDate(2000, 1, 1)),
                      Variant(EncodeDate(2000, 1, 2)), Variant(EncodeDate(2000, 1, 1)), Variant(EncodeDate(2000, 1, 2))};
    EXPECT_TRUE(ret->Call("GetRomaRetirada", none).AsArray().at(0).AsPacket().rows.empty());
}

TEST_P(Methods, LatestDates) {
    Variant v = ret->Call("getMaxData", {Variant("0001")});
    ASSERT_TRUE(v.IsPacket());
    EXPECT_EQ(names(v.AsPacket()), (std::vector<std::string>{"DTLANCESTQ", "DTCARDAPIO"}));
    EXPECT_EQ(v.AsPacket().rows.at(0).values[0], Variant(today()));
    Variant empty = ret->Call("getMaxData", {Variant(demo::kBranchNoStock)});
    ASSERT_TRUE(empty.IsPacket());
    EXPECT_TRUE(empty.AsPacket().rows.at(0).values[0].IsNull());
}

TEST_P(Methods, AWithdrawalLoadsAsHeaderDishTypesAndItems) {
    Variant browsed = browse("0001");
    const DataPacket& list = browsed.AsArray().at(0).AsPacket();
    bool sawDishTypes = false;
    for (const auto& row : list.rows) {
        auto col = [&](const char* n) { return row.values[list.FieldIndex(n)]; };
        Variant v = ret->Call("GetLanctoEst", {col("CDFILIAL"), col("CDFILIMOVI"), col("NRLANCESTQ"),
                                               col("NRRETIRADA"), col("NRCARDAPIO")});
        ASSERT_TRUE(v.IsArray()) << v.AsString();
        ASSERT_EQ(v.AsArray().size(), 3u);
        const DataPacket& header = v.AsArray()[0].AsPacket();
        const DataPacket& dishes = v.AsArray()[1].AsPacket();
        const DataPacket& items = v.AsArray()[2].AsPacket();
        EXPECT_EQ(header.fields.size(), 27u);
        EXPECT_EQ(items.fields.size(), 42u);
        EXPECT_EQ(dishes.fields.size(), 9u);
        ASSERT_EQ(header.rows.size(), 1u);
        EXPECT_EQ(header.rows[0].values[header.FieldIndex("NRRETIRADA")], col("NRRETIRADA"));
        EXPECT_FALSE(items.rows.empty());
        if (col("IDRETIPRAT") == Variant("S")) {
            sawDishTypes = true;
            EXPECT_FALSE(dishes.rows.empty());
        } else {
            EXPECT_TRUE(dishes.rows.empty());
        }
        // The separate calls give the same packets as the elements.
        EXPECT_EQ(ret->Call("GetRetiTipoPrat", {col("CDFILIMOVI"), col("NRRETIRADA"), col("NRCARDAPIO")}),
                  v.AsArray()[1]);
        EXPECT_EQ(ret->Call("GetItLanctoEst", {col("CDFILIMOVI"), col("NRRETIRADA")}), v.AsArray()[2]);
        // Stock marks follow IDEVOLESTOQ.
        for (const auto& it : items.rows)
            EXPECT_EQ(it.values[items.FieldIndex("ESTOQUEOK")].AsBoolean(),
                      it.values[items.FieldIndex("IDEVOLESTOQ")].AsString() != "N");
    }
    EXPECT_TRUE(sawDishTypes);
    Variant missing = ret->Call("GetLanctoEst", {Variant("0001"), Variant("0001"), Variant("X"), Variant("Y"), Variant()});
    ASSERT_TRUE(missing.IsString());
}

TEST_P(Methods, SummaryByProductWithCostAndStockOfTheDay) {
    Variant browsed = browse("0001");
    const DataPacket& list = browsed.AsArray().at(0).AsPacket();
    const auto& row = list.rows.at(0);
    auto col = [&](const char* n) { return row.values[list.FieldIndex(n)]; };
    Variant v = ret->Call("GetResumoItemReti", {col("CDFILIMOVI"), col("NRRETIRADA"), col("DTLANCESTQ")});
    ASSERT_TRUE(v.IsPacket()) << v.AsString();
    const DataPacket& p = v.AsPacket();
    EXPECT_EQ(names(p), (std::vector<std::string>{"CDFILIAL", "NRRETIRADA", "CDARVPROD", "NMPRODUTO", "SGUNIDADE",
                                                   "QTPREVISRETI", "QTEXTRARETI", "QTDEVOLVRETI", "QTRETIRADA",
                                                   "QTTOTLANCTO", "CUSTO", "QTESTDIACON", "CDPRODUTO", "IDEVOLESTOQ"}));
    ASSERT_FALSE(p.rows.empty());
    std::set<std::string> products;
    for (const auto& r : p.rows) {
        EXPECT_TRUE(products.insert(r.values[p.FieldIndex("CDPRODUTO")].AsString()).second);  // one row per product
        EXPECT_GT(r.values[p.FieldIndex("CUSTO")].AsFloat(), 0.0);
        EXPECT_TRUE(r.values[p.FieldIndex("QTESTDIACON")].IsNumeric());
    }
    EXPECT_TRUE(ret->Call("GetResumoItemReti", {col("CDFILIMOVI"), col("NRRETIRADA"), Variant()}).IsString());
}

TEST_P(Methods, LocationsPendingItemsAndTypes) {
    Variant browsed = browse("0001");
    const DataPacket& list = browsed.AsArray().at(0).AsPacket();
    int pending = 0;
    for (const auto& row : list.rows) {
        auto col = [&](const char* n) { return row.values[list.FieldIndex(n)]; };
        Variant loc = ret->Call("GetLocalizacao", {col("CDFILIAL"), col("NRRETIRADA")});
        ASSERT_TRUE(loc.IsPacket());
        EXPECT_EQ(loc.AsPacket().fields.size(), 8u);
        Variant items = ret->Call("GetItLanctoEst", {col("CDFILIMOVI"), col("NRRETIRADA")});
        EXPECT_EQ(loc.AsPacket().rows.size(), items.AsPacket().rows.size());
        Variant v = ret->Call("verifitens", {col("CDFILIAL"), col("NRRETIRADA")});
        ASSERT_EQ(v.Type(), VarType::Bool);
        if (v.AsBoolean()) ++pending;
    }
    EXPECT_EQ(pending, 1);  // the demo's withdrawal with an item not yet carried to stock
    Variant types = ret->Call("GetTipoReti");
    ASSERT_TRUE(types.IsPacket());
    EXPECT_EQ(names(types.AsPacket()), (std::vector<std::string>{"CDTIPORETI", "NMTIPORETI"}));
    EXPECT_EQ(types.AsPacket().rows.size(), 5u);
}

TEST_P(Methods, StockServices) {
    EXPECT_EQ(est->Call("ValidaInventario", {Variant("0001"), Variant(today())}), Variant(true));
    Variant rel = est->Call("VerificaLiberacao", {Variant("0001"), Variant(IncDay(today(), -1))});
    EXPECT_EQ(rel.AsArray().at(0), Variant(true));  // yesterday is closed
    EXPECT_EQ(est->Call("VerificaLiberacao", {Variant("0001"), Variant(today())}).AsArray().at(0), Variant(false));

    std::string rice = productCode(demo::kProductRice);
    Variant pos = est->Call("Consulta_PosEstDia", {Variant("0001"), Variant(rice), Variant(" "), Variant(" "), Variant(" "),
                                                   Variant(" "), Variant(today()), Variant(1), Variant(-1)});
    ASSERT_TRUE(pos.IsPacket()) << pos.AsString();
    const DataPacket& p = pos.AsPacket();
    EXPECT_EQ(names(p), (std::vector<std::string>{"CDPRODUTO", "NMPRODUTO", "SGUNIDADE", "QTESTOQDIA", "IDCNTRESTOQ",
                                                   "CDPRODESTO", "VRCUSTOPROD"}));
    EXPECT_GT(p.rows.at(0).values[3].AsFloat(), 0.0);
    EXPECT_GT(p.rows.at(0).values[6].AsFloat(), 0.0);

    EXPECT_TRUE(est->Call("Arredond_Parametrizado", {Variant("0001"), Variant(rice), Variant(1.23456)}).IsNumeric());
    Variant huge = est->Call("Arredond_Parametrizado", {Variant("0001"), Variant(rice), Variant(1e308)});
    ASSERT_TRUE(huge.IsString());
    EXPECT_EQ(huge.AsString().rfind("Quantidade ", 0), 0u) << huge.AsString();
    Variant place = est->Call("GetProdAlmoxPadrao", {Variant("0001"), Variant(rice)});
    ASSERT_TRUE(place.IsArray());
    EXPECT_FALSE(place.AsArray().at(0).AsString().empty());
    EXPECT_EQ(est->Call("GetProdAlmoxPadrao", {Variant("0002"), Variant(rice)}).AsArray().at(0), Variant(""));
}

TEST_P(Methods, RightsAreTheSessionOperators) {
    EXPECT_EQ(aut->Call("Autoriza", {Variant(0), Variant("ALTERACAO_RETIRADA"), Variant("")}), Variant(true));
    auto bruno = Connect(GetParam(), "Est.rdmAutoriza", demo::kOperatorNoRights, "bruno");
    EXPECT_EQ(bruno->Call("Autoriza", {Variant(0), Variant("ALTERACAO_RETIRADA"), Variant("")}), Variant(false));
    auto brunoEst = Connect(GetParam(), "Est00000.rdmEstoque", demo::kOperatorNoRights, "bruno");
    Variant refused = brunoEst->Call("GravaLiberacao", {Variant("0001"), Variant(IncDay(today(), -2))});
    ASSERT_TRUE(refused.IsString());
    EXPECT_NE(refused.AsString().find("BRUNO"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Transports, Methods, ::testing::Values(Via::InProcess, Via::Http),
                         [](const auto& info) { return info.param == Via::Http ? "Http" : "InProcess"; });

TEST(MethodsAcrossTransports, ExpiredOrMissingSessionsAreRefused) {
    auto c = Connect(Via::Http, "Pla02000.rdmRetirada");
    c->Token = "0123456789abcdef0123456789abcdef";
    Variant v = c->Call("GetTipoReti");
    ASSERT_TRUE(v.IsString());
    EXPECT_NE(v.AsString().find("Sessão"), std::string::npos);
    c->Token.clear();  // and the process holds no session for this endpoint
    EXPECT_TRUE(c->Call("GetTipoReti").IsString());
}

TEST(MethodsAcrossTransports, AServerUrlInTheHostWorks) {
    TNetConnection c("netRetirada", "Pla02000.rdmRetirada");
    c.Host = "http://127.0.0.1:" + std::to_string(Server::Get().port) + "/";
    c.ThrowException = false;
    c.SignOn("DEMO", "demo");
    EXPECT_TRUE(c.Call("GetTipoReti").IsPacket());
}
