#pragma once
// Slows down password guessing: after a number of consecutive failed sign-ons
// for an operator, further attempts are refused for a while, whatever the
// password. A successful sign-on clears the count. In memory, thread-safe.
#include "rpc/SessionStore.h"

#include <chrono>
#include <map>
#include <mutex>
#include <string>

namespace appserver {

class SignOnThrottle {
public:
    explicit SignOnThrottle(int maxFailures = 5, std::chrono::seconds lockout = std::chrono::seconds(60),
                            Clock clock = {});

    // False while the operator is locked out.
    bool Allowed(const std::string& operatorCode);
    void Failed(const std::string& operatorCode);
    void Succeeded(const std::string& operatorCode);

private:
    static constexpr size_t kMaxEntries = 10000;
    struct Entry {
        int failures = 0;
        std::chrono::system_clock::time_point lockedUntil{};
    };
    std::chrono::system_clock::time_point now() const;

    int maxFailures_;
    std::chrono::seconds lockout_;
    Clock clock_;
    std::mutex mutex_;
    std::map<std::string, Entry> entries_;
};

}  // namespace appserver
