#include "Cli_pla02030/model/VisualizaErrosCatalog.h"

namespace model {

std::vector<CatalogEntry> MsgPadraoVisualizaErros() { return ParseCatalog(MsgPadraoVisualizaErrosResource()); }

}  // namespace model
