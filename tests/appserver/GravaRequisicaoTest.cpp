// GravaRequisicao on a fresh demo database (the items it makes are the
// requisition scenarios'): refusals that leave the database as it was, racing
// calls for one extra requisition, a repeated sending, numbers without gaps
// and prices per stock unit.
#include "StockWriting.h"
#include "store/DemoRequisitions.h"

#include <gtest/gtest.h>

#include <future>
#include <set>

using namespace appserver;
namespace demo = store::demo;

namespace {

using stockwriting::day;

struct Call {
    std::string branch = demo::kBranchLocations, service = demo::kServicePlain, requisition = "0000000000";
    int menuDay = 0, length = 0;
    std::string key, newMenu = "N", menu = "NOVOCODRET";
    Call& Branch(std::string b) { branch = std::move(b); return *this; }
    Call& Service(std::string s) { service = std::move(s); return *this; }
    Call& Requisition(std::string r) { requisition = std::move(r); return *this; }
    Call& Day(int d) { menuDay = d; return *this; }
    Call& Length(int l) { length = l; return *this; }
    Call& Key(std::string k) { key = std::move(k); return *this; }
    Call& NewMenu() { newMenu = "S"; return *this; }
    VariantArray args() const {
        DataPacket h;
        h.fields = datasets::LanctoEst();
        PacketRow row;
        row.change = RowChange::Inserted;
        row.values.resize(h.fields.size());
        auto set = [&](const char* f, Variant v) { row.values[static_cast<size_t>(h.FieldIndex(f))] = std::move(v); };
        for (const char* f : {"CDFILIAL", "CDFILIMOVI"}) set(f, Variant(branch));
        for (const char* f : {"NRLANCESTQ", "NRRETIRADA"}) set(f, Variant("NOVOCODRET"));
        set("DTLANCESTQ", Variant(day(menuDay)));
        set("CDCHAVEENVIO", key.empty() ? Variant() : Variant(key));
        h.rows.push_back(row);
        return {Variant(h), Variant(newMenu), Variant(branch), Variant(branch), Variant(menu), Variant("N"),
                Variant("S"), Variant(service), Variant(requisition), Variant(length), Variant(day(menuDay)),
                Variant("01"), Variant(day(menuDay)), Variant(day(menuDay)), Variant(day(0).Val)};
    }
};

struct Fixture : stockwriting::Fixture {
    using stockwriting::Fixture::Fixture;
    using stockwriting::Fixture::call;
    net::RpcResult call(const Call& c) const { return call("GravaRequisicao", c.args()); }
};

const DataPacket& packet(const net::RpcResult& r, size_t i) { return r.value.AsArray().at(i).AsPacket(); }
std::string field(const DataPacket& p, size_t row, const char* f) {
    return p.rows.at(row).values.at(static_cast<size_t>(p.FieldIndex(f))).AsString();
}

}  // namespace

TEST(GravaRequisicao, RefusalsAndNothingToLoadSaveNothing) {
    Fixture fx;
    const std::string before = fx.footprint();
    auto first = [&](const Call& c) { return fx.call(c).value.AsArray().at(0); };
    EXPECT_EQ(first(Call().Requisition(demo::kRequisitionUsed).Key("k-used")), Variant("NAO_PERM"));
    EXPECT_EQ(first(Call().Service(demo::kServiceDishLocked).Day(demo::kLockedDishesDiffer).Key("k-bloq")),
              Variant("BLOQ_ALT"));
    Variant none = first(Call().Service(demo::kServiceOccasional).Key("k-none"));
    EXPECT_TRUE(none.IsNull());
    EXPECT_EQ(fx.call(Call().Service("99999")).value, Variant("Serviço 99999 não cadastrado."));
    // The extra requisition of another day and service than the header's.
    EXPECT_EQ(fx.call(Call().Requisition(demo::kRequisitionFree).Day(1)).value,
              Variant("Serviço e data do cardápio não correspondem à requisição informada."));
    // A product tree prefix no product has (one character) is refused, after numbering.
    EXPECT_TRUE(fx.call(Call().Length(1)).value.IsString());
    EXPECT_EQ(fx.footprint(), before);
}

TEST(GravaRequisicao, RacingCallsForOneExtraRequisitionAndARepeatedSending) {
    Fixture fx(4);
    // Four sendings race for the free extra requisition; two of them are one sending sent twice.
    std::vector<Call> calls(4, Call().Requisition(demo::kRequisitionFree).Day(-1));
    calls[0].key = calls[1].key = "twin";
    calls[2].key = "other";
    std::vector<std::future<net::RpcResult>> running;
    for (const Call& c : calls) running.push_back(std::async(std::launch::async, [&fx, c] { return fx.call(c); }));
    std::vector<net::RpcResult> answers;
    for (auto& f : running) answers.push_back(f.get());
    EXPECT_EQ(fx.one("SELECT COUNT(*) FROM LANCTOEST WHERE CDFILIAL = '0001' AND NRREQUEXTRRE = '0000000001'"), "1");
    const std::string winner =
        fx.one("SELECT NRRETIRADA FROM LANCTOEST WHERE CDFILIAL = '0001' AND NRREQUEXTRRE = '0000000001'");
    int won = 0;
    for (size_t i = 0; i < answers.size(); ++i) {
        Variant r0 = answers[i].value.AsArray().at(0);
        if (r0.IsPacket()) {
            EXPECT_EQ(field(r0.AsPacket(), 0, "NRRETIRADA"), winner);
            ++won;
        } else {
            EXPECT_EQ(r0, Variant("NAO_PERM")) << i;
        }
    }
    // The twins answer alike: both won or both were refused.
    EXPECT_EQ(answers[0].value.AsArray().at(0).IsPacket(), answers[1].value.AsArray().at(0).IsPacket());
    EXPECT_EQ(won, answers[0].value.AsArray().at(0).IsPacket() ? 2 : 1);
    // The branch's numbers have no gap: the winner took the next one.
    EXPECT_EQ(fx.one("SELECT NRULTIMO FROM NUMSEQ WHERE CDFILIAL = '0001' AND CDSEQUENCIA = 'RETIRADA'"),
              std::to_string(std::stoi(winner)));

    // A sending repeated after its answer was lost gets that answer, and nothing more is written.
    const std::string before = fx.footprint();
    Call again = Call().Service(demo::kServiceByDish).Key("again");
    auto r1 = fx.call(again);
    ASSERT_TRUE(r1.value.IsArray() && r1.value.AsArray()[0].IsPacket()) << r1.value.AsString();
    const std::string after = fx.footprint();
    EXPECT_NE(after, before);
    auto r2 = fx.call(again);
    EXPECT_EQ(r2.value, r1.value);
    EXPECT_EQ(r2.refs, r1.refs);
    EXPECT_EQ(fx.footprint(), after);
}

TEST(GravaRequisicao, ItemsArePricedPerStockUnitAsTypedOnes) {
    Fixture fx;
    // 0,25 KG of the yeast, kept in grams (factor 1000, 0,06 a gram), joins JANTAR's planned requisition of today.
    fx.app->WithDatabase([](db::SqlConnection& c) {
        return c.Execute(
            "INSERT INTO ITPREVRETI (CDFILIAL, CDSERVFILI, DTPREVRETI, NRREQUEXTR, NRSEQUITEM, CDPRODUTO, CDTIPOPRAT,"
            " CDFILAUXPRAT, CDPRATO, QTPREVISRETI)"
            " SELECT CDFILIAL, CDSERVFILI, DTPREVRETI, NRREQUEXTR, '0099',"
            " (SELECT CDPRODUTO FROM PRODUTO WHERE CDARVPROD = '0107004'), CDTIPOPRAT, CDFILAUXPRAT, CDPRATO, 0.25"
            " FROM ITPREVRETI WHERE CDFILIAL = '0001' AND CDSERVFILI = '00002' AND NRREQUEXTR = '0000000000'"
            " AND DTPREVRETI = :D AND NRSEQUITEM = (SELECT MIN(NRSEQUITEM) FROM ITPREVRETI WHERE CDFILIAL = '0001'"
            " AND CDSERVFILI = '00002' AND NRREQUEXTR = '0000000000' AND DTPREVRETI = :D)",
            {{"D", day(0)}});
    });
    auto r = fx.call(Call());
    ASSERT_TRUE(r.value.IsArray()) << r.value.AsString();
    const DataPacket& items = packet(r, 2);
    auto value = [&](size_t row, const char* f) {
        return items.rows[row].values[static_cast<size_t>(items.FieldIndex(f))].AsFloat();
    };
    size_t yeast = items.rows.size();
    for (size_t i = 0; i < items.rows.size(); ++i)
        if (field(items, i, "CDARVPROD") == "0107004") yeast = i;
    ASSERT_LT(yeast, items.rows.size());
    EXPECT_DOUBLE_EQ(value(yeast, "QTPREVISRETI"), 0.25);
    EXPECT_DOUBLE_EQ(value(yeast, "QTLANCTOEST"), 250);
    EXPECT_NEAR(value(yeast, "VRUNILANCTO"), 0.06, 1e-9);
    EXPECT_NEAR(value(yeast, "VRTOTLANCTO"), 15, 1e-9);
    // The unit value a typed item of it gets from the day's position.
    const VariantArray args{Variant("0001"), Variant(field(items, yeast, "CDPRODUTO")), Variant(" "), Variant(" "),
                            Variant(" "), Variant(" "), Variant(day(0)), Variant(1), Variant(-1)};
    const net::RpcResult pos = net::DecodeResponse(
        fx.handler(net::EncodeRequest(2, "Est00000.rdmEstoque.Consulta_PosEstDia", args), fx.token));
    ASSERT_TRUE(pos.value.IsPacket()) << pos.value.AsString();
    const DataPacket& p = pos.value.AsPacket();
    EXPECT_NEAR(p.rows.at(0).values.at(static_cast<size_t>(p.FieldIndex("VRCUSTOPROD"))).AsFloat(),
                value(yeast, "VRUNILANCTO"), 1e-12);
}

TEST(GravaRequisicao, ConcurrentWithdrawalsTakeConsecutiveNumbers) {
    Fixture fx(4);
    const int last = std::stoi(fx.one("SELECT NRULTIMO FROM NUMSEQ WHERE CDFILIAL = '0001' AND CDSEQUENCIA = 'RETIRADA'"));
    // Four sendings of the planned requisition (no claim on it), each its own withdrawal.
    std::vector<std::future<net::RpcResult>> running;
    for (int i = 0; i < 4; ++i)
        running.push_back(std::async(std::launch::async, [&fx, i] {
            return fx.call(Call().Key("planned-" + std::to_string(i)));
        }));
    std::set<int> numbers;
    for (auto& f : running) {
        net::RpcResult r = f.get();
        ASSERT_TRUE(r.value.IsArray() && r.value.AsArray()[0].IsPacket()) << r.value.AsString();
        numbers.insert(std::stoi(field(packet(r, 0), 0, "NRRETIRADA")));
    }
    EXPECT_EQ(numbers, (std::set<int>{last + 1, last + 2, last + 3, last + 4}));
    EXPECT_EQ(fx.one("SELECT NRULTIMO FROM NUMSEQ WHERE CDFILIAL = '0001' AND CDSEQUENCIA = 'RETIRADA'"),
              std::to_string(last + 4));
}
