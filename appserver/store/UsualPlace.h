#pragma once
// The storeroom and location where a product is usually taken in a branch
// that keeps stock by place: the place holding most of its stock, or the
// branch's first storeroom with its first location when it has none yet.
#include "store/StockLedger.h"

namespace store {

// Needs the stock product (CDPRODESTO). Returns storeroom and location
// trimmed, both empty when the branch has no storeroom; lot and sub-lot are
// always empty. Throws db::SqlError.
StockPlace UsualPlace(db::SqlConnection& conn, const std::string& branch, const std::string& stockProduct);

}  // namespace store
