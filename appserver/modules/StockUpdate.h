#pragma once
// "Pla02000.rdmRetirada": the pending stock update of a saved withdrawal and
// the question whether it has items pending.
//
// AtualizaEstoque, nine arguments (the screen's order): 0 CDFILIAL,
// 1 CDFILIMOVI (the same branch), 2 NRLANCESTQ; 3 start date and 4 end date
// (by reference, returned as given); 5 IDPERMESTNEG as the screen holds it
// (the branch's stored value decides); 6 the ignore list; 7 NRRETIRADA,
// 8 NRCARDAPIO. Every item not yet carried to stock (IDEVOLESTOQ "N", not
// marked "D") is carried on its own, as Confirma_Lanc carries an item
// (StockPosting.h): each one that passes is posted and marked "S" whatever
// happens to the others, each one refused stays "N" with its result row.
// Positions are checked through the latest of the end date, the withdrawal's
// day and the branch's processing day. The call always commits what passed.
// Answer: [result rows (datasets::Retorno, error rows only), the
// withdrawal's items (cdsItLanctoEst) and dish rows (cdsRetiTipoPrat) as
// they now stand]; a text when the withdrawal is not given, not found, or
// does not match its number. No right is needed: it completes the posting
// of a confirmation already made.
//
// verifitens, two arguments: the branch and NRRETIRADA. True when the
// withdrawal has an item not marked "D" and not carried to stock; false when
// it has none (or does not exist). A blank or "NOVOCODRET" number is refused
// with a text, never read as "any withdrawal".
#include "rpc/Dispatcher.h"

namespace appserver {

void RegisterStockUpdate(Dispatcher& d);

}  // namespace appserver
