#include "net/ClientSessions.h"

#include <map>
#include <mutex>

namespace net {

namespace {

struct Table {
    std::mutex mutex;
    std::map<std::string, std::string> tokens;
};

// Never destroyed, so connections held in static objects may still sign off
// or look up their token while the process ends.
Table& table() {
    static Table* t = new Table;
    return *t;
}

}  // namespace

void SetSessionToken(const std::string& endpoint, const std::string& token) {
    auto& t = table();
    std::lock_guard lock(t.mutex);
    t.tokens[endpoint] = token;
}

std::string SessionToken(const std::string& endpoint) {
    auto& t = table();
    std::lock_guard lock(t.mutex);
    auto it = t.tokens.find(endpoint);
    return it == t.tokens.end() ? std::string() : it->second;
}

void ClearSessionToken(const std::string& endpoint) {
    auto& t = table();
    std::lock_guard lock(t.mutex);
    t.tokens.erase(endpoint);
}

}  // namespace net
