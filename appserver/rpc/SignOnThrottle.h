#pragma once
// Slows down password guessing, per operator name AND client address, in the
// database (table TENTATLOGON) so that every server over it counts the same
// attempts. A wrong password from one address therefore never delays the
// same operator at another address: nobody can lock an operator out by
// guessing at it from elsewhere.
//
// Each attempt counts as a failure until its password proves right (then the
// count is forgotten): concurrent guesses cannot all slip through before the
// first failure is written. After freeAttempts, each attempt must wait a
// delay that doubles from firstDelay up to maxDelay; attempts come back free
// after forgetAfter without any.
//
// An attempt made during its delay is answered at once with the time left
// ("try later"), never by sleeping: a sleeping sign-on would hold one of the
// endpoint's few event loops (and with it every connection on that loop) and
// would let anyone tie up the server with a handful of guesses. Nothing is
// counted for such an attempt, so waiting out the delay is always enough.
#include "db/SqlConnection.h"
#include "rpc/SessionStore.h"

#include <chrono>
#include <cstdint>
#include <string>

namespace appserver {

struct SignOnPolicy {
    int freeAttempts = 3;
    std::chrono::seconds firstDelay{1};
    std::chrono::seconds maxDelay{300};
    std::chrono::seconds forgetAfter{3600};
};

class SignOnThrottle {
public:
    explicit SignOnThrottle(SignOnPolicy policy = {}, Clock clock = {});

    // Takes one attempt of operatorCode from address. Returns 0 when the
    // attempt may go on (it is then counted), else the seconds still to wait
    // (nothing counted). Must run inside the caller's write transaction on
    // conn, which it keeps short. Throws db::SqlError.
    int64_t Take(db::SqlConnection& conn, const std::string& operatorCode, const std::string& address) const;
    // A right password: forgets the attempts of operatorCode from address. Throws db::SqlError.
    void Succeeded(db::SqlConnection& conn, const std::string& operatorCode, const std::string& address) const;
    // The wait imposed after the given number of attempts.
    std::chrono::seconds DelayAfter(int attempts) const;

private:
    SignOnPolicy policy_;
    Clock clock_;
};

}  // namespace appserver
