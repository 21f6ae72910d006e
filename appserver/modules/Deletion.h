#pragma once
// "Pla02000.rdmRetirada.DelLancto": deletes a saved withdrawal, giving back to
// stock exactly what the ledger holds for its items, in one write transaction.
//
// Arguments (the screen's order): 0 CDFILIAL, 1 CDFILIMOVI (the same branch),
// 2 NRLANCESTQ, 3 NRRETIRADA, 4 start date (by reference), 5 end date (by
// reference), 6 IDPERMESTNEG as the screen holds it (the branch's stored value
// decides), 7 the ignore list (by reference), 8 NRCARDAPIO, 9 DTLANCESTQ,
// 10 NRREQUEXTRRE. The dates and the ignore list come back as given.
//
// Each item's movements are reversed (store::MovementsToTarget to nothing,
// never recomputed from the client's values) and the item is deleted; then
// the dish rows, the header, and the extra requisition's row (USOREQUEXTR),
// which frees the requisition for another withdrawal.
//
// Answer: a packet of cdsRetorno (datasets::Retorno) with the error rows,
// empty when everything was deleted. An item whose reversal would take stock
// that a daily position (from the movement's day through the latest of the
// end date, the withdrawal's day and the branch's processing day) no longer
// holds gets a "LIB00200_3" row (product, storeroom, location) unless the
// ignore list holds "#LIB00200_3#" and the branch's IDPERMESTNEG is "S"; an
// inventory open for its product and place gets "LIB00200_4". One such item
// keeps the whole withdrawal: every reversal and removal of the call is
// rolled back and the answer names every item that refused, so an answer
// with error rows always means that nothing changed, whatever the ignore
// list and IDPERMESTNEG said. A withdrawal's items only take stock, so their
// reversal returns it: the irregular row guards ledger rows of an item that
// had added stock.
//
// A withdrawal that no longer exists is deleted already: empty answer.
// Refusals as texts (nothing deleted): "EFET_FATU" when meals of the
// withdrawal's service on its menu day were billed (EFETIVOSERV.IDFATURADO
// "S"); a missing right "EXCLUSAO_RETIRADA"; a blank or "NOVOCODRET" posting;
// a posting that belongs to another withdrawal number than the one given.
#include "rpc/Dispatcher.h"

namespace appserver {

void RegisterDeletion(Dispatcher& d);

}  // namespace appserver
