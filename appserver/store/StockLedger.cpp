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

// The place of one stock product, as stored, in table T.
std::string samePlaceOf(const char* t) {
    const std::string p = std::string(t) + ".";
    return p + "CDFILIAL = :F AND " + p + "CDPRODESTO = :P AND " + p + "CDALMOXARIFE = :A AND " + p +
           "CDLOCALESTOQ = :L AND " + p + "NRLOTEESTQ = :LT AND " + p + "NRSUBLOTE = :SL";
}

// A running column of the place's last day before the movement's (0 when none).
std::string runningBefore(const char* column) {
    return std::string("COALESCE((SELECT X.") + column + " FROM SALDODIA X WHERE " + samePlaceOf("X") +
           " AND X.DTSALDO < :D ORDER BY X.DTSALDO DESC LIMIT 1), 0)";
}

// The statements that write one movement, in the order they run: the
// branch's next movement number (the NUMSEQ row stays locked until the
// transaction ends), the movement taking it, its day's row (new or not), the
// running balances of the later days of its place and the place's whole
// balance. Upserts, so the first movement of a day or place cannot be
// inserted twice.
const std::vector<std::string>& movementStatements() {
    static const std::vector<std::string> all = {
        NextNumberSql(),
        "INSERT INTO MOVIESTQ (CDFILIAL, NRMOVIESTQ, CDPRODESTO, CDALMOXARIFE, CDLOCALESTOQ, NRLOTEESTQ, NRSUBLOTE,"
        " DTMOVIESTQ, IDTIPOMOVI, QTMOVIESTQ, VRCUSTOUNIT, NRLANCESTQ, NRSEQUITEM)"
        " VALUES (:F, (SELECT NRULTIMO FROM NUMSEQ WHERE CDFILIAL = :CDFILIAL AND CDSEQUENCIA = :CDSEQUENCIA),"
        " :P, :A, :L, :LT, :SL,"
        " :DM, :K, :Q, :C, :NL, :NS) RETURNING NRMOVIESTQ",
        "INSERT INTO SALDODIA (CDFILIAL, CDPRODESTO, DTSALDO, CDALMOXARIFE, CDLOCALESTOQ, NRLOTEESTQ, NRSUBLOTE,"
        " QTMOVIDIA, QTENTRDIA, VRENTRDIA, QTSALDOACUM, QTENTRACUM, VRENTRACUM)"
        " VALUES (:F, :P, :D, :A, :L, :LT, :SL, :Q, :QE, :VE, :Q + " + runningBefore("QTSALDOACUM") + ", :QE + " +
            runningBefore("QTENTRACUM") + ", :VE + " + runningBefore("VRENTRACUM") + ")" +
            " ON CONFLICT (CDFILIAL, CDPRODESTO, DTSALDO, CDALMOXARIFE, CDLOCALESTOQ, NRLOTEESTQ, NRSUBLOTE)"
            " DO UPDATE SET QTMOVIDIA = SALDODIA.QTMOVIDIA + excluded.QTMOVIDIA,"
            " QTENTRDIA = SALDODIA.QTENTRDIA + excluded.QTENTRDIA, VRENTRDIA = SALDODIA.VRENTRDIA + excluded.VRENTRDIA,"
            " QTSALDOACUM = SALDODIA.QTSALDOACUM + excluded.QTMOVIDIA,"
            " QTENTRACUM = SALDODIA.QTENTRACUM + excluded.QTENTRDIA, VRENTRACUM = SALDODIA.VRENTRACUM + excluded.VRENTRDIA",
        "UPDATE SALDODIA SET QTSALDOACUM = QTSALDOACUM + :Q, QTENTRACUM = QTENTRACUM + :QE,"
        " VRENTRACUM = VRENTRACUM + :VE WHERE " + samePlaceOf("SALDODIA") + " AND DTSALDO > :D",
        "INSERT INTO SALDOLOCAL (CDFILIAL, CDPRODESTO, CDALMOXARIFE, CDLOCALESTOQ, NRLOTEESTQ, NRSUBLOTE, QTSALDO)"
        " VALUES (:F, :P, :A, :L, :LT, :SL, :Q)"
        " ON CONFLICT (CDFILIAL, CDPRODESTO, CDALMOXARIFE, CDLOCALESTOQ, NRLOTEESTQ, NRSUBLOTE)"
        " DO UPDATE SET QTSALDO = SALDOLOCAL.QTSALDO + excluded.QTSALDO",
    };
    return all;
}

// Filters places of stock product :P of branch :F in table T (see StockPlace).
std::string placeFilterOf(const char* t) {
    const std::string p = std::string(t) + ".";
    return p + "CDFILIAL = :F AND " + p + "CDPRODESTO = :P AND (:A = '' OR " + p + "CDALMOXARIFE = :A) AND (:L = '' OR " +
           p + "CDLOCALESTOQ = :L) AND (:LT = '' OR " + p + "NRLOTEESTQ = :LT) AND (:SL = '' OR " + p + "NRSUBLOTE = :SL)";
}

// A running balance of the place's last day up to :D, for each place (table G
// of SALDOLOCAL): one seek backwards on SALDODIA_LOCAL. A scalar subquery
// leaves the planner no join to read the product's every day for.
std::string lastOfPlace(const char* column) {
    return std::string("(SELECT X.") + column +
           " FROM SALDODIA X WHERE X.CDFILIAL = G.CDFILIAL AND X.CDPRODESTO = G.CDPRODESTO"
           " AND X.CDALMOXARIFE = G.CDALMOXARIFE AND X.CDLOCALESTOQ = G.CDLOCALESTOQ AND X.NRLOTEESTQ = G.NRLOTEESTQ"
           " AND X.NRSUBLOTE = G.NRSUBLOTE AND X.DTSALDO <= :D ORDER BY X.DTSALDO DESC LIMIT 1)";
}

}  // namespace

int64_t AddMovement(db::SqlConnection& conn, const StockMovement& m) {
    // Inside a caller's transaction the guard would only cost two statements per movement.
    std::optional<db::Transaction> t;
    if (!conn.InTransaction()) t.emplace(conn);
    const double entered = m.quantity > 0 ? m.quantity : 0;
    const db::SqlParams p = {{"F", m.branch}, {"CDFILIAL", m.branch}, {"CDSEQUENCIA", kSeqMovimento},
                             {"P", m.stockProduct},
                             {"A", orBlank(m.place.storeroom)}, {"L", orBlank(m.place.location)},
                             {"LT", orBlank(m.place.lot)}, {"SL", orBlank(m.place.sublot)}, {"DM", m.date},
                             {"D", m.date.DateOnly()}, {"K", std::string(1, m.kind)}, {"Q", m.quantity},
                             {"C", m.unitCost}, {"QE", entered}, {"VE", entered * m.unitCost},
                             {"NL", m.posting.empty() ? Variant() : Variant(m.posting)},
                             {"NS", m.item.empty() ? Variant() : Variant(m.item)}};
    // One exchange with the database for the whole movement (five statements).
    const auto& sql = movementStatements();
    std::vector<db::SqlStatementRef> batch;
    batch.reserve(sql.size());
    for (const std::string& s : sql) batch.push_back({s, p});
    const std::vector<db::SqlResult> r = conn.QueryBatch(batch);
    if (t) t->Commit();
    return r.at(1).rows.at(0).at(0).AsInteger();
}

StockPosition PositionOfDay(db::SqlConnection& conn, const std::string& branch, const std::string& stockProduct,
                            TDateTime day, const StockPlace& f) {
    static const std::string sql = "SELECT SUM(" + lastOfPlace("QTSALDOACUM") + "), SUM(" + lastOfPlace("VRENTRACUM") +
                                   "), SUM(" + lastOfPlace("QTENTRACUM") + ") FROM SALDOLOCAL G WHERE " +
                                   placeFilterOf("G");
    auto r = conn.Query(sql, {{"F", branch}, {"P", stockProduct}, {"D", day.DateOnly()}, {"A", f.storeroom},
                              {"L", f.location}, {"LT", f.lot}, {"SL", f.sublot}});
    StockPosition pos;
    const auto& row = r.rows.at(0);
    pos.moved = !row[0].IsNull();
    if (pos.moved) pos.quantity = row[0].AsFloat();
    if (!row[2].IsNull() && row[2].AsFloat() > 0) pos.averageCost = row[1].AsFloat() / row[2].AsFloat();
    return pos;
}

std::string PositionQuantitySql(const std::string& branch, const std::string& stockProduct, const std::string& day) {
    std::string last = lastOfPlace("QTSALDOACUM");
    last.replace(last.find(":D"), 2, ":" + day);
    return "(SELECT SUM(" + last + ") FROM SALDOLOCAL G WHERE G.CDFILIAL = " + branch + " AND G.CDPRODESTO = " +
           stockProduct + ")";
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
    conn.Execute("DELETE FROM SALDOLOCAL");
    // By place, then day, so the running balances add up in day order.
    using Place = std::tuple<std::string, std::string, std::string, std::string, std::string, std::string>;
    struct Sum {
        double qty = 0, entered = 0, value = 0;
    };
    std::map<Place, std::map<double, Sum>> days;
    // The ledger a page at a time: a bulk load may be far larger than memory wants at once.
    constexpr int kPage = 50000;
    for (const auto& b : conn.Query("SELECT DISTINCT CDFILIAL FROM MOVIESTQ").rows) {
        for (int64_t after = -1;;) {
            auto r = conn.Query("SELECT NRMOVIESTQ, CDPRODESTO, DTMOVIESTQ, CDALMOXARIFE, CDLOCALESTOQ, NRLOTEESTQ,"
                                " NRSUBLOTE, QTMOVIESTQ, VRCUSTOUNIT FROM MOVIESTQ WHERE CDFILIAL = :F AND NRMOVIESTQ > :N"
                                " ORDER BY NRMOVIESTQ LIMIT " + std::to_string(kPage),
                                {{"F", b[0]}, {"N", static_cast<long long>(after)}});
            for (const auto& row : r.rows) {
                TDateTime d;
                db::ToDateTime(row[2], d);
                Sum& s = days[Place{b[0].AsString(), row[1].AsString(), row[3].AsString(), row[4].AsString(),
                                    row[5].AsString(), row[6].AsString()}][d.DateOnly().Val];
                double q = row[7].AsFloat();
                s.qty += q;
                if (q > 0) {
                    s.entered += q;
                    s.value += q * row[8].AsFloat();
                }
            }
            if (r.rows.size() < static_cast<size_t>(kPage)) break;
            after = r.rows.back()[0].AsInteger();
        }
    }
    for (const auto& [k, byDay] : days) {
        const auto& [f, p, a, l, lt, sl] = k;
        Sum running;
        for (const auto& [d, s] : byDay) {
            running.qty += s.qty;
            running.entered += s.entered;
            running.value += s.value;
            conn.Execute("INSERT INTO SALDODIA (CDFILIAL, CDPRODESTO, DTSALDO, CDALMOXARIFE, CDLOCALESTOQ, NRLOTEESTQ,"
                         " NRSUBLOTE, QTMOVIDIA, QTENTRDIA, VRENTRDIA, QTSALDOACUM, QTENTRACUM, VRENTRACUM)"
                         " VALUES (:F, :P, :D, :A, :L, :LT, :SL, :Q, :QE, :VE, :RQ, :RQE, :RVE)",
                         {{"F", f}, {"P", p}, {"D", TDateTime(d)}, {"A", a}, {"L", l}, {"LT", lt}, {"SL", sl},
                          {"Q", s.qty}, {"QE", s.entered}, {"VE", s.value}, {"RQ", running.qty},
                          {"RQE", running.entered}, {"RVE", running.value}});
        }
        conn.Execute("INSERT INTO SALDOLOCAL (CDFILIAL, CDPRODESTO, CDALMOXARIFE, CDLOCALESTOQ, NRLOTEESTQ, NRSUBLOTE,"
                     " QTSALDO) VALUES (:F, :P, :A, :L, :LT, :SL, :Q)",
                     {{"F", f}, {"P", p}, {"A", a}, {"L", l}, {"LT", lt}, {"SL", sl}, {"Q", running.qty}});
    }
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
