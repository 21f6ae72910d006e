#pragma once
// Counts the remote calls a scenario makes, per method. Every connection of
// the screen reaches the server through an in-process endpoint whose handler
// counts and forwards (to the in-process server, or over HTTP to a running
// one), so counting works the same either way. Thread-safe.
#include "net/Transport.h"

#include <map>
#include <mutex>
#include <string>

namespace script {

class CallCounter {
public:
    // Counts one call of "<module>.<method>".
    void Record(const std::string& fullMethod);
    // Calls of `method` since the previous Take of the same method (or since
    // the start). `method` is a method name ("GetLanctoEst", any module) or a
    // full name ("Pla02000.rdmRetirada.GetLanctoEst"); case does not matter.
    int Take(const std::string& method);
    // Calls of `method` so far, without moving the mark.
    int Total(const std::string& method) const;

    // A handler that counts each request's method and hands it to `inner`.
    net::RpcHandler Wrap(net::RpcHandler inner);

private:
    int totalLocked(const std::string& key) const;
    mutable std::mutex mutex_;
    std::map<std::string, int> calls_;  // upper-case full name -> count
    std::map<std::string, int> marks_;  // upper-case query -> count at the last Take
};

}  // namespace script
