#pragma once
// Message catalogs kept as "key|text" resource text, one entry per line: the
// key is everything before the first '|', the text everything after it, blanks
// included (some texts end with a blank because more text is appended). In a
// text, "\n" stands for a line break and "\\" for a backslash; any other
// backslash is kept as it stands. Empty lines are skipped and a CR before the
// line end (files saved with CR LF) is dropped. This is the one reader of the
// format: the forms' TMessages loads through it too.
#include <string>
#include <string_view>
#include <vector>

namespace model {

struct CatalogEntry {
    std::string key;
    std::string text;
    friend bool operator==(const CatalogEntry&, const CatalogEntry&) = default;
};

// The entries in resource order. Throws Exception naming the catalog (when
// `name` is given) and the line for a line without '|', an empty key, or a
// key that repeats an earlier one without regard to case (lookups ignore case,
// so the second could never be found):
//   Catálogo msgPadrao, linha 2: falta "|" entre a chave e o texto.
std::vector<CatalogEntry> ParseCatalog(std::string_view resource, std::string_view name = {});

// The text of a key without regard to case; nullptr when absent.
const std::string* FindCatalogText(const std::vector<CatalogEntry>& catalog, std::string_view key);

}  // namespace model
