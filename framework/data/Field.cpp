#include "data/Field.h"

#include "core/Exception.h"
#include "core/Text.h"
#include "data/DataSet.h"
#include "data/DisplayFormat.h"

#include <cmath>

TField::TField(TDataSet& dataSet, std::string fieldName, TFieldType type, int size, TFieldKind kind)
    : dataSet_(&dataSet), fieldName_(std::move(fieldName)), dataType_(type), size_(size), kind_(kind) {
    if (IsStringType() && size_ <= 0) size_ = 20;
    if (!IsStringType()) size_ = 0;
}

int TField::Index() const {
    for (int i = 0; i < dataSet_->FieldCount(); ++i)
        if (&dataSet_->Fields(i) == this) return i;
    return -1;
}

void TField::SetIndex(int index) {
    auto& list = dataSet_->fields_;
    int from = Index();
    if (index < 0) index = 0;
    if (index >= static_cast<int>(list.size())) index = static_cast<int>(list.size()) - 1;
    if (from < 0 || from == index) return;
    auto item = std::move(list[from]);
    list.erase(list.begin() + from);
    list.insert(list.begin() + index, std::move(item));
}

// ---- Reading ---------------------------------------------------------------

bool TField::IsNull() const { return dataSet_->ReadField(*this).IsNull(); }

Variant TField::Value() const { return dataSet_->ReadField(*this); }

std::string TField::AsString() const {
    const Variant& v = dataSet_->ReadField(*this);
    if (v.IsNull()) return "";
    if (dataType_ == TFieldType::ftDateTime && !v.IsString()) return DateTimeToStr(v.AsDateTime());
    return v.AsString();
}

double TField::AsFloat() const {
    const Variant& v = dataSet_->ReadField(*this);
    return v.IsNull() ? 0.0 : v.AsFloat();
}

int64_t TField::AsInteger() const {
    const Variant& v = dataSet_->ReadField(*this);
    if (v.IsNull()) return 0;
    if (v.Type() == VarType::Double) return static_cast<int64_t>(std::llround(v.AsFloat()));
    return v.AsInteger();
}

TDateTime TField::AsDateTime() const {
    const Variant& v = dataSet_->ReadField(*this);
    return v.IsNull() ? TDateTime(0) : v.AsDateTime();
}

bool TField::AsBoolean() const {
    const Variant& v = dataSet_->ReadField(*this);
    return v.IsNull() ? false : v.AsBoolean();
}

std::string TField::DisplayText() const {
    const Variant& v = dataSet_->ReadField(*this);
    if (v.IsNull()) return "";
    switch (dataType_) {
        case TFieldType::ftFloat:
        case TFieldType::ftInteger:
            if (!DisplayFormat.empty()) return FormatFloat(DisplayFormat, v.AsFloat());
            return dataType_ == TFieldType::ftInteger ? std::to_string(AsInteger()) : FloatToStr(v.AsFloat());
        case TFieldType::ftDateTime:
            if (!DisplayFormat.empty()) return FormatDateTime(DisplayFormat, v.AsDateTime());
            return DateTimeToStr(v.AsDateTime());
        case TFieldType::ftBoolean: return v.AsBoolean() ? "True" : "False";
        default: return v.AsString();
    }
}

std::string TField::EditText() const {
    const Variant& v = dataSet_->ReadField(*this);
    if (v.IsNull()) return "";
    switch (dataType_) {
        case TFieldType::ftFloat:
        case TFieldType::ftInteger: {
            const std::string& mask = EditFormat.empty() ? DisplayFormat : EditFormat;
            if (!mask.empty()) return FormatFloat(mask, v.AsFloat());
            return dataType_ == TFieldType::ftInteger ? std::to_string(AsInteger()) : FloatToStr(v.AsFloat());
        }
        case TFieldType::ftDateTime: return DateTimeToStr(v.AsDateTime());
        default: return DisplayText();
    }
}

// ---- Writing ---------------------------------------------------------------

Variant TField::Convert(const Variant& v) const {
    if (v.IsNull()) return v;
    auto bad = [&](const char* what) -> EConvertError {
        return EConvertError("'" + v.AsString() + "' is not a valid " + what + " for field '" + fieldName_ + "'");
    };
    switch (dataType_) {
        case TFieldType::ftString:
        case TFieldType::ftFixedChar: {
            if (v.IsArray() || v.IsPacket()) throw EConvertError("Field '" + fieldName_ + "' cannot hold a " + v.TypeName());
            std::string s = v.AsString();
            if (text::Length(s) > static_cast<size_t>(size_)) s = text::Left(s, static_cast<size_t>(size_));
            return Variant(std::move(s));
        }
        case TFieldType::ftFloat: {
            if (v.IsString()) {
                if (text::Trim(v.AsString()).empty()) return Variant();
                double d;
                if (!TryStrToFloat(v.AsString(), d)) throw bad("floating point value");
                return Variant(d);
            }
            if (v.IsArray() || v.IsPacket()) throw bad("floating point value");
            return Variant(v.AsFloat());
        }
        case TFieldType::ftInteger: {
            if (v.IsString()) {
                if (text::Trim(v.AsString()).empty()) return Variant();
                double d;
                if (!TryStrToFloat(v.AsString(), d) || d != std::floor(d) || std::fabs(d) > 9e18) throw bad("integer value");
                return Variant(static_cast<long long>(d));
            }
            if (v.Type() == VarType::Double) {
                double d = v.AsFloat();
                if (!std::isfinite(d) || std::fabs(d) > 9e18) throw bad("integer value");
                return Variant(static_cast<long long>(std::llround(d)));
            }
            if (v.IsArray() || v.IsPacket()) throw bad("integer value");
            return Variant(static_cast<long long>(v.AsInteger()));
        }
        case TFieldType::ftBoolean: {
            if (v.IsString() && text::Trim(v.AsString()).empty()) return Variant();
            try {
                return Variant(v.AsBoolean());
            } catch (const EConvertError&) {
                throw bad("boolean value");
            }
        }
        case TFieldType::ftDateTime: {
            if (v.IsString() && text::Trim(v.AsString()).empty()) return Variant();
            try {
                return Variant(v.AsDateTime());
            } catch (const EConvertError&) {
                throw bad("date");
            }
        }
    }
    return v;
}

void TField::CheckRange(const Variant& v) const {
    if (v.IsNull() || !IsNumericType() || (MinValue == 0 && MaxValue == 0)) return;
    double d = v.AsFloat();
    if (d < MinValue || d > MaxValue)
        throw Exception("'" + FloatToStr(d) + "' is not a valid value for field '" + fieldName_ +
                        "'. The allowed range is " + FloatToStr(MinValue) + " to " + FloatToStr(MaxValue));
}

void TField::SetValue(const Variant& v) {
    dataSet_->CheckFieldWritable(*this);
    Variant nv = Convert(v);
    CheckRange(nv);
    dataSet_->WriteField(*this, nv);
}

void TField::SetAsString(const std::string& s) {
    if (s.empty() && !IsStringType()) SetValue(Variant());
    else SetValue(Variant(s));
}
void TField::SetAsFloat(double d) { SetValue(Variant(d)); }
void TField::SetAsInteger(int64_t i) { SetValue(Variant(static_cast<long long>(i))); }
void TField::SetAsDateTime(TDateTime d) { SetValue(Variant(d)); }
void TField::SetAsBoolean(bool b) { SetValue(Variant(b)); }
void TField::Clear() { SetValue(Variant()); }

void TField::SetText(const std::string& raw) {
    if (IsStringType()) {
        SetValue(Variant(raw));
        return;
    }
    std::string t = text::Trim(raw);
    if (t.empty()) {
        SetValue(Variant());
        return;
    }
    if (IsNumericType()) {
        // Thousands separators go only when a decimal separator follows them:
        // "1.5" typed with a comma locale still means one and a half.
        const FormatSettings& fs = SystemFormat();
        if (fs.ThousandSeparator != fs.DecimalSeparator && t.find(fs.DecimalSeparator) != std::string::npos &&
            t.find(fs.ThousandSeparator) < t.find(fs.DecimalSeparator)) {
            std::string clean;
            for (char c : t)
                if (c != fs.ThousandSeparator) clean += c;
            t = clean;
        }
        SetValue(Variant(t));
        return;
    }
    if (dataType_ == TFieldType::ftDateTime) {
        TDateTime d;
        if (!TryStrToDate(t, d)) throw EConvertError("'" + t + "' is not a valid date");
        SetValue(Variant(d));
        return;
    }
    SetValue(Variant(t));
}
