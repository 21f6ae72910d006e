#pragma once
// The message catalog msgPadrao of the error viewer TfrmVisualizaErrosReti
// (6 entries), kept in msgPadrao.txt beside this file.
#include "data/Catalog.h"

#include <string_view>
#include <vector>

namespace model {

std::string_view MsgPadraoVisualizaErrosResource();
std::vector<CatalogEntry> MsgPadraoVisualizaErros();

}  // namespace model
