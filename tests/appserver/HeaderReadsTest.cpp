// The header's reads against a fresh demo database (each test case runs in a
// process of its own, so a case may change the data it reads).
#include "ServerFixture.h"
#include "core/Packet.h"
#include "core/Text.h"
#include "store/DemoData.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace testing_server;
namespace demo = store::demo;

namespace {

TDateTime day(int offset) { return IncDay(Date(), offset); }

std::vector<std::string> names(const DataPacket& p) {
    std::vector<std::string> out;
    for (const auto& f : p.fields) out.push_back(f.name);
    return out;
}

std::string str(const DataPacket& p, size_t row, const char* field) {
    return p.rows.at(row).values.at(static_cast<size_t>(p.FieldIndex(field))).AsString();
}

template <class F>
auto withDb(F&& fn) {
    return Server::Get().app->WithDatabase(std::forward<F>(fn));
}

class HeaderReads : public ::testing::Test {
protected:
    void SetUp() override { ret = Connect(Via::InProcess, "Pla02000.rdmRetirada"); }
    // A packet result, or a failure naming the text that came instead.
    DataPacket packet(const std::string& method, VariantArray args) {
        Variant v = ret->Call(method, args);
        if (!v.IsPacket()) ADD_FAILURE() << method << ": " << v.AsString();
        return v.IsPacket() ? v.AsPacket() : DataPacket{};
    }
    std::string refusal(const std::string& method, VariantArray args) {
        Variant v = ret->Call(method, args);
        EXPECT_TRUE(v.IsString()) << method << " did not refuse";
        return v.IsString() ? v.AsString() : "";
    }
    std::unique_ptr<TNetConnection> ret;
};

}  // namespace

TEST_F(HeaderReads, ServiceIsOneRowOrNone) {
    DataPacket diet = packet("getVdServico", {Variant("0001"), Variant(demo::kServiceDiet)});
    ASSERT_EQ(diet.rows.size(), 1u);
    EXPECT_EQ(str(diet, 0, "NMSERVICO"), "DIETA HOSPITALAR");
    EXPECT_EQ(str(diet, 0, "IDTIPOSERV"), "D");
    EXPECT_EQ(str(packet("getVdServico", {Variant("0001"), Variant(demo::kServiceInactive)}), 0, "IDSERVATIV"), "N");
    EXPECT_EQ(str(packet("getVdServico", {Variant("0002"), Variant(demo::kServiceBlockedAdd)}), 0,
                   "IDBLOQINCPRODRETIPLA"),
              "S");
    // Not found is an empty packet; the dish-locked service exists in 0001 only.
    EXPECT_TRUE(packet("getVdServico", {Variant("0001"), Variant("99999")}).rows.empty());
    EXPECT_TRUE(packet("getVdServico", {Variant("0002"), Variant(demo::kServiceDishLocked)}).rows.empty());
    EXPECT_EQ(refusal("getVdServico", {Variant("0001"), Variant("")}), "Serviço não informado.");
    EXPECT_EQ(refusal("getVdServico", {Variant("9999"), Variant("00001")}), "Filial 9999 não cadastrada.");
    EXPECT_EQ(refusal("getVdServico", {Variant(), Variant("00001")}), "Filial não informada.");
}

// (Branch scoping is the dispatcher's, checked for every method in BranchScopeTest.)
TEST_F(HeaderReads, ArgumentsKeepTheirKinds) {
    ret->ThrowException = true;
    EXPECT_THROW(ret->Call("GetNrPrevReti", {Variant("0001"), Variant("ontem"), Variant(day(1))}), Exception);
    EXPECT_THROW(ret->Call("getVdServico", {Variant(1), Variant("00001")}), Exception);
    EXPECT_THROW(ret->Call("Verif_Alteracao", {Variant("0001"), Variant(day(0))}), Exception);
}

TEST_F(HeaderReads, SearchListOffersUsableRequisitionsOfTheWindow) {
    VariantArray a{Variant("0001"), Variant(TDateTime(day(-10).Val + 0.25)), Variant(day(10))};
    Variant v = ret->Call("GetNrPrevReti", a);
    ASSERT_TRUE(v.IsPacket()) << v.AsString();
    const DataPacket& p = v.AsPacket();
    const int iLocate = p.FieldIndex("DTLOCATE"), iText = p.FieldIndex("DTPREVRETI"), iKind = p.FieldIndex("DSTIPO"),
              iSearch = p.FieldIndex("DTPESQRETI");
    EXPECT_EQ(a[1], Variant(day(-10)));  // the days searched come back whole
    std::vector<std::string> keys;
    for (size_t r = 0; r < p.rows.size(); ++r) {
        const auto& row = p.rows[r].values;
        EXPECT_EQ(row[iLocate], row[iSearch]);
        EXPECT_TRUE(row[iText].IsNull() && row[iKind].IsNull());  // the client's to fill
        EXPECT_EQ(text::Length(str(p, r, "NRREQUISICAO")), 23u);
        keys.push_back(str(p, r, "NRREQUEXTR") + "/" + str(p, r, "CDSERVFILI") + "/" +
                       std::to_string(row[iLocate].AsDateTime().Days() - Date().Days()));
    }
    auto has = [&](const std::string& k) { return std::find(keys.begin(), keys.end(), k) != keys.end(); };
    // Planned requisitions of several services and days, extras not yet used.
    EXPECT_TRUE(has("0000000000/00001/-1"));
    EXPECT_TRUE(has("0000000000/00003/1"));
    EXPECT_TRUE(has("0000000000/00004/0"));
    EXPECT_TRUE(has(std::string(demo::kRequisitionFree) + "/00002/-1"));
    EXPECT_FALSE(has(std::string(demo::kRequisitionUsed) + "/00002/0"));
    EXPECT_FALSE(has(std::string(demo::kRequisitionFar) + "/00002/15"));
    EXPECT_EQ(str(p, 0, "NRREQUISICAO").substr(0, 15), str(p, 0, "NRREQUEXTR") + str(p, 0, "CDSERVFILI"));
    // Ordered by day.
    for (size_t r = 1; r < p.rows.size(); ++r)
        EXPECT_LE(p.rows[r - 1].values[iLocate].AsDateTime(), p.rows[r].values[iLocate].AsDateTime());

    // A window wide enough reaches the far one; null bounds are the processing date -/+ 10.
    EXPECT_EQ(packet("GetNrPrevReti", {Variant("0001"), Variant(day(14)), Variant(day(16))}).rows.size(), 1u);
    VariantArray open{Variant("0001"), Variant(), Variant()};
    ASSERT_TRUE(ret->Call("GetNrPrevReti", open).IsPacket());
    EXPECT_EQ(open[1], Variant(day(-10)));
    EXPECT_EQ(open[2], Variant(day(10)));
    EXPECT_TRUE(packet("GetNrPrevReti", {Variant(demo::kBranchAnyDate), Variant(day(-10)), Variant(day(10))}).rows.empty());
    EXPECT_EQ(refusal("GetNrPrevReti", {Variant("0001"), Variant(day(1)), Variant(day(0))}),
              "Período inválido: " + DateToStr(day(1)) + " a " + DateToStr(day(0)) + ".");
}

TEST_F(HeaderReads, TypedExtraRequisitionWithinTheWindow) {
    VariantArray a{Variant("0001"), Variant(demo::kRequisitionFree), Variant(day(-10)), Variant(day(10))};
    Variant v = ret->Call("GetVdPrevReti", a);
    ASSERT_TRUE(v.IsPacket()) << v.AsString();
    const DataPacket& p = v.AsPacket();
    ASSERT_EQ(p.rows.size(), 1u);
    EXPECT_EQ(str(p, 0, "CDSERVFILI"), demo::kServicePlain);
    EXPECT_EQ(p.rows[0].values[2], Variant(day(-1)));
    // A used one is still found (another check refuses it); far off, planned or unknown are not.
    EXPECT_EQ(packet("GetVdPrevReti", {Variant("0001"), Variant(demo::kRequisitionUsed), Variant(day(-10)),
                                       Variant(day(10))})
                  .rows.size(),
              1u);
    for (const char* nr : {demo::kRequisitionFar, "0000000000", "0000009999"})
        EXPECT_TRUE(packet("GetVdPrevReti", {Variant("0001"), Variant(nr), Variant(day(-10)), Variant(day(10))}).rows.empty())
            << nr;
    EXPECT_EQ(refusal("GetVdPrevReti", {Variant("0001"), Variant(" "), Variant(day(-10)), Variant(day(10))}),
              "Requisição não informada.");
    EXPECT_EQ(refusal("GetVdPrevReti", {Variant("0001"), Variant("0000000001"), Variant(day(10)), Variant(day(-10))}),
              "Período inválido: " + DateToStr(day(10)) + " a " + DateToStr(day(-10)) + ".");
}

TEST_F(HeaderReads, RequisitionOfTheHeader) {
    DataPacket extra =
        packet("GetPrevRetiAux", {Variant("0001"), Variant(demo::kRequisitionFree), Variant("00001"), Variant(day(0))});
    ASSERT_EQ(extra.rows.size(), 1u);  // found by number: the screen compares service and day
    EXPECT_EQ(str(extra, 0, "CDSERVFILI"), demo::kServicePlain);
    EXPECT_EQ(extra.rows[0].values[2], Variant(day(-1)));
    DataPacket planned =
        packet("GetPrevRetiAux", {Variant("0001"), Variant("0000000000"), Variant("00002"), Variant(TDateTime(day(1).Val + 0.5))});
    ASSERT_EQ(planned.rows.size(), 1u);
    EXPECT_EQ(planned.rows[0].values[2], Variant(day(1)));
    EXPECT_TRUE(
        packet("GetPrevRetiAux", {Variant("0001"), Variant("0000000000"), Variant("00002"), Variant(day(5))}).rows.empty());
    EXPECT_TRUE(
        packet("GetPrevRetiAux", {Variant("0001"), Variant("0000000000"), Variant("00002"), Variant()}).rows.empty());
    EXPECT_TRUE(
        packet("GetPrevRetiAux", {Variant("0001"), Variant("0000004444"), Variant("00002"), Variant(day(0))}).rows.empty());
    EXPECT_EQ(refusal("GetPrevRetiAux", {Variant("0001"), Variant(), Variant("00002"), Variant(day(0))}),
              "Requisição não informada.");
}

TEST_F(HeaderReads, WithdrawalsUsingAnExtraRequisition) {
    DataPacket used = packet("GetPesqRequisicao", {Variant("0001"), Variant(demo::kRequisitionUsed)});
    ASSERT_EQ(used.rows.size(), 1u);
    EXPECT_EQ(str(used, 0, "NRREQUEXTRRE"), demo::kRequisitionUsed);
    EXPECT_TRUE(packet("GetPesqRequisicao", {Variant("0002"), Variant(demo::kRequisitionUsed)}).rows.empty());
    EXPECT_TRUE(packet("GetPesqRequisicao", {Variant("0001"), Variant(demo::kRequisitionFree)}).rows.empty());
    EXPECT_TRUE(packet("GetPesqRequisicao", {Variant("0001"), Variant("0000000000")}).rows.empty());
    EXPECT_EQ(refusal("GetPesqRequisicao", {Variant("0001"), Variant("")}), "Requisição não informada.");

    // A withdrawal whose every item is marked deleted no longer holds it, nor hides it from the list.
    auto mark = [](const char* status) {
        withDb([status](db::SqlConnection& c) {
            c.Execute("UPDATE ITLANCTOEST SET IDSTATUS = :S WHERE CDFILIAL = '0001' AND NRLANCESTQ IN"
                      " (SELECT NRLANCESTQ FROM LANCTOEST WHERE CDFILIAL = '0001' AND NRREQUEXTRRE = :N)",
                      {{"S", status}, {"N", demo::kRequisitionUsed}});
            return 0;
        });
    };
    mark("D");
    struct Restore {
        decltype(mark)& m;
        ~Restore() { m("N"); }
    } restore{mark};
    EXPECT_TRUE(packet("GetPesqRequisicao", {Variant("0001"), Variant(demo::kRequisitionUsed)}).rows.empty());
    DataPacket list = packet("GetNrPrevReti", {Variant("0001"), Variant(day(0)), Variant(day(0))});
    EXPECT_TRUE(std::any_of(list.rows.begin(), list.rows.end(), [&](const PacketRow& r) {
        return r.values[1].AsString() == demo::kRequisitionUsed;
    }));
}

TEST_F(HeaderReads, ChangeCheckAlwaysAnswersThreeElements) {
    auto check = [&](const char* movBranch, Variant posting, const char* branch, const char* service, Variant menu,
                     const char* prefix) {
        Variant v = ret->Call("Verif_Alteracao",
                              {Variant(movBranch), posting, Variant(branch), Variant(service), menu, Variant(prefix)});
        EXPECT_TRUE(v.IsArray()) << v.AsString();
        VariantArray out = v.IsArray() ? v.AsArray() : VariantArray{Variant(), Variant(), Variant()};
        EXPECT_EQ(out.size(), 3u);
        return out;
    };
    std::string menuOfToday = withDb([](db::SqlConnection& c) {
        return c.Query("SELECT NRCARDAPIO FROM CARDAPIO WHERE CDFILIAL = '0001' AND CDSERVFILI = '00001'"
                       " AND DTCARDAPIO = :D",
                       {{"D", day(0)}})
            .rows.at(0)
            .at(0)
            .AsString();
    });

    auto settled = check("0001", Variant(day(demo::kImplantedDay)), "0001", "00001", Variant(day(0)), "");
    const DataPacket& rows = settled[0].AsPacket();
    EXPECT_EQ(names(rows), (std::vector<std::string>{"CDERRO", "CDOBJETO", "CDOBJETO2", "CDOBJETO3"}));
    ASSERT_EQ(rows.rows.size(), 1u);
    EXPECT_EQ(str(rows, 0, "CDERRO"), "Lib00200_2");
    EXPECT_EQ(str(rows, 0, "CDOBJETO"), DateToStr(day(demo::kImplantedDay)));
    EXPECT_EQ(str(settled[1].AsPacket(), 0, "NRCARDAPIO"), menuOfToday);
    EXPECT_EQ(settled[2], Variant("S"));

    // Another day, or the same day of another branch, is not settled; a day without a menu has none.
    auto open = check("0001", Variant(TDateTime(day(0).Val + 0.7)), "0001", "00001", Variant(day(9)), "");
    EXPECT_TRUE(open[0].AsPacket().rows.empty());
    EXPECT_TRUE(open[1].AsPacket().rows.empty());
    EXPECT_TRUE(check("0002", Variant(day(demo::kImplantedDay)), "0002", "00001", Variant(day(0)), "")[0]
                    .AsPacket()
                    .rows.empty());

    // Diet services: 0001's has a standard diet, 0002's has none; with a menu the answer does not matter.
    EXPECT_EQ(check("0001", Variant(day(0)), "0001", demo::kServiceDiet, Variant(day(9)), "PAH_")[2], Variant("S"));
    auto noDiet = check("0002", Variant(day(-3)), "0002", demo::kServiceDiet, Variant(day(-3)), "pah_");
    EXPECT_EQ(noDiet[2], Variant("N"));
    EXPECT_TRUE(noDiet[1].AsPacket().rows.empty());
    EXPECT_EQ(check("0002", Variant(day(-3)), "0002", demo::kServiceDiet, Variant(day(-3)), "")[2], Variant("S"));

    // Nothing typed yet: nothing found, the header's own checks speak.
    auto blank = check("0001", Variant(), "0001", "", Variant(), "");
    EXPECT_TRUE(blank[0].AsPacket().rows.empty());
    EXPECT_TRUE(blank[1].AsPacket().rows.empty());

    auto refused = [&](VariantArray a) { return refusal("Verif_Alteracao", std::move(a)); };
    EXPECT_EQ(refused({Variant("0001"), Variant(day(0)), Variant("0001"), Variant("00001"), Variant(day(0)), Variant("XX_")}),
              "Prefixo de cardápio inválido: XX_.");
    EXPECT_EQ(refused({Variant("9999"), Variant(day(0)), Variant("0001"), Variant("00001"), Variant(day(0)), Variant("")}),
              "Filial 9999 não cadastrada.");
    EXPECT_EQ(refused({Variant("0001"), Variant(day(0)), Variant(""), Variant("00001"), Variant(day(0)), Variant("")}),
              "Filial não informada.");
}
