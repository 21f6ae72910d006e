#pragma once
// The digits of DateTimeToIso written into a caller's buffer, for the paths
// that write dates by the thousand (the wire encoder, SQL parameters) and
// should not pay for a string or printf per date.
#include "core/DateTime.h"

#include <cstddef>

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
