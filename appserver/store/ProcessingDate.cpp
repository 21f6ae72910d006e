#include "store/ProcessingDate.h"

#include "db/SqlDialect.h"

namespace store {

std::optional<TDateTime> ProcessingDate(db::SqlConnection& conn, const std::string& branch) {
    auto r = conn.Query("SELECT DTPROCESSA FROM DATAPROC WHERE CDFILIAL = :F", {{"F", branch}});
    TDateTime d;
    if (r.rows.empty() || !db::ToDateTime(r.rows[0][0], d)) return std::nullopt;
    return d.DateOnly();
}

void SetProcessingDate(db::SqlConnection& conn, const std::string& branch, TDateTime date) {
    conn.Execute(db::DialectOf(conn).Upsert("DATAPROC", {"CDFILIAL", "DTPROCESSA"}, {"CDFILIAL"},
                                            {"DTPROCESSA = excluded.DTPROCESSA"}),
                 {{"CDFILIAL", branch}, {"DTPROCESSA", date.DateOnly()}});
}

}  // namespace store
