#pragma once
// The client datasets of TfrmRetirada, each with its declared fields.
// cdsRetorno is not listed: it declares no fields and takes the structure of
// whatever result packet the server sends.
#include "data/ModelTypes.h"

#include <span>
#include <string_view>

namespace model {

// Every client dataset of the form, in declaration order: the browse list,
// header, items and the three copies of the items, the dish-type breakdown,
// the summary, parameters, requisitions, lookups and the general withdrawal's.
std::span<const DataSetDef> ScreenDataSets();

// By name without regard to case; nullptr when the form has no such dataset.
const DataSetDef* FindScreenDataSet(std::string_view name);

}  // namespace model
