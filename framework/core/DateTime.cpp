#include "core/DateTime.h"
#include "core/Exception.h"
#include "core/IsoText.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>

namespace {

// Days from 1970-01-01 for a civil date (proleptic Gregorian).
long long daysFromCivil(long long y, unsigned m, unsigned d) {
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

DateParts civilFromDays(long long z) {
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long y = static_cast<long long>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    return {static_cast<int>(y + (m <= 2)), static_cast<int>(m), static_cast<int>(d)};
}

constexpr long long kEpochOffset = 25569;  // 1899-12-30 to 1970-01-01

bool allDigits(const std::string& s) {
    if (s.empty()) return false;
    for (char c : s)
        if (c < '0' || c > '9') return false;
    return true;
}

}  // namespace

TDateTime TDateTime::DateOnly() const { return TDateTime(std::floor(Val)); }
int TDateTime::Days() const { return static_cast<int>(std::floor(Val)); }

bool IsValidDate(int year, int month, int day) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1) return false;
    static const int lengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    int len = lengths[month - 1];
    if (month == 2 && ((year % 4 == 0 && year % 100 != 0) || year % 400 == 0)) len = 29;
    return day <= len;
}

TDateTime EncodeDate(int year, int month, int day) {
    if (!IsValidDate(year, month, day)) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "Invalid date: %04d-%02d-%02d", year, month, day);
        throw EConvertError(buf);
    }
    return TDateTime(static_cast<double>(daysFromCivil(year, month, day) + kEpochOffset));
}

TDateTime EncodeDateTime(int year, int month, int day, int hour, int minute, int second) {
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59)
        throw EConvertError("Invalid time");
    TDateTime d = EncodeDate(year, month, day);
    return TDateTime(d.Val + (hour * 3600 + minute * 60 + second) / 86400.0);
}

DateParts DecodeDate(TDateTime d) { return civilFromDays(d.Days() - kEpochOffset); }

TimeParts DecodeTime(TDateTime d) {
    double frac = d.Val - std::floor(d.Val);
    long secs = std::lround(frac * 86400.0);
    if (secs >= 86400) secs = 86399;
    return {static_cast<int>(secs / 3600), static_cast<int>(secs / 60 % 60), static_cast<int>(secs % 60)};
}

int DayOfWeek(TDateTime d) {
    // 1899-12-30 was a Saturday.
    long long days = d.Days();
    int w = static_cast<int>(((days + 6) % 7 + 7) % 7);  // 0 = Sunday
    return w + 1;
}

std::string WeekdayName(TDateTime d) {
    static const char* names[] = {"Domingo", "Segunda-feira", "Terça-feira", "Quarta-feira",
                                  "Quinta-feira", "Sexta-feira", "Sábado"};
    return names[DayOfWeek(d) - 1];
}

TDateTime FirstDayOfMonth(TDateTime d) {
    DateParts p = DecodeDate(d);
    return EncodeDate(p.year, p.month, 1);
}

TDateTime IncDay(TDateTime d, int days) { return TDateTime(d.Val + days); }

std::string DateToStr(TDateTime d) {
    DateParts p = DecodeDate(d);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d/%02d/%04d", p.day, p.month, p.year);
    return buf;
}

std::string DateTimeToStr(TDateTime d) {
    TimeParts t = DecodeTime(d);
    if (t.hour == 0 && t.minute == 0 && t.second == 0) return DateToStr(d);
    char buf[32];
    std::snprintf(buf, sizeof buf, " %02d:%02d:%02d", t.hour, t.minute, t.second);
    return DateToStr(d) + buf;
}

std::string DateTimeToIso(TDateTime d) {
    char buf[40];
    if (WriteIsoDigits(d, buf)) return std::string(buf, kIsoLength);
    DateParts p = DecodeDate(d);
    TimeParts t = DecodeTime(d);
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02dT%02d:%02d:%02d", p.year, p.month, p.day, t.hour, t.minute,
                  t.second);
    return buf;
}

namespace {

bool splitInts(const std::string& text, char sep, int& a, int& b, int& c, int& widthC) {
    size_t p1 = text.find(sep);
    if (p1 == std::string::npos) return false;
    size_t p2 = text.find(sep, p1 + 1);
    if (p2 == std::string::npos) return false;
    std::string s1 = text.substr(0, p1), s2 = text.substr(p1 + 1, p2 - p1 - 1), s3 = text.substr(p2 + 1);
    if (!allDigits(s1) || !allDigits(s2) || !allDigits(s3)) return false;
    if (s1.size() > 4 || s2.size() > 2 || s3.size() > 4) return false;
    a = std::stoi(s1);
    b = std::stoi(s2);
    c = std::stoi(s3);
    widthC = static_cast<int>(s3.size());
    return true;
}

bool parseTime(const std::string& text, int& h, int& m, int& s) {
    h = m = s = 0;
    if (text.empty()) return true;
    int parts[3] = {0, 0, 0};
    int n = 0;
    size_t pos = 0;
    for (;;) {
        size_t next = text.find(':', pos);
        std::string piece = text.substr(pos, next == std::string::npos ? std::string::npos : next - pos);
        if (n == 3 || !allDigits(piece) || piece.size() > 2) return false;
        parts[n++] = std::stoi(piece);
        if (next == std::string::npos) break;
        pos = next + 1;
    }
    if (n < 2) return false;
    h = parts[0];
    m = parts[1];
    s = parts[2];
    return h < 24 && m < 60 && s < 60;
}

}  // namespace

bool TryStrToDate(const std::string& raw, TDateTime& out) {
    std::string text = raw;
    while (!text.empty() && text.front() == ' ') text.erase(text.begin());
    while (!text.empty() && text.back() == ' ') text.pop_back();
    std::string timePart;
    if (size_t sp = text.find(' '); sp != std::string::npos) {
        timePart = text.substr(sp + 1);
        text = text.substr(0, sp);
    }
    int d, m, y, wy;
    if (!splitInts(text, '/', d, m, y, wy)) return false;
    if (wy <= 2) y += y < 50 ? 2000 : 1900;
    else if (wy == 3) return false;
    int hh, mm, ss;
    if (!parseTime(timePart, hh, mm, ss)) return false;
    if (!IsValidDate(y, m, d)) return false;
    out = EncodeDateTime(y, m, d, hh, mm, ss);
    return true;
}

TDateTime StrToDate(const std::string& text) {
    TDateTime d;
    if (!TryStrToDate(text, d)) throw EConvertError("'" + text + "' is not a valid date");
    return d;
}

bool TryIsoToDateTime(const std::string& text, TDateTime& out) {
    if (ReadIsoDigits(text, 'T', out)) return true;  // the form the wire and the databases use
    std::string datePart = text.substr(0, text.find('T'));
    std::string timePart = text.find('T') == std::string::npos ? "" : text.substr(text.find('T') + 1);
    int y, m, d, wd;
    if (!splitInts(datePart, '-', y, m, d, wd)) return false;
    int hh, mm, ss;
    if (!parseTime(timePart, hh, mm, ss)) return false;
    if (!IsValidDate(y, m, d)) return false;
    out = EncodeDateTime(y, m, d, hh, mm, ss);
    return true;
}

TDateTime Now() {
    std::time_t t = std::time(nullptr);
    std::tm local{};
    localtime_r(&t, &local);
    return EncodeDateTime(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                          local.tm_min, local.tm_sec);
}

TDateTime Date() { return Now().DateOnly(); }
