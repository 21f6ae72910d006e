#pragma once
// A data packet: the rows of a dataset (or the changed rows of its change log)
// with the field list, as remote calls carry them.
#include "core/Variant.h"

#include <string>
#include <vector>

enum class TFieldType { ftString, ftFixedChar, ftFloat, ftInteger, ftBoolean, ftDateTime };

// "String", "FixedChar", "Float", "Integer", "Boolean", "DateTime".
const char* FieldTypeName(TFieldType t);
// Throws EConvertError for an unknown name.
TFieldType FieldTypeFromName(const std::string& name);

struct PacketField {
    std::string name;
    TFieldType type = TFieldType::ftString;
    int size = 0;  // string sizes; 0 for the other types
    friend bool operator==(const PacketField&, const PacketField&) = default;
};

// How a row of a delta packet changed; plain packets hold Unmodified rows.
enum class RowChange { Unmodified, Inserted, Modified, Deleted };
const char* RowChangeName(RowChange c);  // "unmodified", "inserted", "modified", "deleted"
RowChange RowChangeFromName(const std::string& name);  // throws EConvertError

struct PacketRow {
    VariantArray values;            // one per field, in field order
    RowChange change = RowChange::Unmodified;
    VariantArray original;          // modified and deleted rows: the values before the change
    friend bool operator==(const PacketRow&, const PacketRow&) = default;
};

struct DataPacket {
    std::vector<PacketField> fields;
    std::vector<PacketRow> rows;

    // Index of a field by name, without regard to case; -1 when absent.
    int FieldIndex(const std::string& name) const;
    // True when any row carries a change kind (a delta packet).
    bool IsDelta() const;
    friend bool operator==(const DataPacket&, const DataPacket&) = default;
};
