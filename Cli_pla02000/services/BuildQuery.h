#pragma once
// The screen's name for the model's query builder (model::BuildQuery): sets a
// query component's texts and declares its fields from its table entry. New
// code calls model::BuildQuery directly.
#include "Cli_pla02000/model/ModelTypes.h"
#include "db/ADOIBQuery.h"

void BuildQuery(TADOIBQuery& query, const model::QueryDef& def);
