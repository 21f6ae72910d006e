#include "store/Sequences.h"

namespace store {

const std::string& NextNumberSql() {
    // One statement: two writers that both find no row cannot both issue the first number.
    static const std::string sql =
        "INSERT INTO NUMSEQ (CDFILIAL, CDSEQUENCIA, NRULTIMO) VALUES (:CDFILIAL, :CDSEQUENCIA, 1)"
        " ON CONFLICT (CDFILIAL, CDSEQUENCIA) DO UPDATE SET NRULTIMO = NUMSEQ.NRULTIMO + 1";
    return sql;
}

int64_t NextNumber(db::SqlConnection& conn, const std::string& branch, const std::string& sequence) {
    static const std::string sql = NextNumberSql() + " RETURNING NRULTIMO";
    auto r = conn.Query(sql, {{"CDFILIAL", branch}, {"CDSEQUENCIA", sequence}});
    return r.rows.at(0).at(0).AsInteger();
}

std::string FormatNumber(int64_t number, int width) {
    std::string s = std::to_string(number);
    if (number < 0 || static_cast<int>(s.size()) > width)
        throw Exception("Number " + s + " does not fit in " + std::to_string(width) + " digits");
    return std::string(static_cast<size_t>(width) - s.size(), '0') + s;
}

std::string NextCode(db::SqlConnection& conn, const std::string& branch, const std::string& sequence, int width) {
    return FormatNumber(NextNumber(conn, branch, sequence), width);
}

}  // namespace store
