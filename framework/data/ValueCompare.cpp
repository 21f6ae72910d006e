#include "data/ValueCompare.h"

#include "core/Text.h"

#include <cstdint>

namespace {

// Folds one byte to lower case; `prev` is the byte before it, so that the
// second byte of an accented Latin letter (0xC3 0x80..0x9E) folds too.
unsigned char Fold(unsigned char prev, unsigned char c) {
    if (c < 0x80) return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 32) : c;
    if (prev == 0xC3 && c >= 0x80 && c <= 0x9E && c != 0x97) return static_cast<unsigned char>(c + 0x20);
    return c;
}

bool EqualPrefixNoCase(std::string_view a, std::string_view b, size_t n) {
    unsigned char pa = 0, pb = 0;
    for (size_t i = 0; i < n; ++i) {
        unsigned char ca = static_cast<unsigned char>(a[i]), cb = static_cast<unsigned char>(b[i]);
        // Equal bytes fold alike: while the folds agree, pa is 0xC3 exactly when pb is.
        if (ca != cb && Fold(pa, ca) != Fold(pb, cb)) return false;
        pa = ca;
        pb = cb;
    }
    return true;
}

}  // namespace

int CompareValues(const Variant& a, const Variant& b) {
    if (a.IsNull() || b.IsNull()) return a.IsNull() ? (b.IsNull() ? 0 : -1) : 1;
    if (a.IsNumberLike() && b.IsNumberLike()) {
        double x = a.AsFloat(), y = b.AsFloat();
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    if ((a.IsArray() || a.IsPacket()) || (b.IsArray() || b.IsPacket())) return static_cast<int>(a.Type()) - static_cast<int>(b.Type());
    int c = a.AsString().compare(b.AsString());
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

bool SameTextNoCase(std::string_view a, std::string_view b) {
    // Names are mostly written as declared: equal bytes answer first.
    return a.size() == b.size() && (a == b || EqualPrefixNoCase(a, b, a.size()));
}

size_t HashNoCase(std::string_view s) {
    // FNV-1a over the bytes with bit 0x20 set: Fold only ever sets that bit,
    // so bytes that fold alike hash alike (a few others do too, harmlessly).
    uint64_t h = 1469598103934665603ull;
    for (char c : s) h = (h ^ (static_cast<unsigned char>(c) | 0x20u)) * 1099511628211ull;
    return static_cast<size_t>(h);
}

bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && EqualPrefixNoCase(s, prefix, prefix.size());
}

bool TextMatches(const Variant& value, const std::string& key, bool noCase, bool partial) {
    const std::string s = value.AsString();
    if (partial) return noCase ? StartsWithNoCase(s, key) : s.compare(0, key.size(), key) == 0 && s.size() >= key.size();
    return noCase ? SameTextNoCase(s, key) : s == key;
}
