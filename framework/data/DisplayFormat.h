#pragma once
// Number and date formatting by mask, as fields' DisplayFormat/EditFormat use.
#include "core/DateTime.h"

#include <string>

// Formats a number with a mask such as "#,##0.00000" or "##0.00000": '0' is a
// digit always shown, '#' a digit shown when significant, ',' anywhere before
// the decimal point asks for thousands separators, '.' is the decimal point;
// other characters are copied; "pos;neg;zero" sections are honoured. The
// separators are those of SystemFormat(). An empty mask gives FloatToStr.
// Rounds half away from zero at the mask's decimals.
std::string FormatFloat(const std::string& mask, double value);

// Formats a date with a mask of d, dd, m, mm, yy, yyyy, h, hh, n, nn, s, ss
// (other characters copied; "..." quoted text copied as is). Empty mask:
// DateTimeToStr.
std::string FormatDateTime(const std::string& mask, TDateTime value);
