// Reads that the running balances serve, on a fresh demo database: the
// product's usual place and the withdrawal's summary answer as they always
// did, before and after movements that change them.
#include "StockWriting.h"
#include "core/Packet.h"
#include "store/StockLedger.h"

using namespace stockwriting;

namespace {

void move(const Fixture& fx, const char* product, store::StockPlace place, int dayOffset, double qty) {
    fx.app->WithDatabase([&](db::SqlConnection& c) {
        return store::AddMovement(c, {"0001", product, std::move(place), day(dayOffset), qty > 0 ? 'E' : 'S', qty,
                                      2.0, "", ""});
    });
}

// "storeroom/location", or the failure's text.
std::string usualPlace(const Fixture& fx, const char* branch, const char* product) {
    auto r = net::DecodeResponse(fx.handler(
        net::EncodeRequest(1, "Est00000.rdmEstoque.GetProdAlmoxPadrao", {Variant(branch), Variant(product)}), fx.token));
    if (!r.value.IsArray()) return r.value.AsString();
    return r.value.AsArray().at(0).AsString() + "/" + r.value.AsArray().at(1).AsString();
}

}  // namespace

TEST(LedgerReads, UsualPlaceIsWhereMostOfTheStockLies) {
    Fixture fx;
    EXPECT_EQ(usualPlace(fx, "0001", "100001"), "000001/A01");
    EXPECT_EQ(usualPlace(fx, "0001", "100013"), "000002/CF1");
    EXPECT_EQ(usualPlace(fx, "0001", "100033"), "000002/CF2");  // its only place, below zero
    EXPECT_EQ(usualPlace(fx, "0001", "100016"), "000001/A01");  // never moved: the first storeroom's first location
    EXPECT_EQ(usualPlace(fx, "0002", "100001"), "/");           // no storerooms at all
    EXPECT_EQ(usualPlace(fx, "0001", "NADA"), "Produto NADA não cadastrado.");

    // 269 lie at 000001/A01; lots of one location count together.
    move(fx, "100001", {"000002", "CF1", "L9", " "}, -3, 200);
    move(fx, "100001", {"000002", "CF1", " ", " "}, 0, 100);
    EXPECT_EQ(usualPlace(fx, "0001", "100001"), "000002/CF1");
    move(fx, "100001", {"000002", "CF1", " ", " "}, -10, -31);  // a tie goes to the lower storeroom
    EXPECT_EQ(usualPlace(fx, "0001", "100001"), "000001/A01");
    move(fx, "100001", {" ", " ", " ", " "}, 0, 1000);  // stock of no storeroom is no place
    EXPECT_EQ(usualPlace(fx, "0001", "100001"), "000001/A01");
    move(fx, "100016", {"000002", "CF2", " ", " "}, 0, -1);
    EXPECT_EQ(usualPlace(fx, "0001", "100016"), "000002/CF2");
}

// The stock of the day of each product row is its position over the whole
// stock in the product's own unit, on the withdrawal's day or any other.
TEST(LedgerReads, SummaryStockOfTheDayIsThePositionOfEachProduct) {
    Fixture fx;
    move(fx, "100001", {"000002", "CF1", " ", " "}, -2, 40);  // rice in a second place
    auto withdrawals = fx.app->WithDatabase([](db::SqlConnection& c) {
        return c.Query("SELECT DISTINCT CDFILIMOVI, NRRETIRADA FROM LANCTOEST ORDER BY 1, 2").rows;
    });
    ASSERT_GT(withdrawals.size(), 3u);
    int checked = 0;
    for (const auto& w : withdrawals)
        for (int offset : {-400, -2, 0}) {
            auto r = fx.call("GetResumoItemReti", {w[0], w[1], Variant(day(offset))});
            ASSERT_TRUE(r.value.IsPacket()) << r.value.AsString();
            const DataPacket& p = r.value.AsPacket();
            for (const auto& row : p.rows) {
                const Variant product = row.values[p.FieldIndex("CDPRODUTO")];
                const double expected = fx.app->WithDatabase([&](db::SqlConnection& c) {
                    auto q = c.Query("SELECT CDPRODESTO, VRFATOCONV FROM PRODUTO WHERE CDPRODUTO = :P", {{"P", product}});
                    const double factor = q.rows[0][1].IsNull() || q.rows[0][1].AsFloat() <= 0 ? 1.0 : q.rows[0][1].AsFloat();
                    return store::PositionOfDay(c, w[0].AsString(), q.rows[0][0].AsString(), day(offset)).quantity /
                           factor;
                });
                EXPECT_NEAR(row.values[p.FieldIndex("QTESTDIACON")].AsFloat(), expected, 1e-9)
                    << w[0].AsString() << "/" << w[1].AsString() << " " << product.AsString() << " " << offset;
                ++checked;
            }
        }
    EXPECT_GT(checked, 30);
}
