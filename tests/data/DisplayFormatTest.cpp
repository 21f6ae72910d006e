// Number and date masks.
#include "core/Text.h"
#include "data/DisplayFormat.h"

#include <gtest/gtest.h>

namespace {

TEST(FormatFloatMasks, QuantityMasks) {
    EXPECT_EQ(FormatFloat("#,##0.00000", 1234567.891234), "1.234.567,89123");
    EXPECT_EQ(FormatFloat("#,##0.00000", 0), "0,00000");
    EXPECT_EQ(FormatFloat("##0.00000", 1234.5), "1234,50000");
    EXPECT_EQ(FormatFloat("#,##0.00000", -12.3), "-12,30000");
    EXPECT_EQ(FormatFloat("#,##0.00", 999.995), "1.000,00");  // rounds half away from zero
    EXPECT_EQ(FormatFloat("0.00", 0.125), "0,13");
    EXPECT_EQ(FormatFloat("0.00", 0.1 + 0.2), "0,30");
    EXPECT_EQ(FormatFloat("0.00", -0.001), "0,00");  // no minus for a zero shown
    EXPECT_EQ(FormatFloat("#.##", 0.5), ",5");
    EXPECT_EQ(FormatFloat("0", 2.5), "3");
    EXPECT_EQ(FormatFloat("#,##0", 1e15), "1.000.000.000.000.000");
    EXPECT_EQ(FormatFloat("R$ #,##0.00", 10), "R$ 10,00");
    EXPECT_EQ(FormatFloat("0.00;(0.00);zero", -2), "(2,00)");
    EXPECT_EQ(FormatFloat("0.00;(0.00);'zero'", 0), "zero");
    EXPECT_EQ(FormatFloat("", 1.5), "1,5");
}

TEST(FormatFloatMasks, FollowsTheSystemSeparators) {
    FormatSettings saved = SystemFormat();
    SystemFormat().DecimalSeparator = '.';
    SystemFormat().ThousandSeparator = ',';
    EXPECT_EQ(FormatFloat("#,##0.00000", 1234.5), "1,234.50000");
    SystemFormat() = saved;
}

TEST(FormatDateTimeMasks, Dates) {
    TDateTime d = EncodeDateTime(2024, 3, 5, 7, 8, 9);
    EXPECT_EQ(FormatDateTime("dd/mm/yyyy", d), "05/03/2024");
    EXPECT_EQ(FormatDateTime("d/m/yy hh:nn:ss", d), "5/3/24 07:08:09");
    EXPECT_EQ(FormatDateTime("dddd", d), WeekdayName(d));
    EXPECT_EQ(FormatDateTime("\"dia\" dd", d), "dia 05");
}

}  // namespace
