#pragma once
// The local queries of the general withdrawal's follow-up screen "Pla08000":
// the run's services (qryServRetGeral) and the planned requisitions of those
// services for the run's day (qryRequisicao), read from the suite's database.
#include "data/ModelTypes.h"

#include <span>

namespace model {

std::span<const QueryDef> Pla08000Queries();  // qryServRetGeral, qryRequisicao

}  // namespace model
