#pragma once
// Text helpers shared by the framework. Texts are UTF-8.
#include <string>
#include <string_view>
#include <vector>

namespace text {

std::string Upper(std::string_view s);   // ASCII and Latin-1 letters with accents
std::string Lower(std::string_view s);
bool SameText(std::string_view a, std::string_view b);  // equal without regard to case
std::string Trim(std::string_view s);
// Trim without a copy: the part of s itself (as long-lived as s).
std::string_view TrimView(std::string_view s);
std::string TrimRight(std::string_view s);
std::vector<std::string> Split(std::string_view s, char sep);
bool StartsWith(std::string_view s, std::string_view prefix);
// Number of characters (code points) of a UTF-8 text.
size_t Length(std::string_view s);
// The first n characters (code points) of a UTF-8 text.
std::string Left(std::string_view s, size_t n);
// "%s" placeholders replaced in order by args; missing args leave "".
std::string Format(std::string_view pattern, const std::vector<std::string>& args);

}  // namespace text

// The "system" number format: decimal and thousands separators (Brazilian by
// default). The host or the script driver may change them at start-up.
struct FormatSettings {
    char DecimalSeparator = ',';
    char ThousandSeparator = '.';
};
FormatSettings& SystemFormat();

// Shortest text that reads back as the same double, with the system's decimal separator.
std::string FloatToStr(double d);
// Reads a number written with either '.' or the system's decimal separator;
// false on anything else.
bool TryStrToFloat(std::string_view s, double& out);
