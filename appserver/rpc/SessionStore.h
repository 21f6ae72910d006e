#pragma once
// Sessions of signed-on operators, held in the server process's memory.
// Tokens are 256 random bits in hex; a session expires after a time of
// inactivity (each valid use extends it). Thread-safe.
#include <chrono>
#include <functional>
#include <map>
#include <mutex>
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
    explicit SessionStore(std::chrono::seconds idleLimit = std::chrono::hours(8), Clock clock = {});

    // Opens a session for the operator. Throws Exception when the system
    // cannot give random bytes.
    SessionInfo Open(const std::string& operatorCode);
    // The operator of a live session (and extends it); nullopt for unknown or
    // expired tokens (an expired one is forgotten).
    std::optional<std::string> Validate(const std::string& token);
    void Close(const std::string& token);
    size_t Count();

private:
    std::chrono::system_clock::time_point now() const;
    void purgeExpired(std::chrono::system_clock::time_point now);

    std::chrono::seconds idleLimit_;
    Clock clock_;
    std::mutex mutex_;
    std::map<std::string, SessionInfo> sessions_;
};

}  // namespace appserver
