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

// Which texts a query holds: S generic, O Oracle, M SQL Server, I InterBase; '-' none.
std::string Dialects(const QueryDef& q) {
    std::string d;
    d += q.sql.empty() ? '-' : 'S';
    d += q.sqlOracle.empty() ? '-' : 'O';
    d += q.sqlMssql.empty() ? '-' : 'M';
    d += q.sqlIb.empty() ? '-' : 'I';
    return d;
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

TEST(Queries, TextsPerDatabase) {
    const std::vector<std::pair<std::string_view, std::string_view>> screen{
        {"qryFilial", "SOM-"},          {"qryServico", "SOMI"},       {"qryFiliOffLine", "-OMI"},
        {"qryRetOffLine", "S---"},      {"qryProduto", "S---"},       {"qryProdutoCache", "S---"},
        {"qryProdutoSemCache", "S---"}, {"qryParamGeral", "S---"},    {"qryPesqProduto", "----"},
        {"qryValidProduto", "SOM-"},    {"qryExisteProdTReti", "S---"}, {"qryValidProdReti", "SOM-"},
        {"qryTipoPrat", "SOM-"},        {"qryPrato", "SOM-"},         {"qryValidaPrato", "SOM-"}};
    ASSERT_EQ(screen.size(), ScreenQueries().size());
    for (size_t i = 0; i < screen.size(); ++i) {
        EXPECT_EQ(ScreenQueries()[i].name, screen[i].first);  // declaration order
        EXPECT_EQ(Dialects(ScreenQueries()[i]), screen[i].second) << screen[i].first;
    }
    for (const QueryDef& q : FiltroRetiradaQueries()) {
        EXPECT_EQ(Dialects(q), "SOMI") << q.name;
    }
    for (const QueryDef& q : FiltroRetiradaGeralQueries()) {
        EXPECT_EQ(Dialects(q), "S-MI") << q.name;
    }
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

TEST(Queries, DialectTextsThatDifferInSubstance) {
    const QueryDef& offline = *FindScreenQuery("qryFiliOffLine");
    EXPECT_NE(offline.sqlOracle.find("NVL(A.IDUTILOFFLINE, 'N')"), std::string_view::npos);
    EXPECT_NE(offline.sqlMssql.find("ISNULL(A.IDUTILOFFLINE, 'N')"), std::string_view::npos);
    EXPECT_NE(offline.sqlIb.find("CAST(NVLSTR(A.IDUTILOFFLINE, 'N') AS VARCHAR(01))"), std::string_view::npos);

    // SQL Server joins the pattern with '+', the others with '||'.
    const QueryDef& byType = *FindScreenQuery("qryValidProdReti");
    EXPECT_NE(byType.sql.find("LIKE PR.CDARVPROD||'%'"), std::string_view::npos);
    EXPECT_EQ(byType.sqlOracle, byType.sql);
    EXPECT_NE(byType.sqlMssql.find("LIKE PR.CDARVPROD+'%'"), std::string_view::npos);

    EXPECT_EQ(FindScreenQuery("qryRetOffLine")->sql,
              "SELECT MAX(N.CDFILIAL) AS CDFILIAL\n"
              "  FROM RETIRADA N\n"
              " WHERE N.CDFILIAL = :P_CDFILIAL");

    const QueryDef& services = *FindQuery(FiltroRetiradaGeralQueries(), "qryServico");
    EXPECT_NE(services.sql.find("INSTR(:P_CDGRUPSERV, CDGRUPSERV) <> 0"), std::string_view::npos);
    EXPECT_NE(services.sqlMssql.find("CHARINDEX(CDGRUPSERV, :P_CDGRUPSERV) <> 0"), std::string_view::npos);
    EXPECT_NE(services.sqlIb.find("PARAM(:P_TCDGRUPSERV) P_TCDGRUPSERV"), std::string_view::npos);
}

TEST(Queries, ComponentAttributes) {
    const QueryDef& branches = *FindScreenQuery("qryFilial");
    EXPECT_EQ(branches.dataSource, "dtsFilial");
    EXPECT_EQ(branches.FindField("CDFILIAL")->editMask, ">aaaa;0; ");
    EXPECT_EQ(branches.FindField("CDFILIAL")->displayWidth, 6);
    EXPECT_TRUE(branches.FindField("CDINSCESTA")->required);
    EXPECT_FALSE(branches.FindField("CDINSCESTA")->visible);
    EXPECT_EQ(FindScreenQuery("qryProduto")->beforeOpen, "qryProdutoBeforeOpen");
    EXPECT_EQ(FindScreenQuery("qryPesqProduto")->beforeOpen, "qryPesqProdutoBeforeOpen");
    for (const QueryDef& q : FiltroRetiradaQueries()) {
        EXPECT_EQ(q.beforeOpen, "qryServicoBeforeOpen");
    }
    // The general filter's service list keeps its own, shorter sizes.
    EXPECT_EQ(FindQuery(FiltroRetiradaGeralQueries(), "qryServico")->FindField("NMSERVICO")->size, 20);
    EXPECT_EQ(FindQuery(FiltroRetiradaQueries(), "qryServico")->FindField("NMSERVICO")->size, 40);
}
