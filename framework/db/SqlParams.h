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
    std::vector<std::string> names;  // upper case; placeholder n is names[n-1]
};

// A name used several times is one placeholder, unless eachPlace asks for
// one placeholder per place (names then repeat).
ParsedSql ParseNamedParams(const std::string& sql, PlaceholderStyle style, bool eachPlace = false);

}  // namespace db
