#include "core/Text.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <system_error>

namespace {

// Upper/lower case of the accented Latin-1 letters, as UTF-8 two-byte sequences
// starting with 0xC3: lower case is the upper case + 0x20 for 0x80..0x9E.
void mapCase(std::string& s, bool toUpper) {
    for (size_t i = 0; i < s.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        if (c < 0x80) {
            s[i] = static_cast<char>(toUpper ? std::toupper(c) : std::tolower(c));
        } else if (c == 0xC3 && i + 1 < s.size()) {
            unsigned char n = static_cast<unsigned char>(s[i + 1]);
            if (toUpper && n >= 0xA0 && n <= 0xBE && n != 0xB7) s[i + 1] = static_cast<char>(n - 0x20);
            if (!toUpper && n >= 0x80 && n <= 0x9E && n != 0x97) s[i + 1] = static_cast<char>(n + 0x20);
            ++i;
        }
    }
}

// The byte of Upper(s) at i, walking s from its start; continuation is
// carried from one byte to the next as mapCase skips the byte after 0xC3.
unsigned char upperAt(std::string_view s, size_t i, bool& continuation) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    if (continuation) {
        continuation = false;
        return c >= 0xA0 && c <= 0xBE && c != 0xB7 ? static_cast<unsigned char>(c - 0x20) : c;
    }
    if (c < 0x80) return static_cast<unsigned char>(std::toupper(c));
    continuation = c == 0xC3 && i + 1 < s.size();
    return c;
}

}  // namespace

namespace text {

std::string Upper(std::string_view s) {
    std::string r(s);
    mapCase(r, true);
    return r;
}

std::string Lower(std::string_view s) {
    std::string r(s);
    mapCase(r, false);
    return r;
}

bool SameText(std::string_view a, std::string_view b) {
    // Compares Upper(a) with Upper(b) byte by byte without building them:
    // names of fields and parameters are compared on every row and statement.
    if (a.size() != b.size()) return false;
    bool inA = false, inB = false;
    for (size_t i = 0; i < a.size(); ++i)
        if (upperAt(a, i, inA) != upperAt(b, i, inB)) return false;
    return true;
}

std::string_view TrimView(std::string_view s) {
    size_t b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t' || s[b] == '\r' || s[b] == '\n')) ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t' || s[e - 1] == '\r' || s[e - 1] == '\n')) --e;
    return s.substr(b, e - b);
}

std::string Trim(std::string_view s) { return std::string(TrimView(s)); }

std::string TrimRight(std::string_view s) {
    size_t e = s.size();
    while (e > 0 && (s[e - 1] == ' ' || s[e - 1] == '\t' || s[e - 1] == '\r' || s[e - 1] == '\n')) --e;
    return std::string(s.substr(0, e));
}

std::vector<std::string> Split(std::string_view s, char sep) {
    std::vector<std::string> out;
    size_t pos = 0;
    for (;;) {
        size_t next = s.find(sep, pos);
        out.emplace_back(s.substr(pos, next == std::string_view::npos ? std::string_view::npos : next - pos));
        if (next == std::string_view::npos) break;
        pos = next + 1;
    }
    return out;
}

bool StartsWith(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }

size_t Length(std::string_view s) {
    size_t n = 0;
    for (unsigned char c : s)
        if ((c & 0xC0) != 0x80) ++n;
    return n;
}

std::string Left(std::string_view s, size_t n) {
    size_t count = 0, i = 0;
    for (; i < s.size(); ++i) {
        if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) {
            if (count == n) break;
            ++count;
        }
    }
    return std::string(s.substr(0, i));
}

std::string Format(std::string_view pattern, const std::vector<std::string>& args) {
    std::string out;
    size_t next = 0;
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] == 's') {
            if (next < args.size()) out += args[next];
            ++next;
            ++i;
        } else if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] == '%') {
            out += '%';
            ++i;
        } else {
            out += pattern[i];
        }
    }
    return out;
}

}  // namespace text

FormatSettings& SystemFormat() {
    static FormatSettings settings;
    return settings;
}

std::string FloatToStr(double d) {
    if (std::isnan(d)) return "NAN";
    if (std::isinf(d)) return d > 0 ? "INF" : "-INF";
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, d);
    std::string s(buf, res.ptr);
    // to_chars may choose exponent form for large or tiny values; keep it readable.
    if (s.find('e') != std::string::npos && std::fabs(d) < 1e15 && std::fabs(d) >= 1e-5) {
        res = std::to_chars(buf, buf + sizeof buf, d, std::chars_format::fixed);
        s.assign(buf, res.ptr);
    }
    for (char& c : s)
        if (c == '.') c = SystemFormat().DecimalSeparator;
    return s;
}

bool TryStrToFloat(std::string_view raw, double& out) {
    std::string s = text::Trim(raw);
    if (s.empty()) return false;
    for (char& c : s)
        if (c == SystemFormat().DecimalSeparator) c = '.';
    const char* b = s.data();
    if (*b == '+') ++b;
    auto res = std::from_chars(b, s.data() + s.size(), out);
    return res.ec == std::errc() && res.ptr == s.data() + s.size();
}
