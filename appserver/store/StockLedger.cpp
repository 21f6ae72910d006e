#include "store/StockLedger.h"

#include "store/Sequences.h"

#include "db/SqlDialect.h"

#include <map>
#include <tuple>

namespace store {

namespace {

std::string orBlank(const std::string& s) { return s.empty() ? " " : s; }

void addToDay(db::SqlConnection& conn, const std::string& branch, const std::string& product, const StockPlace& pl,
              TDateTime day, double qty, double entered, double value) {
    // One upsert, so the first movement of a day cannot be inserted twice.
    static const std::vector<std::string> columns = {"CDFILIAL", "CDPRODESTO", "DTSALDO", "CDALMOXARIFE",
                                                     "CDLOCALESTOQ", "NRLOTEESTQ", "NRSUBLOTE", "QTMOVIDIA",
                                                     "QTENTRDIA", "VRENTRDIA"};
    conn.Execute(db::DialectOf(conn).Upsert("SALDODIA", columns, {columns.begin(), columns.begin() + 7},
                                            {"QTMOVIDIA = SALDODIA.QTMOVIDIA + excluded.QTMOVIDIA",
                                             "QTENTRDIA = SALDODIA.QTENTRDIA + excluded.QTENTRDIA",
                                             "VRENTRDIA = SALDODIA.VRENTRDIA + excluded.VRENTRDIA"}),
                 {{"CDFILIAL", branch}, {"CDPRODESTO", product}, {"DTSALDO", day.DateOnly()},
                  {"CDALMOXARIFE", orBlank(pl.storeroom)}, {"CDLOCALESTOQ", orBlank(pl.location)},
                  {"NRLOTEESTQ", orBlank(pl.lot)}, {"NRSUBLOTE", orBlank(pl.sublot)}, {"QTMOVIDIA", qty},
                  {"QTENTRDIA", entered}, {"VRENTRDIA", value}});
}

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
    double entered = m.quantity > 0 ? m.quantity : 0;
    addToDay(conn, m.branch, m.stockProduct, m.place, m.date, m.quantity, entered, entered * m.unitCost);
    t.Commit();
    return n;
}

StockPosition PositionOfDay(db::SqlConnection& conn, const std::string& branch, const std::string& stockProduct,
                            TDateTime day, const StockPlace& f) {
    auto r = conn.Query(
        "SELECT SUM(QTMOVIDIA), SUM(VRENTRDIA), SUM(QTENTRDIA) FROM SALDODIA"
        " WHERE CDFILIAL = :F AND CDPRODESTO = :P AND DTSALDO <= :D"
        " AND (:A = '' OR CDALMOXARIFE = :A) AND (:L = '' OR CDLOCALESTOQ = :L)"
        " AND (:LT = '' OR NRLOTEESTQ = :LT) AND (:SL = '' OR NRSUBLOTE = :SL)",
        {{"F", branch}, {"P", stockProduct}, {"D", day.DateOnly()}, {"A", f.storeroom},
         {"L", f.location}, {"LT", f.lot}, {"SL", f.sublot}});
    StockPosition pos;
    const auto& row = r.rows.at(0);
    pos.moved = !row[0].IsNull();
    if (pos.moved) pos.quantity = row[0].AsFloat();
    if (!row[2].IsNull() && row[2].AsFloat() > 0) pos.averageCost = row[1].AsFloat() / row[2].AsFloat();
    return pos;
}

void LockLedger(db::SqlConnection& conn, const std::string& branch) {
    const db::SqlDialect& d = db::DialectOf(conn);
    const db::SqlParams key = {{"CDFILIAL", branch}, {"CDSEQUENCIA", kSeqMovimento}, {"NRULTIMO", 0}};
    conn.Execute(d.Upsert("NUMSEQ", {"CDFILIAL", "CDSEQUENCIA", "NRULTIMO"}, {"CDFILIAL", "CDSEQUENCIA"}, {}), key);
    conn.Query(std::string("SELECT NRULTIMO FROM NUMSEQ WHERE CDFILIAL = :CDFILIAL AND CDSEQUENCIA = :CDSEQUENCIA") +
                   d.forUpdate,
               key);
}

double ItemQuantityOfDay(db::SqlConnection& conn, const std::string& branch, const std::string& stockProduct,
                         const std::string& posting, const std::string& item, TDateTime day, const StockPlace& f) {
    auto r = conn.Query(
        "SELECT SUM(QTMOVIESTQ) FROM MOVIESTQ"
        " WHERE CDFILIAL = :F AND CDPRODESTO = :P AND DTMOVIESTQ < :D AND NRLANCESTQ = :NL AND NRSEQUITEM = :NS"
        " AND (:A = '' OR CDALMOXARIFE = :A) AND (:L = '' OR CDLOCALESTOQ = :L)"
        " AND (:LT = '' OR NRLOTEESTQ = :LT) AND (:SL = '' OR NRSUBLOTE = :SL)",
        {{"F", branch}, {"P", stockProduct}, {"D", IncDay(day.DateOnly(), 1)}, {"NL", posting}, {"NS", item},
         {"A", f.storeroom}, {"L", f.location}, {"LT", f.lot}, {"SL", f.sublot}});
    const auto& row = r.rows.at(0);
    return row[0].IsNull() ? 0.0 : row[0].AsFloat();
}

void RebuildDailyBalances(db::SqlConnection& conn) {
    db::Transaction t(conn);
    conn.Execute("DELETE FROM SALDODIA");
    auto r = conn.Query("SELECT CDFILIAL, CDPRODESTO, DTMOVIESTQ, CDALMOXARIFE, CDLOCALESTOQ, NRLOTEESTQ, NRSUBLOTE,"
                        " QTMOVIESTQ, VRCUSTOUNIT FROM MOVIESTQ");
    using Key = std::tuple<std::string, std::string, double, std::string, std::string, std::string, std::string>;
    struct Sum {
        double qty = 0, entered = 0, value = 0;
    };
    std::map<Key, Sum> days;
    for (const auto& row : r.rows) {
        TDateTime d;
        db::ToDateTime(row[2], d);
        Sum& s = days[Key{row[0].AsString(), row[1].AsString(), d.DateOnly().Val, row[3].AsString(),
                          row[4].AsString(), row[5].AsString(), row[6].AsString()}];
        double q = row[7].AsFloat();
        s.qty += q;
        if (q > 0) {
            s.entered += q;
            s.value += q * row[8].AsFloat();
        }
    }
    for (const auto& [k, s] : days)
        conn.Execute("INSERT INTO SALDODIA (CDFILIAL, CDPRODESTO, DTSALDO, CDALMOXARIFE, CDLOCALESTOQ, NRLOTEESTQ,"
                     " NRSUBLOTE, QTMOVIDIA, QTENTRDIA, VRENTRDIA) VALUES (:F, :P, :D, :A, :L, :LT, :SL, :Q, :QE, :VE)",
                     {{"F", std::get<0>(k)}, {"P", std::get<1>(k)}, {"D", TDateTime(std::get<2>(k))},
                      {"A", std::get<3>(k)}, {"L", std::get<4>(k)}, {"LT", std::get<5>(k)}, {"SL", std::get<6>(k)},
                      {"Q", s.qty}, {"QE", s.entered}, {"VE", s.value}});
    t.Commit();
}

}  // namespace store
