#include "services/Messages.h"

#include "core/Exception.h"
#include "core/Text.h"
#include "data/Catalog.h"

#include <fstream>
#include <sstream>

const TMessages::Entry* TMessages::find(const std::string& key) const {
    for (auto& e : entries_)
        if (text::SameText(e.key, key)) return &e;
    return nullptr;
}

void TMessages::Add(const std::string& key, const std::string& textValue) {
    if (key.empty()) throw Exception("Catálogo " + Name() + ": chave vazia.");
    if (find(key)) throw Exception("Catálogo " + Name() + ": chave repetida \"" + key + "\".");
    entries_.push_back({key, textValue});
}

void TMessages::LoadFromText(std::string_view resource) {
    // Parsed whole before anything is replaced: a bad resource leaves the catalog as it was.
    std::vector<model::CatalogEntry> parsed = model::ParseCatalog(resource, Name());
    entries_.clear();
    entries_.reserve(parsed.size());
    for (model::CatalogEntry& e : parsed) entries_.push_back({std::move(e.key), std::move(e.text)});
}

void TMessages::LoadFromFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw Exception("Não foi possível ler o catálogo " + path + ".");
    std::stringstream ss;
    ss << in.rdbuf();
    LoadFromText(ss.str());
}

bool TMessages::Has(const std::string& key) const { return find(key) != nullptr; }

std::string TMessages::Msg(const std::string& key) const {
    const Entry* e = find(key);
    return e ? e->text : key;
}

std::string TMessages::Msg(const std::string& key, const std::vector<std::string>& args) const {
    return text::Format(Msg(key), args);
}

int TMessages::ShowMsg(const std::string& key, TMsgDlgType type, const TMsgDlgButtons& buttons, int helpContext) const {
    return Dialogs().MessageBox(Msg(key), type, buttons, helpContext);
}
