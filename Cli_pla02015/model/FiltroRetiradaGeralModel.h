#pragma once
// The queries and the connection of the general-withdrawal filter dialog
// TfrmFiltroRetiradaGeral. Its option dataset cdsCarregaOpcoes comes from the
// framework's filter dialog and declares no fields here.
#include "data/ModelTypes.h"

#include <span>

namespace model {

std::span<const QueryDef> FiltroRetiradaGeralQueries();            // qryGrupServ, qryServico
std::span<const ConnectionDef> FiltroRetiradaGeralConnections();   // netFiltroRetirada

}  // namespace model
