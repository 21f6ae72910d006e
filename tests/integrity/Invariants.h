#pragma once
// What a run of the workload must leave true, read from the database (never
// from the servers): the ledger's invariants (store::LedgerViolations), the
// withdrawals' numbering given the deletions (store::NumberingViolations), no
// negative position where negative stock is refused beyond what the data held
// before the run, and, once nobody writes, every operator's model against the
// database and the database engine's own consistency check.
#include "Workload.h"
#include "db/SqlConnection.h"

#include <map>
#include <set>
#include <string>
#include <vector>

namespace integrity {

// What the database held before the run.
struct Baseline {
    std::map<std::string, double> negatives;                  // store::NegativePositions
    std::set<std::pair<std::string, std::string>> postings;  // branch, NRLANCESTQ of every header
};
Baseline TakeBaseline(db::SqlConnection& conn);

// The invariants in one read snapshot, while operators may be writing; the
// deletions' sets are read around the snapshot so that none in flight is
// taken for a gap. Texts of the violations; empty when all hold.
std::vector<std::string> CheckInvariants(db::SqlConnection& conn, const Baseline& before, Deletions& deletions);

// After the run: each model withdrawal is in the database with exactly its
// live items (number, product, quantity), and the database holds no
// withdrawal beyond the baseline's and the models'.
std::vector<std::string> CheckModels(db::SqlConnection& conn, const Baseline& before,
                                     const std::vector<ModelWithdrawal>& models);

// The engine's own check: PRAGMA integrity_check on SQLite; on PostgreSQL
// amcheck's B-tree check of every index of the schema (the extension is
// created when missing; `note` says when it cannot be).
std::vector<std::string> EngineConsistency(db::SqlConnection& conn, std::string* note = nullptr);

}  // namespace integrity
