#include "Cli_pla02000/model/BuildQuery.h"

#include "Cli_pla02000/model/BuildDataSet.h"
#include "core/Exception.h"
#include "db/ADOIBQuery.h"

#include <string>

namespace model {

void BuildQuery(TADOIBQuery& query, const QueryDef& def) {
    if (query.Active() || query.FieldCount() > 0)
        throw Exception((query.Name.empty() ? std::string(def.name) : query.Name) +
                        ": fields can only be declared on an inactive query without fields");
    if (query.Name.empty()) query.Name = def.name;

    query.SQL = def.sql;
    query.SQL_ORACLE = def.sqlOracle;
    query.SQL_MSSQL = def.sqlMssql;
    query.SQL_IB = def.sqlIb;
    for (const FieldDef& f : def.fields) {
        TField& field = query.TDataSet::AddField(std::string(f.name), f.type, f.size,
                                                 f.calculated ? TFieldKind::fkCalculated : TFieldKind::fkData);
        field.Name = query.Name + std::string(f.name);
        ApplyFieldDef(field, f);
    }
}

}  // namespace model
