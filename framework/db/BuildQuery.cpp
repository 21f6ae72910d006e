#include "db/BuildQuery.h"

#include "core/Exception.h"
#include "data/BuildDataSet.h"
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
    DeclareFields(query, def.fields);
}

}  // namespace model
