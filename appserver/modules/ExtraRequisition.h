#pragma once
// One live withdrawal per extra requisition (table USOREQUEXTR, whose key lets
// only one of two racing writers commit). Runs inside the caller's write
// transaction.
#include "db/SqlConnection.h"

#include <string>

namespace appserver {

// Another live withdrawal of the branch than `posting` uses the requisition.
bool RequisitionUsedByAnother(db::SqlConnection& conn, const std::string& branch, const std::string& requisition,
                              const std::string& posting);

// Takes the requisition's row for the posting, dropping the posting's former
// row and one left by a withdrawal no longer live. A row another withdrawal
// committed meanwhile throws db::SqlError (Conflict), so the call runs again
// and then finds it.
void ClaimRequisition(db::SqlConnection& conn, const std::string& branch, const std::string& requisition,
                      const std::string& posting);

// Frees whatever requisition the posting holds.
void ReleaseRequisition(db::SqlConnection& conn, const std::string& branch, const std::string& posting);

}  // namespace appserver
