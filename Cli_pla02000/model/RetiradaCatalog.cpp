#include "Cli_pla02000/model/RetiradaCatalog.h"

namespace model {

std::vector<CatalogEntry> MsgPadraoRetirada() { return ParseCatalog(MsgPadraoRetiradaResource()); }

}  // namespace model
