#include "net/JsonStream.h"

#include "core/DateTime.h"
#include "core/IsoText.h"
#include "core/Utf8.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <vector>

namespace net {

namespace {

// Length of the valid UTF-8 sequence starting at s[i], 0 when it is not one
// (overlong forms, surrogates and code points past U+10FFFF are not).
size_t Utf8Length(std::string_view s, size_t i) {
    const auto b = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
    unsigned char c = b(i);
    size_t n = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 ? 2 : 0;
    if (n == 0 || c > 0xF4 || i + n > s.size()) return 0;
    unsigned char lo = 0x80, hi = 0xBF;
    if (c == 0xE0) lo = 0xA0;
    else if (c == 0xED) hi = 0x9F;
    else if (c == 0xF0) lo = 0x90;
    else if (c == 0xF4) hi = 0x8F;
    if (b(i + 1) < lo || b(i + 1) > hi) return 0;
    for (size_t k = 2; k < n; ++k)
        if (b(i + k) < 0x80 || b(i + k) > 0xBF) return 0;
    return n;
}

// Rows and values a packet's text will take, roughly: one reservation.
size_t Estimate(const DataPacket& p) {
    size_t per = 4;
    for (const auto& f : p.fields) per += f.type == TFieldType::ftDateTime ? 34 : 12 + static_cast<size_t>(f.size);
    return 64 + p.fields.size() * 48 + p.rows.size() * per * (p.IsDelta() ? 2 : 1);
}

}  // namespace

// ---- Writer -------------------------------------------------------------------------

// The output string grown ahead and written through a pointer: one length
// check per piece instead of std::string's bookkeeping per character. The
// string is cut back to what was written when the buffer goes out of scope
// (also when an exception leaves).
class JsonWriter::Buffer {
public:
    explicit Buffer(std::string& s) : s_(s), len_(s.size()) {}
    ~Buffer() { s_.resize(len_); }
    Buffer(const Buffer&) = delete;
    Buffer& operator=(const Buffer&) = delete;

    // At least n writable bytes at At(); Advance past what was written.
    // Grows by small steps (the string itself reallocates geometrically), so
    // that a short write (a request's id, a method's name) fills little.
    void Room(size_t n) {
        if (s_.size() - len_ < n) Grow(n);
    }
    void Reserve(size_t n) { s_.reserve(len_ + n); }  // capacity only: nothing written or filled
    char* At() { return s_.data() + len_; }
    void Advance(char* end) { len_ = static_cast<size_t>(end - s_.data()); }
    void Put(char c) {
        Room(1);
        s_[len_++] = c;
    }
    void Put(std::string_view t) {
        Room(t.size());
        std::memcpy(s_.data() + len_, t.data(), t.size());
        len_ += t.size();
    }

private:
    [[gnu::noinline]] void Grow(size_t n) { s_.resize(len_ + std::max<size_t>(n, 256)); }
    std::string& s_;
    size_t len_;
};

namespace {

constexpr size_t kNumberRoom = 48;  // any int64 or double as written below

char* WriteInteger(char* o, int64_t n) { return std::to_chars(o, o + kNumberRoom, n).ptr; }

char* WriteDouble(char* o, double d) {
    if (d == 0) {
        if (std::signbit(d)) *o++ = '-';
        std::memcpy(o, "0.0", 3);
        return o + 3;
    }
    // Whole numbers below 10^15 are their integer digits and ".0" (the common case).
    if (std::fabs(d) < 1e15 && d == std::trunc(d)) {
        o = WriteInteger(o, static_cast<int64_t>(d));
        std::memcpy(o, ".0", 2);
        return o + 2;
    }
    // A few decimals (quantities, prices): the one decimal of at most 15 digits
    // that reads back as d has the shortest digits there are. Tried at the most
    // places (up to 6) that keep 15 digits, with one multiplication instead of
    // the general shortest-digits search; the zeros it ends with are dropped.
    static constexpr double kPow10[] = {1, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6};
    int places = 6;
    while (places > 0 && std::fabs(d) * kPow10[places] >= 1e15) --places;
    if (places > 0) {
        const double m = std::nearbyint(d * kPow10[places]);
        if (std::fabs(m) < 1e15 && m / kPow10[places] == d) {
            char digits[24];
            int k = static_cast<int>(
                std::to_chars(digits, digits + sizeof digits, static_cast<int64_t>(std::fabs(m))).ptr - digits);
            while (places > 0 && k > 1 && digits[k - 1] == '0') {
                --k;
                --places;
            }
            const int n = k - places;  // value = 0.digits * 10^n
            if (places > 0 && n > -4) {
                if (d < 0) *o++ = '-';
                if (n > 0) {
                    std::memcpy(o, digits, static_cast<size_t>(n));
                    o += n;
                    *o++ = '.';
                    std::memcpy(o, digits + n, static_cast<size_t>(places));
                    return o + places;
                }
                *o++ = '0';
                *o++ = '.';
                for (int z = 0; z < -n; ++z) *o++ = '0';
                std::memcpy(o, digits, static_cast<size_t>(k));
                return o + k;
            }
        }
    }
    // Shortest digits that read back the same, laid out as the tree form lays them out.
    char sci[40];
    auto r = std::to_chars(sci, sci + sizeof sci, d, std::chars_format::scientific);
    const char* p = sci;
    if (*p == '-') {
        *o++ = '-';
        ++p;
    }
    char digits[24];
    int k = 0;
    for (; *p != 'e'; ++p)
        if (*p != '.') digits[k++] = *p;
    int exp10 = 0;
    std::from_chars(p + 1 + (p[1] == '+' ? 1 : 0), r.ptr, exp10);
    const int n = exp10 + 1;  // value = 0.digits * 10^n
    auto put = [&](const char* from, int count) {
        std::memcpy(o, from, static_cast<size_t>(count));
        o += count;
    };
    if (k <= n && n <= 15) {
        put(digits, k);
        for (int z = k; z < n; ++z) *o++ = '0';
        *o++ = '.';
        *o++ = '0';
    } else if (0 < n && n <= 15) {
        put(digits, n);
        *o++ = '.';
        put(digits + n, k - n);
    } else if (-4 < n && n <= 0) {
        *o++ = '0';
        *o++ = '.';
        for (int z = 0; z < -n; ++z) *o++ = '0';
        put(digits, k);
    } else {
        *o++ = digits[0];
        if (k > 1) {
            *o++ = '.';
            put(digits + 1, k - 1);
        }
        int x = n - 1;
        *o++ = 'e';
        *o++ = x < 0 ? '-' : '+';
        if (x < 0) x = -x;
        if (x < 10) *o++ = '0';
        o = WriteInteger(o, x);
    }
    return o;
}

// Bytes a string cannot carry as they are: quote, backslash, controls, and
// every byte past ASCII (checked as UTF-8).
struct SpecialBytes {
    bool is[256] = {};
    constexpr SpecialBytes() {
        for (int c = 0; c < 0x20; ++c) is[c] = true;
        for (int c = 0x80; c < 0x100; ++c) is[c] = true;
        is[static_cast<unsigned char>('"')] = is[static_cast<unsigned char>('\\')] = true;
    }
};
constexpr SpecialBytes kSpecial;

}  // namespace

void JsonWriter::Integer(int64_t n) {
    Buffer b(out_);
    PutInteger(b, n);
}

void JsonWriter::String(std::string_view s) {
    Buffer b(out_);
    PutString(b, s);
}

void JsonWriter::Value(const Variant& v, int depth) {
    Buffer b(out_);
    PutValue(b, v, depth);
}

void JsonWriter::Packet(const DataPacket& p) {
    Buffer b(out_);
    PutPacket(b, p);
}

void JsonWriter::PutInteger(Buffer& b, int64_t n) {
    b.Room(kNumberRoom);
    b.Advance(WriteInteger(b.At(), n));
}

void JsonWriter::PutDouble(Buffer& b, double d) {
    if (!std::isfinite(d)) throw ECodecError("A number that is not finite cannot be sent");
    b.Room(kNumberRoom);
    b.Advance(WriteDouble(b.At(), d));
}

void JsonWriter::PutString(Buffer& b, std::string_view s) {
    static const char* hex = "0123456789abcdef";
    b.Put('"');
    const size_t size = s.size();
    size_t plain = 0;  // start of the run of bytes copied as they are
    for (size_t i = 0; i < size;) {
        while (i < size && !kSpecial.is[static_cast<unsigned char>(s[i])]) ++i;
        if (i == size) break;
        unsigned char c = static_cast<unsigned char>(s[i]);
        if (c >= 0x80) {
            size_t n = Utf8Length(s, i);
            if (n > 0) {
                i += n;
                continue;
            }
            b.Put(s.substr(plain, i - plain));
            b.Put("\xEF\xBF\xBD");
            plain = ++i;
            continue;
        }
        b.Put(s.substr(plain, i - plain));
        switch (c) {
            case '"': b.Put("\\\""); break;
            case '\\': b.Put("\\\\"); break;
            case '\b': b.Put("\\b"); break;
            case '\f': b.Put("\\f"); break;
            case '\n': b.Put("\\n"); break;
            case '\r': b.Put("\\r"); break;
            case '\t': b.Put("\\t"); break;
            default: {
                const char esc[6] = {'\\', 'u', '0', '0', hex[c >> 4], hex[c & 15]};
                b.Put(std::string_view(esc, 6));
            }
        }
        plain = ++i;
    }
    b.Put(s.substr(plain));
    b.Put('"');
}

void JsonWriter::PutValues(Buffer& b, const VariantArray& values, int depth) {
    b.Put('[');
    for (size_t i = 0; i < values.size(); ++i) {
        if (i) b.Put(',');
        PutValue(b, values[i], depth + 1);
    }
    b.Put(']');
}

void JsonWriter::PutValue(Buffer& b, const Variant& v, int depth) {
    if (depth > kMaxNesting) throw ECodecError("Value nested too deeply to encode");
    switch (v.Type()) {
        case VarType::Null: b.Put("null"); return;
        case VarType::Bool: b.Put(v.AsBoolean() ? "true" : "false"); return;
        case VarType::Integer: PutInteger(b, v.AsInteger()); return;
        case VarType::Double: PutDouble(b, v.AsFloat()); return;
        case VarType::String: PutString(b, v.AsString()); return;
        case VarType::DateTime: {
            // The ISO text is plain ASCII: no escaping to do.
            const TDateTime d = v.AsDateTime();
            b.Put("{\"$date\":\"");
            b.Room(kIsoLength);
            if (WriteIsoDigits(d, b.At())) b.Advance(b.At() + kIsoLength);
            else b.Put(DateTimeToIso(d));
            b.Put("\"}");
            return;
        }
        case VarType::Array: PutValues(b, v.AsArray(), depth); return;
        case VarType::Packet:
            b.Put("{\"$packet\":");
            PutPacket(b, v.AsPacket());
            b.Put('}');
            return;
    }
}

void JsonWriter::PutPacket(Buffer& b, const DataPacket& p) {
    b.Reserve(Estimate(p));
    b.Put("{\"fields\":[");
    for (size_t i = 0; i < p.fields.size(); ++i) {
        const PacketField& f = p.fields[i];
        b.Put(i ? ",{\"name\":" : "{\"name\":");
        PutString(b, f.name);
        b.Put(",\"size\":");
        PutInteger(b, f.size);
        b.Put(",\"type\":");
        PutString(b, FieldTypeName(f.type));
        b.Put('}');
    }
    b.Put("],\"rows\":[");
    const bool delta = p.IsDelta();
    for (size_t i = 0; i < p.rows.size(); ++i) {
        const PacketRow& r = p.rows[i];
        if (r.values.size() != p.fields.size())
            throw ECodecError("A packet row has " + std::to_string(r.values.size()) + " values for " +
                              std::to_string(p.fields.size()) + " fields");
        if (i) b.Put(',');
        if (!delta) {
            PutValues(b, r.values, 1);
            continue;
        }
        b.Put("{\"change\":");
        PutString(b, RowChangeName(r.change));
        if (r.change == RowChange::Modified || r.change == RowChange::Deleted) {
            if (r.original.size() != p.fields.size()) throw ECodecError("A changed packet row lacks its original values");
            b.Put(",\"original\":");
            PutValues(b, r.original, 1);
        }
        b.Put(",\"values\":");
        PutValues(b, r.values, 1);
        b.Put('}');
    }
    b.Put("]}");
}

// ---- Reader -------------------------------------------------------------------------

void JsonReader::Fail(const std::string& what) const {
    throw ECodecError("Malformed JSON: " + what + " at byte " + std::to_string(i_));
}

void JsonReader::Blank() {
    while (i_ < s_.size() && (s_[i_] == ' ' || s_[i_] == '\t' || s_[i_] == '\n' || s_[i_] == '\r')) ++i_;
}

char JsonReader::Peek() {
    Blank();
    return i_ < s_.size() ? s_[i_] : '\0';
}

void JsonReader::Expect(char c) {
    if (Peek() != c) Fail(std::string("expected '") + c + "'");
    ++i_;
}

bool JsonReader::ArrayGoesOn() {
    const char c = Peek();
    if (c != ',' && c != ']') Fail("expected ',' or ']'");
    ++i_;
    return c == ',';
}

void JsonReader::End() {
    if (Peek() != '\0') Fail("unexpected text after the value");
}

void JsonReader::Literal(std::string_view word) {
    if (s_.substr(i_, word.size()) != word) Fail("invalid literal");
    i_ += word.size();
}

void JsonReader::StringInto(std::string& out) {
    if (Peek() != '"') Fail("expected a string");
    ++i_;
    size_t plain = i_;
    for (;;) {
        if (i_ >= s_.size()) Fail("unterminated string");
        unsigned char c = static_cast<unsigned char>(s_[i_]);
        if (c == '"') break;
        if (c < 0x20) Fail("control character in a string");
        if (c >= 0x80) {
            size_t n = Utf8Length(s_, i_);
            if (n == 0) Fail("invalid UTF-8 in a string");
            i_ += n;
            continue;
        }
        if (c != '\\') {
            ++i_;
            continue;
        }
        out.append(s_.data() + plain, i_ - plain);
        if (++i_ >= s_.size()) Fail("unterminated string");
        char e = s_[i_++];
        switch (e) {
            case '"': out += '"'; break;
            case '\\': out += '\\'; break;
            case '/': out += '/'; break;
            case 'b': out += '\b'; break;
            case 'f': out += '\f'; break;
            case 'n': out += '\n'; break;
            case 'r': out += '\r'; break;
            case 't': out += '\t'; break;
            case 'u': {
                auto hex4 = [&]() -> uint32_t {
                    if (i_ + 4 > s_.size()) Fail("short \\u escape");
                    uint32_t v = 0;
                    for (int k = 0; k < 4; ++k) {
                        char h = s_[i_++];
                        v <<= 4;
                        if (h >= '0' && h <= '9') v |= static_cast<uint32_t>(h - '0');
                        else if (h >= 'a' && h <= 'f') v |= static_cast<uint32_t>(h - 'a' + 10);
                        else if (h >= 'A' && h <= 'F') v |= static_cast<uint32_t>(h - 'A' + 10);
                        else Fail("invalid \\u escape");
                    }
                    return v;
                };
                uint32_t cp = hex4();
                if (cp >= 0xD800 && cp <= 0xDBFF) {
                    if (s_.substr(i_, 2) != "\\u") Fail("lone surrogate in a \\u escape");
                    i_ += 2;
                    uint32_t lo = hex4();
                    if (lo < 0xDC00 || lo > 0xDFFF) Fail("lone surrogate in a \\u escape");
                    cp = 0x10000 + ((cp - 0xD800) << 10) + (lo - 0xDC00);
                } else if (cp >= 0xDC00 && cp <= 0xDFFF) {
                    Fail("lone surrogate in a \\u escape");
                }
                text::AppendUtf8(out, static_cast<char32_t>(cp));
                break;
            }
            default: Fail("invalid escape in a string");
        }
        plain = i_;
    }
    out.append(s_.data() + plain, i_ - plain);
    ++i_;
}

std::string JsonReader::String() {
    std::string out;
    StringInto(out);
    return out;
}

bool JsonReader::NumberSpan(size_t& end, bool& integral) {
    size_t j = i_;
    auto digit = [&](size_t k) { return k < s_.size() && s_[k] >= '0' && s_[k] <= '9'; };
    if (j < s_.size() && s_[j] == '-') ++j;
    if (!digit(j)) return false;
    if (s_[j] == '0') ++j;
    else
        while (digit(j)) ++j;
    integral = true;
    if (j < s_.size() && s_[j] == '.') {
        integral = false;
        if (!digit(++j)) return false;
        while (digit(j)) ++j;
    }
    if (j < s_.size() && (s_[j] == 'e' || s_[j] == 'E')) {
        integral = false;
        ++j;
        if (j < s_.size() && (s_[j] == '+' || s_[j] == '-')) ++j;
        if (!digit(j)) return false;
        while (digit(j)) ++j;
    }
    end = j;
    return true;
}

bool JsonReader::IsIntegerNext() {
    char c = Peek();
    if (c != '-' && (c < '0' || c > '9')) return false;
    size_t end;
    bool integral;
    if (!NumberSpan(end, integral) || !integral) return false;
    // Past 64 bits a number counts as a float, as the tree form has it.
    int64_t n;
    uint64_t u;
    const char *a = s_.data() + i_, *b = s_.data() + end;
    auto r = std::from_chars(a, b, n);
    if (r.ec == std::errc() && r.ptr == b) return true;
    auto ru = std::from_chars(a, b, u);
    return ru.ec == std::errc() && ru.ptr == b;
}

Variant JsonReader::Number() {
    size_t end;
    bool integral;
    Blank();
    if (!NumberSpan(end, integral)) Fail("invalid number");
    const char* a = s_.data() + i_;
    const char* b = s_.data() + end;
    if (integral) {
        int64_t n;
        auto r = std::from_chars(a, b, n);
        if (r.ec == std::errc() && r.ptr == b) {
            i_ = end;
            return Variant(static_cast<long long>(n));
        }
        // Past int64: as large an unsigned reads as a double, as anything larger.
    }
    double d;
    auto r = std::from_chars(a, b, d);
    if (r.ec != std::errc() || r.ptr != b || !std::isfinite(d)) Fail("number out of range");
    i_ = end;
    return Variant(d);
}

int64_t JsonReader::IntegerValue() {
    Variant v = Number();
    if (v.Type() != VarType::Integer) Fail("expected an integer");
    return v.AsInteger();
}

void JsonReader::BeginObject() { Expect('{'); }

bool JsonReader::NextKey(std::string& key, bool& first) {
    char c = Peek();
    if (c == '}') {
        ++i_;
        return false;
    }
    if (!first) {
        if (c != ',') Fail("expected ',' or '}'");
        ++i_;
    }
    first = false;
    key.clear();
    StringInto(key);
    Expect(':');
    return true;
}

void JsonReader::Skip() {
    // Iterative, so hostile nesting costs no stack.
    std::vector<char> open;
    for (;;) {
        char c = Peek();
        switch (c) {
            case '[':
            case '{': {
                ++i_;
                char n = Peek();
                if (n == (c == '[' ? ']' : '}')) {
                    ++i_;
                    break;
                }
                open.push_back(c);
                if (c == '{') {
                    std::string key;
                    StringInto(key);
                    Expect(':');
                }
                continue;
            }
            case '"': {
                std::string ignored;
                StringInto(ignored);
                break;
            }
            case 't': Literal("true"); break;
            case 'f': Literal("false"); break;
            case 'n': Literal("null"); break;
            case '\0': Fail("unexpected end of input");
            default: Number();
        }
        // After a value: closing brackets, then a comma before the next one.
        for (;;) {
            if (open.empty()) return;
            char n = Peek();
            if (n == ',') {
                ++i_;
                if (open.back() == '{') {
                    std::string key;
                    StringInto(key);
                    Expect(':');
                }
                break;
            }
            if (n != (open.back() == '[' ? ']' : '}')) Fail("expected ',' or a closing bracket");
            ++i_;
            open.pop_back();
        }
    }
}

TDateTime JsonReader::DateValue() {
    if (Peek() != '"') throw ECodecError(std::string("\"$date\" must hold a text, not ") + KindNext());
    // The form dates are written in, read in place.
    if (i_ + kIsoLength + 1 < s_.size() && s_[i_ + kIsoLength + 1] == '"') {
        TDateTime d;
        if (ReadIsoDigits(s_.substr(i_ + 1, kIsoLength), 'T', d)) {
            i_ += kIsoLength + 2;
            return d;
        }
    }
    std::string text = String();
    TDateTime d;
    bool ok = false;
    try {
        ok = TryIsoToDateTime(text, d);
    } catch (const std::exception&) {
        ok = false;  // out-of-range parts
    }
    if (!ok) throw ECodecError("Invalid date '" + text + "' (expected YYYY-MM-DDTHH:MM:SS)");
    return d;
}

const char* JsonReader::KindNext() {
    switch (Peek()) {
        case 'n': return "null";
        case 't':
        case 'f': return "boolean";
        case '"': return "string";
        case '[': return "array";
        case '{': return "object";
        default: return IsIntegerNext() ? "integer" : "number";
    }
}

Variant JsonReader::Value(int depth) {
    if (depth > kMaxNesting) throw ECodecError("Value nested more than " + std::to_string(kMaxNesting) + " levels deep");
    switch (Peek()) {
        case 'n': Literal("null"); return Variant();
        case 't': Literal("true"); return Variant(true);
        case 'f': Literal("false"); return Variant(false);
        case '"': return Variant(String());
        case '[': {
            ++i_;
            VariantArray items;
            if (Peek() == ']') {
                ++i_;
                return Variant(std::move(items));
            }
            for (;;) {
                items.push_back(Value(depth + 1));
                if (!ArrayGoesOn()) break;
            }
            return Variant(std::move(items));
        }
        case '{': return ObjectValue(depth);
        case '\0': Fail("unexpected end of input");
        default: return Number();
    }
}

Variant JsonReader::ObjectValue(int depth) {
    (void)depth;
    BeginObject();
    std::string key;
    bool first = true;
    std::vector<std::string> keys;
    Variant out;
    while (NextKey(key, first)) {
        if (keys.empty() && key == "$date") out = Variant(DateValue());
        else if (keys.empty() && key == "$packet") out = Variant(PacketValue());
        else Skip();
        keys.push_back(key);
    }
    if (keys.size() == 1 && (keys[0] == "$date" || keys[0] == "$packet")) return out;
    std::string names;
    for (const auto& k : keys) names += (names.empty() ? "" : ", ") + k;
    throw ECodecError("Unknown object {" + names + "}: expected {\"$date\": ...} or {\"$packet\": ...}");
}

Variant JsonReader::Cell(const PacketField& f) {
    char c = Peek();
    if (c == 'n') {
        Literal("null");
        return Variant();
    }
    auto wrong = [&]() -> ECodecError {
        return ECodecError("Field " + f.name + " (" + FieldTypeName(f.type) + ") cannot hold a " + KindNext());
    };
    switch (f.type) {
        case TFieldType::ftString:
        case TFieldType::ftFixedChar:
            if (c != '"') throw wrong();
            return Variant(String());
        case TFieldType::ftFloat: {
            if (c != '-' && (c < '0' || c > '9')) throw wrong();
            Variant v = Number();
            return Variant(v.AsFloat());
        }
        case TFieldType::ftInteger:
            if (!IsIntegerNext()) throw wrong();
            return Number();
        case TFieldType::ftBoolean:
            if (c == 't') {
                Literal("true");
                return Variant(true);
            }
            if (c == 'f') {
                Literal("false");
                return Variant(false);
            }
            throw wrong();
        case TFieldType::ftDateTime: {
            if (c != '{') throw wrong();
            size_t at = i_;
            BeginObject();
            std::string key;
            bool first = true;
            if (!NextKey(key, first) || key != "$date") {
                i_ = at;
                throw wrong();
            }
            TDateTime d = DateValue();
            if (NextKey(key, first)) {
                i_ = at;
                throw wrong();
            }
            return Variant(d);
        }
    }
    throw wrong();
}

VariantArray JsonReader::RowValues(const std::vector<PacketField>& fields, size_t rowNo, const char* what) {
    const std::string row = "Row " + std::to_string(rowNo);
    if (Peek() != '[') throw ECodecError(row + ": " + what + " must be an array");
    const size_t start = i_;
    ++i_;
    VariantArray out;
    out.reserve(fields.size());
    if (Peek() == ']') {
        ++i_;
    } else {
        for (;;) {
            if (out.size() >= fields.size()) {
                // Count them all for the message.
                i_ = start;
                size_t count = 0;
                ++i_;
                for (;;) {
                    Skip();
                    ++count;
                    char c = Peek();
                    ++i_;
                    if (c != ',') break;
                }
                throw ECodecError(row + " has " + std::to_string(count) + " values for " +
                                  std::to_string(fields.size()) + " fields");
            }
            try {
                out.push_back(Cell(fields[out.size()]));
            } catch (const ECodecError& e) {
                if (e.Message().rfind("Malformed JSON", 0) == 0) throw;
                throw ECodecError(row + ": " + e.Message());
            }
            if (!ArrayGoesOn()) break;
        }
    }
    if (out.size() != fields.size())
        throw ECodecError(row + " has " + std::to_string(out.size()) + " values for " + std::to_string(fields.size()) +
                          " fields");
    return out;
}

DataPacket JsonReader::PacketValue() {
    if (Peek() != '{') {
        Skip();
        throw ECodecError("A packet must be an object with \"fields\" and \"rows\"");
    }
    BeginObject();
    std::string key;
    bool first = true;
    size_t fieldsAt = std::string::npos, rowsAt = std::string::npos;
    DataPacket p;
    bool fieldsRead = false;
    auto readFields = [&] {
        if (Peek() != '[') throw ECodecError("Packet \"fields\" and \"rows\" must be arrays");
        ++i_;
        bool firstField = true;
        while (Peek() != ']') {
            if (!firstField) Expect(',');
            firstField = false;
            const char* need = "A packet field needs a text \"name\" and \"type\"";
            if (Peek() != '{') throw ECodecError(need);
            BeginObject();
            PacketField pf;
            bool hasName = false, hasType = false, f1 = true;
            std::string k, type;
            while (NextKey(k, f1)) {
                if (k == "name") {
                    if (Peek() != '"') throw ECodecError(need);
                    pf.name = String();
                    hasName = true;
                } else if (k == "type") {
                    if (Peek() != '"') throw ECodecError(need);
                    type = String();
                    hasType = true;
                } else if (k == "size") {
                    if (!IsIntegerNext()) {
                        Skip();
                        pf.size = -1;
                    } else {
                        Variant n = Number();
                        pf.size = n.Type() == VarType::Integer && n.AsInteger() >= 0 && n.AsInteger() <= 1'000'000
                                      ? static_cast<int>(n.AsInteger())
                                      : -1;
                    }
                    if (pf.size < 0) throw ECodecError("Field " + pf.name + " has an invalid size");
                } else {
                    Skip();
                }
            }
            if (!hasName || !hasType) throw ECodecError(need);
            if (pf.name.empty()) throw ECodecError("A packet field has an empty name");
            try {
                pf.type = FieldTypeFromName(type);
            } catch (const EConvertError& e) {
                throw ECodecError(e.Message());
            }
            if (p.FieldIndex(pf.name) >= 0) throw ECodecError("Field " + pf.name + " occurs twice in a packet");
            p.fields.push_back(std::move(pf));
        }
        ++i_;
        fieldsRead = true;
    };
    auto readRows = [&] {
        if (Peek() != '[') throw ECodecError("Packet \"fields\" and \"rows\" must be arrays");
        ++i_;
        size_t rowNo = 0;
        while (Peek() != ']') {
            if (rowNo) Expect(',');
            PacketRow row;
            char c = Peek();
            if (c == '[') {
                row.values = RowValues(p.fields, rowNo, "values");
            } else if (c == '{') {
                BeginObject();
                std::string k, change;
                bool f1 = true, hasChange = false, changeIsText = false;
                size_t valuesAt = std::string::npos, originalAt = std::string::npos;
                while (NextKey(k, f1)) {
                    if (k == "change") {
                        hasChange = true;
                        changeIsText = Peek() == '"';
                        if (changeIsText) change = String();
                        else Skip();
                    } else if (k == "values") {
                        valuesAt = Offset();
                        Skip();
                    } else if (k == "original") {
                        originalAt = Offset();
                        Skip();
                    } else {
                        Skip();
                    }
                }
                const size_t after = Offset();
                const std::string rowText = "Row " + std::to_string(rowNo);
                if (!hasChange || !changeIsText || valuesAt == std::string::npos)
                    throw ECodecError(rowText + " needs \"change\" and \"values\"");
                try {
                    row.change = RowChangeFromName(change);
                } catch (const EConvertError& e) {
                    throw ECodecError(rowText + ": " + e.Message());
                }
                Seek(valuesAt);
                row.values = RowValues(p.fields, rowNo, "values");
                if (row.change == RowChange::Modified || row.change == RowChange::Deleted) {
                    if (originalAt == std::string::npos)
                        throw ECodecError(rowText + " (" + RowChangeName(row.change) + ") needs its \"original\" values");
                    Seek(originalAt);
                    row.original = RowValues(p.fields, rowNo, "original");
                }
                Seek(after);
            } else {
                throw ECodecError("Row " + std::to_string(rowNo) + " must be an array or an object");
            }
            p.rows.push_back(std::move(row));
            ++rowNo;
        }
        ++i_;
    };
    while (NextKey(key, first)) {
        if (key == "fields") {
            fieldsAt = Offset();
            readFields();
        } else if (key == "rows") {
            rowsAt = Offset();
            if (fieldsRead) readRows();
            else Skip();  // read once the fields are known
        } else {
            Skip();
        }
    }
    if (fieldsAt == std::string::npos || rowsAt == std::string::npos)
        throw ECodecError("A packet must be an object with \"fields\" and \"rows\"");
    if (p.rows.empty() && rowsAt != std::string::npos) {
        const size_t after = Offset();
        Seek(rowsAt);
        readRows();
        Seek(after);
    }
    return p;
}

}  // namespace net
