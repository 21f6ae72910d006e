#include "services/Messages.h"

#include "core/Exception.h"
#include "core/ScopeGuard.h"
#include "core/Text.h"

#include <fstream>
#include <sstream>

namespace {

std::string unescape(std::string_view s) {
    std::string r;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 1 < s.size() && (s[i + 1] == 'n' || s[i + 1] == '\\')) {
            r += s[i + 1] == 'n' ? '\n' : '\\';
            ++i;
        } else {
            r += s[i];
        }
    }
    return r;
}

}  // namespace

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
    std::vector<Entry> old;
    old.swap(entries_);
    TScopeFailure volta([&] { entries_.swap(old); });  // a bad resource leaves the catalog as it was
    size_t lineNo = 0, pos = 0;
    while (pos <= resource.size()) {
        size_t end = resource.find('\n', pos);
        if (end == std::string_view::npos) end = resource.size();
        std::string_view line = resource.substr(pos, end - pos);
        pos = end + 1;
        ++lineNo;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty()) {
            if (end == resource.size()) break;
            continue;
        }
        auto bar = line.find('|');
        if (bar == std::string_view::npos)
            throw Exception("Catálogo " + Name() + ", linha " + std::to_string(lineNo) + ": falta \"|\".");
        Add(std::string(line.substr(0, bar)), unescape(line.substr(bar + 1)));
        if (end == resource.size()) break;
    }
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
