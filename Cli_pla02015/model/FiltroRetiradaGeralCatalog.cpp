#include "Cli_pla02015/model/FiltroRetiradaGeralCatalog.h"

namespace model {

std::vector<CatalogEntry> MsgPadraoFiltroRetiradaGeral() {
    return ParseCatalog(MsgPadraoFiltroRetiradaGeralResource());
}

}  // namespace model
