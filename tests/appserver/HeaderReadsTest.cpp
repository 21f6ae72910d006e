// The header's reads against a fresh demo database (each test case runs in a
// process of its own, so a case may change the data it reads): kinds and
// bounds of the arguments, refusals, and what the scenarios do not look at.
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

class HeaderReads : public ::testing::Test {
protected:
    void SetUp() override { ret = Connect(Via::InProcess, "Pla02000.rdmRetirada"); }
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
    bool lists(const DataPacket& p, const std::string& requisition) {
        return std::any_of(p.rows.begin(), p.rows.end(), [&](const PacketRow& r) {
            return r.values[static_cast<size_t>(p.FieldIndex("NRREQUEXTR"))].AsString() == requisition;
        });
    }
    std::unique_ptr<TNetConnection> ret;
};

}  // namespace

TEST_F(HeaderReads, ArgumentsKeepTheirKindsAndBlankKeysAreRefused) {
    ret->ThrowException = true;
    EXPECT_THROW(ret->Call("GetNrPrevReti", {Variant("0001"), Variant("ontem"), Variant(day(1))}), Exception);
    EXPECT_THROW(ret->Call("getVdServico", {Variant(1), Variant("00001")}), Exception);
    EXPECT_THROW(ret->Call("Verif_Alteracao", {Variant("0001"), Variant(day(0))}), Exception);
    ret->ThrowException = false;
    EXPECT_EQ(refusal("getVdServico", {Variant("0001"), Variant("")}), "Serviço não informado.");
    EXPECT_EQ(refusal("getVdServico", {Variant(), Variant("00001")}), "Filial não informada.");
    EXPECT_TRUE(packet("getVdServico", {Variant("0002"), Variant(demo::kServiceDishLocked)}).rows.empty());
    EXPECT_EQ(refusal("GetVdPrevReti", {Variant("0001"), Variant(" "), Variant(day(-10)), Variant(day(10))}),
              "Requisição não informada.");
    EXPECT_EQ(refusal("GetPesqRequisicao", {Variant("0001"), Variant("")}), "Requisição não informada.");
}

TEST_F(HeaderReads, TheSearchWindowIsWholeDaysOrTheProcessingDatesAndAReversedOneIsRefused) {
    VariantArray a{Variant("0001"), Variant(TDateTime(day(-10).Val + 0.25)), Variant(day(10))};
    Variant v = ret->Call("GetNrPrevReti", a);
    ASSERT_TRUE(v.IsPacket()) << v.AsString();
    const DataPacket& p = v.AsPacket();
    EXPECT_EQ(a[1], Variant(day(-10)));  // the days searched come back whole
    const int iLocate = p.FieldIndex("DTLOCATE");
    for (size_t r = 1; r < p.rows.size(); ++r)
        EXPECT_LE(p.rows[r - 1].values[iLocate].AsDateTime(), p.rows[r].values[iLocate].AsDateTime());
    EXPECT_TRUE(lists(p, demo::kRequisitionFree));
    EXPECT_FALSE(lists(p, demo::kRequisitionUsed));
    EXPECT_FALSE(lists(p, demo::kRequisitionFar));
    VariantArray open{Variant("0001"), Variant(), Variant()};
    ASSERT_TRUE(ret->Call("GetNrPrevReti", open).IsPacket());
    EXPECT_EQ(open[1], Variant(day(-10)));
    EXPECT_EQ(open[2], Variant(day(10)));
    for (const char* method : {"GetNrPrevReti", "GetVdPrevReti"}) {
        VariantArray reversed{Variant("0001"), Variant(day(1)), Variant(day(0))};
        if (std::string(method) == "GetVdPrevReti") reversed.insert(reversed.begin() + 1, Variant("0000000001"));
        EXPECT_EQ(refusal(method, reversed), "Período inválido: " + DateToStr(day(1)) + " a " + DateToStr(day(0)) + ".");
    }
}

TEST_F(HeaderReads, AWithdrawalWhoseItemsAreAllDeletedNoLongerHoldsItsExtraRequisition) {
    EXPECT_EQ(packet("GetPesqRequisicao", {Variant("0001"), Variant(demo::kRequisitionUsed)}).rows.size(), 1u);
    EXPECT_TRUE(packet("GetPesqRequisicao", {Variant("0002"), Variant(demo::kRequisitionUsed)}).rows.empty());
    Server::Get().app->WithDatabase([](db::SqlConnection& c) {
        return c.Execute("UPDATE ITLANCTOEST SET IDSTATUS = 'D' WHERE CDFILIAL = '0001' AND NRLANCESTQ IN"
                         " (SELECT NRLANCESTQ FROM LANCTOEST WHERE CDFILIAL = '0001' AND NRREQUEXTRRE = :N)",
                         {{"N", demo::kRequisitionUsed}});
    });
    EXPECT_TRUE(packet("GetPesqRequisicao", {Variant("0001"), Variant(demo::kRequisitionUsed)}).rows.empty());
    EXPECT_TRUE(lists(packet("GetNrPrevReti", {Variant("0001"), Variant(day(0)), Variant(day(0))}), demo::kRequisitionUsed));
}

TEST_F(HeaderReads, TheChangeCheckAlwaysAnswersThreeElements) {
    auto check = [&](Variant posting, const char* service, Variant menu, const char* prefix) {
        Variant v = ret->Call("Verif_Alteracao",
                              {Variant("0001"), posting, Variant("0001"), Variant(service), menu, Variant(prefix)});
        EXPECT_TRUE(v.IsArray() && v.AsArray().size() == 3u) << v.AsString();
        return v.IsArray() ? v.AsArray() : VariantArray(3);
    };
    auto settled = check(Variant(day(demo::kImplantedDay)), "00001", Variant(day(0)), "");
    ASSERT_EQ(settled[0].AsPacket().rows.size(), 1u);
    EXPECT_EQ(settled[0].AsPacket().rows[0].values[0], Variant("Lib00200_2"));
    EXPECT_EQ(settled[2], Variant("S"));
    // Nothing typed yet: nothing found, the header's own checks speak.
    auto blank = check(Variant(), "", Variant(), "");
    EXPECT_TRUE(blank[0].AsPacket().rows.empty());
    EXPECT_TRUE(blank[1].AsPacket().rows.empty());
    EXPECT_EQ(refusal("Verif_Alteracao", {Variant("0001"), Variant(day(0)), Variant("0001"), Variant("00001"),
                                          Variant(day(0)), Variant("XX_")}),
              "Prefixo de cardápio inválido: XX_.");
}
