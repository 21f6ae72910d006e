#include "store/ProcessingDate.h"

namespace store {

std::optional<TDateTime> ProcessingDate(db::SqlConnection& conn, const std::string& branch) {
    auto r = conn.Query("SELECT DTPROCESSA FROM DATAPROC WHERE CDFILIAL = :F", {{"F", branch}});
    TDateTime d;
    if (r.rows.empty() || !db::ToDateTime(r.rows[0][0], d)) return std::nullopt;
    return d.DateOnly();
}

void SetProcessingDate(db::SqlConnection& conn, const std::string& branch, TDateTime date) {
    db::Transaction t(conn);
    const db::SqlParams p = {{"F", branch}, {"D", date.DateOnly()}};
    if (conn.Execute("UPDATE DATAPROC SET DTPROCESSA = :D WHERE CDFILIAL = :F", p) == 0)
        conn.Execute("INSERT INTO DATAPROC (CDFILIAL, DTPROCESSA) VALUES (:F, :D)", p);
    t.Commit();
}

}  // namespace store
