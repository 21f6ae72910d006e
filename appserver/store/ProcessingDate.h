#pragma once
// The processing date of a branch (table DATAPROC): the day the branch's
// postings are dated against. Demo databases start every branch on the day
// they are created; tests and the server move it with SetProcessingDate.
#include "db/SqlConnection.h"

#include <optional>
#include <string>

namespace store {

// The branch's processing date (date part), or nothing when the branch has none.
std::optional<TDateTime> ProcessingDate(db::SqlConnection& conn, const std::string& branch);
// Sets (or creates) the branch's processing date; the time of day is dropped.
// Throws db::SqlError for an unknown branch.
void SetProcessingDate(db::SqlConnection& conn, const std::string& branch, TDateTime date);

}  // namespace store
