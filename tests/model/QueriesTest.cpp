#include "Cli_pla02000/model/RetiradaQueries.h"
#include "Cli_pla02010/model/FiltroRetiradaModel.h"
#include "Cli_pla02015/model/FiltroRetiradaGeralModel.h"
#include "ExpectedFields.h"

#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

using namespace model;

namespace {

std::span<const QueryDef> QueriesOf(std::string_view form) {
    if (form == "TfrmRetirada") return ScreenQueries();
    if (form == "TfrmFiltroRetirada") return FiltroRetiradaQueries();
    if (form == "TfrmFiltroRetiradaGeral") return FiltroRetiradaGeralQueries();
    return {};
}

std::string Describe(std::span<const FieldDef> fields) {
    std::string out;
    for (const FieldDef& f : fields) {
        out += std::string(f.name) + " " + FieldTypeName(f.type);
        if (f.size) out += " " + std::to_string(f.size);
        out += "; ";
    }
    return out;
}

std::string Normalize(std::string_view list) {
    std::string out;
    std::stringstream items{std::string(list)};
    std::string item;
    while (std::getline(items, item, ';')) {
        std::stringstream words(item);
        std::string w, joined;
        while (words >> w) joined += (joined.empty() ? "" : " ") + w;
        if (!joined.empty()) out += joined + "; ";
    }
    return out;
}

std::set<std::string> Placeholders(std::string_view sql) {
    std::set<std::string> out;
    const std::string s(sql);
    static const std::regex param(":(P_[A-Z]+)");
    for (auto it = std::sregex_iterator(s.begin(), s.end(), param); it != std::sregex_iterator(); ++it)
        out.insert((*it)[1]);
    return out;
}

}  // namespace

TEST(Queries, EveryQueryHasTheExpectedNamesTypesAndSizesInOrder) {
    for (const ExpectedFieldList& e : kExpectedQueries) {
        SCOPED_TRACE(std::string(e.form) + "." + std::string(e.name));
        const QueryDef* q = FindQuery(QueriesOf(e.form), e.name);
        ASSERT_NE(q, nullptr);
        EXPECT_EQ(q->name, e.name);
        EXPECT_EQ(Describe(q->fields), Normalize(e.fields));
    }
    EXPECT_EQ(ScreenQueries().size(), 15u);
    EXPECT_EQ(FiltroRetiradaQueries().size(), 2u);
    EXPECT_EQ(FiltroRetiradaGeralQueries().size(), 2u);
}

TEST(Queries, DeclaredParametersAreExactlyThoseTheTextsUse) {
    for (auto queries : {ScreenQueries(), FiltroRetiradaQueries(), FiltroRetiradaGeralQueries()}) {
        for (const QueryDef& q : queries) {
            SCOPED_TRACE(std::string(q.name));
            std::set<std::string> declared(q.params.begin(), q.params.end());
            EXPECT_EQ(declared.size(), q.params.size()) << "a parameter is declared twice";
            for (std::string_view text : {q.sql, q.sqlOracle, q.sqlMssql, q.sqlIb}) {
                if (text.empty()) continue;
                EXPECT_EQ(Placeholders(text), declared);
            }
        }
    }
}
