#include "Cli_pla02000/model/RetiradaQueries.h"
#include "Cli_pla02010/model/FiltroRetiradaModel.h"
#include "Cli_pla02015/model/FiltroRetiradaGeralModel.h"

#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

using namespace model;

namespace {

std::set<std::string> Placeholders(std::string_view sql) {
    std::set<std::string> out;
    const std::string s(sql);
    static const std::regex param(":(P_[A-Z]+)");
    for (auto it = std::sregex_iterator(s.begin(), s.end(), param); it != std::sregex_iterator(); ++it)
        out.insert((*it)[1]);
    return out;
}

}  // namespace

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
