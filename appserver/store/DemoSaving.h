#pragma once
// Demo data for confirming and deleting withdrawals: meals billed for a
// service, so that deleting its withdrawal is refused (docs/demo-saving.md).
#include "db/SqlConnection.h"

namespace store::demo {

// 0002's JANTAR of the day: 120 meals billed (its withdrawal may not be
// deleted); 0001's JANTAR of the day before: 95 meals served, not billed.
void LoadDemoSaving(db::SqlConnection& conn, TDateTime today);

}  // namespace store::demo
