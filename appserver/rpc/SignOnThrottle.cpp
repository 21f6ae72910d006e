#include "rpc/SignOnThrottle.h"

namespace appserver {

namespace {

// Names and addresses are kept within their columns; a longer name tried is
// counted under its first characters.
constexpr size_t kMaxName = 40;
constexpr size_t kMaxAddress = 64;

// The first bytes of text up to max, never cutting a UTF-8 character in two
// (PostgreSQL refuses broken UTF-8).
std::string cut(const std::string& text, size_t max) {
    if (text.size() <= max) return text;
    size_t n = max;
    while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
    return text.substr(0, n);
}

db::SqlParams keyOf(const std::string& op, const std::string& address) {
    return {{"O", cut(op, kMaxName)}, {"A", cut(address, kMaxAddress)}};
}

}  // namespace

SignOnThrottle::SignOnThrottle(SignOnPolicy policy, Clock clock) : policy_(policy), clock_(std::move(clock)) {}

std::chrono::seconds SignOnThrottle::DelayAfter(int attempts) const {
    int over = attempts - policy_.freeAttempts;
    if (over <= 0) return std::chrono::seconds(0);
    std::chrono::seconds d = policy_.firstDelay;
    for (int i = 1; i < over && d < policy_.maxDelay; ++i) d *= 2;
    return std::min(d, policy_.maxDelay);
}

int64_t SignOnThrottle::Take(db::SqlConnection& conn, const std::string& operatorCode, const std::string& address) const {
    const int64_t now = EpochSeconds(clock_);
    // Guessed names must not grow the table without end.
    conn.Execute("DELETE FROM TENTATLOGON WHERE NRULTIMA < :T", {{"T", now - policy_.forgetAfter.count()}});
    db::SqlParams p = keyOf(operatorCode, address);
    p.push_back({"T", now});
    // One statement counts the attempt only while no delay runs, so two
    // servers taking attempts at once cannot both pass on one permission
    // (the row stays locked until the caller commits).
    db::SqlResult counted = conn.Query(
        "INSERT INTO TENTATLOGON (CDOPERADOR, DSENDERECO, QTTENTATIVA, NRLIBERA, NRULTIMA) VALUES (:O, :A, 1, :T, :T)"
        " ON CONFLICT (CDOPERADOR, DSENDERECO) DO UPDATE SET QTTENTATIVA = TENTATLOGON.QTTENTATIVA + 1, NRULTIMA = :T"
        " WHERE TENTATLOGON.NRLIBERA <= :T"
        " RETURNING QTTENTATIVA",
        p);
    if (counted.Empty()) {
        db::SqlResult r = conn.Query("SELECT NRLIBERA FROM TENTATLOGON WHERE CDOPERADOR = :O AND DSENDERECO = :A", p);
        return r.Empty() ? 1 : std::max<int64_t>(1, r.rows[0][0].AsInteger() - now);
    }
    const int attempts = static_cast<int>(counted.rows[0][0].AsInteger());
    p.push_back({"L", now + DelayAfter(attempts).count()});
    conn.Execute("UPDATE TENTATLOGON SET NRLIBERA = :L WHERE CDOPERADOR = :O AND DSENDERECO = :A", p);
    return 0;
}

void SignOnThrottle::Succeeded(db::SqlConnection& conn, const std::string& operatorCode, const std::string& address) const {
    conn.Execute("DELETE FROM TENTATLOGON WHERE CDOPERADOR = :O AND DSENDERECO = :A", keyOf(operatorCode, address));
}

}  // namespace appserver
