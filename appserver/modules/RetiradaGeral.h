#pragma once
// "Pla02000.rdmRetirada": the general withdrawal of a day. A run is checked
// (VdRetGeral), the day's consumed quantities counted (GetRetiradaGeral) and
// the planned requisitions of its services recalculated (GetRequisicao).
//
// Answers are shaped so that no failure can pass for success on the screen,
// which takes a 10-character text as a run number: failures are whole
// sentences (longer than 10 characters), the four default keys of
// GetRequisicao, or "SERV_RET"; a run number is 10 digits.
//
// VdRetGeral(branch, operator, day, services by reference), writes:
//   services is "_"-separated codes ("00001_00002_"): split on "_" exactly,
//   empty pieces dropped, repeats dropped, and returned so. Every code must be
//   an enabled, non-occasional service of the branch, and the operator the
//   session's. Answers [cdsVdRetDia packet, T]:
//   - T "SERV_RET" with the listed services that already have a live
//     withdrawal for the day (menu date), by code; nothing recorded;
//   - T a run number (10 digits): the run (RETGERAL) is recorded with its
//     services, empty packet.
//   Any other refusal is a text in place of the array.
// GetRetiradaGeral(branch, day): a cdsRetiradaGeral packet of one row,
//   QNTMOVI = the live items of the branch's withdrawals for the day that
//   carry a consumed quantity (QTTOTLANCTO not 0).
// GetRequisicao(1 result by reference, 2 branch, 3 run number, 4 first day,
//   5 last day, 6 margin in percent, 7 operator, 8 time of the request,
//   9 services "A" (all of the run), 10 kinds by reference (three letters,
//   C/X menu, F/X fixed, P/X per capita), 11 requisition "P" (planned),
//   12 "N" (the recalculated requisition replaces the planned one), 13/14
//   product tree codes from/to, 15 dish type, 16 dish (empty: every one)),
//   writes. Both days must be the run's. For each service of the run the
//   planned requisition of the day ("0000000000") is replaced by:
//   - C: each dish of the day's menu, its portions (QTPRATOPREV, else the
//     menu's meals QTREFEPREV) times each product of its technical sheet;
//   - F: the service's fixed consumption (CONSFIXO), as it stands;
//   - P: the menu's meals times the service's per-capita consumption;
//   each raised by the margin, summed per dish and product, rounded to 5
//   decimals. A service by dish books F and P under the branch's defaults
//   (PARAMRETGERAL); a missing one refuses the whole run with "TP_CONSFIXO",
//   "PRATO_CONSFIXO", "TP_CONSPER" or "PRATO_CONSPER". Services left without
//   lines lose their planned requisition. A service that has a live
//   withdrawal for the day, a pending inventory, an unknown run or bad
//   arguments refuse with a sentence. All services or none: one transaction.
//   Success returns the run number, also in argument 1.
#include "rpc/Dispatcher.h"

namespace appserver {

void RegisterRetiradaGeral(Dispatcher& d);

}  // namespace appserver
