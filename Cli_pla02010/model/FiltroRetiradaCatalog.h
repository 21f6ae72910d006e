#pragma once
// The message catalog msgPadrao of TfrmFiltroRetirada (7 entries), kept in
// msgPadrao.txt beside this file. Two keys are control names (depRetiradaIni,
// depCardapioIni) whose texts name the date in error.
#include "data/Catalog.h"

#include <string_view>
#include <vector>

namespace model {

std::string_view MsgPadraoFiltroRetiradaResource();
std::vector<CatalogEntry> MsgPadraoFiltroRetirada();

}  // namespace model
