#include "db/SqlParams.h"

#include "core/Text.h"

#include <cctype>

namespace db {

namespace {

bool identStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool identChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

// Copies a quoted run starting at i (the opening quote) and returns the index past it.
size_t copyQuoted(const std::string& sql, size_t i, std::string& out) {
    char q = sql[i];
    out += sql[i++];
    while (i < sql.size()) {
        out += sql[i];
        if (sql[i] == q) {
            if (i + 1 < sql.size() && sql[i + 1] == q) {  // doubled quote stays inside
                out += sql[++i];
            } else {
                return i + 1;
            }
        }
        ++i;
    }
    return i;
}

}  // namespace

ParsedSql ParseNamedParams(const std::string& sql, PlaceholderStyle style, bool eachPlace) {
    ParsedSql r;
    r.text.reserve(sql.size());
    size_t i = 0;
    while (i < sql.size()) {
        char c = sql[i];
        if (c == '\'' || c == '"') {
            i = copyQuoted(sql, i, r.text);
        } else if (c == '-' && i + 1 < sql.size() && sql[i + 1] == '-') {
            size_t end = sql.find('\n', i);
            if (end == std::string::npos) end = sql.size();
            r.text.append(sql, i, end - i);
            i = end;
        } else if (c == '/' && i + 1 < sql.size() && sql[i + 1] == '*') {
            size_t end = sql.find("*/", i + 2);
            end = end == std::string::npos ? sql.size() : end + 2;
            r.text.append(sql, i, end - i);
            i = end;
        } else if (c == ':' && i + 1 < sql.size() && sql[i + 1] == ':') {
            r.text += "::";
            i += 2;
        } else if (c == ':' && i + 1 < sql.size() && identStart(sql[i + 1])) {
            size_t j = i + 1;
            while (j < sql.size() && identChar(sql[j])) ++j;
            std::string name = text::Upper(sql.substr(i + 1, j - i - 1));
            size_t n = 0;
            while (!eachPlace && n < r.names.size() && r.names[n] != name) ++n;
            if (eachPlace) n = r.names.size();
            if (n == r.names.size()) r.names.push_back(name);
            r.text += style == PlaceholderStyle::QuestionNumber ? '?' : '$';
            r.text += std::to_string(n + 1);
            i = j;
        } else {
            r.text += c;
            ++i;
        }
    }
    return r;
}

}  // namespace db
