// Extra requisitions in use and the answers of recorded sendings. An extra
// requisition serves one live withdrawal only: its row here is the database's
// guard, so two servers recording it at once cannot both commit. A sending's
// key keeps its first answer, so a call repeated after a lost answer records
// nothing twice.
#include "store/Migrations.h"

namespace store {

extern const char* const kSchema006;
const char* const kSchema006 = R"SQL(
CREATE TABLE USOREQUEXTR (
  CDFILIAL   VARCHAR(4)  NOT NULL,
  NRREQUEXTR VARCHAR(10) NOT NULL,
  NRLANCESTQ VARCHAR(10) NOT NULL,
  PRIMARY KEY (CDFILIAL, NRREQUEXTR)
);

INSERT INTO USOREQUEXTR (CDFILIAL, NRREQUEXTR, NRLANCESTQ)
SELECT CDFILIMOVI, NRREQUEXTRRE, MIN(NRLANCESTQ) FROM LANCTOEST
 WHERE NRREQUEXTRRE <> '0000000000'
 GROUP BY CDFILIMOVI, NRREQUEXTRRE;

CREATE TABLE ENVIOREQUI (
  CDCHAVEENVIO VARCHAR(64) NOT NULL PRIMARY KEY,
  CDFILIAL     VARCHAR(4)  NOT NULL,
  NRLANCESTQ   VARCHAR(10) NOT NULL,
  DTENVIO      TIMESTAMP   NOT NULL,
  DSRESPOSTA   TEXT        NOT NULL
)
)SQL";

}  // namespace store
