// The general withdrawal's methods on a fresh demo database: the service list
// as the screen builds it, the services already withdrawn, the day's consumed
// quantities, and the requisitions recalculated from the menus all or nothing.
// No failure answer may look like the 10-character run number.
#include "StockWriting.h"
#include "core/Packet.h"
#include "store/DemoGeneral.h"

#include <gtest/gtest.h>

using namespace appserver;
namespace demo = store::demo;
using stockwriting::day;

namespace {

struct Fixture : stockwriting::Fixture {
    // -1 for no row or null.
    double value(const std::string& sql) const {
        return app->WithDatabase([&](db::SqlConnection& c) {
            auto r = c.Query(sql);
            return r.Empty() || r.rows[0][0].IsNull() ? -1.0 : r.rows[0][0].AsFloat();
        });
    }
    net::RpcResult vd(const std::string& branch, int d, const std::string& list, const std::string& op = "DEMO") const {
        return call("VdRetGeral", {Variant(branch), Variant(op), Variant(day(d)), Variant(list)});
    }
    // The run number of a checked run (fails the test otherwise).
    std::string run(const std::string& branch, int d, const std::string& list) const {
        auto r = vd(branch, d, list);
        EXPECT_TRUE(r.value.IsArray()) << r.value.AsString();
        return r.value.IsArray() ? r.value.AsArray().at(1).AsString() : "";
    }
    VariantArray reqArgs(const std::string& branch, const std::string& run, int d, const std::string& kinds) const {
        return {Variant(""),     Variant(branch), Variant(run),  Variant(day(d)),      Variant(day(d)), Variant(0),
                Variant("DEMO"), Variant(Now()),  Variant("A"),  Variant(kinds),       Variant("P"),    Variant("N"),
                Variant("0"),    Variant("zzzzzzzzzz"), Variant(""), Variant("")};
    }
    net::RpcResult req(const std::string& branch, const std::string& run, int d, const std::string& kinds) const {
        return call("GetRequisicao", reqArgs(branch, run, d, kinds));
    }
    // The planned requisitions of a branch and day, as one text to compare.
    std::string requisitions(const std::string& branch, int d) const {
        return app->WithDatabase([&](db::SqlConnection& c) {
            auto r = c.Query("SELECT CDSERVFILI, CDPRODUTO, CDPRATO, QTPREVISRETI FROM ITPREVRETI WHERE CDFILIAL = :F"
                             " AND NRREQUEXTR = '0000000000' AND DTPREVRETI >= :D AND DTPREVRETI < :E"
                             " ORDER BY CDSERVFILI, NRSEQUITEM",
                             {{"F", branch}, {"D", day(d)}, {"E", day(d + 1)}});
            std::string s;
            for (auto& row : r.rows)
                s += text::Trim(row[0].AsString()) + "/" + text::Trim(row[1].AsString()) + "/" +
                     text::Trim(row[2].AsString()) + "/" + FloatToStr(row[3].AsFloat()) + ";";
            return s;
        });
    }
    // Quantity of a product (tree code) in a service's recalculated requisition, by dish.
    // -1 when the requisition has no such line.
    double qty(const std::string& branch, const char* service, int d, const char* tree, const char* dish = nullptr) const {
        return value("SELECT SUM(I.QTPREVISRETI) FROM ITPREVRETI I JOIN PRODUTO P ON P.CDPRODUTO = I.CDPRODUTO"
                   " WHERE I.CDFILIAL = '" + branch + "' AND I.CDSERVFILI = '" + service +
                   "' AND I.NRREQUEXTR = '0000000000' AND I.DTPREVRETI = '" + db::SqlDateText(day(d)) +
                   "' AND P.CDARVPROD = '" + tree + "'" + (dish ? std::string(" AND I.CDPRATO = '") + dish + "'" : ""));
    }
};

// What the screen would take for success: a 10-character text.
bool readAsSuccess(const Variant& v) { return v.IsString() && text::Length(v.AsString()) <= 10; }

}  // namespace

TEST(VdRetGeral, ServiceListSplitOnUnderscoreWithoutRepeatsRecordsTheRun) {
    Fixture fx;
    auto r = fx.vd(demo::kBranchPlain, 1, "00002__00001_00002_");
    ASSERT_TRUE(r.value.IsArray()) << r.value.AsString();
    const std::string run = r.value.AsArray().at(1).AsString();
    EXPECT_EQ(run.size(), 10u);
    EXPECT_EQ(run.find_first_not_of("0123456789"), std::string::npos) << run;
    EXPECT_TRUE(r.value.AsArray().at(0).AsPacket().rows.empty());
    EXPECT_EQ(r.refs.at(3), Variant("00002_00001_"));
    // A second run gets the next number.
    EXPECT_EQ(std::stoll(fx.run(demo::kBranchPlain, 1, "00001_")), std::stoll(run) + 1);

    // Refusals record nothing and are texts, never a list element the screen would take as a run.
    const std::string before = fx.one("SELECT COUNT(*) FROM RETGERAL");
    for (const auto& [list, op] : {std::pair{"", "DEMO"}, std::pair{"_", "DEMO"}, std::pair{"00001_9999_", "DEMO"},
                                   std::pair{"00001 _", "DEMO"}, std::pair{"00005_", "DEMO"}, std::pair{"00006_", "DEMO"},
                                   std::pair{"00001_", "ANA"}}) {
        auto bad = fx.vd(demo::kBranchPlain, 1, list, op);
        ASSERT_TRUE(bad.value.IsString()) << list;
        EXPECT_GT(text::Length(bad.value.AsString()), 10u) << bad.value.AsString();
    }
    EXPECT_EQ(fx.one("SELECT COUNT(*) FROM RETGERAL"), before);
}

TEST(VdRetGeral, ServicesWithdrawnOnTheDayRecordNothingUnlessEveryItemIsDeleted) {
    Fixture fx;
    // 0002 withdrew JANTAR today; a withdrawal whose items are all deleted does not count.
    auto r = fx.vd(demo::kBranchPlain, 0, "00004_00002_00001_");
    ASSERT_TRUE(r.value.IsArray()) << r.value.AsString();
    EXPECT_EQ(r.value.AsArray().at(1), Variant("SERV_RET"));
    EXPECT_EQ(fx.one("SELECT COUNT(*) FROM RETGERAL"), "0");
    fx.exec("UPDATE ITLANCTOEST SET IDSTATUS = 'D' WHERE CDFILIAL = '0002' AND NRLANCESTQ IN (SELECT NRLANCESTQ FROM"
            " LANCTOEST WHERE CDFILIAL = '0002' AND CDSERVFILI = '00002' AND DTCARDAPIO = '" + db::SqlDateText(day(0)) + "')");
    EXPECT_EQ(fx.run(demo::kBranchPlain, 0, "00002_").size(), 10u);
}

TEST(GetRetiradaGeral, CountsTheDaysItemsWithConsumedQuantities) {
    Fixture fx;
    auto count = [&](const char* branch, int d) {
        auto r = fx.call("GetRetiradaGeral", {Variant(branch), Variant(day(d))});
        EXPECT_TRUE(r.value.IsPacket()) << r.value.AsString();
        return r.value.IsPacket() ? r.value.AsPacket().rows.at(0).values.at(0).AsFloat() : -1.0;
    };
    EXPECT_EQ(count(demo::kBranchPlain, 0), 3.0);
    fx.exec("UPDATE ITLANCTOEST SET QTTOTLANCTO = 0 WHERE CDFILIAL = '0002' AND NRSEQUITEM = '0001'");
    EXPECT_EQ(count(demo::kBranchPlain, 0), 2.0);
    auto bad = fx.call("GetRetiradaGeral", {Variant("9999"), Variant(day(0))});
    ASSERT_TRUE(bad.value.IsString());
    EXPECT_FALSE(readAsSuccess(bad.value));
}

TEST(GetRequisicao, RecalculatesEveryServiceOfTheRunFromMenuFixedAndPerCapita) {
    Fixture fx;
    const std::string before0002 = fx.requisitions(demo::kBranchPlain, 0);
    const std::string run = fx.run(demo::kBranchPlain, 1, "00001_00002_00004_");
    auto r = fx.req(demo::kBranchPlain, run, 1, "CFP");
    ASSERT_EQ(r.value, Variant(run)) << r.value.AsString();
    EXPECT_EQ(r.refs.at(0), Variant(run));

    // JANTAR has no dishes: its fixed consumption and 80 meals x 0.25 of juice.
    EXPECT_EQ(fx.one("SELECT COUNT(*) FROM ITPREVRETI WHERE CDFILIAL = '0002' AND CDSERVFILI = '00002'"
                     " AND NRREQUEXTR = '0000000000' AND DTPREVRETI = '" + db::SqlDateText(day(1)) + "'"),
              "3");
    EXPECT_NEAR(fx.qty("0002", "00002", 1, "0105002"), 0.5, 1e-9);
    EXPECT_NEAR(fx.qty("0002", "00002", 1, "0106001"), 20, 1e-9);
    // ALMOÇO by dish: 120 meals of rice at 0.08, dessert for 60, fixed and per capita under 0002's dishes.
    EXPECT_NEAR(fx.qty("0002", "00001", 1, "0101001", "03001"), 9.6, 1e-9);
    EXPECT_NEAR(fx.qty("0002", "00001", 1, "0103009", "04002"), 7.2, 1e-9);
    EXPECT_NEAR(fx.qty("0002", "00001", 1, "0105003", demo::kDishFixed), 1, 1e-9);
    EXPECT_NEAR(fx.qty("0002", "00001", 1, "0106001", demo::kDishPerCapita), 24, 1e-9);
    // Breakfast has no menu: its fixed consumption only.
    EXPECT_NEAR(fx.qty("0002", "00004", 1, "0105006"), 1.5, 1e-9);
    // Other days and kinds left out: only what was asked.
    EXPECT_EQ(fx.requisitions(demo::kBranchPlain, 0), before0002);
    ASSERT_EQ(fx.req(demo::kBranchPlain, run, 1, "XFX").value, Variant(run));
    EXPECT_EQ(fx.qty("0002", "00002", 1, "0106001"), -1.0);
    EXPECT_EQ(fx.qty("0002", "00001", 1, "0101001"), -1.0);
    EXPECT_NEAR(fx.qty("0002", "00001", 1, "0105003"), 1, 1e-9);
}

TEST(GetRequisicao, AMissingDefaultDishRefusesTheWholeRun) {
    Fixture fx;
    // 0001 books nothing under defaults: ALMOÇO's fixed consumption is refused first, per capita next.
    const std::string before = fx.requisitions(demo::kBranchLocations, 1);
    const std::string run = fx.run(demo::kBranchLocations, 1, "00002_00001_");
    EXPECT_EQ(fx.req(demo::kBranchLocations, run, 1, "CFP").value, Variant("TP_CONSFIXO"));
    EXPECT_EQ(fx.req(demo::kBranchLocations, run, 1, "CXP").value, Variant("TP_CONSPER"));
    // JANTAR, computed first, was not written either.
    EXPECT_EQ(fx.requisitions(demo::kBranchLocations, 1), before);
    EXPECT_EQ(fx.one("SELECT IDCALCREQ FROM RETGERAL WHERE CDFILIAL = '0001' AND NRRETGERAL = '" + run + "'"), "null");
    // The menu alone needs no default.
    EXPECT_EQ(fx.req(demo::kBranchLocations, run, 1, "CXX").value, Variant(run));
    EXPECT_NE(fx.requisitions(demo::kBranchLocations, 1), before);

    // 0002 with a type but no (or an unknown) dish.
    const std::string run2 = fx.run(demo::kBranchPlain, 1, "00001_");
    fx.exec("UPDATE PARAMRETGERAL SET CDPRATOFIXO = NULL WHERE CDFILIAL = '0002'");
    EXPECT_EQ(fx.req(demo::kBranchPlain, run2, 1, "XFX").value, Variant("PRATO_CONSFIXO"));
    fx.exec("UPDATE PARAMRETGERAL SET CDPRATOPER = '99999' WHERE CDFILIAL = '0002'");
    EXPECT_EQ(fx.req(demo::kBranchPlain, run2, 1, "XXP").value, Variant("PRATO_CONSPER"));
    fx.exec("UPDATE PARAMRETGERAL SET CDTIPOPRATPER = NULL WHERE CDFILIAL = '0002'");
    EXPECT_EQ(fx.req(demo::kBranchPlain, run2, 1, "XXP").value, Variant("TP_CONSPER"));
}

TEST(GetRequisicao, RefusalsAreSentencesAndChangeNothing) {
    Fixture fx;
    const std::string run = fx.run(demo::kBranchPlain, 1, "00002_");
    const std::string before = fx.requisitions(demo::kBranchPlain, 1);
    auto refused = [&](VariantArray args, const char* what) {
        auto r = fx.call("GetRequisicao", args);
        ASSERT_TRUE(r.value.IsString()) << what;
        EXPECT_FALSE(readAsSuccess(r.value)) << what << ": " << r.value.AsString();
        EXPECT_NE(r.value, Variant(run)) << what;
    };
    auto with = [&](size_t i, Variant v) {
        VariantArray a = fx.reqArgs(demo::kBranchPlain, run, 1, "CFP");
        a[i] = std::move(v);
        return a;
    };
    refused(with(2, Variant("0000009999")), "unknown run");
    refused(with(3, Variant(day(0))), "another day");
    refused(with(9, Variant("XXX")), "no kind");
    refused(with(9, Variant("FCP")), "kinds out of order");
    refused(with(8, Variant("S")), "another selection");
    refused(with(10, Variant("E")), "extra requisition");
    refused(with(5, Variant(150)), "margin");
    refused(with(6, Variant("ANA")), "another operator");
    refused(fx.reqArgs(demo::kBranchLocations, run, 1, "CFP"), "run of another branch");
    // A withdrawal recorded for a service of the run since it was checked.
    fx.exec("INSERT INTO LANCTOEST (CDFILIAL, NRLANCESTQ, CDFILIMOVI, IDTPLANCTO, DTLANCESTQ, NRRETIRADA,"
            " NRREQUEXTRRE, CDSERVFILI, DTCARDAPIO, IDRETIPRAT) VALUES ('0002', '0000000900', '0002', 'R', '" +
            db::SqlDateText(day(1)) + "', '0000000900', '0000000000', '00002', '" + db::SqlDateText(day(1)) + "', 'N')");
    refused(fx.reqArgs(demo::kBranchPlain, run, 1, "CFP"), "withdrawn meanwhile");
    EXPECT_EQ(fx.requisitions(demo::kBranchPlain, 1), before);
}

TEST(GetRequisicao, PendingInventoryIsASentenceNotTheTenCharacterKey) {
    Fixture fx;
    fx.exec("DELETE FROM ITINVENTARIO WHERE CDFILIAL = '0001'");
    const std::string run = fx.run(demo::kBranchLocations, 1, "00002_");
    auto r = fx.req(demo::kBranchLocations, run, 1, "CXX");
    ASSERT_TRUE(r.value.IsString());
    EXPECT_EQ(r.value.AsString(), "Operação bloqueada! Inventário pendente para a filial.");
}

TEST(GetRequisicao, MarginAndProductRangeShapeTheLines) {
    Fixture fx;
    const std::string run = fx.run(demo::kBranchPlain, 1, "00002_");
    VariantArray a = fx.reqArgs(demo::kBranchPlain, run, 1, "XFP");
    a[5] = Variant(10);
    a[12] = Variant("0105");
    a[13] = Variant("0105999");
    ASSERT_EQ(fx.call("GetRequisicao", a).value, Variant(run));
    EXPECT_NEAR(fx.qty("0002", "00002", 1, "0105002"), 0.55, 1e-9);
    EXPECT_NEAR(fx.qty("0002", "00002", 1, "0105003"), 2.2, 1e-9);
    EXPECT_EQ(fx.qty("0002", "00002", 1, "0106001"), -1.0);
}
