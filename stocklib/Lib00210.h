#pragma once
// Whether a product may be withdrawn in a branch, read from the suite's
// database (PRODUTO, PRODFILI).
#include "db/SqlConnection.h"

#include <string>

namespace Lib00210 {

// Returns only for a product (by tree code CDARVPROD) that exists, is not
// inactive in the branch (PRODFILI.IDPRODATIV "I") and, when the branch's
// parameter IDBLPRCOMEST is "S", controls stock (products without stock control
// are blocked then). Refuses otherwise (shown, then EAbort).
void Validacao_Produto(db::SqlConnection& conn, const std::string& branch, const std::string& productTreeCode,
                       const std::string& blockParam);
// The same on the process's shared local connection (db/LocalConnection.h).
void Validacao_Produto(const std::string& branch, const std::string& productTreeCode, const std::string& blockParam);

}  // namespace Lib00210
