#pragma once
// The digits of DateTimeToIso written into a caller's buffer and read back
// from a text, for the paths that carry dates by the thousand (the wire
// codec, SQL rows) and should not pay for strings or printf per date.
#include "core/DateTime.h"

#include <cstddef>
#include <string_view>

inline constexpr size_t kIsoLength = 19;  // "YYYY-MM-DDTHH:MM:SS"

// Writes kIsoLength characters at out (no terminator). Returns false, writing
// nothing, for a year outside 0..9999 (DateTimeToIso lays those out).
inline bool WriteIsoDigits(TDateTime d, char* out) {
    const DateParts p = DecodeDate(d);
    if (p.year < 0 || p.year > 9999) return false;
    const TimeParts t = DecodeTime(d);
    auto two = [](char* at, int n) {
        at[0] = static_cast<char>('0' + n / 10);
        at[1] = static_cast<char>('0' + n % 10);
    };
    two(out, p.year / 100);
    two(out + 2, p.year % 100);
    out[4] = '-';
    two(out + 5, p.month);
    out[7] = '-';
    two(out + 8, p.day);
    out[10] = 'T';
    two(out + 11, t.hour);
    out[13] = ':';
    two(out + 14, t.minute);
    out[16] = ':';
    two(out + 17, t.second);
    return true;
}

// Reads exactly "YYYY-MM-DD", or that, the separator and "HH:MM:SS", as
// TryIsoToDateTime reads them. Returns false for any other text (which the
// general readers then judge) and for a date or time that does not exist.
inline bool ReadIsoDigits(std::string_view text, char separator, TDateTime& out) {
    if (text.size() != 10 && text.size() != kIsoLength) return false;
    auto num = [&](size_t at, size_t width, int& v) {
        v = 0;
        for (size_t k = at; k < at + width; ++k) {
            if (text[k] < '0' || text[k] > '9') return false;
            v = v * 10 + (text[k] - '0');
        }
        return true;
    };
    int y, mo, d, h = 0, mi = 0, s = 0;
    if (!num(0, 4, y) || text[4] != '-' || !num(5, 2, mo) || text[7] != '-' || !num(8, 2, d)) return false;
    if (text.size() == kIsoLength && (text[10] != separator || !num(11, 2, h) || text[13] != ':' ||
                                      !num(14, 2, mi) || text[16] != ':' || !num(17, 2, s)))
        return false;
    if (!IsValidDate(y, mo, d) || h > 23 || mi > 59 || s > 59) return false;
    out = EncodeDateTime(y, mo, d, h, mi, s);
    return true;
}
