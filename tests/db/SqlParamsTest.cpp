#include "db/SqlParams.h"

#include <gtest/gtest.h>

using namespace db;

TEST(SqlParams, RepeatedNamesShareOnePlaceholderAndCaseIsIgnored) {
    auto p = ParseNamedParams("WHERE (A = :P_X) OR (:p_x = 'T') AND B = :P_Y", PlaceholderStyle::QuestionNumber);
    EXPECT_EQ(p.text, "WHERE (A = ?1) OR (?1 = 'T') AND B = ?2");
    EXPECT_EQ(p.names, (std::vector<std::string>{"P_X", "P_Y"}));
    auto pg = ParseNamedParams("A = :P_X AND B = :P_Y", PlaceholderStyle::DollarNumber);
    EXPECT_EQ(pg.text, "A = $1 AND B = $2");
}

TEST(SqlParams, QuotesCommentsAndCastsAreNotParameters) {
    auto p = ParseNamedParams("SELECT ':NOT', \"A:B\", 'it''s :NO', X::TEXT -- :C\n, /* :D */ :E",
                              PlaceholderStyle::QuestionNumber);
    EXPECT_EQ(p.text, "SELECT ':NOT', \"A:B\", 'it''s :NO', X::TEXT -- :C\n, /* :D */ ?1");
    EXPECT_EQ(p.names, std::vector<std::string>{"E"});
}

TEST(SqlParams, ColonWithoutNameIsKept) {
    auto p = ParseNamedParams("SELECT '12:30', 1 :", PlaceholderStyle::QuestionNumber);
    EXPECT_EQ(p.text, "SELECT '12:30', 1 :");
    EXPECT_TRUE(p.names.empty());
}
