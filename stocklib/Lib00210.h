#pragma once
// Whether a product may be withdrawn in a branch, read from the suite's
// database (PRODUTO, PRODFILI).
#include "db/SqlConnection.h"

#include <string>

namespace Lib00210 {

// Returns for a product (by tree code CDARVPROD) that is not inactive in the
// branch (PRODFILI.IDPRODATIV "I") and, when the branch's parameter
// IDBLPRCOMEST is "S", controls stock (products without stock control are
// blocked then); refuses those (shown, then EAbort). A code that names no
// product passes: the caller's own product check reports it in its words.
void Validacao_Produto(db::SqlConnection& conn, const std::string& branch, const std::string& productTreeCode,
                       const std::string& blockParam);
// The same on the process's shared local connection (db/LocalConnection.h).
void Validacao_Produto(const std::string& branch, const std::string& productTreeCode, const std::string& blockParam);

}  // namespace Lib00210
