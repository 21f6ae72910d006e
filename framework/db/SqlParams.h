#pragma once
// Named parameters (:P_NAME) of a statement text, rewritten into the
// placeholders of one database. Quoted texts, quoted names, comments and
// PostgreSQL casts (::type) are left alone.
#include <string>
#include <vector>

namespace db {

enum class PlaceholderStyle { QuestionNumber /* ?1 */, DollarNumber /* $1 */ };

struct ParsedSql {
    std::string text;                // the text with numbered placeholders
    std::vector<std::string> names;  // distinct names, upper case; placeholder n is names[n-1]
};

ParsedSql ParseNamedParams(const std::string& sql, PlaceholderStyle style);

}  // namespace db
