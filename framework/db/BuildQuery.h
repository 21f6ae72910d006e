#pragma once
// Gives a query component the texts and fields its table entry declares.
#include "data/ModelTypes.h"

class TADOIBQuery;

namespace model {

// Sets the query's Name (when empty) and its four texts, and declares every
// field in order with its attributes (component names as in BuildDataSet).
// Parameters follow from the texts. The query must be inactive and without
// fields: throws Exception otherwise.
void BuildQuery(TADOIBQuery& query, const QueryDef& def);

}  // namespace model
