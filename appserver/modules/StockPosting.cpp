// Carrying withdrawal items to stock and back (contract in StockPosting.h).
#include "modules/StockPosting.h"

#include "core/Text.h"
#include "modules/Datasets.h"
#include "modules/ModuleSupport.h"

#include <cmath>
#include <optional>

namespace appserver {

namespace {

constexpr double kNoise = 5e-6;

std::string trim(const Variant& v) { return v.IsNull() ? std::string() : text::Trim(v.AsString()); }

store::StockPlace filterOf(const store::StockPlace& p) {
    return {text::Trim(p.storeroom), text::Trim(p.location), text::Trim(p.lot), text::Trim(p.sublot)};
}

// The first open inventory holding the movement's product at its place on its
// day: a general one (no product list) holds everything. Fills storeroom and
// location of the row it reports.
bool inventoryPending(const PostingRules& rules, const store::StockMovement& m, std::string& storeroom,
                      std::string& location) {
    const std::string a = text::Trim(m.place.storeroom), l = text::Trim(m.place.location);
    for (const auto& inv : rules.inventories) {
        if (inv.day > m.date.DateOnly()) continue;
        if (!inv.stockProduct.empty() &&
            (inv.stockProduct != m.stockProduct || (!a.empty() && !inv.storeroom.empty() && inv.storeroom != a) ||
             (!l.empty() && !inv.location.empty() && inv.location != l)))
            continue;
        storeroom = inv.stockProduct.empty() ? a : inv.storeroom;
        location = inv.stockProduct.empty() ? l : inv.location;
        return true;
    }
    return false;
}

// A movement that takes stock would leave some daily position from its day
// through the end day below zero.
bool irregular(db::SqlConnection& c, const PostingRules& rules, const store::StockMovement& m) {
    if (m.quantity >= 0) return false;
    const double lowest = store::LowestPosition(c, rules.branch, m.stockProduct, m.date,
                                                rules.endDay < m.date ? m.date : rules.endDay, filterOf(m.place));
    return lowest + m.quantity < -kNoise;
}

}  // namespace

void MarkCarried(db::SqlConnection& c, const std::string& branch, const StoredItem& it, bool carried) {
    c.Execute("UPDATE ITLANCTOEST SET IDEVOLESTOQ = :E WHERE CDFILIAL = :F AND NRLANCESTQ = :L AND NRSEQUITEM = :I",
              {{"E", carried ? "S" : "N"}, {"F", branch}, {"L", it.posting}, {"I", it.item}});
}

void ResultRows::Add(const std::string& key, const std::string& object, const std::string& object2,
                     const std::string& object3) {
    rows_.push_back({key, object, object2, object3});
}

bool ResultRows::Has(const std::string& key) const {
    for (const Row& r : rows_)
        if (text::SameText(r.key, key)) return true;
    return false;
}

size_t ResultRows::Errors() const {
    size_t n = 0;
    for (const Row& r : rows_)
        if (r.key.rfind("NR", 0) != 0) ++n;
    return n;
}

DataPacket ResultRows::Packet() const {
    DataPacket p = EmptyPacket(datasets::Retorno());
    for (const Row& r : rows_)
        p.rows.push_back({{Variant(r.key), Variant(r.object), Variant(r.object2), Variant(r.object3)},
                          RowChange::Unmodified,
                          {}});
    return p;
}

bool PostingRules::Accepted(const std::string& key) const {
    return ignoreList.find("#" + key + "#") != std::string::npos;
}

bool PostingRules::Refused(const ResultRows& rows) const {
    if (rows.Has(kIrregular) && !Accepted(kIrregular) && !negativeAllowed) return true;
    for (const char* k : {kInventory, kInactive, kNoStockControl})
        if (rows.Has(k) && !Accepted(k)) return true;
    return false;
}

PostingRules ReadPostingRules(db::SqlConnection& c, const std::string& branch, TDateTime endDay,
                              const std::string& ignoreList) {
    auto r = c.Query("SELECT IDPERMESTNEG, IDCTRLESTQ FROM PARAMESTOQUE WHERE CDFILIAL = :F", {{"F", branch}});
    if (r.Empty()) Fail("Parâmetros de estoque não cadastrados para a filial " + branch + ".");
    PostingRules rules;
    rules.branch = branch;
    rules.endDay = endDay.DateOnly();
    rules.negativeAllowed = trim(r.rows[0][0]) == "S";
    rules.branchControlsStock = trim(r.rows[0][1]) == "S";
    rules.ignoreList = ignoreList.empty() ? "0" : ignoreList;
    auto inv = c.Query("SELECT N.DTINVENTARIO, I.CDPRODESTO, I.CDALMOXARIFE, I.CDLOCALESTOQ FROM INVENTARIO N"
                       "  LEFT JOIN ITINVENTARIO I ON I.CDFILIAL = N.CDFILIAL AND I.NRINVENTARIO = N.NRINVENTARIO"
                       " WHERE N.CDFILIAL = :F AND N.IDSITUACAO = 'A' ORDER BY N.DTINVENTARIO, N.NRINVENTARIO",
                       {{"F", branch}});
    for (const auto& row : inv.rows) {
        PostingRules::OpenInventory o;
        db::ToDateTime(row[0], o.day);
        o.day = o.day.DateOnly();
        o.stockProduct = trim(row[1]);
        o.storeroom = trim(row[2]);
        o.location = trim(row[3]);
        rules.inventories.push_back(std::move(o));
    }
    return rules;
}

std::vector<StoredItem> ReadStoredItems(db::SqlConnection& c, const std::string& branch, const std::string& posting,
                                        const std::string& item) {
    auto r = c.Query(
        "SELECT I.NRSEQUITEM, I.CDPRODUTO, P.CDPRODESTO, I.CDALMOXARIFE, I.CDLOCALESTOQ, I.NRLOTEESTQ, I.NRSUBLOTE,"
        "       L.DTLANCESTQ, I.QTLANCTOEST, I.VRUNILANCTO, I.IDEVOLESTOQ, F.IDPRODATIV, P.IDCNTRESTOQ"
        "  FROM LANCTOEST L"
        "  JOIN ITLANCTOEST I ON I.CDFILIAL = L.CDFILIAL AND I.NRLANCESTQ = L.NRLANCESTQ"
        "  JOIN PRODUTO P ON P.CDPRODUTO = I.CDPRODUTO"
        "  LEFT JOIN PRODFILI F ON F.CDFILIAL = L.CDFILIMOVI AND F.CDPRODUTO = I.CDPRODUTO"
        " WHERE L.CDFILIAL = :F AND L.NRLANCESTQ = :L AND (:I = '' OR I.NRSEQUITEM = :I)"
        " ORDER BY I.NRSEQUITEM",
        {{"F", branch}, {"L", posting}, {"I", item}});
    std::vector<StoredItem> out;
    for (const auto& row : r.rows) {
        StoredItem it;
        it.posting = posting;
        it.item = trim(row[0]);
        it.product = trim(row[1]);
        it.stockProduct = trim(row[2]);
        it.place = {row[3].AsString(), row[4].AsString(), row[5].AsString(), row[6].AsString()};
        db::ToDateTime(row[7], it.day);
        it.day = it.day.DateOnly();
        it.stockQuantity = row[8].IsNull() ? 0.0 : row[8].AsFloat();
        it.unitCost = row[9].IsNull() ? 0.0 : row[9].AsFloat();
        it.carried = trim(row[10]) == "S";
        it.productActive = trim(row[11]) != "I";
        it.controlsStock = trim(row[12]) == "S";
        out.push_back(std::move(it));
    }
    return out;
}

Settled SettleItem(db::SqlConnection& c, const PostingRules& rules, const StoredItem& it, ResultRows& rows,
                   const std::vector<store::Holding>* held) {
    const store::ItemTarget target{it.stockProduct, it.place, it.day, -it.stockQuantity, it.unitCost};
    std::string refusal, storeroom = text::Trim(it.place.storeroom), location = text::Trim(it.place.location);
    const auto plan = held ? store::MovementsToTarget(*held, rules.branch, it.posting, it.item, target)
                           : store::MovementsToTarget(c, rules.branch, it.posting, it.item, target);
    // A single movement is checked before it is written; several are written one by one and may need undoing.
    std::optional<db::Transaction> attempt;
    if (plan.size() > 1) attempt.emplace(c);
    if (!plan.empty() && it.stockQuantity > kNoise) {
        if (!it.productActive)
            refusal = kInactive;
        else if (!it.controlsStock || !rules.branchControlsStock)
            refusal = kNoStockControl;
    }
    for (const auto& m : plan) {
        if (!refusal.empty()) break;
        if (inventoryPending(rules, m, storeroom, location)) refusal = kInventory;
    }
    // What returns to stock first, so that a move between places checks the new place against what is there.
    for (int pass = 0; pass < 2 && refusal.empty(); ++pass)
        for (const auto& m : plan) {
            if ((pass == 0) != (m.quantity >= 0)) continue;
            if (!rules.IrregularPosted() && irregular(c, rules, m)) {
                refusal = kIrregular;
                break;
            }
            store::AddMovement(c, m);
        }
    if (refusal.empty()) {
        if (attempt) attempt->Commit();
        return Settled::Posted;
    }
    attempt.reset();  // rolls back what this item posted
    // Nothing stays posted for a refused item.
    const store::ItemTarget nothing{it.stockProduct, it.place, it.day, 0, it.unitCost};
    for (const auto& m : held ? store::MovementsToTarget(*held, rules.branch, it.posting, it.item, nothing)
                              : store::MovementsToTarget(c, rules.branch, it.posting, it.item, nothing))
        store::AddMovement(c, m);
    rows.Add(refusal, it.product, storeroom, location);
    return Settled::Refused;
}

Settled ReverseItem(db::SqlConnection& c, const PostingRules& rules, const StoredItem& it, ResultRows& rows) {
    const auto plan = store::MovementsToTarget(c, rules.branch, it.posting, it.item,
                                               {it.stockProduct, it.place, it.day, 0, it.unitCost});
    std::string refusal, storeroom = text::Trim(it.place.storeroom), location = text::Trim(it.place.location);
    for (const auto& m : plan) {
        if (inventoryPending(rules, m, storeroom, location)) {
            refusal = kInventory;
            break;
        }
        if (!rules.IrregularPosted() && irregular(c, rules, m)) {
            refusal = kIrregular;
            storeroom = text::Trim(m.place.storeroom);
            location = text::Trim(m.place.location);
            break;
        }
    }
    if (!refusal.empty()) {
        rows.Add(refusal, it.product, storeroom, location);
        return Settled::Refused;
    }
    for (const auto& m : plan) store::AddMovement(c, m);
    return Settled::Posted;
}

}  // namespace appserver
