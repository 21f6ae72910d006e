#include "Cli_pla02000/services/BuildQuery.h"

#include "Cli_pla02000/model/BuildDataSet.h"
#include "core/Exception.h"

void BuildQuery(TADOIBQuery& query, const model::QueryDef& def) {
    if (query.Active() || query.FieldCount() > 0)
        throw Exception(std::string(def.name) + ": fields can only be declared on an inactive query without fields");
    if (query.Name.empty()) query.Name = def.name;
    query.SQL = def.sql;
    query.SQL_ORACLE = def.sqlOracle;
    query.SQL_MSSQL = def.sqlMssql;
    query.SQL_IB = def.sqlIb;
    for (const model::FieldDef& f : def.fields) {
        TField& field = query.AddField(std::string(f.name), f.type, f.size,
                                       f.calculated ? TFieldKind::fkCalculated : TFieldKind::fkData);
        field.Name = query.Name + std::string(f.name);
        model::ApplyFieldDef(field, f);
    }
}
