#include "store/LedgerAudit.h"

#include "core/Text.h"
#include "store/Sequences.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <map>
#include <tuple>

namespace store {

namespace {

constexpr double kNoise = 5e-6;

std::string t(const Variant& v) { return v.IsNull() ? std::string() : text::Trim(v.AsString()); }
double q(const Variant& v) { return v.IsNull() ? 0.0 : v.AsFloat(); }

std::string num(double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.5f", v);
    return buf;
}

// The last number each branch's sequence issued.
std::map<std::string, int64_t> lastIssued(db::SqlConnection& c, const char* sequence) {
    std::map<std::string, int64_t> out;
    for (const auto& row : c.Query("SELECT CDFILIAL, NRULTIMO FROM NUMSEQ WHERE CDSEQUENCIA = :S", {{"S", sequence}}).rows)
        out[t(row[0])] = row[1].IsNull() ? 0 : row[1].AsInteger();
    return out;
}

// Numbers of one kind per branch, each held by `held` (as many times as it
// occurs) or by `gone`, must be 1 through the last the sequence issued.
void checkNumbering(const char* what, const std::map<std::string, int64_t>& last,
                    const std::map<std::string, std::vector<int64_t>>& held,
                    const std::map<std::string, std::set<int64_t>>& gone, std::vector<std::string>& out) {
    std::set<std::string> branches;
    for (const auto& [b, v] : held) branches.insert(b);
    for (const auto& [b, n] : gone) branches.insert(b);
    for (const auto& [b, n] : last) branches.insert(b);
    for (const std::string& b : branches) {
        auto l = last.find(b);
        const int64_t top = l == last.end() ? 0 : l->second;
        std::map<int64_t, int> count;
        if (auto h = held.find(b); h != held.end())
            for (int64_t n : h->second) ++count[n];
        if (auto g = gone.find(b); g != gone.end())
            for (int64_t n : g->second) ++count[n];
        int reported = 0;
        auto report = [&](const std::string& text) {
            if (reported++ < 5) out.push_back(std::string(what) + " " + b + ": " + text);
        };
        for (const auto& [n, k] : count) {
            if (k > 1) report("number " + std::to_string(n) + " used " + std::to_string(k) + " times");
            if (n < 1 || n > top) report("number " + std::to_string(n) + " beyond the sequence's last " + std::to_string(top));
        }
        for (int64_t n = 1; n <= top; ++n)
            if (!count.count(n)) report("number " + std::to_string(n) + " issued but missing");
    }
}

int64_t numberOf(const std::string& code) {
    try {
        size_t used = 0;
        const int64_t n = std::stoll(code, &used);
        return used == code.size() ? n : -1;
    } catch (const std::exception&) {
        return -1;
    }
}

// 3. SALDODIA's daily and running balances and SALDOLOCAL's whole balances
// against MOVIESTQ, by place (as stored, trimmed) and day.
void checkBalances(db::SqlConnection& c, std::vector<std::string>& out) {
    using Place = std::tuple<std::string, std::string, std::string, std::string, std::string, std::string>;
    struct Sum {
        double qty = 0, entered = 0, value = 0;
    };
    auto placeOf = [](const VariantArray& row) {
        return Place{t(row[0]), t(row[1]), t(row[2]), t(row[3]), t(row[4]), t(row[5])};
    };
    auto describe = [](const Place& k, double day) {
        return std::get<0>(k) + "/" + std::get<1>(k) + " " + DateToStr(TDateTime(day)) + " [" + std::get<2>(k) + "|" +
               std::get<3>(k) + "|" + std::get<4>(k) + "|" + std::get<5>(k) + "]";
    };
    std::map<Place, std::map<double, Sum>> moved;
    for (const auto& row : c.Query("SELECT CDFILIAL, CDPRODESTO, CDALMOXARIFE, CDLOCALESTOQ, NRLOTEESTQ, NRSUBLOTE,"
                                   " DTMOVIESTQ, QTMOVIESTQ, VRCUSTOUNIT FROM MOVIESTQ")
                               .rows) {
        TDateTime d;
        db::ToDateTime(row[6], d);
        Sum& s = moved[placeOf(row)][d.DateOnly().Val];
        const double qty = q(row[7]);
        s.qty += qty;
        if (qty > 0) {
            s.entered += qty;
            s.value += qty * q(row[8]);
        }
    }
    // What the movements add up to at the end of each day they moved, by place.
    std::map<Place, std::map<double, Sum>> running;
    for (const auto& [k, days] : moved) {
        Sum r;
        for (const auto& [d, s] : days) {
            r.qty += s.qty;
            r.entered += s.entered;
            r.value += s.value;
            running[k][d] = r;
        }
    }
    std::map<Place, std::map<double, Sum>> balances;
    for (const auto& row : c.Query("SELECT CDFILIAL, CDPRODESTO, CDALMOXARIFE, CDLOCALESTOQ, NRLOTEESTQ, NRSUBLOTE,"
                                   " DTSALDO, QTMOVIDIA, QTSALDOACUM, QTENTRACUM, VRENTRACUM FROM SALDODIA")
                               .rows) {
        TDateTime d;
        db::ToDateTime(row[6], d);
        const Place k = placeOf(row);
        const double day = d.DateOnly().Val;
        balances[k][day].qty += q(row[7]);
        // The running balances of a day without movements are those of the place's last day before it.
        Sum expected;
        if (auto p = running.find(k); p != running.end())
            if (auto at = p->second.upper_bound(day); at != p->second.begin()) expected = std::prev(at)->second;
        // Kept by additions, running balances may round off a little more than a day's sum where they are large.
        auto differs = [](double kept, double sum) { return std::fabs(kept - sum) > kNoise + 1e-12 * std::fabs(sum); };
        if (differs(q(row[8]), expected.qty) || differs(q(row[9]), expected.entered) || differs(q(row[10]), expected.value))
            out.push_back("running balance " + describe(k, day) + ": SALDODIA " + num(q(row[8])) + " (entries " +
                          num(q(row[9])) + ", " + num(q(row[10])) + "), MOVIESTQ " + num(expected.qty) + " (entries " +
                          num(expected.entered) + ", " + num(expected.value) + ")");
    }
    for (const auto& [k, days] : moved)
        for (const auto& [d, s] : days) {
            const double bal = balances[k].count(d) ? balances[k][d].qty : 0.0;
            if (std::fabs(bal - s.qty) > kNoise)
                out.push_back("balance " + describe(k, d) + ": SALDODIA " + num(bal) + ", MOVIESTQ " + num(s.qty));
            balances[k].erase(d);
        }
    for (const auto& [k, days] : balances)
        for (const auto& [d, s] : days)
            if (std::fabs(s.qty) > kNoise)
                out.push_back("balance " + describe(k, d) + ": SALDODIA " + num(s.qty) + " without movements");

    std::map<Place, double> places;
    for (const auto& row : c.Query("SELECT CDFILIAL, CDPRODESTO, CDALMOXARIFE, CDLOCALESTOQ, NRLOTEESTQ, NRSUBLOTE,"
                                   " QTSALDO FROM SALDOLOCAL")
                               .rows)
        places[placeOf(row)] += q(row[6]);
    for (const auto& [k, days] : running) {
        auto it = places.find(k);
        const double total = days.rbegin()->second.qty;
        if (it == places.end())
            out.push_back("place " + describe(k, days.rbegin()->first) + ": no SALDOLOCAL row, MOVIESTQ " + num(total));
        else if (std::fabs(it->second - total) > kNoise)
            out.push_back("place " + describe(k, days.rbegin()->first) + ": SALDOLOCAL " + num(it->second) +
                          ", MOVIESTQ " + num(total));
        if (it != places.end()) places.erase(it);
    }
    for (const auto& [k, total] : places)
        if (std::fabs(total) > kNoise)
            out.push_back("place " + std::get<0>(k) + "/" + std::get<1>(k) + " [" + std::get<2>(k) + "|" + std::get<3>(k) +
                          "|" + std::get<4>(k) + "|" + std::get<5>(k) + "]: SALDOLOCAL " + num(total) +
                          " without movements");
}

}  // namespace

std::vector<std::string> LedgerViolations(db::SqlConnection& c) {
    std::vector<std::string> out;
    using Key = std::tuple<std::string, std::string, std::string>;  // branch, posting, item
    std::map<Key, double> ledger;
    for (const auto& row : c.Query("SELECT CDFILIAL, NRLANCESTQ, NRSEQUITEM, SUM(QTMOVIESTQ) FROM MOVIESTQ"
                                   " WHERE NRLANCESTQ IS NOT NULL GROUP BY CDFILIAL, NRLANCESTQ, NRSEQUITEM")
                               .rows)
        ledger[{t(row[0]), t(row[1]), t(row[2])}] = q(row[3]);
    for (const auto& row : c.Query("SELECT L.CDFILIMOVI, I.NRLANCESTQ, I.NRSEQUITEM, I.IDEVOLESTOQ, I.QTLANCTOEST"
                                   "  FROM ITLANCTOEST I JOIN LANCTOEST L"
                                   "    ON L.CDFILIAL = I.CDFILIAL AND L.NRLANCESTQ = I.NRLANCESTQ")
                               .rows) {
        const Key k{t(row[0]), t(row[1]), t(row[2])};
        const double expected = t(row[3]) == "S" ? -q(row[4]) : 0.0;
        auto it = ledger.find(k);
        const double held = it == ledger.end() ? 0.0 : it->second;
        if (std::fabs(held - expected) > kNoise)
            out.push_back("conservation " + std::get<0>(k) + "/" + std::get<1>(k) + "/" + std::get<2>(k) + ": ledger " +
                          num(held) + ", expected " + num(expected) + " (IDEVOLESTOQ " + t(row[3]) + ")");
        if (it != ledger.end()) ledger.erase(it);
    }
    for (const auto& [k, held] : ledger)
        if (std::fabs(held) > kNoise)
            out.push_back("orphan " + std::get<0>(k) + "/" + std::get<1>(k) + "/" + std::get<2>(k) + ": ledger " +
                          num(held) + " for an item that no longer exists");

    checkBalances(c, out);

    for (const auto& row : c.Query("SELECT I.CDFILIAL, I.NRLANCESTQ, I.NRSEQUITEM FROM ITLANCTOEST I"
                                   " WHERE NOT EXISTS (SELECT 1 FROM LANCTOEST L"
                                   "   WHERE L.CDFILIAL = I.CDFILIAL AND L.NRLANCESTQ = I.NRLANCESTQ)")
                               .rows)
        out.push_back("item without withdrawal " + t(row[0]) + "/" + t(row[1]) + "/" + t(row[2]));
    for (const auto& row : c.Query("SELECT R.CDFILIAL, R.NRRETIRADA, R.CDTIPOPRAT, R.CDPRATO FROM RETITIPOPRAT R"
                                   " WHERE NOT EXISTS (SELECT 1 FROM LANCTOEST L"
                                   "   WHERE L.CDFILIMOVI = R.CDFILIAL AND L.NRRETIRADA = R.NRRETIRADA)")
                               .rows)
        out.push_back("dish row without withdrawal " + t(row[0]) + "/" + t(row[1]) + " " + t(row[2]) + "/" + t(row[3]));

    std::map<std::string, std::vector<int64_t>> movements;
    for (const auto& row : c.Query("SELECT CDFILIAL, NRMOVIESTQ FROM MOVIESTQ").rows)
        movements[t(row[0])].push_back(row[1].AsInteger());
    checkNumbering("movements", lastIssued(c, kSeqMovimento), movements, {}, out);

    return out;
}

std::map<std::string, double> NegativePositions(db::SqlConnection& c) {
    std::map<std::string, double> out;
    // End-of-day positions by place, in day order, where negative stock is refused.
    std::set<std::string> refusing;
    for (const auto& row : c.Query("SELECT DISTINCT S.CDFILIAL FROM SALDODIA S LEFT JOIN PARAMESTOQUE P"
                                   " ON P.CDFILIAL = S.CDFILIAL WHERE P.IDPERMESTNEG IS NULL OR P.IDPERMESTNEG <> 'S'")
                               .rows)
        refusing.insert(t(row[0]));
    // A blank storeroom, location, lot or sub-lot of a movement stands for any,
    // as the positions a posting checks do: each place a movement names is
    // checked over every movement it covers.
    using Place = std::array<std::string, 4>;
    struct Moved {
        Place place;
        double day, quantity;
    };
    std::map<std::pair<std::string, std::string>, std::vector<Moved>> byProduct;
    for (const auto& row : c.Query("SELECT CDFILIAL, CDPRODESTO, DTMOVIESTQ, CDALMOXARIFE, CDLOCALESTOQ, NRLOTEESTQ,"
                                   " NRSUBLOTE, QTMOVIESTQ FROM MOVIESTQ")
                               .rows) {
        if (!refusing.count(t(row[0]))) continue;
        TDateTime d;
        db::ToDateTime(row[2], d);
        byProduct[{t(row[0]), t(row[1])}].push_back({{t(row[3]), t(row[4]), t(row[5]), t(row[6])}, d.DateOnly().Val, q(row[7])});
    }
    auto covers = [](const Place& filter, const Place& p) {
        for (size_t i = 0; i < filter.size(); ++i)
            if (!filter[i].empty() && filter[i] != p[i]) return false;
        return true;
    };
    for (const auto& [product, moves] : byProduct) {
        std::set<Place> filters;
        for (const Moved& m : moves) filters.insert(m.place);
        for (const Place& f : filters) {
            std::map<double, double> days;
            for (const Moved& m : moves)
                if (covers(f, m.place)) days[m.day] += m.quantity;
            double position = 0;
            for (const auto& [d, sum] : days) {
                position += sum;
                if (position < -kNoise)
                    out[product.first + "/" + product.second + " " + DateToStr(TDateTime(d)) + " [" + f[0] + "|" +
                        f[1] + "|" + f[2] + "|" + f[3] + "]"] = std::round(position * 1e5) / 1e5;
            }
        }
    }
    return out;
}

std::vector<std::string> NumberingViolations(db::SqlConnection& c, const std::set<DeletedWithdrawal>& deleted,
                                             const std::set<DeletedWithdrawal>& uncertain) {
    std::vector<std::string> out;
    std::map<std::string, std::vector<int64_t>> postings, withdrawals;
    std::set<std::pair<std::string, std::string>> present;
    for (const auto& row : c.Query("SELECT CDFILIAL, NRLANCESTQ, NRRETIRADA FROM LANCTOEST").rows) {
        const std::string b = t(row[0]);
        postings[b].push_back(numberOf(t(row[1])));
        if (!row[2].IsNull()) withdrawals[b].push_back(numberOf(t(row[2])));
        present.insert({b, t(row[1])});
    }
    std::map<std::string, std::set<int64_t>> gonePostings, goneWithdrawals;
    for (const DeletedWithdrawal& d : deleted) {
        if (present.count({d.branch, d.posting}))
            out.push_back("withdrawal " + d.branch + "/" + d.posting + " deleted but still there");
        gonePostings[d.branch].insert(numberOf(d.posting));
        goneWithdrawals[d.branch].insert(numberOf(d.withdrawal));
    }
    for (const DeletedWithdrawal& d : uncertain)
        if (!deleted.count(d) && !present.count({d.branch, d.posting})) {
            gonePostings[d.branch].insert(numberOf(d.posting));
            goneWithdrawals[d.branch].insert(numberOf(d.withdrawal));
        }
    checkNumbering("postings", lastIssued(c, kSeqLanctoEst), postings, gonePostings, out);
    checkNumbering("withdrawals", lastIssued(c, kSeqRetirada), withdrawals, goneWithdrawals, out);
    return out;
}

}  // namespace store
