#pragma once
// The read-only local queries (TADOIBQuery) of TfrmRetirada with their texts
// per database, parameters and declared fields.
#include "data/ModelTypes.h"

#include <span>
#include <string_view>

namespace model {

// Every query of the form, in declaration order.
std::span<const QueryDef> ScreenQueries();

// By name without regard to case; nullptr when the form has no such query.
const QueryDef* FindScreenQuery(std::string_view name);

}  // namespace model
