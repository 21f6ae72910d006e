#pragma once
// Stock rules of a branch and day, asked of the stock module
// ("Est00000.rdmEstoque") through the connections handed in, which the caller
// has opened. A refusal is shown and stops the operation (stocklib/Refusal.h);
// so is a failure text from the server and a connection that is not open.
#include "core/DateTime.h"
#include "core/Variant.h"
#include "net/NetConnection.h"

#include <string>

namespace Lib00200 {

// Returns only when stock may move in the branch on that date: refuses while a
// general inventory (one counting the whole stock) is open there on or before
// that day. Inventories of some products block those products at posting.
void ValidaInventario(TNetConnection& netEstoque, const std::string& branch, TDateTime date);

// Days before the branch's processing date are closed: a change dated on one
// needs a release recorded for the branch and day. Sets released:
//  - open day: false (nothing to release), returns;
//  - closed day already released: true;
//  - closed day without release: when the operator holds the right
//    "LIBERACAO_DATA" (asked through netAutoriza) the release is recorded in his
//    name and released is true; otherwise refuses.
void Confirma_Liberacao(TNetConnection& netEstoque, TNetConnection& netAutoriza, const std::string& branch,
                        TDateTime date, bool& released);

// The stock position of a product (CDPRODUTO) at the end of the day, in the
// product's own unit, with the cost of one stock unit (VRFATOCONV of them
// make one product unit): a data packet with the fields of
// cdsPosEstDia (CDPRODUTO, NMPRODUTO, SGUNIDADE, QTESTOQDIA, IDCNTRESTOQ,
// CDPRODESTO, VRCUSTOPROD). Storeroom, location, lot and sub-lot narrow the
// position when given (an empty or blank " " text means any). Cost type 1 is
// the ledger's average cost; other types the branch's cost of the product.
// option is accepted as the callers pass it (-1) and selects nothing.
Variant Consulta_PosEstDia(TNetConnection& netEstoque, const std::string& branch, const std::string& product,
                           const std::string& storeroom, const std::string& location, const std::string& lot,
                           const std::string& sublot, TDateTime date, int costType, int option);

// The quantity rounded by the product's rule: products counted in pieces (UN,
// PC, PCT, CX, DZ, FD, LT) go up to the next whole piece, weights and volumes
// keep three decimals. The callers use no value; the result is there for others.
double Arredond_Parametrizado(TNetConnection& netEstoque, const std::string& branch, const std::string& product,
                              double quantity);

}  // namespace Lib00200
