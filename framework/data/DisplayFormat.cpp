#include "data/DisplayFormat.h"

#include "core/Text.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

// Splits "pos;neg;zero" at semicolons outside quotes.
std::vector<std::string> Sections(const std::string& mask) {
    std::vector<std::string> out(1);
    char quote = 0;
    for (char c : mask) {
        if (quote) {
            if (c == quote) quote = 0;
            out.back() += c;
        } else if (c == '"' || c == '\'') {
            quote = c;
            out.back() += c;
        } else if (c == ';') {
            out.emplace_back();
        } else {
            out.back() += c;
        }
    }
    return out;
}

bool Placeholder(char c) { return c == '0' || c == '#' || c == ',' || c == '.'; }

// Text of a literal part, quotes removed.
std::string Literal(const std::string& s) {
    std::string out;
    char quote = 0;
    for (char c : s) {
        if (quote) {
            if (c == quote) quote = 0;
            else out += c;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else {
            out += c;
        }
    }
    return out;
}

std::string FormatSection(const std::string& section, double a, bool negative) {
    // Literal text before the first and after the last placeholder.
    size_t first = std::string::npos, last = std::string::npos;
    char quote = 0;
    for (size_t i = 0; i < section.size(); ++i) {
        char c = section[i];
        if (quote) {
            if (c == quote) quote = 0;
            continue;
        }
        if (c == '"' || c == '\'') {
            quote = c;
            continue;
        }
        if (Placeholder(c)) {
            if (first == std::string::npos) first = i;
            last = i;
        }
    }
    if (first == std::string::npos) return Literal(section);
    std::string prefix = Literal(section.substr(0, first));
    std::string suffix = Literal(section.substr(last + 1));
    std::string body = section.substr(first, last - first + 1);

    size_t point = body.find('.');
    std::string intMask = body.substr(0, point);
    std::string fracMask = point == std::string::npos ? "" : body.substr(point + 1);
    bool thousands = intMask.find(',') != std::string::npos;
    int minInt = 0, decimals = 0, minDec = 0;
    for (char c : intMask)
        if (c == '0') ++minInt;
    for (char c : fracMask) {
        if (c == '0') minDec = ++decimals;
        else if (c == '#') ++decimals;
    }

    // Fifteen significant digits drop the binary noise (0.1 + 0.2); the
    // rounding to the mask's decimals is then done on decimal digits, half away from zero.
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.14e", a);
    std::string mant;
    const char* p = buf;
    for (; *p && *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9') mant += *p;
    int exp = *p == 'e' ? std::atoi(p + 1) : 0;
    std::string ip, fp;
    if (a == 0) {
        ip = "0";
    } else if (exp >= 0) {
        if (static_cast<size_t>(exp + 1) >= mant.size()) {
            ip = mant + std::string(static_cast<size_t>(exp + 1) - mant.size(), '0');
        } else {
            ip = mant.substr(0, static_cast<size_t>(exp + 1));
            fp = mant.substr(static_cast<size_t>(exp + 1));
        }
    } else {
        ip = "0";
        fp = std::string(static_cast<size_t>(-exp - 1), '0') + mant;
    }
    if (static_cast<int>(fp.size()) > decimals) {
        bool up = fp[static_cast<size_t>(decimals)] >= '5';
        fp.resize(static_cast<size_t>(decimals));
        if (up) {
            int i = decimals - 1;
            for (; i >= 0; --i) {
                if (fp[static_cast<size_t>(i)] == '9') fp[static_cast<size_t>(i)] = '0';
                else {
                    ++fp[static_cast<size_t>(i)];
                    break;
                }
            }
            if (i < 0) {
                int j = static_cast<int>(ip.size()) - 1;
                for (; j >= 0; --j) {
                    if (ip[static_cast<size_t>(j)] == '9') ip[static_cast<size_t>(j)] = '0';
                    else {
                        ++ip[static_cast<size_t>(j)];
                        break;
                    }
                }
                if (j < 0) ip.insert(ip.begin(), '1');
            }
        }
    }
    while (static_cast<int>(fp.size()) > minDec && !fp.empty() && fp.back() == '0') fp.pop_back();
    while (fp.size() < static_cast<size_t>(minDec)) fp += '0';
    size_t nz = ip.find_first_not_of('0');
    ip = nz == std::string::npos ? "" : ip.substr(nz);
    while (ip.size() < static_cast<size_t>(minInt)) ip.insert(ip.begin(), '0');

    bool zero = ip.find_first_not_of('0') == std::string::npos && fp.find_first_not_of('0') == std::string::npos;
    const FormatSettings& fs = SystemFormat();
    std::string grouped;
    if (thousands && ip.size() > 3) {
        size_t lead = ip.size() % 3;
        for (size_t i = 0; i < ip.size(); ++i) {
            if (i > 0 && (i - lead) % 3 == 0 && i >= lead) grouped += fs.ThousandSeparator;
            grouped += ip[i];
        }
    } else {
        grouped = ip;
    }
    std::string out = (negative && !zero) ? "-" : "";
    out += prefix + grouped;
    if (!fp.empty()) out += fs.DecimalSeparator + fp;
    return out + suffix;
}

}  // namespace

std::string FormatFloat(const std::string& mask, double value) {
    if (mask.empty() || !std::isfinite(value)) return FloatToStr(value);
    std::vector<std::string> sections = Sections(mask);
    if (value < 0 && sections.size() > 1 && !sections[1].empty()) return FormatSection(sections[1], -value, false);
    if (value == 0 && sections.size() > 2 && !sections[2].empty()) return FormatSection(sections[2], 0, false);
    return FormatSection(sections[0], std::fabs(value), value < 0);
}

std::string FormatDateTime(const std::string& mask, TDateTime value) {
    if (mask.empty()) return DateTimeToStr(value);
    DateParts d = DecodeDate(value);
    TimeParts t = DecodeTime(value);
    auto two = [](int n) {
        char b[16];
        std::snprintf(b, sizeof b, "%02d", n);
        return std::string(b);
    };
    std::string out;
    size_t i = 0;
    auto run = [&](char c) {
        size_t n = 0;
        while (i + n < mask.size() && (mask[i + n] == c || mask[i + n] == c - 32 || mask[i + n] == c + 32)) ++n;
        return n;
    };
    while (i < mask.size()) {
        char c = mask[i];
        char lc = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (c == '"' || c == '\'') {
            size_t end = mask.find(c, i + 1);
            if (end == std::string::npos) end = mask.size();
            out += mask.substr(i + 1, end - i - 1);
            i = end + 1;
            continue;
        }
        size_t n = (lc == 'd' || lc == 'm' || lc == 'y' || lc == 'h' || lc == 'n' || lc == 's') ? run(lc) : 0;
        switch (lc) {
            case 'd':
                if (n >= 3) out += WeekdayName(value);
                else out += n == 2 ? two(d.day) : std::to_string(d.day);
                break;
            case 'm': out += n >= 2 ? two(d.month) : std::to_string(d.month); break;
            case 'y': {
                if (n >= 3) {
                    char b[16];
                    std::snprintf(b, sizeof b, "%04d", d.year);
                    out += b;
                } else {
                    out += two(d.year % 100);
                }
                break;
            }
            case 'h': out += n >= 2 ? two(t.hour) : std::to_string(t.hour); break;
            case 'n': out += n >= 2 ? two(t.minute) : std::to_string(t.minute); break;
            case 's': out += n >= 2 ? two(t.second) : std::to_string(t.second); break;
            default: out += c; n = 1; break;
        }
        i += n;
    }
    return out;
}
