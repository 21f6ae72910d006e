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
// 3. Balances: SALDODIA's daily balance equals the sum of MOVIESTQ by branch,
//    stock product, day and place, its running balances (quantity, entries
//    and their value) the sums up to the end of its day; SALDOLOCAL's whole
//    balance of a place the sum of all its movements.
// 4. No orphan documents: every item has its withdrawal header, every dish
//    row (RETITIPOPRAT) a header of its withdrawal number.
// 5. The ledger is append-only: a branch's movement numbers are 1 through the
//    last its sequence issued, each once.
#include "db/SqlConnection.h"

#include <compare>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace store {

// One text per broken invariant ("conservation 0001/0000000012/0003: ledger
// -5.00000, expected -8.00000"); empty when the ledger holds together.
// Quantities compare to 5 decimals.
std::vector<std::string> LedgerViolations(db::SqlConnection& conn);

// End-of-day positions below zero of a stock product at a place (storeroom,
// location, lot, sub-lot) in branches that refuse negative stock
// (PARAMESTOQUE.IDPERMESTNEG not "S"): "0001/100033 07/12/2026 [000002|CF2||]"
// -> the position (5 decimals). The places are those the movements name; a
// blank part stands for any, as in the positions a posting checks (a
// movement without a place is checked against the product's whole stock). Data loaded around the server (the demo's
// withdrawals included) may hold some; a caller compares two readings.
std::map<std::string, double> NegativePositions(db::SqlConnection& conn);

// A withdrawal its caller deleted: its numbers may be missing.
struct DeletedWithdrawal {
    std::string branch, posting, withdrawal;  // CDFILIAL, NRLANCESTQ, NRRETIRADA
    auto operator<=>(const DeletedWithdrawal&) const = default;
};

// Numbering of the withdrawals, given those deleted on purpose: per branch,
// posting numbers (NRLANCESTQ) and withdrawal numbers (NRRETIRADA) are unique
// and run from 1 through the last their sequences issued, each number either
// held by a header or deleted; a deleted one is held by no header. An
// `uncertain` deletion (sent, its outcome not known yet) may have either
// outcome. Texts as LedgerViolations'; empty when the numbering holds.
std::vector<std::string> NumberingViolations(db::SqlConnection& conn, const std::set<DeletedWithdrawal>& deleted,
                                             const std::set<DeletedWithdrawal>& uncertain = {});

}  // namespace store
