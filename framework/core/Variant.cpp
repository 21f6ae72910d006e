#include "core/Variant.h"

#include "core/Exception.h"
#include "core/Packet.h"
#include "core/Text.h"

#include <cmath>

Variant::Variant(std::shared_ptr<const DataPacket> p) {
    if (p) v_ = std::move(p);
}

Variant::Variant(DataPacket p) : v_(std::make_shared<const DataPacket>(std::move(p))) {}

std::string Variant::TypeName() const {
    static const char* names[] = {"Null", "Boolean", "Integer", "Double", "String", "Date", "Array", "Packet"};
    return names[v_.index()];
}

namespace {

[[noreturn]] void cannotConvert(const Variant& v, const char* to) {
    std::string what = "Could not convert variant of type (" + v.TypeName() + ") into type (" + to + ")";
    if (v.IsString()) what += ": '" + v.AsString() + "'";
    throw EConvertError(what);
}

}  // namespace

std::string Variant::AsString() const {
    switch (Type()) {
        case VarType::Null: return "";
        case VarType::Bool: return std::get<bool>(v_) ? "True" : "False";
        case VarType::Integer: return std::to_string(std::get<int64_t>(v_));
        case VarType::Double: return FloatToStr(std::get<double>(v_));
        case VarType::String: return std::get<std::string>(v_);
        case VarType::DateTime: return DateTimeToStr(std::get<TDateTime>(v_));
        default: cannotConvert(*this, "String");
    }
}

void Variant::notText() const { cannotConvert(*this, "String"); }

double Variant::AsFloat() const {
    switch (Type()) {
        case VarType::Bool: return std::get<bool>(v_) ? -1.0 : 0.0;
        case VarType::Integer: return static_cast<double>(std::get<int64_t>(v_));
        case VarType::Double: return std::get<double>(v_);
        case VarType::DateTime: return std::get<TDateTime>(v_).Val;
        case VarType::String: {
            double d;
            if (TryStrToFloat(std::get<std::string>(v_), d)) return d;
            break;
        }
        default: break;
    }
    cannotConvert(*this, "Double");
}

int64_t Variant::AsInteger() const {
    switch (Type()) {
        case VarType::Bool: return std::get<bool>(v_) ? -1 : 0;
        case VarType::Integer: return std::get<int64_t>(v_);
        case VarType::Double: {
            double d = std::get<double>(v_);
            if (std::isfinite(d) && std::fabs(d) < 9.2e18) return std::llround(d);  // banker's rounding is not needed here
            break;
        }
        case VarType::DateTime: return static_cast<int64_t>(std::get<TDateTime>(v_).Val);
        case VarType::String: {
            double d;
            const std::string& s = std::get<std::string>(v_);
            if (TryStrToFloat(s, d) && d == std::floor(d) && std::fabs(d) < 9.2e18) return static_cast<int64_t>(d);
            break;
        }
        default: break;
    }
    cannotConvert(*this, "Integer");
}

TDateTime Variant::AsDateTime() const {
    switch (Type()) {
        case VarType::DateTime: return std::get<TDateTime>(v_);
        case VarType::Integer: return TDateTime(static_cast<double>(std::get<int64_t>(v_)));
        case VarType::Double: return TDateTime(std::get<double>(v_));
        case VarType::String: {
            TDateTime d;
            const std::string& s = std::get<std::string>(v_);
            if (TryStrToDate(s, d) || TryIsoToDateTime(s, d)) return d;
            break;
        }
        default: break;
    }
    cannotConvert(*this, "Date");
}

bool Variant::AsBoolean() const {
    switch (Type()) {
        case VarType::Bool: return std::get<bool>(v_);
        case VarType::Integer: return std::get<int64_t>(v_) != 0;
        case VarType::Double: return std::get<double>(v_) != 0.0;
        case VarType::String: {
            const std::string& s = std::get<std::string>(v_);
            if (text::SameText(s, "true") || text::SameText(s, "S")) return true;
            if (text::SameText(s, "false") || text::SameText(s, "N")) return false;
            break;
        }
        default: break;
    }
    cannotConvert(*this, "Boolean");
}

const VariantArray& Variant::AsArray() const {
    if (Type() != VarType::Array) cannotConvert(*this, "Array");
    return *std::get<std::shared_ptr<const VariantArray>>(v_);
}

const DataPacket& Variant::AsPacket() const {
    if (Type() != VarType::Packet) cannotConvert(*this, "Packet");
    return *std::get<std::shared_ptr<const DataPacket>>(v_);
}

std::shared_ptr<const DataPacket> Variant::PacketPtr() const {
    if (Type() != VarType::Packet) cannotConvert(*this, "Packet");
    return std::get<std::shared_ptr<const DataPacket>>(v_);
}

bool operator==(const Variant& a, const Variant& b) {
    if (a.Type() != b.Type()) return false;
    switch (a.Type()) {
        case VarType::Null: return true;
        case VarType::Bool: return std::get<bool>(a.v_) == std::get<bool>(b.v_);
        case VarType::Integer: return std::get<int64_t>(a.v_) == std::get<int64_t>(b.v_);
        case VarType::Double: return std::get<double>(a.v_) == std::get<double>(b.v_);
        case VarType::String: return std::get<std::string>(a.v_) == std::get<std::string>(b.v_);
        case VarType::DateTime: return std::get<TDateTime>(a.v_) == std::get<TDateTime>(b.v_);
        case VarType::Array: {
            const auto& pa = std::get<std::shared_ptr<const VariantArray>>(a.v_);
            const auto& pb = std::get<std::shared_ptr<const VariantArray>>(b.v_);
            return pa == pb || *pa == *pb;
        }
        case VarType::Packet: {
            const auto& pa = std::get<std::shared_ptr<const DataPacket>>(a.v_);
            const auto& pb = std::get<std::shared_ptr<const DataPacket>>(b.v_);
            return pa == pb || *pa == *pb;
        }
    }
    return false;
}

bool VarSameValue(const Variant& a, const Variant& b) {
    if (a.IsNull() || b.IsNull()) return a.IsNull() && b.IsNull();
    if (a.Type() == b.Type()) return a == b;
    double x, y;
    if (a.IsNumberLike() && b.IsNumberLike()) return a.AsFloat() == b.AsFloat();
    if (a.IsNumberLike() && b.IsString() && TryStrToFloat(b.AsString(), y)) return a.AsFloat() == y;
    if (a.IsString() && b.IsNumberLike() && TryStrToFloat(a.AsString(), x)) return x == b.AsFloat();
    if (a.IsString() && b.Type() == VarType::DateTime) {
        TDateTime d;
        return TryStrToDate(a.AsString(), d) && d == b.AsDateTime();
    }
    if (b.IsString() && a.Type() == VarType::DateTime) return VarSameValue(b, a);
    return false;
}

Variant VarArrayOf(VariantArray items) { return Variant(std::move(items)); }
