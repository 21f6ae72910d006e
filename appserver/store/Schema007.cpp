// Bar codes printed on the products' packages: a reader's code stands for
// the product it names.
#include "store/Migrations.h"

namespace store {

extern const char* const kSchema007;
const char* const kSchema007 = R"SQL(
CREATE TABLE CODBARRA (
  CDCODBARRA VARCHAR(20) NOT NULL PRIMARY KEY,
  CDPRODUTO  VARCHAR(10) NOT NULL REFERENCES PRODUTO (CDPRODUTO)
)
)SQL";

}  // namespace store
