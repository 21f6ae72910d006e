#pragma once
// "Pla02000.rdmRetirada.Confirma_Lanc": saves a withdrawal from the screen's
// change logs and carries its changed items to stock, in one write
// transaction that keeps nothing unless the screen will take the answer for a
// success.
//
// Arguments (the screen's order): 0 the header's delta (by reference; Null
// when the header did not change; one inserted row for a new withdrawal),
// 1 the items' delta (by reference; Null when none changed), 2 the new-menu
// flag "S"/"N" (by reference), 3 the branch, 4 the operator's branch,
// 5 NRCARDAPIO, 6 NRLANCESTQ, 7 NRRETIRADA of the header, 8 IDESTONLINE and
// 9 IDPERMESTNEG as the screen holds them (never trusted: the branch's stored
// parameters decide), 10 start date and 11 end date (by reference, returned
// as given), 12 the ignore list (by reference, returned as given), 13 the
// service, 14 the menu date.
//
// Answer: a packet of cdsRetorno (datasets::Retorno), rows in this order:
// - "NRLANCESTQ" and "NRRETIRADA" with the withdrawal's numbers, always; their
//   CDOBJETO is blank when the confirmation failed;
// - "NRCARDAPIO" with the menu number when this call settled a menu the
//   header held as "NOVOCODRET" (the day's menu, or one it made; blank on
//   failure), and the flag comes back "N";
// - error rows, CDOBJETO the product (CDPRODUTO), CDOBJETO2/CDOBJETO3 the
//   storeroom and location: "LIB00200_3" an item whose posting would leave a
//   daily position of its place (from the withdrawal's day through the latest
//   of the end date, the withdrawal's day and the branch's processing day)
//   negative; "LIB00200_4" an inventory open for the product and place;
//   "PLA02000_1" a product inactive for the branch; "PLA02000_2" a product
//   without stock control (or a branch without it) moving stock. Such an item
//   is kept with IDEVOLESTOQ "N" and nothing posted.
// Failure is the screen's own test of the rows: an error row not accepted by
// the ignore list ("#KEY#"), where "LIB00200_3" is also accepted when the
// branch allows negative stock. A failed confirmation is rolled back whole
// (numbers given back, deltas returned as sent). On success the by-reference
// deltas come back with "NOVOCODRET" replaced by the numbers in every row and
// key (NRLANCESTQ, NRLANCESTRT, NRRETIRADA, NRCARDAPIO).
//
// Items: every inserted or modified row is stored as sent, but for the keys,
// numbers, branch and movement date the server sets, the stock product taken
// from the product and the stock quantity QTLANCTOEST recomputed as
// QTTOTLANCTO times the product's conversion factor. Each changed item is then
// carried to stock as StockPosting.h says: the ledger is brought to minus its
// stock quantity (target minus what the ledger already holds for it, so a
// repeated or altered confirmation posts only the difference), IDEVOLESTOQ
// "S"; a consumed quantity of 0 reverses what it held and is "S". Deleted rows
// and rows marked IDSTATUS "D" are never posted: what the ledger holds for
// them is reversed and they are removed. An irregular position is posted
// anyway only when the ignore list holds "#LIB00200_3#" and the branch's
// IDPERMESTNEG is "S"; then the withdrawal's saved items still pending
// (IDEVOLESTOQ "N") are carried too, sent or not. A changed withdrawal date
// carries every item again.
// Dish rows follow the items: one per dish of a live item, none for a dish
// left without items.
//
// Repeats: the header delta's CDCHAVEENVIO carries a key the screen makes for
// each sending; a call whose key already confirmed is answered with that
// first answer (and its by-reference values) and changes nothing. Failures
// record no key. Without a header delta there is no key: an alteration sent
// twice posts nothing twice anyway.
//
// Refusals as texts (nothing saved): no branch, unknown branch, service,
// menu or withdrawal, a delta naming another branch or posting, a negative
// or unreadable quantity, an unknown product, an extra requisition another
// live withdrawal uses; altering a recorded withdrawal without the right
// "ALTERACAO_RETIRADA".
//
// Concurrency: the branch's ledger is locked (store::LockLedger) before any
// position is read, so of two confirmations taking the last stock the second
// sees the first's movements.
#include "rpc/Dispatcher.h"

namespace appserver {

void RegisterConfirmation(Dispatcher& d);

}  // namespace appserver
