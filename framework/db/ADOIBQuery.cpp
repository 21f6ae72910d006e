#include "db/ADOIBQuery.h"

#include "core/Text.h"
#include "db/LocalConnection.h"
#include "db/SqlParams.h"

#include <algorithm>

namespace {

bool blank(const std::string& s) { return text::Trim(s).empty(); }

Variant convertTo(TFieldType type, const Variant& v) {
    if (v.IsNull()) return v;
    switch (type) {
    case TFieldType::ftString:
    case TFieldType::ftFixedChar:
        return v.IsString() ? v : Variant(v.AsString());
    case TFieldType::ftFloat:
        return Variant(v.AsFloat());
    case TFieldType::ftInteger:
        return Variant(static_cast<long long>(v.AsInteger()));
    case TFieldType::ftBoolean:
        if (v.IsString()) {
            std::string s = text::Upper(text::Trim(v.AsString()));
            return Variant(s == "S" || s == "T" || s == "Y" || s == "1" || s == "TRUE");
        }
        return Variant(v.AsBoolean());
    case TFieldType::ftDateTime: {
        TDateTime d;
        return db::ToDateTime(v, d) ? Variant(d) : Variant();
    }
    }
    return v;
}

// The type of an undeclared field: from the column's declared type, else from its values.
PacketField inferField(const db::SqlResult& r, size_t col) {
    PacketField f;
    f.name = r.columns[col].name;
    std::string decl = text::Upper(r.columns[col].declType);
    size_t maxLen = 0;
    bool anyString = false, anyDouble = false, anyInt = false, anyDate = false, anyBool = false;
    for (const auto& row : r.rows) {
        const Variant& v = row[col];
        switch (v.Type()) {
        case VarType::String:
            anyString = true;
            maxLen = std::max(maxLen, text::Length(v.AsString()));
            break;
        case VarType::Double: anyDouble = true; break;
        case VarType::Integer: anyInt = true; break;
        case VarType::DateTime: anyDate = true; break;
        case VarType::Bool: anyBool = true; break;
        default: break;
        }
    }
    auto has = [&](const char* s) { return decl.find(s) != std::string::npos; };
    if (has("CHAR") || has("TEXT") || has("CLOB")) {
        f.type = TFieldType::ftString;
        size_t open = decl.find('(');
        f.size = open != std::string::npos ? std::atoi(decl.c_str() + open + 1) : 0;
    } else if (has("TIMESTAMP") || has("DATE")) {
        f.type = TFieldType::ftDateTime;
    } else if (has("INT")) {
        f.type = TFieldType::ftInteger;
    } else if (has("DOUBLE") || has("REAL") || has("FLOA") || has("NUMERIC") || has("DECIMAL")) {
        f.type = TFieldType::ftFloat;
    } else if (anyString) {
        f.type = TFieldType::ftString;
    } else if (anyDouble) {
        f.type = TFieldType::ftFloat;
    } else if (anyInt) {
        f.type = TFieldType::ftInteger;
    } else if (anyDate) {
        f.type = TFieldType::ftDateTime;
    } else if (anyBool) {
        f.type = TFieldType::ftBoolean;
    }
    if (f.type == TFieldType::ftString && f.size <= 0) f.size = maxLen > 0 ? static_cast<int>(maxLen) : 0;
    if (f.type != TFieldType::ftString) f.size = 0;
    return f;
}

}  // namespace

TADOIBQuery::TADOIBQuery() { ReadOnly = true; }

TADOIBQuery::TADOIBQuery(std::string name) : TADOIBQuery() { Name = std::move(name); }

TField& TADOIBQuery::AddField(const TFieldDef& def) {
    TField& f = TDataSet::AddField(def.name, def.type, def.size);
    f.Name = Name + def.name;
    if (!def.label.empty()) f.SetDisplayLabel(def.label);
    f.Visible = def.visible;
    f.Required = def.required;
    f.DisplayWidth = def.width;
    return f;
}

void TADOIBQuery::syncParams() {
    const std::string* texts[4] = {&SQL, &SQL_ORACLE, &SQL_MSSQL, &SQL_IB};
    bool same = everSynced_;
    for (int i = 0; i < 4 && same; ++i) same = synced_[i] == *texts[i];
    params_.Owner = Name;
    if (same) return;
    std::vector<std::string> names;
    for (int i = 0; i < 4; ++i) {
        for (auto& n : db::ParseNamedParams(*texts[i], db::PlaceholderStyle::QuestionNumber).names)
            if (std::none_of(names.begin(), names.end(), [&](const std::string& x) { return text::SameText(x, n); }))
                names.push_back(n);
        synced_[i] = *texts[i];
    }
    params_.SetNames(names);
    everSynced_ = true;
}

TParams& TADOIBQuery::Params() {
    syncParams();
    return params_;
}

std::string TADOIBQuery::TextFor(db::Dialect dialect) const {
    switch (dialect) {
    case db::Dialect::SQLite:
    case db::Dialect::PostgreSQL:
        return !blank(SQL) ? SQL : (!blank(SQL_ORACLE) ? SQL_ORACLE : std::string());
    }
    return {};
}

void TADOIBQuery::AssignSQL(const TADOIBQuery& from) {
    SQL = from.SQL;
    SQL_ORACLE = from.SQL_ORACLE;
    SQL_MSSQL = from.SQL_MSSQL;
    SQL_IB = from.SQL_IB;
    auto& source = const_cast<TADOIBQuery&>(from).Params();
    TParams& mine = Params();
    for (int i = 0; i < mine.Count(); ++i)
        if (const TParam* p = source.FindParam(mine.Items(i).Name)) mine.Items(i).SetValue(p->Value());
}

void TADOIBQuery::InternalOpen() {
    std::shared_ptr<db::SqlConnection> conn = Connection ? Connection : db::LocalConnection();
    if (!conn) throw Exception(Name + ": Nenhuma conexão com o banco de dados local.");
    std::string sql = TextFor(conn->GetDialect());
    if (sql.empty()) throw Exception(Name + ": No SQL text for " + db::DialectName(conn->GetDialect()));
    syncParams();
    db::SqlParams bound;
    for (int i = 0; i < params_.Count(); ++i) bound.push_back({params_.Items(i).Name, params_.Items(i).Value()});
    db::SqlResult r = conn->Query(sql, bound);

    auto packet = std::make_shared<DataPacket>();
    std::vector<int> source;  // result column of each packet field
    if (HasDeclaredFields()) {
        for (int i = 0; i < FieldCount(); ++i) {
            TField& f = Fields(i);
            if (f.Calculated()) continue;
            int col = r.ColumnIndex(f.FieldName());
            if (col < 0) throw Exception(Name + ": Field '" + f.FieldName() + "' not found");
            packet->fields.push_back({f.FieldName(), f.DataType(), f.Size()});
            source.push_back(col);
        }
    } else {
        for (size_t c = 0; c < r.columns.size(); ++c) {
            packet->fields.push_back(inferField(r, c));
            source.push_back(static_cast<int>(c));
        }
    }
    packet->rows.reserve(r.rows.size());
    for (const auto& row : r.rows) {
        PacketRow pr;
        pr.values.reserve(source.size());
        for (size_t i = 0; i < source.size(); ++i) {
            const PacketField& pf = packet->fields[i];
            try {
                pr.values.push_back(convertTo(pf.type, row[static_cast<size_t>(source[i])]));
            } catch (const EConvertError& e) {
                throw EConvertError(Name + ": " + e.Message() + " (field '" + pf.name + "')");
            }
        }
        packet->rows.push_back(std::move(pr));
    }
    LoadPacket(std::move(packet));
}
