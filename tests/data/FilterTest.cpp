// The filter expression language: meaning, errors, quoting, nesting bounds.
#include "DataTestUtil.h"
#include "data/FilterExpression.h"

#include <gtest/gtest.h>


namespace {

class Filters : public ::testing::Test {
protected:
    void SetUp() override {
        DeclareItems(ds);
        ds.AddField("WHEN", TFieldType::ftDateTime);
        DataPacket p = ItemsPacket(6);
        p.fields.push_back({"WHEN", TFieldType::ftDateTime, 0});
        for (size_t i = 0; i < p.rows.size(); ++i)
            p.rows[i].values.push_back(i == 5 ? Variant() : Variant(EncodeDate(2024, 1, static_cast<int>(i) + 1)));
        p.rows[4].values[1] = Variant("O'Brien");
        p.rows[5].values[3] = Variant();
        ds.SetData(Variant(p));
    }
    std::vector<std::string> Codes(const std::string& expr, TFilterOptions options = 0) {
        ds.SetFiltered(false);
        ds.SetFilterOptions(options);
        ds.SetFilter(expr);
        ds.SetFiltered(true);
        return Column(ds, "CODE");
    }
    TClientDataSet ds;
};

using S = std::vector<std::string>;

TEST_F(Filters, NullsAndIsNull) {
    EXPECT_EQ(Codes("GRP IS NULL"), (S{"C6"}));
    EXPECT_EQ(Codes("GRP IS NOT NULL AND QTY > 4"), (S{"C5"}));
    EXPECT_EQ(Codes("GRP = NULL"), (S{"C6"}));
    EXPECT_EQ(Codes("GRP <> NULL"), (S{"C1", "C2", "C3", "C4", "C5"}));
    // A null differs from every value: it passes <> and fails = and ordering.
    EXPECT_EQ(Codes("GRP <> 'G1'"), (S{"C2", "C3", "C5", "C6"}));
    EXPECT_EQ(Codes("WHEN < '01/01/2030'"), (S{"C1", "C2", "C3", "C4", "C5"}));
}

TEST_F(Filters, CaseAndPartialOptions) {
    EXPECT_EQ(Codes("GRP = 'g1'"), (S{}));
    EXPECT_EQ(Codes("GRP = 'g1'", foCaseInsensitive), (S{"C1", "C4"}));
    EXPECT_EQ(Codes("NAME = 'item 1*'", foCaseInsensitive), (S{"C1"}));
    EXPECT_EQ(Codes("NAME = 'Item*'"), (S{"C1", "C2", "C3", "C4", "C6"}));
    EXPECT_EQ(Codes("NAME = 'Item*'", foNoPartialCompare), (S{}));
}

TEST_F(Filters, QuotesInValuesCannotChangeTheMeaning) {
    EXPECT_EQ(Codes("NAME = 'O''Brien'"), (S{"C5"}));
    // A value pasted with its quote doubled stays one string.
    std::string hostile = "x' OR 'a'='a";
    std::string doubled;
    for (char c : hostile) doubled += c == '\'' ? std::string("''") : std::string(1, c);
    EXPECT_EQ(Codes("NAME = '" + doubled + "'"), (S{}));
    // Pasted raw, it is not a valid expression rather than a wider filter.
    EXPECT_THROW(Codes("NAME = '" + hostile), EFilterError);
}

TEST_F(Filters, ErrorsNameTheProblem) {
    auto message = [&](const std::string& expr) -> std::string {
        try {
            Codes(expr);
        } catch (const EFilterError& e) {
            return e.what();
        }
        return "";
    };
    EXPECT_NE(message("NOPE = 1").find("Field 'NOPE' not found"), std::string::npos);
    EXPECT_NE(message("GRP = 'G1").find("Unterminated string"), std::string::npos);
    EXPECT_NE(message("(GRP = 'G1'").find("Missing ')'"), std::string::npos);
    EXPECT_NE(message("GRP 'G1'").find("Comparison expected"), std::string::npos);
    EXPECT_NE(message("GRP = ").find("Operand expected"), std::string::npos);
    EXPECT_NE(message("GRP = 'G1' AND").find("Operand expected"), std::string::npos);
    EXPECT_NE(message("GRP # 1").find("Unexpected character"), std::string::npos);
    EXPECT_NE(message("GRP IS 'x'").find("NULL expected"), std::string::npos);
    // A failed filter leaves the previous one in force.
    Codes("GRP = 'G2'");
    EXPECT_THROW(ds.SetFilter("GRP = "), EFilterError);
    EXPECT_EQ(ds.Filter(), "GRP = 'G2'");
    EXPECT_EQ(Column(ds, "CODE"), (S{"C2", "C5"}));
}

// Random expressions are the libFuzzer target's work (fuzz/); nesting past
// the parser's bound is refused here, not a stack overflow.
TEST(FilterBounds, DeepNestingIsRefused) {
    auto resolve = [](const std::string& n) { return n == "CODE" ? 0 : -1; };
    EXPECT_THROW(FilterExpression::Parse(std::string(100000, '(') + "CODE = 1", resolve, false, true), EFilterError);
    std::string nots;
    for (int k = 0; k < 100000; ++k) nots += "NOT ";
    EXPECT_THROW(FilterExpression::Parse(nots + "CODE = 1", resolve, false, true), EFilterError);
}

}  // namespace
