#include "data/Catalog.h"

#include "core/Exception.h"
#include "core/Text.h"

namespace model {
namespace {

std::string Unescape(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 1 < s.size() && (s[i + 1] == 'n' || s[i + 1] == '\\')) {
            out += s[i + 1] == 'n' ? '\n' : '\\';
            ++i;
        } else {
            out += s[i];
        }
    }
    return out;
}

}  // namespace

std::vector<CatalogEntry> ParseCatalog(std::string_view resource, std::string_view name) {
    const std::string catalog = name.empty() ? std::string("Catálogo") : "Catálogo " + std::string(name);
    std::vector<CatalogEntry> entries;
    size_t lineNo = 0;
    while (!resource.empty()) {
        const size_t eol = resource.find('\n');
        std::string_view line = resource.substr(0, eol);
        resource = eol == std::string_view::npos ? std::string_view{} : resource.substr(eol + 1);
        ++lineNo;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty()) continue;

        const size_t bar = line.find('|');
        const std::string where = catalog + ", linha " + std::to_string(lineNo) + ": ";
        if (bar == std::string_view::npos) throw Exception(where + "falta \"|\" entre a chave e o texto.");
        if (bar == 0) throw Exception(where + "chave vazia.");
        CatalogEntry entry{std::string(line.substr(0, bar)), Unescape(line.substr(bar + 1))};
        if (FindCatalogText(entries, entry.key)) throw Exception(where + "chave repetida \"" + entry.key + "\".");
        entries.push_back(std::move(entry));
    }
    return entries;
}

const std::string* FindCatalogText(const std::vector<CatalogEntry>& catalog, std::string_view key) {
    for (const CatalogEntry& e : catalog)
        if (text::SameText(e.key, key)) return &e.text;
    return nullptr;
}

}  // namespace model
