#include "services/DBPicture.h"

#include "core/Exception.h"
#include "core/Text.h"

#include <string_view>

namespace {

bool isMaskChar(char c) { return std::string_view("09#LlAaCc").find(c) != std::string_view::npos; }

}  // namespace

TDBPicture::TDBPicture(const std::string& mask) : mask_(mask) {
    std::string body = text::Split(mask, ';').empty() ? "" : text::Split(mask, ';')[0];
    int run = 0;
    for (size_t i = 0; i < body.size(); ++i) {
        char c = body[i];
        if (c == '>' || c == '<' || c == '!') continue;
        if (c == '\\') {  // quoted literal ends a level
            ++i;
            if (run) levels_.push_back(run);
            run = 0;
            continue;
        }
        if (isMaskChar(c)) {
            ++run;
            kinds_ += c;
        } else {
            if (run) levels_.push_back(run);
            run = 0;
        }
    }
    if (run) levels_.push_back(run);
    if (levels_.empty()) throw Exception("Máscara de estrutura sem níveis: \"" + mask + "\".");
}

int TDBPicture::level(const std::string& textLevel) const {
    std::string t = text::Trim(textLevel);
    if (t.empty() || t.find_first_not_of("0123456789") != std::string::npos)
        throw EConvertError("'" + textLevel + "' não é um nível válido.");
    return std::stoi(t);
}

int TDBPicture::TamNivel(int n) const {
    if (n == 0) return 0;
    if (n < 0 || n > GetTtNiveis())
        throw Exception("Nível " + std::to_string(n) + " inexistente na máscara \"" + mask_ + "\".");
    return levels_[static_cast<size_t>(n - 1)];
}

int TDBPicture::TamAcNivel(int n) const {
    if (n == 0) return 0;
    if (n < 0 || n > GetTtNiveis())
        throw Exception("Nível " + std::to_string(n) + " inexistente na máscara \"" + mask_ + "\".");
    int total = 0;
    for (int i = 0; i < n; ++i) total += levels_[static_cast<size_t>(i)];
    return total;
}

int TDBPicture::TamNivel(const std::string& l) const { return TamNivel(level(l)); }
int TDBPicture::TamAcNivel(const std::string& l) const { return TamAcNivel(level(l)); }

int TDBPicture::NivelDoCodigo(const std::string& code) const {
    int len = static_cast<int>(text::Length(code));
    for (int n = 1; n <= GetTtNiveis(); ++n)
        if (TamAcNivel(n) == len) return n;
    return 0;
}

bool TDBPicture::CodigoValido(const std::string& code) const {
    if (code.size() > kinds_.size()) return false;
    for (size_t i = 0; i < code.size(); ++i) {
        char k = kinds_[i], c = code[i];
        bool digit = c >= '0' && c <= '9';
        if ((k == '0' || k == '9') && !digit) return false;
        if (k == '#' && !digit && c != '+' && c != '-') return false;
    }
    return true;
}
