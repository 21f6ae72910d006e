#pragma once
// The withdrawal-date window of the header: whether a withdrawal dated D may
// be recorded on a branch whose processing date is P, by the branch's stock
// parameters. Pure, so that every flag combination can be checked alone.
#include "core/DateTime.h"

#include <functional>
#include <string>

namespace retirada {

// Reads one stock parameter as text ("" when unset).
using LeParametro = std::function<std::string(const char* field)>;

// The catalog key of the refusal ("Data_M", "Data_Mai", "Data_Men"), or ""
// when D is allowed. Day counts are read as whole days; bounds are inclusive.
std::string RecusaJanelaRetirada(TDateTime d, TDateTime p, const LeParametro& param);

}  // namespace retirada
