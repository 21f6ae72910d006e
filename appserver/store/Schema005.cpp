// Sessions and sign-on attempts live in the database, so that every
// application server over it knows them: a token issued by one is taken by
// the others, a sign-off on one ends it everywhere, and a restart signs no
// one off. Times are seconds since 1970 (UTC) in BIGINT, the same on every
// server whatever its time zone.
#include "store/Migrations.h"

namespace store {

extern const char* const kSchema005;
const char* const kSchema005 = R"SQL(
CREATE TABLE SESSAOSERV (
  CDHASHSESSAO VARCHAR(64) NOT NULL PRIMARY KEY,
  CDOPERADOR   VARCHAR(12) NOT NULL,
  NRCRIADA     BIGINT      NOT NULL,
  NREXPIRA     BIGINT      NOT NULL
);
CREATE INDEX SESSAOSERV_EXPIRA ON SESSAOSERV (NREXPIRA);

CREATE TABLE TENTATLOGON (
  CDOPERADOR  VARCHAR(40) NOT NULL,
  DSENDERECO  VARCHAR(64) NOT NULL,
  QTTENTATIVA INTEGER     NOT NULL,
  NRLIBERA    BIGINT      NOT NULL,
  NRULTIMA    BIGINT      NOT NULL,
  PRIMARY KEY (CDOPERADOR, DSENDERECO)
);
CREATE INDEX TENTATLOGON_ULTIMA ON TENTATLOGON (NRULTIMA)
)SQL";

}  // namespace store
