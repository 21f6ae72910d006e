#include "store/StockLedger.h"

#include "store/Sequences.h"

namespace store {

namespace {
std::string orBlank(const std::string& s) { return s.empty() ? " " : s; }
}  // namespace

int64_t AddMovement(db::SqlConnection& conn, const StockMovement& m) {
    db::Transaction t(conn);
    int64_t n = NextNumber(conn, m.branch, kSeqMovimento);
    conn.Execute(
        "INSERT INTO MOVIESTQ (CDFILIAL, NRMOVIESTQ, CDPRODESTO, CDALMOXARIFE, CDLOCALESTOQ, NRLOTEESTQ, NRSUBLOTE,"
        " DTMOVIESTQ, IDTIPOMOVI, QTMOVIESTQ, VRCUSTOUNIT, NRLANCESTQ, NRSEQUITEM)"
        " VALUES (:F, :N, :P, :A, :L, :LT, :SL, :D, :K, :Q, :C, :NL, :NS)",
        {{"F", m.branch}, {"N", static_cast<long long>(n)}, {"P", m.stockProduct},
         {"A", orBlank(m.place.storeroom)}, {"L", orBlank(m.place.location)}, {"LT", orBlank(m.place.lot)},
         {"SL", orBlank(m.place.sublot)}, {"D", m.date}, {"K", std::string(1, m.kind)}, {"Q", m.quantity},
         {"C", m.unitCost}, {"NL", m.posting.empty() ? Variant() : Variant(m.posting)},
         {"NS", m.item.empty() ? Variant() : Variant(m.item)}});
    t.Commit();
    return n;
}

StockPosition PositionOfDay(db::SqlConnection& conn, const std::string& branch, const std::string& stockProduct,
                            TDateTime day, const StockPlace& f) {
    auto r = conn.Query(
        "SELECT SUM(QTMOVIESTQ),"
        " SUM(CASE WHEN QTMOVIESTQ > 0 THEN QTMOVIESTQ * VRCUSTOUNIT ELSE 0 END),"
        " SUM(CASE WHEN QTMOVIESTQ > 0 THEN QTMOVIESTQ ELSE 0 END)"
        " FROM MOVIESTQ"
        " WHERE CDFILIAL = :F AND CDPRODESTO = :P AND DTMOVIESTQ < :D"
        " AND (:A = '' OR CDALMOXARIFE = :A) AND (:L = '' OR CDLOCALESTOQ = :L)"
        " AND (:LT = '' OR NRLOTEESTQ = :LT) AND (:SL = '' OR NRSUBLOTE = :SL)",
        {{"F", branch}, {"P", stockProduct}, {"D", IncDay(day.DateOnly(), 1)}, {"A", f.storeroom},
         {"L", f.location}, {"LT", f.lot}, {"SL", f.sublot}});
    StockPosition pos;
    const auto& row = r.rows.at(0);
    if (!row[0].IsNull()) pos.quantity = row[0].AsFloat();
    if (!row[2].IsNull() && row[2].AsFloat() > 0) pos.averageCost = row[1].AsFloat() / row[2].AsFloat();
    return pos;
}

}  // namespace store
