#include "rpc/SignOnThrottle.h"

namespace appserver {

SignOnThrottle::SignOnThrottle(int maxFailures, std::chrono::seconds lockout, Clock clock)
    : maxFailures_(maxFailures), lockout_(lockout), clock_(std::move(clock)) {}

std::chrono::system_clock::time_point SignOnThrottle::now() const {
    return clock_ ? clock_() : std::chrono::system_clock::now();
}

bool SignOnThrottle::Allowed(const std::string& operatorCode) {
    std::lock_guard lock(mutex_);
    auto it = entries_.find(operatorCode);
    return it == entries_.end() || it->second.lockedUntil <= now();
}

void SignOnThrottle::Failed(const std::string& operatorCode) {
    std::lock_guard lock(mutex_);
    // Guessed names must not grow the table without end: past a bound, forget
    // every count that is not a running lockout.
    if (entries_.size() >= kMaxEntries) {
        auto t = now();
        for (auto it = entries_.begin(); it != entries_.end();)
            it = it->second.lockedUntil > t ? std::next(it) : entries_.erase(it);
    }
    Entry& e = entries_[operatorCode];
    if (++e.failures >= maxFailures_) {
        e.failures = 0;
        e.lockedUntil = now() + lockout_;
    }
}

void SignOnThrottle::Succeeded(const std::string& operatorCode) {
    std::lock_guard lock(mutex_);
    entries_.erase(operatorCode);
}

}  // namespace appserver
