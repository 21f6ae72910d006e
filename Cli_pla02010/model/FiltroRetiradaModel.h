#pragma once
// The datasets and queries of the browse filter dialog TfrmFiltroRetirada. It
// has no connection of its own: it calls the server through the form's netRetirada.
#include "data/ModelTypes.h"

#include <span>
#include <string_view>

namespace model {

std::span<const DataSetDef> FiltroRetiradaDataSets();  // cdsMaxData
std::span<const QueryDef> FiltroRetiradaQueries();     // qryServico, qryVDServico

}  // namespace model
