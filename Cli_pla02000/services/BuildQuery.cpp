#include "Cli_pla02000/services/BuildQuery.h"

#include "Cli_pla02000/model/BuildQuery.h"

void BuildQuery(TADOIBQuery& query, const model::QueryDef& def) { model::BuildQuery(query, def); }
