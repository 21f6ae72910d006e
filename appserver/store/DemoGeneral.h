#pragma once
// Demo rows for the general withdrawal of a day (see docs/demo-general.md):
// head counts of the menus, what each dish is made of, the fixed and
// per-capita consumption of some services, and the dishes branch 0002 books
// those consumptions under. Branch 0001 has no such dishes, so a run there
// that takes fixed or per-capita consumption of a service by dish is refused.
#include "db/SqlConnection.h"

namespace store::demo {

// The dishes of its own 0002 books fixed and per-capita consumption under (type "05").
inline constexpr const char* kDishFixed = "05001";
inline constexpr const char* kDishPerCapita = "05002";

// Runs after the other demo rows, inside the caller's transaction.
void LoadGeneralWithdrawalPaths(db::SqlConnection& conn);

}  // namespace store::demo
