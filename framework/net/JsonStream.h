#pragma once
// The wire encoding read and written in one pass (internal to framework/net):
// values go straight between the text and Variants, with no JSON tree in
// between. Same texts as the tree forms of JsonTree.h: keys in sorted order,
// compact, a whole double with ".0", invalid UTF-8 replaced on output.
#include "net/VariantJson.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace net {

class JsonWriter {
public:
    explicit JsonWriter(std::string& out) : out_(out) {}
    // Throws ECodecError for values JSON cannot carry (see EncodeVariant).
    void Value(const Variant& v, int depth = 0);
    void Packet(const DataPacket& p);
    void String(std::string_view s);
    void Integer(int64_t n);
    void Raw(std::string_view text) { out_.append(text); }

private:
    class Buffer;
    void PutInteger(Buffer& b, int64_t n);
    void PutDouble(Buffer& b, double d);
    void PutString(Buffer& b, std::string_view s);
    void PutValues(Buffer& b, const VariantArray& values, int depth);
    void PutValue(Buffer& b, const Variant& v, int depth);
    void PutPacket(Buffer& b, const DataPacket& p);
    std::string& out_;
};

// Reads one JSON text. Every method throws ECodecError naming the problem and
// its byte offset ("Malformed JSON: ...") or the wire-level fault.
class JsonReader {
public:
    explicit JsonReader(std::string_view text) : s_(text) {}

    Variant Value(int depth = 0);  // a wire value (see VariantJson.h)
    void Skip();                   // any JSON value, checked, without building it
    // The next value's first character after blanks ('{', '[', '"', 't', 'n', '-', '7', ...); 0 at the end.
    char Peek();
    std::string String();
    // Object members one by one: BeginObject, then NextKey(key, first) until it
    // returns false, reading (or skipping) each member's value in between.
    void BeginObject();
    bool NextKey(std::string& key, bool& first);
    bool IsIntegerNext();  // the next value is a number without fraction or exponent
    int64_t IntegerValue();  // throws when the number is not an integer that fits
    void End();  // nothing but blanks may follow
    size_t Offset() const { return i_; }
    void Seek(size_t offset) { i_ = offset; }

    [[noreturn]] void Fail(const std::string& what) const;

private:
    void Blank();
    void Expect(char c);
    bool ArrayGoesOn();  // after an element: true past ',', false past ']', else malformed
    void Literal(std::string_view word);
    Variant Number();
    bool NumberSpan(size_t& end, bool& integral);
    void StringInto(std::string& out);
    Variant ObjectValue(int depth);
    DataPacket PacketValue();
    VariantArray RowValues(const std::vector<PacketField>& fields, size_t rowNo, const char* what);
    Variant Cell(const PacketField& f);
    TDateTime DateValue();
    const char* KindNext();

    std::string_view s_;
    size_t i_ = 0;
};

}  // namespace net
