#pragma once
// The types a screen's model/ folder declares its datasets, fields, local
// queries and connections with, as constant tables. The forms create their
// components from these tables (BuildDataSet, BuildQuery), and tests compare
// them with what the server and the database deliver.
#include "core/Packet.h"

#include <span>
#include <string_view>

namespace model {

enum class FieldAlign { Default, Left, Right, Center };

// One declared field. Empty texts mean "not set": an empty label shows the
// field name; a zero displayWidth takes the field's natural width; a zero
// maxValue sets no maximum.
struct FieldDef {
    std::string_view name;
    TFieldType type = TFieldType::ftString;
    int size = 0;                       // strings: maximum length; 0 for other types
    std::string_view label;             // DisplayLabel
    std::string_view displayFormat;
    std::string_view editFormat;
    std::string_view editMask;
    bool visible = true;
    bool required = false;
    bool readOnly = false;
    bool calculated = false;
    double maxValue = 0;
    int displayWidth = 0;
    FieldAlign alignment = FieldAlign::Default;
    std::string_view origin;            // table.column the field comes from, where declared
    std::string_view onValidate;        // name of the form's OnValidate handler, if any

    constexpr FieldDef Label(std::string_view v) const { FieldDef f = *this; f.label = v; return f; }
    constexpr FieldDef DisplayFormat(std::string_view v) const { FieldDef f = *this; f.displayFormat = v; return f; }
    constexpr FieldDef EditFormat(std::string_view v) const { FieldDef f = *this; f.editFormat = v; return f; }
    constexpr FieldDef EditMask(std::string_view v) const { FieldDef f = *this; f.editMask = v; return f; }
    constexpr FieldDef Hidden() const { FieldDef f = *this; f.visible = false; return f; }
    constexpr FieldDef Required() const { FieldDef f = *this; f.required = true; return f; }
    constexpr FieldDef ReadOnly() const { FieldDef f = *this; f.readOnly = true; return f; }
    constexpr FieldDef Calculated() const { FieldDef f = *this; f.calculated = true; return f; }
    constexpr FieldDef MaxValue(double v) const { FieldDef f = *this; f.maxValue = v; return f; }
    constexpr FieldDef Width(int v) const { FieldDef f = *this; f.displayWidth = v; return f; }
    constexpr FieldDef Align(FieldAlign v) const { FieldDef f = *this; f.alignment = v; return f; }
    constexpr FieldDef Origin(std::string_view v) const { FieldDef f = *this; f.origin = v; return f; }
    constexpr FieldDef OnValidate(std::string_view v) const { FieldDef f = *this; f.onValidate = v; return f; }
};

// A string declared without a size has 20 characters.
constexpr FieldDef StringField(std::string_view name, int size = 20) {
    FieldDef f; f.name = name; f.type = TFieldType::ftString; f.size = size; return f;
}
constexpr FieldDef FixedCharField(std::string_view name, int size) {
    FieldDef f; f.name = name; f.type = TFieldType::ftFixedChar; f.size = size; return f;
}
constexpr FieldDef FloatField(std::string_view name) {
    FieldDef f; f.name = name; f.type = TFieldType::ftFloat; return f;
}
constexpr FieldDef IntegerField(std::string_view name) {
    FieldDef f; f.name = name; f.type = TFieldType::ftInteger; return f;
}
constexpr FieldDef BooleanField(std::string_view name) {
    FieldDef f; f.name = name; f.type = TFieldType::ftBoolean; return f;
}
constexpr FieldDef DateTimeField(std::string_view name) {
    FieldDef f; f.name = name; f.type = TFieldType::ftDateTime; return f;
}

// A client dataset with its declared fields in declaration order.
struct DataSetDef {
    std::string_view name;
    std::span<const FieldDef> fields{};
    std::string_view providerName;      // "" when none is declared
    std::string_view dataSource;        // the data source bound to it, "" when none
    std::string_view indexFieldNames;   // "" when none is declared
    bool filterCaseInsensitive = false;

    // Field by name without regard to case; nullptr when absent.
    const FieldDef* FindField(std::string_view fieldName) const;

    constexpr DataSetDef Provider(std::string_view v) const { DataSetDef d = *this; d.providerName = v; return d; }
    constexpr DataSetDef DataSource(std::string_view v) const { DataSetDef d = *this; d.dataSource = v; return d; }
    constexpr DataSetDef IndexFieldNames(std::string_view v) const { DataSetDef d = *this; d.indexFieldNames = v; return d; }
    constexpr DataSetDef FilterCaseInsensitive() const { DataSetDef d = *this; d.filterCaseInsensitive = true; return d; }
};

constexpr DataSetDef DataSet(std::string_view name, std::span<const FieldDef> fields) {
    DataSetDef d; d.name = name; d.fields = fields; return d;
}

// A read-only query against the local database. Each text is "" where the
// query holds none for that database.
struct QueryDef {
    std::string_view name;
    std::string_view sql;
    std::string_view sqlOracle;
    std::string_view sqlMssql;
    std::string_view sqlIb;
    std::span<const std::string_view> params{};   // in declaration order, without ':'
    std::span<const FieldDef> fields{};
    std::string_view dataSource;        // "" when none
    std::string_view beforeOpen;        // name of the form's BeforeOpen handler, "" when none

    const FieldDef* FindField(std::string_view fieldName) const;

    constexpr QueryDef Sql(std::string_view v) const { QueryDef q = *this; q.sql = v; return q; }
    constexpr QueryDef SqlOracle(std::string_view v) const { QueryDef q = *this; q.sqlOracle = v; return q; }
    constexpr QueryDef SqlMssql(std::string_view v) const { QueryDef q = *this; q.sqlMssql = v; return q; }
    constexpr QueryDef SqlIb(std::string_view v) const { QueryDef q = *this; q.sqlIb = v; return q; }
    constexpr QueryDef Params(std::span<const std::string_view> v) const { QueryDef q = *this; q.params = v; return q; }
    constexpr QueryDef DataSource(std::string_view v) const { QueryDef q = *this; q.dataSource = v; return q; }
    constexpr QueryDef BeforeOpen(std::string_view v) const { QueryDef q = *this; q.beforeOpen = v; return q; }
};

constexpr QueryDef Query(std::string_view name, std::span<const FieldDef> fields) {
    QueryDef q; q.name = name; q.fields = fields; return q;
}

// A connection to a server module. All are declared with ThrowException off.
struct ConnectionDef {
    std::string_view name;
    std::string_view serverModule;
    std::string_view beforeConnect;     // name of the form's BeforeConnect handler
};

// Lookups by component name without regard to case; nullptr when absent.
const DataSetDef* FindDataSet(std::span<const DataSetDef> sets, std::string_view name);
const QueryDef* FindQuery(std::span<const QueryDef> queries, std::string_view name);
const ConnectionDef* FindConnection(std::span<const ConnectionDef> conns, std::string_view name);

}  // namespace model
