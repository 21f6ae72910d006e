#pragma once
// The stock ledger's invariants, checked over a whole database: for tests of
// anything that writes stock (confirmation, pending update, deletion,
// integrity runs). Reads only; never repairs.
//
// 1. Conservation: every withdrawal item (ITLANCTOEST, ledger branch its
//    header's CDFILIMOVI) holds in the ledger (MOVIESTQ rows of its posting
//    NRLANCESTQ and item NRSEQUITEM) minus its stock quantity QTLANCTOEST when
//    marked carried (IDEVOLESTOQ "S") and nothing when not.
// 2. No orphans: movements of a document item that no longer exists net to 0.
// 3. Daily balances: SALDODIA equals the sums of MOVIESTQ by branch, stock
//    product, day and place.
#include "db/SqlConnection.h"

#include <string>
#include <vector>

namespace store {

// One text per broken invariant ("conservation 0001/0000000012/0003: ledger
// -5.00000, expected -8.00000"); empty when the ledger holds together.
// Quantities compare to 5 decimals.
std::vector<std::string> LedgerViolations(db::SqlConnection& conn);

}  // namespace store
