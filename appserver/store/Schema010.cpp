// Running balances: each daily balance also carries the place's position at
// the end of its day (quantity, entries and their value up to that day), so
// the position of a day is one index seek per place, whatever the history;
// SALDOLOCAL lists the places a stock product ever moved in, with their
// whole balance. Both are rebuilt from the ledger by the migration.
#include "store/Migrations.h"

namespace store {

extern const char* const kSchema010;
const char* const kSchema010 = R"SQL(
ALTER TABLE SALDODIA ADD COLUMN QTSALDOACUM DOUBLE PRECISION NOT NULL DEFAULT 0;
ALTER TABLE SALDODIA ADD COLUMN QTENTRACUM DOUBLE PRECISION NOT NULL DEFAULT 0;
ALTER TABLE SALDODIA ADD COLUMN VRENTRACUM DOUBLE PRECISION NOT NULL DEFAULT 0;
CREATE INDEX SALDODIA_LOCAL ON SALDODIA (CDFILIAL, CDPRODESTO, CDALMOXARIFE, CDLOCALESTOQ, NRLOTEESTQ, NRSUBLOTE, DTSALDO);

CREATE TABLE SALDOLOCAL (
  CDFILIAL     VARCHAR(4)  NOT NULL,
  CDPRODESTO   VARCHAR(10) NOT NULL,
  CDALMOXARIFE VARCHAR(6)  NOT NULL,
  CDLOCALESTOQ VARCHAR(6)  NOT NULL,
  NRLOTEESTQ   VARCHAR(20) NOT NULL,
  NRSUBLOTE    VARCHAR(4)  NOT NULL,
  QTSALDO      DOUBLE PRECISION NOT NULL,
  PRIMARY KEY (CDFILIAL, CDPRODESTO, CDALMOXARIFE, CDLOCALESTOQ, NRLOTEESTQ, NRSUBLOTE)
)
)SQL";

}  // namespace store
