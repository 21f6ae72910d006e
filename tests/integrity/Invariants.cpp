#include "Invariants.h"

#include "core/Text.h"
#include "store/LedgerAudit.h"

#include <cmath>

namespace integrity {

namespace {

std::string t(const Variant& v) { return v.IsNull() ? std::string() : text::Trim(v.AsString()); }

}  // namespace

Baseline TakeBaseline(db::SqlConnection& c) {
    db::Transaction read(c, db::TxMode::Read);
    Baseline b;
    b.negatives = store::NegativePositions(c);
    for (const auto& row : c.Query("SELECT CDFILIAL, NRLANCESTQ FROM LANCTOEST").rows) b.postings.insert({t(row[0]), t(row[1])});
    return b;
}

std::vector<std::string> CheckInvariants(db::SqlConnection& c, const Baseline& before, Deletions& deletions) {
    std::set<store::DeletedWithdrawal> done, uncertain;
    {
        std::lock_guard lock(deletions.mutex);
        done = deletions.done;
    }
    db::Transaction read(c, db::TxMode::Read);
    c.Query("SELECT COUNT(*) FROM NUMSEQ");  // the snapshot starts here
    {
        // Done since the snapshot began, or still in flight: either outcome.
        std::lock_guard lock(deletions.mutex);
        for (const auto& d : deletions.done)
            if (!done.count(d)) uncertain.insert(d);
        uncertain.insert(deletions.inFlight.begin(), deletions.inFlight.end());
    }
    std::vector<std::string> out = store::LedgerViolations(c);
    for (auto& v : store::NumberingViolations(c, done, uncertain)) out.push_back(std::move(v));
    for (const auto& [place, position] : store::NegativePositions(c)) {
        auto was = before.negatives.find(place);
        if (was == before.negatives.end() || position < was->second - 5e-6)
            out.push_back("negative position " + place + ": " + std::to_string(position) +
                          " where negative stock is refused" +
                          (was == before.negatives.end() ? "" : " (was " + std::to_string(was->second) + ")"));
    }
    return out;
}

std::vector<std::string> CheckModels(db::SqlConnection& c, const Baseline& before,
                                     const std::vector<ModelWithdrawal>& models) {
    std::vector<std::string> out;
    db::Transaction read(c, db::TxMode::Read);
    using Key = std::pair<std::string, std::string>;
    std::map<Key, std::map<std::string, std::pair<std::string, double>>> held;  // items: product, quantity
    std::set<Key> headers;
    for (const auto& row : c.Query("SELECT CDFILIAL, NRLANCESTQ FROM LANCTOEST").rows) headers.insert({t(row[0]), t(row[1])});
    for (const auto& row : c.Query("SELECT CDFILIAL, NRLANCESTQ, NRSEQUITEM, CDPRODUTO, QTTOTLANCTO, IDSTATUS"
                                   " FROM ITLANCTOEST")
                               .rows)
        if (t(row[5]) != "D") held[{t(row[0]), t(row[1])}][t(row[2])] = {t(row[3]), row[4].IsNull() ? 0 : row[4].AsFloat()};
    std::set<Key> modelled;
    for (const ModelWithdrawal& w : models) {
        const Key k{w.branch, w.posting};
        modelled.insert(k);
        const std::string name = "withdrawal " + w.branch + "/" + w.posting;
        if (!headers.count(k)) {
            out.push_back(name + " confirmed to its operator but not in the database");
            continue;
        }
        const auto& items = held[k];
        std::set<std::string> seen;
        for (const auto& it : w.items) {
            seen.insert(it.seq);
            auto at = items.find(it.seq);
            if (at == items.end()) out.push_back(name + " item " + it.seq + " (" + it.product + ") missing");
            else if (at->second.first != it.product || std::fabs(at->second.second - it.consumed) > 5e-6)
                out.push_back(name + " item " + it.seq + ": " + at->second.first + " " +
                              std::to_string(at->second.second) + " in the database, " + it.product + " " +
                              std::to_string(it.consumed) + " confirmed");
        }
        for (const auto& [seq, item] : items)
            if (!seen.count(seq)) out.push_back(name + " item " + seq + " (" + item.first + ") never confirmed");
    }
    for (const Key& k : headers)
        if (!before.postings.count(k) && !modelled.count(k))
            out.push_back("withdrawal " + k.first + "/" + k.second + " that no operator was answered for");
    return out;
}

std::vector<std::string> EngineConsistency(db::SqlConnection& c, std::string* note) {
    std::vector<std::string> out;
    if (c.GetDialect() == db::Dialect::SQLite) {
        for (const auto& row : c.Query("PRAGMA integrity_check").rows)
            if (t(row[0]) != "ok") out.push_back("integrity_check: " + t(row[0]));
        return out;
    }
    try {
        c.Execute("CREATE EXTENSION IF NOT EXISTS amcheck");
    } catch (const std::exception& e) {
        if (note) *note = std::string("amcheck not available: ") + e.what();
        return out;
    }
    auto indexes = c.Query("SELECT c.relname FROM pg_index i JOIN pg_class c ON c.oid = i.indexrelid"
                           " JOIN pg_am a ON a.oid = c.relam JOIN pg_namespace n ON n.oid = c.relnamespace"
                           " WHERE a.amname = 'btree' AND n.nspname = current_schema()");
    for (const auto& row : indexes.rows) {
        try {
            c.Query("SELECT bt_index_check('" + t(row[0]) + "'::regclass, true)");
        } catch (const std::exception& e) {
            out.push_back("index " + t(row[0]) + ": " + e.what());
        }
    }
    if (note) *note = std::to_string(indexes.rows.size()) + " indexes checked with amcheck";
    return out;
}

}  // namespace integrity
