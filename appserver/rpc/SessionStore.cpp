#include "rpc/SessionStore.h"

#include "core/Exception.h"

#include <openssl/evp.h>
#include <openssl/rand.h>

namespace appserver {

namespace {

std::string hex(const unsigned char* bytes, size_t n) {
    static const char* digits = "0123456789abcdef";
    std::string out;
    out.reserve(2 * n);
    for (size_t i = 0; i < n; ++i) {
        out += digits[bytes[i] >> 4];
        out += digits[bytes[i] & 15];
    }
    return out;
}

}  // namespace

int64_t EpochSeconds(const Clock& clock) {
    auto t = clock ? clock() : std::chrono::system_clock::now();
    return std::chrono::duration_cast<std::chrono::seconds>(t.time_since_epoch()).count();
}

SessionStore::SessionStore(std::chrono::seconds idleLimit, Clock clock, TransactionRunner runner)
    : idleLimit_(idleLimit), refreshStep_(std::min<std::chrono::seconds>(std::chrono::minutes(1), idleLimit / 10)),
      clock_(std::move(clock)), runner_(std::move(runner)) {}

void SessionStore::run(db::SqlConnection& conn, Access access, const std::function<void()>& body) const {
    if (runner_)
        runner_(conn, access, body);
    else
        body();
}

int64_t SessionStore::nowSeconds() const { return EpochSeconds(clock_); }

std::string SessionStore::Digest(const std::string& token) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_Digest(token.data(), token.size(), digest, &length, EVP_sha256(), nullptr) != 1)
        throw Exception("Cannot compute the digest of a session token");
    return hex(digest, length);
}

SessionInfo SessionStore::Open(db::SqlConnection& conn, const std::string& operatorCode) const {
    unsigned char bytes[32];
    if (RAND_bytes(bytes, sizeof bytes) != 1) throw Exception("No randomness available for a session token");
    const std::string token = hex(bytes, sizeof bytes);
    const int64_t now = nowSeconds();
    const int64_t expires = now + idleLimit_.count();
    conn.Execute("DELETE FROM SESSAOSERV WHERE NREXPIRA <= :T", {{"T", now}});
    conn.Execute("INSERT INTO SESSAOSERV (CDHASHSESSAO, CDOPERADOR, NRCRIADA, NREXPIRA) VALUES (:H, :O, :T, :E)",
                 {{"H", Digest(token)}, {"O", operatorCode}, {"T", now}, {"E", expires}});
    return {token, operatorCode, std::chrono::system_clock::time_point(std::chrono::seconds(expires))};
}

std::optional<std::string> SessionStore::Validate(db::SqlConnection& conn, const std::string& token) const {
    if (token.empty()) return std::nullopt;
    const std::string digest = Digest(token);
    db::SqlResult r;
    run(conn, Access::Read, [&] {
        r = conn.Query("SELECT CDOPERADOR, NREXPIRA FROM SESSAOSERV WHERE CDHASHSESSAO = :H", {{"H", digest}});
    });
    if (r.Empty()) return std::nullopt;
    const int64_t now = nowSeconds();
    const int64_t expires = r.rows[0][1].AsInteger();
    if (expires <= now) return std::nullopt;  // forgotten by the next Open
    const int64_t renewed = now + idleLimit_.count();
    // The condition on NREXPIRA keeps two servers refreshing at once from
    // shortening each other's extension.
    if (renewed - expires >= refreshStep_.count())
        run(conn, Access::Write, [&] {
            conn.Execute("UPDATE SESSAOSERV SET NREXPIRA = :E WHERE CDHASHSESSAO = :H AND NREXPIRA < :E",
                         {{"E", renewed}, {"H", digest}});
        });
    return r.rows[0][0].AsString();
}

void SessionStore::Close(db::SqlConnection& conn, const std::string& token) const {
    if (token.empty()) return;
    conn.Execute("DELETE FROM SESSAOSERV WHERE CDHASHSESSAO = :H", {{"H", Digest(token)}});
}

}  // namespace appserver
