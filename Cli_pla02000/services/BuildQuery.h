#pragma once
// Gives a query component the texts, parameters and declared fields of its
// table entry, the way the form's designer would have.
#include "Cli_pla02000/model/ModelTypes.h"
#include "db/ADOIBQuery.h"

// Sets the four texts (parameters follow them) and declares the fields in
// order with their attributes; field component names are the query's name
// followed by the field name. The query must be inactive and without fields
// (Exception otherwise). BeforeOpen handlers are the form's to attach.
void BuildQuery(TADOIBQuery& query, const model::QueryDef& def);
