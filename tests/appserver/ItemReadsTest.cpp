// The reads behind item entry against the demo database: the stock of the
// day at a place net of the item's own posting, in the product's own unit,
// and the cost of one stock unit.
#include "ServerFixture.h"
#include "core/Packet.h"
#include "store/DemoItems.h"

#include <gtest/gtest.h>

using namespace testing_server;
namespace demo = store::demo;

namespace {

Variant field(const Variant& packet, const char* name) {
    const DataPacket& p = packet.AsPacket();
    EXPECT_EQ(p.rows.size(), 1u);
    return p.rows.at(0).values.at(static_cast<size_t>(p.FieldIndex(name)));
}

class ItemReads : public ::testing::Test {
protected:
    void SetUp() override {
        ret = Connect(Via::InProcess, "Pla02000.rdmRetirada");
        est = Connect(Via::InProcess, "Est00000.rdmEstoque");
    }
    // GetValidProd for a product code at a place of 0001, for the withdrawal of today.
    Variant valid(const std::string& product, double qty, std::vector<std::string> place = {" ", " ", " ", " "},
                  const std::string& posting = "NOVOCODRET", const std::string& item = "", TDateTime day = Date()) {
        VariantArray a{Variant("0001"),  Variant(place[0]), Variant(place[1]), Variant(place[2]),
                       Variant(place[3]), Variant("0001"),  Variant(posting),  Variant(item),
                       Variant(product), Variant(product), Variant(IncDay(day, 1).Val), Variant(qty)};
        Variant v = ret->Call("GetValidProd", a);
        EXPECT_TRUE(v.IsPacket()) << v.AsString();
        return v;
    }
    std::unique_ptr<TNetConnection> ret, est;
};

}  // namespace

TEST_F(ItemReads, StockOfTheDayAgainstTheWithdrawal) {
    // 5 in stock: 8 would leave it negative, 4 leaves 1; the place narrows, a blank is any place.
    Variant v = valid("300001", 8, {"000001", "A01", " ", " "});
    EXPECT_DOUBLE_EQ(field(v, "QTESTOQDIA").AsFloat(), 5);
    EXPECT_EQ(field(v, "QTNEG").AsString(), "-3.00000");
    EXPECT_EQ(field(valid("300001", 5), "QTNEG").AsString(), "0.00000");
    EXPECT_EQ(field(valid("300001", 1, {"000002", " ", " ", " "}), "QTNEG").AsString(), "-1.00000");
    // Never moved: an empty QTNEG, whatever the quantity.
    EXPECT_EQ(field(valid("300003", 1), "QTNEG").AsString(), "");
    // Kept in grams, asked in kilograms.
    EXPECT_EQ(field(valid("300004", 0.25), "QTNEG").AsString(), "4.75000");
    // Sub-lots of one lot, and the lot as a whole.
    EXPECT_DOUBLE_EQ(field(valid("300005", 1, {"000002", "CF1", "L0107005", "01"}), "QTESTOQDIA").AsFloat(), 3);
    EXPECT_DOUBLE_EQ(field(valid("300005", 1, {"000002", "CF1", "L0107005", " "}), "QTESTOQDIA").AsFloat(), 7);
    // Before the entry there is no movement yet.
    EXPECT_EQ(field(valid("300001", 1, {" ", " ", " ", " "}, "NOVOCODRET", "", IncDay(Date(), -6)), "QTNEG").AsString(), "");
    EXPECT_TRUE(ret->Call("GetValidProd", {Variant("0001"), Variant(" "), Variant(" "), Variant(" "), Variant(" "),
                                           Variant("0001"), Variant(""), Variant(""), Variant("X"), Variant("X"),
                                           Variant(Date().Val), Variant(1.0)})
                    .IsString());
}

TEST_F(ItemReads, RepostingAnItemLeavesItsOwnQuantityOut) {
    // A posted item of the demo: its own movement is given back to the position.
    auto item = Server::Get().app->WithDatabase([](db::SqlConnection& c) {
        return c.Query("SELECT I.NRLANCESTQ, I.NRSEQUITEM, I.CDPRODUTO, I.QTLANCTOEST, I.DTLANCMOVI,"
                       " I.CDALMOXARIFE, I.CDLOCALESTOQ, I.NRLOTEESTQ FROM ITLANCTOEST I, PRODUTO P"
                       " WHERE I.CDFILIAL = '0001' AND I.IDEVOLESTOQ = 'S' AND I.QTLANCTOEST > 0"
                       " AND P.CDPRODUTO = I.CDPRODUTO AND P.CDPRODESTO = P.CDPRODUTO AND P.VRFATOCONV = 1"
                       " ORDER BY I.NRLANCESTQ, I.NRSEQUITEM");
    });
    ASSERT_FALSE(item.rows.empty());
    const auto& r = item.rows[0];
    TDateTime d;
    db::ToDateTime(r[4], d);
    std::vector<std::string> place{r[5].AsString(), r[6].AsString(), r[7].AsString(), " "};
    const std::string product = r[2].AsString();
    double others = field(valid(product, 0, place, "NOVOCODRET", "", d), "QTESTOQDIA").AsFloat();
    double own = field(valid(product, 0, place, r[0].AsString(), r[1].AsString(), d), "QTESTOQDIA").AsFloat();
    EXPECT_NEAR(own - others, r[3].AsFloat(), 1e-9);
    // Re-posting the unchanged quantity never goes negative.
    EXPECT_NE(field(valid(product, r[3].AsFloat(), place, r[0].AsString(), r[1].AsString(), d), "QTNEG").AsString()[0],
              '-');
}

TEST_F(ItemReads, MinimumStockByEitherNameAndCostOfAStockUnit) {
    for (const char* name : {"GetEstoqMin", "getEstoqMin"})
        EXPECT_DOUBLE_EQ(ret->Call(name, {Variant("0001"), Variant("300002")}).AsFloat(), 4);
    // The yeast is kept in grams: the ledger's average cost and the branch's
    // cost both come per gram, so 250 g cost 250 times it.
    for (int costType : {1, 2}) {
        Variant v = est->Call("Consulta_PosEstDia", {Variant("0001"), Variant("300004"), Variant(" "), Variant(" "),
                                                     Variant(" "), Variant(" "), Variant(Date()), Variant(costType),
                                                     Variant(-1)});
        ASSERT_TRUE(v.IsPacket()) << v.AsString();
        EXPECT_NEAR(field(v, "VRCUSTOPROD").AsFloat(), 0.06, 1e-9) << costType;
        EXPECT_DOUBLE_EQ(field(v, "QTESTOQDIA").AsFloat(), 5);
    }
}
