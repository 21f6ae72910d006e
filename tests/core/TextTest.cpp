#include "core/Text.h"

#include <gtest/gtest.h>

TEST(Text, CaseFoldingKeepsAccentedLetters) {
    EXPECT_EQ(text::Upper("operação"), "OPERAÇÃO");
    EXPECT_EQ(text::Lower("SÁBADO"), "sábado");
    EXPECT_TRUE(text::SameText("Msg_Erro", "MSG_ERRO"));
    EXPECT_FALSE(text::SameText("a", "ab"));
    EXPECT_TRUE(text::SameText("operação", "OPERAÇÃO"));
    EXPECT_FALSE(text::SameText("operação", "OPERAÇÕO"));
    EXPECT_FALSE(text::SameText("Msg_Erro", "MSG_ERRA"));
}

TEST(Text, CharactersAreCodePoints) {
    EXPECT_EQ(text::Length("Cardápio"), 8u);
    EXPECT_EQ(text::Left("Cardápio", 5), "Cardá");
    EXPECT_EQ(text::Left("abc", 10), "abc");
}

TEST(Text, FormatFillsPlaceholdersInOrder) {
    EXPECT_EQ(text::Format("Produto %s no almoxarifado %s", {"10", "A1"}), "Produto 10 no almoxarifado A1");
    EXPECT_EQ(text::Format("%s e %s", {"x"}), "x e ");
    EXPECT_EQ(text::Format("100%%", {}), "100%");
}

TEST(Text, NumbersFollowTheSystemSeparator) {
    double d = 0;
    EXPECT_TRUE(TryStrToFloat(" 1,5 ", d));
    EXPECT_EQ(d, 1.5);
    EXPECT_FALSE(TryStrToFloat("1,5x", d));
    EXPECT_FALSE(TryStrToFloat("", d));
    EXPECT_EQ(FloatToStr(0.1), "0,1");
    SystemFormat().DecimalSeparator = '.';
    EXPECT_EQ(FloatToStr(0.1), "0.1");
    SystemFormat().DecimalSeparator = ',';
}
