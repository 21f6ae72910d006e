#pragma once
// Variant: the value that fields hold and remote calls carry. Null, bool,
// integer, double, string, date-time, array of variants, or a data packet.
// Arrays and packets are shared immutable values: copying a Variant is cheap.
#include "core/DateTime.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

struct DataPacket;
class Variant;
using VariantArray = std::vector<Variant>;

enum class VarType { Null, Bool, Integer, Double, String, DateTime, Array, Packet };

class Variant {
public:
    Variant() = default;
    Variant(std::nullptr_t) {}
    Variant(bool b) : v_(b) {}
    Variant(int i) : v_(static_cast<int64_t>(i)) {}
    Variant(long i) : v_(static_cast<int64_t>(i)) {}
    Variant(long long i) : v_(static_cast<int64_t>(i)) {}
    Variant(double d) : v_(d) {}
    Variant(const char* s) : v_(std::string(s)) {}
    Variant(std::string s) : v_(std::move(s)) {}
    Variant(TDateTime d) : v_(d) {}
    Variant(VariantArray a) : v_(std::make_shared<const VariantArray>(std::move(a))) {}
    Variant(std::shared_ptr<const DataPacket> p);
    Variant(DataPacket p);

    static Variant Null() { return Variant(); }

    VarType Type() const { return static_cast<VarType>(v_.index()); }
    bool IsNull() const { return Type() == VarType::Null; }
    bool IsString() const { return Type() == VarType::String; }  // "is a string kind"
    bool IsNumeric() const { return Type() == VarType::Integer || Type() == VarType::Double; }
    // Numbers, booleans and dates: the kinds that compare by their numeric value.
    bool IsNumberLike() const { return IsNumeric() || Type() == VarType::Bool || Type() == VarType::DateTime; }
    bool IsArray() const { return Type() == VarType::Array; }
    bool IsPacket() const { return Type() == VarType::Packet; }

    // Conversions. AsString of null is ""; the others throw EConvertError for
    // null and for values that cannot be converted (the message names both kinds).
    std::string AsString() const;
    // The characters of a string value without a copy; "" for null. For
    // comparing in place: the view is valid only while this variant lives
    // unchanged, so one taken from a dataset's row or field must not be kept
    // past the next edit, post, reload or close of that dataset. Not on a
    // temporary (a field's Value() is one). Throws EConvertError for the other
    // kinds (AsString converts them).
    std::string_view TextView() const& {
        if (const std::string* s = std::get_if<std::string>(&v_)) return *s;
        if (IsNull()) return {};
        notText();
    }
    std::string_view TextView() const&& = delete;
    double AsFloat() const;
    int64_t AsInteger() const;
    TDateTime AsDateTime() const;
    bool AsBoolean() const;
    // Throw EConvertError unless the variant is of that kind.
    const VariantArray& AsArray() const;
    const DataPacket& AsPacket() const;
    std::shared_ptr<const DataPacket> PacketPtr() const;

    // Kind name for messages ("Null", "String", ...).
    std::string TypeName() const;

    // Same kind and same value (arrays and packets compare element by element).
    friend bool operator==(const Variant& a, const Variant& b);

private:
    [[noreturn]] void notText() const;
    std::variant<std::monostate, bool, int64_t, double, std::string, TDateTime,
                 std::shared_ptr<const VariantArray>, std::shared_ptr<const DataPacket>>
        v_;
};

// Compares "as variants": nulls equal each other only; numbers compare by value
// across integer and double; a string and a number compare as numbers when the
// string reads as one; dates compare by value. Used to decide whether an edit
// really changed a value.
bool VarSameValue(const Variant& a, const Variant& b);

// Array constructor as the screen writes it: VarArrayOf({a, b, c}).
Variant VarArrayOf(VariantArray items);
