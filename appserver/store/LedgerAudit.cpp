#include "store/LedgerAudit.h"

#include "core/Text.h"

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

    using Day = std::tuple<std::string, std::string, double, std::string, std::string, std::string, std::string>;
    std::map<Day, double> moved, balances;
    for (const auto& row : c.Query("SELECT CDFILIAL, CDPRODESTO, DTMOVIESTQ, CDALMOXARIFE, CDLOCALESTOQ, NRLOTEESTQ,"
                                   " NRSUBLOTE, QTMOVIESTQ FROM MOVIESTQ")
                               .rows) {
        TDateTime d;
        db::ToDateTime(row[2], d);
        moved[{t(row[0]), t(row[1]), d.DateOnly().Val, t(row[3]), t(row[4]), t(row[5]), t(row[6])}] += q(row[7]);
    }
    for (const auto& row : c.Query("SELECT CDFILIAL, CDPRODESTO, DTSALDO, CDALMOXARIFE, CDLOCALESTOQ, NRLOTEESTQ,"
                                   " NRSUBLOTE, QTMOVIDIA FROM SALDODIA")
                               .rows) {
        TDateTime d;
        db::ToDateTime(row[2], d);
        balances[{t(row[0]), t(row[1]), d.DateOnly().Val, t(row[3]), t(row[4]), t(row[5]), t(row[6])}] += q(row[7]);
    }
    auto describe = [](const Day& k) {
        return std::get<0>(k) + "/" + std::get<1>(k) + " " + DateToStr(TDateTime(std::get<2>(k))) + " [" +
               std::get<3>(k) + "|" + std::get<4>(k) + "|" + std::get<5>(k) + "|" + std::get<6>(k) + "]";
    };
    for (const auto& [k, sum] : moved) {
        auto it = balances.find(k);
        const double bal = it == balances.end() ? 0.0 : it->second;
        if (std::fabs(bal - sum) > kNoise)
            out.push_back("balance " + describe(k) + ": SALDODIA " + num(bal) + ", MOVIESTQ " + num(sum));
        if (it != balances.end()) balances.erase(it);
    }
    for (const auto& [k, bal] : balances)
        if (std::fabs(bal) > kNoise) out.push_back("balance " + describe(k) + ": SALDODIA " + num(bal) + " without movements");
    return out;
}

}  // namespace store
