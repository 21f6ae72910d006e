#include "db/SqlParams.h"

#include <gtest/gtest.h>

using namespace db;

TEST(SqlParams, NamesShareAPlaceholderAndQuotesCommentsCastsAndBareColonsAreText) {
    auto p = ParseNamedParams("WHERE (A = :P_X) OR (:p_x = 'T') AND B = :P_Y", PlaceholderStyle::QuestionNumber);
    EXPECT_EQ(p.text, "WHERE (A = ?1) OR (?1 = 'T') AND B = ?2");
    EXPECT_EQ(p.names, (std::vector<std::string>{"P_X", "P_Y"}));
    EXPECT_EQ(ParseNamedParams("A = :P_X AND B = :P_Y", PlaceholderStyle::DollarNumber).text, "A = $1 AND B = $2");
    auto q = ParseNamedParams("SELECT ':NOT', \"A:B\", 'it''s :NO', X::TEXT -- :C\n, /* :D */ :E, '12:30', 1 :",
                              PlaceholderStyle::QuestionNumber);
    EXPECT_EQ(q.text, "SELECT ':NOT', \"A:B\", 'it''s :NO', X::TEXT -- :C\n, /* :D */ ?1, '12:30', 1 :");
    EXPECT_EQ(q.names, std::vector<std::string>{"E"});
}
