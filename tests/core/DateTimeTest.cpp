#include "core/DateTime.h"
#include "core/Exception.h"

#include <gtest/gtest.h>

TEST(DateTime, SerialNumbersMatchTheDayCountFrom1899) {
    EXPECT_EQ(EncodeDate(1899, 12, 30).Val, 0.0);
    EXPECT_EQ(EncodeDate(1900, 1, 1).Val, 2.0);
    EXPECT_EQ(EncodeDate(2026, 12, 6).Val, 46362.0);
    DateParts p = DecodeDate(TDateTime(46362.75));
    EXPECT_EQ(p.year, 2026);
    EXPECT_EQ(p.month, 12);
    EXPECT_EQ(p.day, 6);
    EXPECT_EQ(DecodeTime(TDateTime(46362.75)).hour, 18);
}

TEST(DateTime, TextRoundTripAndRejections) {
    EXPECT_EQ(DateToStr(EncodeDate(2024, 2, 29)), "29/02/2024");
    EXPECT_EQ(StrToDate("1/3/2024"), EncodeDate(2024, 3, 1));
    EXPECT_EQ(StrToDate("01/03/24"), EncodeDate(2024, 3, 1));
    EXPECT_EQ(DateTimeToStr(StrToDate("05/06/2025 13:45:10")), "05/06/2025 13:45:10");
    TDateTime d;
    EXPECT_FALSE(TryStrToDate("29/02/2023", d));
    EXPECT_FALSE(TryStrToDate("  /  /    ", d));
    EXPECT_FALSE(TryStrToDate("32/01/2024", d));
    EXPECT_FALSE(TryStrToDate("01/01/2024 25:00", d));
    EXPECT_FALSE(TryStrToDate("1/1/2024 1:2:3:4", d));
    EXPECT_THROW(StrToDate("abc"), EConvertError);
    EXPECT_THROW(EncodeDate(2023, 2, 29), EConvertError);
}

TEST(DateTime, IsoForm) {
    TDateTime d = EncodeDateTime(2026, 1, 2, 3, 4, 5);
    EXPECT_EQ(DateTimeToIso(d), "2026-01-02T03:04:05");
    TDateTime back;
    ASSERT_TRUE(TryIsoToDateTime("2026-01-02T03:04:05", back));
    EXPECT_EQ(DateTimeToIso(back), "2026-01-02T03:04:05");
    EXPECT_FALSE(TryIsoToDateTime("2026-13-02", back));
}

TEST(DateTime, WeekdaysAndMonths) {
    EXPECT_EQ(WeekdayName(EncodeDate(2026, 12, 6)), "Domingo");
    EXPECT_EQ(WeekdayName(EncodeDate(2026, 12, 12)), "Sábado");
    EXPECT_EQ(DayOfWeek(EncodeDate(1899, 12, 30)), 7);
    EXPECT_EQ(FirstDayOfMonth(TDateTime(EncodeDate(2026, 12, 6).Val + 0.5)), EncodeDate(2026, 12, 1));
    EXPECT_EQ(IncDay(EncodeDate(2024, 2, 28), 1), EncodeDate(2024, 2, 29));
    EXPECT_EQ(TDateTime(10.9).DateOnly().Val, 10.0);
    EXPECT_EQ(TDateTime(-0.5).Days(), -1);
}
