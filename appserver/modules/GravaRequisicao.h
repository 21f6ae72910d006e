#pragma once
// "Pla02000.rdmRetirada.GravaRequisicao": records a withdrawal header typed
// on the screen and turns its requisition into items, in one write
// transaction that saves nothing unless it succeeds.
//
// Arguments (the screen's order): 0 the header's delta (one inserted row, or
// one modified row of a recorded withdrawal), 1 the new-menu flag "S"/"N"
// (by reference), 2 the operator's branch, 3 the branch, 4 NRCARDAPIO,
// 5 IDESTONLINE, 6 IDPERMESTNEG, 7 service, 8 requisition, 9 aggregation
// length, 10 menu date, 11 default withdrawal type, 12 withdrawal date,
// 13 stock date (by reference, returned as given), 14 processing day.
//
// Answers:
// - [header, dish rows, items, service settings] (packets of cdsLanctoEst,
//   cdsRetiTipoPrat, cdsItLanctoEst, cdsUtilizaRetiPrat): the withdrawal was
//   recorded. A new one gets NRLANCESTQ and NRRETIRADA from the branch's
//   sequences; a new menu is made when the flag is "S" or the header names
//   none and the day has none (its dishes are the requisition's), and the
//   flag comes back "N". Items: the requisition's products summed by the
//   first `aggregation length` characters of their tree code (0 or less: the
//   whole code) and, when the service works by dish, by dish type and dish;
//   each is the product whose tree code is that prefix, priced per stock
//   unit as a typed item is: the stock product's average cost of the
//   withdrawal day (the branch's current cost over the conversion factor when
//   the stock has no entries), the total being the stock quantity times it,
//   with the default type, IDEVOLESTOQ "N", IDSTATUS "N", the withdrawal date,
//   in a branch that keeps stock by place (IDUSALOCALIZ "S") the product's
//   usual storeroom and location (store/UsualPlace.h), and numbers after the
//   withdrawal's highest item, which becomes NRSEQUITRETI.
// - [Null, service settings]: nothing to load (no such requisition, one
//   without products, or a recorded withdrawal that still has live items);
//   nothing is saved and the screen types the items.
// - ["NAO_PERM", service settings]: another live withdrawal of the branch
//   (one with a live item, or with none) uses the extra requisition. The
//   table USOREQUEXTR holds one row per extra requisition in use, so of two
//   calls racing for one requisition exactly one commits; the other runs
//   again (CallRunner) and then finds the winner.
// - ["BLOQ_ALT", service settings]: the service works by dish with
//   IDBLOQALTPRA "S", and the dish rows the requisition brings (its distinct
//   dish type, auxiliary branch and dish) differ from those the withdrawal
//   must keep: a recorded withdrawal's rows not marked "D", or for a new one
//   the dishes of the day's menu. Nothing to compare (no such rows) is no block.
// - a text: any other refusal (unknown service, bad header ...), rolled back.
//
// Repeats: the header field CDCHAVEENVIO carries a key the screen makes for
// each sending; a call whose key already recorded a withdrawal is answered
// with that first answer (and its by-reference values) and changes nothing.
// Refusals and Null answers record no key. Without a key every call counts.
//
// Rights: loading items into a recorded withdrawal needs ALTERACAO_RETIRADA.
#include "rpc/Dispatcher.h"

namespace appserver {

void RegisterGravaRequisicao(Dispatcher& d);

}  // namespace appserver
