#include "rpc/SessionStore.h"

#include "core/Exception.h"

#include <openssl/rand.h>

namespace appserver {

SessionStore::SessionStore(std::chrono::seconds idleLimit, Clock clock)
    : idleLimit_(idleLimit), clock_(std::move(clock)) {}

std::chrono::system_clock::time_point SessionStore::now() const {
    return clock_ ? clock_() : std::chrono::system_clock::now();
}

void SessionStore::purgeExpired(std::chrono::system_clock::time_point t) {
    for (auto it = sessions_.begin(); it != sessions_.end();)
        it = it->second.expires <= t ? sessions_.erase(it) : std::next(it);
}

SessionInfo SessionStore::Open(const std::string& operatorCode) {
    unsigned char bytes[32];
    if (RAND_bytes(bytes, sizeof bytes) != 1) throw Exception("No randomness available for a session token");
    static const char* hex = "0123456789abcdef";
    std::string token;
    for (unsigned char b : bytes) {
        token += hex[b >> 4];
        token += hex[b & 15];
    }
    auto t = now();
    SessionInfo info{token, operatorCode, t + idleLimit_};
    std::lock_guard lock(mutex_);
    purgeExpired(t);
    sessions_[token] = info;
    return info;
}

std::optional<std::string> SessionStore::Validate(const std::string& token) {
    if (token.empty()) return std::nullopt;
    auto t = now();
    std::lock_guard lock(mutex_);
    auto it = sessions_.find(token);
    if (it == sessions_.end()) return std::nullopt;
    if (it->second.expires <= t) {
        sessions_.erase(it);
        return std::nullopt;
    }
    it->second.expires = t + idleLimit_;
    return it->second.operatorCode;
}

void SessionStore::Close(const std::string& token) {
    std::lock_guard lock(mutex_);
    sessions_.erase(token);
}

size_t SessionStore::Count() {
    std::lock_guard lock(mutex_);
    purgeExpired(now());
    return sessions_.size();
}

}  // namespace appserver
