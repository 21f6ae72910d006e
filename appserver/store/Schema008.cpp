// Answers of recorded confirmations, and the meals billed per service and day
// (a withdrawal of a service whose meals were billed may no longer be deleted).
#include "store/Migrations.h"

namespace store {

extern const char* const kSchema008;
const char* const kSchema008 = R"SQL(
CREATE TABLE ENVIOCONFIRMA (
  CDCHAVEENVIO VARCHAR(64) NOT NULL PRIMARY KEY,
  CDFILIAL     VARCHAR(4)  NOT NULL,
  NRLANCESTQ   VARCHAR(10) NOT NULL,
  DTENVIO      TIMESTAMP   NOT NULL,
  DSRESPOSTA   TEXT        NOT NULL
);
CREATE TABLE EFETIVOSERV (
  CDFILIAL   VARCHAR(4)  NOT NULL,
  CDSERVFILI VARCHAR(5)  NOT NULL,
  DTEFETIVO  TIMESTAMP   NOT NULL,
  QTEFETIVO  DOUBLE PRECISION NOT NULL,
  IDFATURADO VARCHAR(1)  NOT NULL,
  PRIMARY KEY (CDFILIAL, CDSERVFILI, DTEFETIVO),
  FOREIGN KEY (CDFILIAL, CDSERVFILI) REFERENCES SERVICO (CDFILIAL, CDSERVFILI)
)
)SQL";

}  // namespace store
