#include "store/Sequences.h"

namespace store {

int64_t NextNumber(db::SqlConnection& conn, const std::string& branch, const std::string& sequence) {
    db::Transaction t(conn);
    const db::SqlParams key = {{"F", branch}, {"S", sequence}};
    if (conn.Execute("UPDATE NUMSEQ SET NRULTIMO = NRULTIMO + 1 WHERE CDFILIAL = :F AND CDSEQUENCIA = :S", key) == 0)
        conn.Execute("INSERT INTO NUMSEQ (CDFILIAL, CDSEQUENCIA, NRULTIMO) VALUES (:F, :S, 1)", key);
    auto r = conn.Query("SELECT NRULTIMO FROM NUMSEQ WHERE CDFILIAL = :F AND CDSEQUENCIA = :S", key);
    int64_t n = r.rows.at(0).at(0).AsInteger();
    t.Commit();
    return n;
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
