#include "store/StockLedger.h"

#include "store/Sequences.h"

#include "db/SqlDialect.h"

#include "core/Text.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>
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
    // Inside a caller's transaction the guard would only cost two statements per movement.
    std::optional<db::Transaction> t;
    if (!conn.InTransaction()) t.emplace(conn);
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
    if (t) t->Commit();
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

namespace {

// Quantities are kept to 5 decimals: anything smaller is rounding noise.
constexpr double kNoise = 5e-6;

bool samePlace(const StockPlace& a, const StockPlace& b) {
    return text::Trim(a.storeroom) == text::Trim(b.storeroom) && text::Trim(a.location) == text::Trim(b.location) &&
           text::Trim(a.lot) == text::Trim(b.lot) && text::Trim(a.sublot) == text::Trim(b.sublot);
}

}  // namespace

namespace {

// Adds a ledger row to the holdings of its product, place and day.
void hold(std::vector<Holding>& out, const VariantArray& row, size_t first) {
    TDateTime d;
    db::ToDateTime(row[first + 5], d);
    Holding h{text::Trim(row[first].AsString()),
              {row[first + 1].AsString(), row[first + 2].AsString(), row[first + 3].AsString(), row[first + 4].AsString()},
              d.DateOnly(),
              row[first + 6].AsFloat()};
    auto same = [&](const Holding& o) {
        return o.stockProduct == h.stockProduct && samePlace(o.place, h.place) && o.day.Val == h.day.Val;
    };
    auto it = std::find_if(out.begin(), out.end(), same);
    if (it == out.end())
        out.push_back(std::move(h));
    else
        it->quantity += h.quantity;
}

void settle(std::vector<Holding>& out) {
    std::erase_if(out, [](const Holding& h) { return std::fabs(h.quantity) < kNoise; });
    for (Holding& h : out) h.quantity = std::round(h.quantity * 1e5) / 1e5;
}

}  // namespace

std::vector<Holding> ItemHoldings(db::SqlConnection& conn, const std::string& branch, const std::string& posting,
                                  const std::string& item) {
    auto r = conn.Query(
        "SELECT CDPRODESTO, CDALMOXARIFE, CDLOCALESTOQ, NRLOTEESTQ, NRSUBLOTE, DTMOVIESTQ, QTMOVIESTQ FROM MOVIESTQ"
        " WHERE CDFILIAL = :F AND NRLANCESTQ = :L AND NRSEQUITEM = :I ORDER BY NRMOVIESTQ",
        {{"F", branch}, {"L", posting}, {"I", item}});
    std::vector<Holding> out;
    for (const auto& row : r.rows) hold(out, row, 0);
    settle(out);
    return out;
}

std::map<std::string, std::vector<Holding>> PostingHoldings(db::SqlConnection& conn, const std::string& branch,
                                                            const std::string& posting) {
    auto r = conn.Query(
        "SELECT NRSEQUITEM, CDPRODESTO, CDALMOXARIFE, CDLOCALESTOQ, NRLOTEESTQ, NRSUBLOTE, DTMOVIESTQ, QTMOVIESTQ"
        " FROM MOVIESTQ WHERE CDFILIAL = :F AND NRLANCESTQ = :L ORDER BY NRMOVIESTQ",
        {{"F", branch}, {"L", posting}});
    std::map<std::string, std::vector<Holding>> out;
    for (const auto& row : r.rows) hold(out[text::Trim(row[0].AsString())], row, 1);
    for (auto it = out.begin(); it != out.end();) {
        settle(it->second);
        it = it->second.empty() ? out.erase(it) : std::next(it);
    }
    return out;
}

std::vector<StockMovement> MovementsToTarget(db::SqlConnection& conn, const std::string& branch,
                                             const std::string& posting, const std::string& item,
                                             const ItemTarget& target) {
    return MovementsToTarget(ItemHoldings(conn, branch, posting, item), branch, posting, item, target);
}

std::vector<StockMovement> MovementsToTarget(const std::vector<Holding>& held, const std::string& branch,
                                             const std::string& posting, const std::string& item,
                                             const ItemTarget& target) {
    std::vector<StockMovement> out;
    auto movement = [&](const std::string& product, const StockPlace& place, TDateTime day, double qty, double cost) {
        StockMovement m;
        m.branch = branch;
        m.stockProduct = product;
        m.place = {orBlank(place.storeroom), orBlank(place.location), orBlank(place.lot), orBlank(place.sublot)};
        m.date = day.DateOnly();
        m.kind = qty < 0 ? 'S' : 'D';
        m.quantity = std::round(qty * 1e5) / 1e5;
        m.unitCost = cost;
        m.posting = posting;
        m.item = item;
        out.push_back(std::move(m));
    };
    double heldAtTarget = 0;
    for (const Holding& h : held) {
        if (h.stockProduct == target.stockProduct && samePlace(h.place, target.place) &&
            h.day.Val == target.day.DateOnly().Val)
            heldAtTarget += h.quantity;
        else
            movement(h.stockProduct, h.place, h.day, -h.quantity, target.unitCost);
    }
    const double diff = target.quantity - heldAtTarget;
    if (std::fabs(diff) >= kNoise) movement(target.stockProduct, target.place, target.day, diff, target.unitCost);
    return out;
}

double LowestPosition(db::SqlConnection& conn, const std::string& branch, const std::string& stockProduct,
                      TDateTime from, TDateTime to, const StockPlace& f) {
    double pos = PositionOfDay(conn, branch, stockProduct, from, f).quantity;
    double lowest = pos;
    if (to.DateOnly().Val <= from.DateOnly().Val) return lowest;
    auto r = conn.Query(
        "SELECT DTSALDO, SUM(QTMOVIDIA) FROM SALDODIA"
        " WHERE CDFILIAL = :F AND CDPRODESTO = :P AND DTSALDO > :D AND DTSALDO <= :E"
        " AND (:A = '' OR CDALMOXARIFE = :A) AND (:L = '' OR CDLOCALESTOQ = :L)"
        " AND (:LT = '' OR NRLOTEESTQ = :LT) AND (:SL = '' OR NRSUBLOTE = :SL)"
        " GROUP BY DTSALDO ORDER BY DTSALDO",
        {{"F", branch}, {"P", stockProduct}, {"D", from.DateOnly()}, {"E", to.DateOnly()}, {"A", f.storeroom},
         {"L", f.location}, {"LT", f.lot}, {"SL", f.sublot}});
    for (const auto& row : r.rows) {
        pos += row[1].AsFloat();
        lowest = std::min(lowest, pos);
    }
    return lowest;
}

double ItemLedgerTotal(db::SqlConnection& conn, const std::string& branch, const std::string& posting,
                       const std::string& item) {
    auto r = conn.Query("SELECT SUM(QTMOVIESTQ) FROM MOVIESTQ WHERE CDFILIAL = :F AND NRLANCESTQ = :L AND NRSEQUITEM = :I",
                        {{"F", branch}, {"L", posting}, {"I", item}});
    return r.rows.at(0)[0].IsNull() ? 0.0 : r.rows[0][0].AsFloat();
}

}  // namespace store
