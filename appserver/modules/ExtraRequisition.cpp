// One live withdrawal per extra requisition (contract in ExtraRequisition.h).
#include "modules/ExtraRequisition.h"

#include "db/SqlDialect.h"
#include "modules/RetiradaQueries.h"

namespace appserver {

bool RequisitionUsedByAnother(db::SqlConnection& c, const std::string& branch, const std::string& requisition,
                              const std::string& posting) {
    return !c.Query(std::string("SELECT L.NRLANCESTQ FROM LANCTOEST L"
                                " WHERE L.CDFILIMOVI = :F AND L.NRREQUEXTRRE = :N AND L.NRLANCESTQ <> :L AND") +
                        sql::kLiveWithdrawal,
                    {{"F", branch}, {"N", requisition}, {"L", posting}})
                .Empty();
}

void ClaimRequisition(db::SqlConnection& c, const std::string& branch, const std::string& requisition,
                      const std::string& posting) {
    c.Execute(std::string("DELETE FROM USOREQUEXTR WHERE CDFILIAL = :F AND (NRLANCESTQ = :L OR (NRREQUEXTR = :N"
                          " AND NOT EXISTS (SELECT 1 FROM LANCTOEST L WHERE L.CDFILIMOVI = USOREQUEXTR.CDFILIAL"
                          " AND L.NRLANCESTQ = USOREQUEXTR.NRLANCESTQ AND") +
                  sql::kLiveWithdrawal + ")))",
              {{"F", branch}, {"N", requisition}, {"L", posting}});
    const std::string sql = db::DialectOf(c).Upsert("USOREQUEXTR", {"CDFILIAL", "NRREQUEXTR", "NRLANCESTQ"},
                                                    {"CDFILIAL", "NRREQUEXTR"}, {});
    if (c.Execute(sql, {{"CDFILIAL", branch}, {"NRREQUEXTR", requisition}, {"NRLANCESTQ", posting}}) == 0)
        throw db::SqlError("Requisition " + requisition + " taken meanwhile", db::SqlFailure::Conflict);
}

void ReleaseRequisition(db::SqlConnection& c, const std::string& branch, const std::string& posting) {
    c.Execute("DELETE FROM USOREQUEXTR WHERE CDFILIAL = :F AND NRLANCESTQ = :L", {{"F", branch}, {"L", posting}});
}

}  // namespace appserver
