#pragma once
// TDateTime: days since 1899-12-30 in a double; the fraction is the time of day.
#include <string>

struct TDateTime {
    double Val = 0.0;

    constexpr TDateTime() = default;
    constexpr explicit TDateTime(double days) : Val(days) {}

    // Whole-day part (time dropped), as used when dates are compared by day.
    TDateTime DateOnly() const;
    int Days() const;  // whole days since 1899-12-30 (floor)

    friend bool operator==(TDateTime a, TDateTime b) { return a.Val == b.Val; }
    friend auto operator<=>(TDateTime a, TDateTime b) { return a.Val <=> b.Val; }
};

struct DateParts { int year = 0, month = 0, day = 0; };
struct TimeParts { int hour = 0, minute = 0, second = 0; };

// Throws EConvertError for a date that does not exist.
TDateTime EncodeDate(int year, int month, int day);
TDateTime EncodeDateTime(int year, int month, int day, int hour, int minute, int second);
DateParts DecodeDate(TDateTime d);
TimeParts DecodeTime(TDateTime d);
bool IsValidDate(int year, int month, int day);

// 1 = Sunday ... 7 = Saturday.
int DayOfWeek(TDateTime d);
// "Domingo" ... "Sábado".
std::string WeekdayName(TDateTime d);
TDateTime FirstDayOfMonth(TDateTime d);
TDateTime IncDay(TDateTime d, int days);

// "dd/mm/yyyy".
std::string DateToStr(TDateTime d);
// "dd/mm/yyyy hh:nn:ss", or the date alone when there is no time part.
std::string DateTimeToStr(TDateTime d);
// ISO "YYYY-MM-DDTHH:MM:SS", as the wire format carries dates.
std::string DateTimeToIso(TDateTime d);

// Parses "d/m/yyyy" (two-digit years are 20yy below 50, else 19yy), with an
// optional " hh:nn[:ss]". Returns false on anything else or a date that does not exist.
bool TryStrToDate(const std::string& text, TDateTime& out);
// Throws EConvertError naming the text.
TDateTime StrToDate(const std::string& text);
// Parses "YYYY-MM-DD[THH:MM:SS]"; false on anything else.
bool TryIsoToDateTime(const std::string& text, TDateTime& out);

// Today's date and the current time from the system clock (callers that need a
// fixed clock take a TDateTime instead).
TDateTime Now();
TDateTime Date();
