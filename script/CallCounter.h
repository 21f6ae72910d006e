#pragma once
// Counts the remote calls a scenario makes, per method. Every connection of
// the screen reaches the server through an in-process endpoint whose handler
// counts and forwards (to the in-process server, or over HTTP to a running
// one), so counting works the same either way. Thread-safe.
#include "core/Variant.h"
#include "net/Transport.h"

#include <map>
#include <mutex>
#include <optional>
#include <string>

namespace script {

class CallCounter {
public:
    // Counts one call of "<module>.<method>" and keeps its arguments.
    void Record(const std::string& fullMethod, VariantArray arguments = {});
    // Calls of `method` since the previous Take of the same method (or since
    // the start). `method` is a method name ("GetLanctoEst", any module) or a
    // full name ("Pla02000.rdmRetirada.GetLanctoEst"); case does not matter.
    int Take(const std::string& method);
    // Calls of `method` so far, without moving the mark.
    int Total(const std::string& method) const;

    // Argument `index` (from 0) of the latest call of `method` (named as for
    // Take); nothing when there was no call or it had fewer arguments.
    std::optional<Variant> LastArgument(const std::string& method, size_t index) const;

    // A handler that counts each request's method and hands it to `inner`.
    net::RpcHandler Wrap(net::RpcHandler inner);

private:
    int totalLocked(const std::string& key) const;
    mutable std::mutex mutex_;
    std::map<std::string, int> calls_;  // upper-case full name -> count
    std::map<std::string, int> marks_;  // upper-case query -> count at the last Take
    struct LastCall {
        long sequence = 0;
        VariantArray arguments;
    };
    std::map<std::string, LastCall> last_;  // upper-case full name -> its latest call
    long sequence_ = 0;
};

}  // namespace script
