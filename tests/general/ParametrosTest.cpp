// The 13 values "Pla08000" is opened with: both columns of the screen's table
// pass, and a malformed call is refused naming the value at fault.
#include "Pla08000/Parametros.h"

#include "core/Exception.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using ::testing::HasSubstr;

namespace {

VariantArray valores(bool recalculada) {
    const TDateTime dia = EncodeDate(2026, 12, 9);
    return {Variant("0002"),       Variant(recalculada ? "0000000001" : ""), Variant("0000000001"), Variant("CFP"),
            Variant("N"),          Variant(dia), Variant(dia), Variant(true), Variant(0), Variant(false),
            Variant(true),         Variant(recalculada), Variant(!recalculada)};
}

std::string recusa(VariantArray v) {
    const Variant p(std::move(v));
    try {
        pla08000::LeParametros(&p);
    } catch (const Exception& e) {
        return e.what();
    }
    return "";
}

TEST(ParametrosTest, BothColumnsOfTheRunPass) {
    for (bool recalculada : {true, false}) {
        const Variant p(valores(recalculada));
        const pla08000::TParamRetGeral r = pla08000::LeParametros(&p);
        EXPECT_EQ(r.Filial, "0002");
        EXPECT_EQ(r.NrRetGeral, "0000000001");
        EXPECT_EQ(r.CalcRequisicao, "CFP");
        EXPECT_EQ(r.Dia, EncodeDate(2026, 12, 9));
        EXPECT_EQ(r.Recalculada, recalculada);
    }
}

TEST(ParametrosTest, AMalformedCallIsRefusedByItsValue) {
    EXPECT_THAT(recusa({Variant("0002")}), HasSubstr("13 parâmetros"));
    auto com = [](int i, Variant v, bool recalculada = true) {
        VariantArray a = valores(recalculada);
        a[i] = std::move(v);
        return recusa(std::move(a));
    };
    EXPECT_THAT(com(2, Variant("SERV_RET")), HasSubstr("parâmetro 2"));        // a key is no run number
    EXPECT_THAT(com(1, Variant("TP_CONSFIXO")), HasSubstr("parâmetro 1"));     // a refusal is no recalculation
    EXPECT_THAT(com(1, Variant("0000000001"), false), HasSubstr("parâmetro 1"));
    EXPECT_THAT(com(3, Variant("XXX")), HasSubstr("parâmetro 3"));
    EXPECT_THAT(com(6, Variant(EncodeDate(2026, 12, 10))), HasSubstr("parâmetro 6"));
    EXPECT_THAT(com(12, Variant(true)), HasSubstr("parâmetro 12"));
    EXPECT_THAT(com(7, Variant("S")), HasSubstr("parâmetro 7"));
    EXPECT_THAT(com(0, Variant("")), HasSubstr("parâmetro 0"));
}

}  // namespace
