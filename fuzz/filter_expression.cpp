// Filter expressions typed by users: parsing gives a filter or EFilterError,
// and a filter evaluates any row without throwing.
#include "data/FilterExpression.h"

#include "core/DateTime.h"
#include "core/Text.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    // The first byte picks the options, the rest is the expression.
    const bool caseInsensitive = data[0] & 1, partial = data[0] & 2;
    std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    auto resolve = [](const std::string& name) -> int {
        static const char* fields[] = {"CDFILIAL", "QTRETIRADA", "DTRETIRADA", "IDATIVO", "NMPRODUTO"};
        for (int i = 0; i < 5; ++i)
            if (text::SameText(name, fields[i])) return i;
        return -1;
    };
    std::unique_ptr<FilterExpression> f;
    try {
        f = FilterExpression::Parse(text, resolve, caseInsensitive, partial);
    } catch (const EFilterError&) {
        return 0;
    }
    const VariantArray rows[] = {
        {Variant("0001"), Variant(2.5), Variant(EncodeDate(2024, 2, 29)), Variant(true), Variant("ARROZ")},
        {Variant(), Variant(), Variant(), Variant(), Variant()},
        {Variant(7), Variant("x"), Variant(-1e300), Variant("S"), Variant(std::string(3, '\0'))},
    };
    for (const auto& row : rows) f->Matches(row);
    return 0;
}
