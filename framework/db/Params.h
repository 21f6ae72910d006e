#pragma once
// Query parameters (:P_NAME) as the screen sets them: by name, with a value
// of any kind. A parameter never set is null.
#include "core/Packet.h"
#include "core/Variant.h"

#include <string>
#include <vector>

class TParam {
public:
    TParam() = default;
    explicit TParam(std::string name) : Name(std::move(name)) {}

    std::string Name;

    const Variant& Value() const { return value_; }
    bool IsNull() const { return value_.IsNull(); }
    std::string AsString() const { return value_.AsString(); }

    void SetValue(const Variant& v) { value_ = v; }
    void SetAsString(const std::string& s) { value_ = Variant(s); }
    void SetAsInteger(int64_t i) { value_ = Variant(static_cast<long long>(i)); }
    void SetAsFloat(double d) { value_ = Variant(d); }
    void SetAsDateTime(TDateTime d) { value_ = Variant(d); }
    void Clear() { value_ = Variant(); }

private:
    Variant value_;
};

class TParams {
public:
    int Count() const { return static_cast<int>(items_.size()); }
    TParam& Items(int index);  // throws for a bad index
    // Without regard to case; nullptr when absent.
    TParam* FindParam(const std::string& name);
    const TParam* FindParam(const std::string& name) const;
    // Throws Exception "Parameter 'X' not found" (with the owner's name when given).
    TParam& ParamByName(const std::string& name);

    // Makes the list exactly names (in order), keeping the values of names already present.
    void SetNames(const std::vector<std::string>& names);
    void Clear() { items_.clear(); }

    std::string Owner;  // component name used in messages

private:
    std::vector<TParam> items_;
};
