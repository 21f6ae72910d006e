#pragma once
// The message catalog msgPadrao of TfrmFiltroRetiradaGeral (6 entries), kept in
// msgPadrao.txt beside this file.
#include "data/Catalog.h"

#include <string_view>
#include <vector>

namespace model {

std::string_view MsgPadraoFiltroRetiradaGeralResource();
std::vector<CatalogEntry> MsgPadraoFiltroRetiradaGeral();

}  // namespace model
