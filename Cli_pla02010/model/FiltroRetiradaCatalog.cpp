#include "Cli_pla02010/model/FiltroRetiradaCatalog.h"

namespace model {

std::vector<CatalogEntry> MsgPadraoFiltroRetirada() { return ParseCatalog(MsgPadraoFiltroRetiradaResource()); }

}  // namespace model
