#pragma once
// Sessions of signed-on operators, kept in the database (table SESSAOSERV) so
// that every server over it shares them: a token issued by one server is
// taken by another, a sign-off ends it everywhere, a restart keeps it.
//
// Tokens are 256 random bits in hex, given to the client once; the table
// holds only their SHA-256, so a copy of the database signs no one on. A
// session expires after a time of inactivity; each use extends it, written at
// most once per refresh step (a minute, or a tenth of the limit when that is
// shorter) so that reads do not turn into writes.
//
// Open and Close run on the connection they are handed, in the
// caller's transaction. Validate runs outside any transaction of the caller,
// in short ones of its own through the injected runner (a read, and a write
// when the session is due for its extension). Throws db::SqlError on database
// failures. Thread-safe: it holds no state but its settings.
#include "db/SqlConnection.h"
#include "rpc/Dispatcher.h"

#include <chrono>
#include <functional>
#include <optional>
#include <string>

namespace appserver {

using Clock = std::function<std::chrono::system_clock::time_point()>;

struct SessionInfo {
    std::string token;
    std::string operatorCode;
    std::chrono::system_clock::time_point expires;
};

class SessionStore {
public:
    // Without a runner Validate's statements commit one by one.
    explicit SessionStore(std::chrono::seconds idleLimit = std::chrono::hours(8), Clock clock = {},
                          TransactionRunner runner = {});

    // Opens a session for the operator (and forgets the expired ones). Throws
    // Exception when the system cannot give random bytes.
    SessionInfo Open(db::SqlConnection& conn, const std::string& operatorCode) const;
    // The operator of a live session, extending it; nullopt for unknown or expired tokens.
    std::optional<std::string> Validate(db::SqlConnection& conn, const std::string& token) const;
    // Ends the session everywhere; an unknown token is no error.
    void Close(db::SqlConnection& conn, const std::string& token) const;

    // The stored form of a token (SHA-256 in hex).
    static std::string Digest(const std::string& token);

private:
    int64_t nowSeconds() const;

    void run(db::SqlConnection& conn, Access access, const std::function<void()>& body) const;

    std::chrono::seconds idleLimit_;
    std::chrono::seconds refreshStep_;
    Clock clock_;
    TransactionRunner runner_;
};

// Seconds since 1970 of a clock's reading (the system clock when clock is empty).
int64_t EpochSeconds(const Clock& clock);

}  // namespace appserver
