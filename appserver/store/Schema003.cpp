// The day's last stock posting of a branch (the "implantação": once it is
// done, the day is settled and a later change asks for confirmation), and
// the standard diet of each diet service, from which a diet menu is made
// when the day has none.
#include "store/Migrations.h"

namespace store {

extern const char* const kSchema003;
const char* const kSchema003 = R"SQL(
CREATE TABLE IMPLANTESTQ (
  CDFILIAL     VARCHAR(4)  NOT NULL REFERENCES FILIAL (CDFILIAL),
  DTIMPLANTA   TIMESTAMP   NOT NULL,
  CDOPERADOR   VARCHAR(12) NOT NULL REFERENCES OPERADOR (CDOPERADOR),
  DTHRIMPLANTA TIMESTAMP   NOT NULL,
  PRIMARY KEY (CDFILIAL, DTIMPLANTA)
);

CREATE TABLE SERVDIETAPADR (
  CDFILIAL   VARCHAR(4)  NOT NULL,
  CDSERVFILI VARCHAR(5)  NOT NULL,
  CDDIETA    VARCHAR(10) NOT NULL,
  NMDIETA    VARCHAR(40) NOT NULL,
  PRIMARY KEY (CDFILIAL, CDSERVFILI),
  FOREIGN KEY (CDFILIAL, CDSERVFILI) REFERENCES SERVICO (CDFILIAL, CDSERVFILI)
)
)SQL";

}  // namespace store
