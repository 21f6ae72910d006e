// Daily balances: the net movement of each stock place per day, kept by the
// ledger with every movement, so the position of a day sums days, not movements.
#include "store/Migrations.h"

namespace store {

extern const char* const kSchema002;
const char* const kSchema002 = R"SQL(
CREATE TABLE SALDODIA (
  CDFILIAL     VARCHAR(4)  NOT NULL,
  CDPRODESTO   VARCHAR(10) NOT NULL,
  DTSALDO      TIMESTAMP   NOT NULL,
  CDALMOXARIFE VARCHAR(6)  NOT NULL,
  CDLOCALESTOQ VARCHAR(6)  NOT NULL,
  NRLOTEESTQ   VARCHAR(20) NOT NULL,
  NRSUBLOTE    VARCHAR(4)  NOT NULL,
  QTMOVIDIA    DOUBLE PRECISION NOT NULL,
  QTENTRDIA    DOUBLE PRECISION NOT NULL,
  VRENTRDIA    DOUBLE PRECISION NOT NULL,
  PRIMARY KEY (CDFILIAL, CDPRODESTO, DTSALDO, CDALMOXARIFE, CDLOCALESTOQ, NRLOTEESTQ, NRSUBLOTE)
)
)SQL";

}  // namespace store
