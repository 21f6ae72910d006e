#include "core/Packet.h"

#include "core/Exception.h"
#include "core/Text.h"

const char* FieldTypeName(TFieldType t) {
    switch (t) {
        case TFieldType::ftString: return "String";
        case TFieldType::ftFixedChar: return "FixedChar";
        case TFieldType::ftFloat: return "Float";
        case TFieldType::ftInteger: return "Integer";
        case TFieldType::ftBoolean: return "Boolean";
        case TFieldType::ftDateTime: return "DateTime";
    }
    return "String";
}

TFieldType FieldTypeFromName(const std::string& name) {
    for (TFieldType t : {TFieldType::ftString, TFieldType::ftFixedChar, TFieldType::ftFloat, TFieldType::ftInteger,
                         TFieldType::ftBoolean, TFieldType::ftDateTime})
        if (text::SameText(name, FieldTypeName(t))) return t;
    throw EConvertError("Unknown field type '" + name + "'");
}

const char* RowChangeName(RowChange c) {
    switch (c) {
        case RowChange::Unmodified: return "unmodified";
        case RowChange::Inserted: return "inserted";
        case RowChange::Modified: return "modified";
        case RowChange::Deleted: return "deleted";
    }
    return "unmodified";
}

RowChange RowChangeFromName(const std::string& name) {
    for (RowChange c : {RowChange::Unmodified, RowChange::Inserted, RowChange::Modified, RowChange::Deleted})
        if (name == RowChangeName(c)) return c;
    throw EConvertError("Unknown row change kind '" + name + "'");
}

int DataPacket::FieldIndex(const std::string& name) const {
    for (size_t i = 0; i < fields.size(); ++i)
        if (text::SameText(fields[i].name, name)) return static_cast<int>(i);
    return -1;
}

bool DataPacket::IsDelta() const {
    for (const auto& r : rows)
        if (r.change != RowChange::Unmodified) return true;
    return false;
}
