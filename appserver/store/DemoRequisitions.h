#pragma once
// Demo rows for loading a requisition into a new withdrawal (see
// docs/demo-requisition.md): branch 0002 sums its requisitions by subgroup,
// and ALMOÇO EXECUTIVO (0001, dish changes blocked) has a day whose
// requisition keeps the menu's dishes and one whose requisition does not.
#include "db/SqlConnection.h"

namespace store::demo {

inline constexpr const char* kSubgroupLevelBranch = "0002";  // NRNIVEREQU "2": items by subgroup (4 characters)
inline constexpr int kLockedDishesDiffer = 0;   // 00007 on P: requisition dishes differ from the menu's
inline constexpr int kLockedDishesAgree = 1;    // 00007 on P+1: the same dishes

// Runs after the demo generator, inside the caller's transaction.
void LoadRequisitionPaths(db::SqlConnection& conn, TDateTime today);

}  // namespace store::demo
