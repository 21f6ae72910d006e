#include "ui/Keys.h"

#include "core/Exception.h"
#include "core/Text.h"
#include "core/Utf8.h"

#include <map>

namespace {

const std::map<std::string, WORD>& namedKeys() {
    static const std::map<std::string, WORD> keys = {
        {"BKSP", VK_BACK},   {"TAB", VK_TAB},    {"ENTER", VK_RETURN}, {"ESC", VK_ESCAPE},
        {"SPACE", VK_SPACE}, {"PGUP", VK_PRIOR}, {"PGDN", VK_NEXT},    {"END", VK_END},
        {"HOME", VK_HOME},   {"LEFT", VK_LEFT},  {"UP", VK_UP},        {"RIGHT", VK_RIGHT},
        {"DOWN", VK_DOWN},   {"INS", VK_INSERT}, {"DEL", VK_DELETE}};
    return keys;
}

}  // namespace

TShortCut TextToShortCut(const std::string& textIn) {
    TShortCut sc;
    if (text::Trim(textIn).empty()) return sc;
    auto parts = text::Split(textIn, '+');
    for (size_t i = 0; i < parts.size(); ++i) {
        std::string p = text::Upper(text::Trim(parts[i]));
        bool last = i + 1 == parts.size();
        if (!last) {
            if (p == "CTRL") sc.Shift.Ctrl = true;
            else if (p == "SHIFT") sc.Shift.Shift = true;
            else if (p == "ALT") sc.Shift.Alt = true;
            else throw Exception("Tecla de atalho inválida: " + textIn);
            continue;
        }
        if (p.size() == 1 && ((p[0] >= 'A' && p[0] <= 'Z') || (p[0] >= '0' && p[0] <= '9'))) {
            sc.Key = static_cast<WORD>(p[0]);
        } else if (p.size() >= 2 && p[0] == 'F' && p.find_first_not_of("0123456789", 1) == std::string::npos) {
            int n = std::stoi(p.substr(1));
            if (n < 1 || n > 12) throw Exception("Tecla de atalho inválida: " + textIn);
            sc.Key = static_cast<WORD>(VK_F1 + n - 1);
        } else if (auto it = namedKeys().find(p); it != namedKeys().end()) {
            sc.Key = it->second;
        } else {
            throw Exception("Tecla de atalho inválida: " + textIn);
        }
    }
    return sc;
}

std::string ShortCutToText(TShortCut sc) {
    if (sc.Empty()) return "";
    std::string s;
    if (sc.Shift.Shift) s += "Shift+";
    if (sc.Shift.Ctrl) s += "Ctrl+";
    if (sc.Shift.Alt) s += "Alt+";
    if ((sc.Key >= 'A' && sc.Key <= 'Z') || (sc.Key >= '0' && sc.Key <= '9')) return s + char(sc.Key);
    if (sc.Key >= VK_F1 && sc.Key <= VK_F12) return s + "F" + std::to_string(sc.Key - VK_F1 + 1);
    for (auto& [name, key] : namedKeys()) {
        if (key != sc.Key) continue;
        std::string n = name.substr(0, 1) + text::Lower(name.substr(1));
        return s + n;
    }
    return s + "#" + std::to_string(sc.Key);
}

char32_t KeyToChar(WORD key, TShiftState shift) {
    if (shift.Ctrl || shift.Alt) return 0;
    if (key >= 'A' && key <= 'Z') return shift.Shift ? key : key + ('a' - 'A');
    if (key >= '0' && key <= '9' && !shift.Shift) return key;
    if (key >= 96 && key <= 105) return U'0' + (key - 96);  // keypad digits
    switch (key) {
        case VK_SPACE: return U' ';
        case VK_RETURN: return U'\r';
        case VK_BACK: return U'\b';
        case VK_ESCAPE: return 27;
        case VK_OEM_COMMA: return U',';
        case VK_OEM_PERIOD: return U'.';
        case VK_OEM_MINUS: return U'-';
        case VK_OEM_2: return U'/';
        case VK_DECIMAL: return static_cast<char32_t>(SystemFormat().DecimalSeparator);
        default: return 0;
    }
}

WORD CharToKey(char32_t ch, TShiftState& shift) {
    shift = ssNone;
    if (ch >= U'a' && ch <= U'z') return static_cast<WORD>(ch - U'a' + 'A');
    if (ch >= U'A' && ch <= U'Z') {
        shift.Shift = true;
        return static_cast<WORD>(ch);
    }
    if (ch >= U'0' && ch <= U'9') return static_cast<WORD>(ch);
    switch (ch) {
        case U' ': return VK_SPACE;
        case U'\r': case U'\n': return VK_RETURN;
        case U'\b': return VK_BACK;
        case U'\t': return VK_TAB;
        case U',': return VK_OEM_COMMA;
        case U'.': return VK_OEM_PERIOD;
        case U'-': return VK_OEM_MINUS;
        case U'/': return VK_OEM_2;
        default: return 0;
    }
}

std::u32string Utf8ToChars(std::string_view s) {
    std::u32string out;
    for (size_t i = 0; i < s.size();) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        int extra = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
        if (extra < 0 || i + static_cast<size_t>(extra) >= s.size()) {
            out.push_back(U'?');  // broken sequence: keep going, never drop the rest
            ++i;
            continue;
        }
        char32_t cp = extra == 0 ? c : extra == 1 ? (c & 0x1F) : extra == 2 ? (c & 0x0F) : (c & 0x07);
        for (int k = 1; k <= extra; ++k) cp = (cp << 6) | (static_cast<unsigned char>(s[i + static_cast<size_t>(k)]) & 0x3F);
        out.push_back(cp);
        i += static_cast<size_t>(extra) + 1;
    }
    return out;
}

std::string CharToUtf8(char32_t cp) {
    std::string out;
    text::AppendUtf8(out, cp);
    return out;
}
