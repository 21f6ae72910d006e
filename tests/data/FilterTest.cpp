// The filter expression language: meaning, errors, quoting, and a fuzz run.
#include "DataTestUtil.h"
#include "data/FilterExpression.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>

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

TEST_F(Filters, Comparisons) {
    EXPECT_EQ(Codes("GRP = 'G1'"), (S{"C1", "C4"}));
    EXPECT_EQ(Codes("QTY >= 5"), (S{"C5", "C6"}));
    EXPECT_EQ(Codes("QTY < 2.5 OR QTY > 5"), (S{"C1", "C2", "C6"}));
    EXPECT_EQ(Codes("NOT (GRP = 'G1') AND QTY <= 3"), (S{"C2", "C3"}));
    EXPECT_EQ(Codes("qty <> 1 and grp='G2'"), (S{"C2", "C5"}));
    EXPECT_EQ(Codes("[CODE] = 'C3'"), (S{"C3"}));
    EXPECT_EQ(Codes("QTY = -1"), (S{}));
    EXPECT_EQ(Codes("WHEN >= '03/01/2024'"), (S{"C3", "C4", "C5"}));
}

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

TEST_F(Filters, NewAndChangedRecordsFollowTheFilter) {
    Codes("GRP = 'G1'");
    ds.Append();
    ds.FieldByName("CODE").SetAsString("N");
    ds.FieldByName("GRP").SetAsString("G1");
    ds.Post();
    EXPECT_EQ(ds.FieldByName("CODE").AsString(), "N");
    EXPECT_EQ(ds.RecordCount(), 3);
    ds.First();
    ds.Edit();
    ds.FieldByName("GRP").SetAsString("G2");
    ds.Post();  // leaves the filter
    EXPECT_EQ(Column(ds, "CODE"), (S{"C4", "N"}));
    ds.SetFiltered(false);
    EXPECT_EQ(ds.RecordCount(), 7);
}

TEST_F(Filters, CalculatedFieldsAreRefused) {
    TClientDataSet c;
    c.AddField("A", TFieldType::ftFloat);
    c.AddField("K", TFieldType::ftString, 1, TFieldKind::fkCalculated);
    c.CreateDataSet();
    c.SetFilter("K = 'S'");
    EXPECT_THROW(c.SetFiltered(true), EFilterError);
    EXPECT_FALSE(c.Filtered());
}

// ---- Fuzz ----------------------------------------------------------------------

TEST(FilterFuzz, RandomExpressionsAndBytesNeverCrash) {
    std::mt19937 rng(20240601);
    const std::vector<std::string> pieces = {"CODE", "NAME", "QTY", "GRP", "WHEN", "NOPE", "=", "<>", "<", ">", "<=",
                                             ">=", "AND", "OR", "NOT", "IS", "NULL", "(", ")", "'G1'", "'a''b'", "'",
                                             "12", "-3.5", "1e309", "[", "]", "*", "'x*'", "TRUE", "\xC3\xA7", "  "};
    auto resolve = [](const std::string& n) {
        static const std::vector<std::string> names = {"CODE", "NAME", "QTY", "GRP", "WHEN"};
        for (size_t i = 0; i < names.size(); ++i)
            if (n == names[i]) return static_cast<int>(i);
        return -1;
    };
    const VariantArray rows[] = {
        {Variant("C1"), Variant("x"), Variant(1.0), Variant("G1"), Variant(EncodeDate(2024, 1, 1))},
        {Variant(), Variant(), Variant(), Variant(), Variant()},
        {Variant(3), Variant(true), Variant("abc"), Variant(VarArrayOf({Variant(1)})), Variant("01/01/2024")},
    };
    // Well-formed expressions from the grammar, some then damaged by one byte.
    const std::vector<std::string> fields = {"CODE", "NAME", "QTY", "GRP", "WHEN"};
    const std::vector<std::string> ops = {"=", "<>", "<", ">", "<=", ">="};
    const std::vector<std::string> literals = {"'G1'", "'a''b'", "12", "-3.5", "NULL", "'01/01/2024'", "'x*'", "TRUE"};
    std::function<std::string(int)> gen = [&](int depth) -> std::string {
        switch (depth > 4 ? rng() % 2 : rng() % 6) {
            case 0: return fields[rng() % fields.size()] + " " + ops[rng() % ops.size()] + " " + literals[rng() % literals.size()];
            case 1: return fields[rng() % fields.size()] + (rng() % 2 ? " IS NULL" : " IS NOT NULL");
            case 2: return gen(depth + 1) + " AND " + gen(depth + 1);
            case 3: return gen(depth + 1) + " OR " + gen(depth + 1);
            case 4: return "NOT " + gen(depth + 1);
            default: return "(" + gen(depth + 1) + ")";
        }
    };
    int parsed = 0;
    for (int n = 0; n < 20000; ++n) {
        std::string expr;
        if (n % 4 == 1 || n % 4 == 2) {
            expr = gen(0);
            if (n % 4 == 2 && !expr.empty()) expr[rng() % expr.size()] = static_cast<char>(rng() % 256);
        } else if (n % 4 == 0) {
            int len = static_cast<int>(rng() % 40);
            for (int k = 0; k < len; ++k) expr += static_cast<char>(rng() % 256);
        } else {
            int len = 1 + static_cast<int>(rng() % 12);
            for (int k = 0; k < len; ++k) expr += pieces[rng() % pieces.size()] + " ";
        }
        try {
            auto f = FilterExpression::Parse(expr, resolve, n % 2 == 0, n % 3 != 0);
            ++parsed;
            for (const auto& r : rows) (void)f->Matches(r);
        } catch (const EFilterError&) {
        }
    }
    EXPECT_GT(parsed, 5000);
    // Deep nesting is refused, not a stack overflow.
    EXPECT_THROW(FilterExpression::Parse(std::string(100000, '(') + "CODE = 1", resolve, false, true), EFilterError);
    EXPECT_THROW(FilterExpression::Parse([] {
        std::string s;
        for (int k = 0; k < 100000; ++k) s += "NOT ";
        return s + "CODE = 1";
    }(), resolve, false, true), EFilterError);
}

}  // namespace
