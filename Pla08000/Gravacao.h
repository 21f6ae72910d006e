#pragma once
// Records and confirms the withdrawal of one service of a general withdrawal
// through the withdrawal module's own methods: GravaRequisicao records the
// header and turns the service's planned requisition of the day into items
// (one per product) consuming their planned quantities, Confirma_Lanc
// confirms it as the screen confirms a withdrawal nobody edited, and, for a
// branch that keeps its stock on line, AtualizaEstoque carries the items to
// stock as the screen's confirmation does next. What each step answered
// becomes one line for the user.
#include "Pla08000/Parametros.h"
#include "core/Variant.h"

#include <functional>
#include <string>

namespace pla08000 {

// Calls a method of "Pla02000.rdmRetirada" (args by reference take the
// server's new values); transport failures raise.
using ChamaRetirada = std::function<Variant(const std::string& method, VariantArray& args)>;

// The stock parameters the withdrawal module is told about.
struct TParamEstoque {
    std::string IdEstOnline, IdPermEstNeg, CdTpRetiPadr;
};

struct TResultadoServico {
    bool Gravada = false;      // a withdrawal was recorded
    bool Confirmada = false;   // and confirmed with nothing refused
    std::string NrRetirada;
    std::string Texto;         // the line shown for the service
};

// One service: never raises for the server's refusals, which become the line;
// raises only when the server could not be reached.
TResultadoServico GravaServico(const ChamaRetirada& chama, const TParamRetGeral& p, const TParamEstoque& estoque,
                               const std::string& servico, const std::string& nmServico);

}  // namespace pla08000
