#pragma once
// Value comparisons shared by ordering, filters and Locate.
#include "core/Variant.h"

#include <string>
#include <string_view>

// Orders two values: null first; numbers, booleans and dates by value; strings
// byte by byte (UTF-8); other mixes by their text. Never throws.
int CompareValues(const Variant& a, const Variant& b);

// Equality / prefix without regard to case (ASCII and accented Latin letters),
// without building new strings.
bool SameTextNoCase(std::string_view a, std::string_view b);
bool StartsWithNoCase(std::string_view s, std::string_view prefix);
// A hash that agrees with SameTextNoCase: texts it finds equal hash alike.
size_t HashNoCase(std::string_view s);

// A string value against a key text, as Locate and filters compare them.
bool TextMatches(const Variant& value, const std::string& key, bool noCase, bool partial);
