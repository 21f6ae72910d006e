#include "CallCounter.h"

#include "core/Text.h"

#include <nlohmann/json.hpp>

namespace script {

void CallCounter::Record(const std::string& fullMethod) {
    std::lock_guard lock(mutex_);
    ++calls_[text::Upper(fullMethod)];
}

int CallCounter::totalLocked(const std::string& key) const {
    const bool full = key.find('.') != std::string::npos;
    int n = 0;
    for (auto& [name, count] : calls_) {
        if (full) {
            if (name == key) n += count;
        } else {
            auto dot = name.rfind('.');
            if ((dot == std::string::npos ? name : name.substr(dot + 1)) == key) n += count;
        }
    }
    return n;
}

int CallCounter::Total(const std::string& method) const {
    std::lock_guard lock(mutex_);
    return totalLocked(text::Upper(method));
}

int CallCounter::Take(const std::string& method) {
    std::lock_guard lock(mutex_);
    std::string key = text::Upper(method);
    int now = totalLocked(key);
    int since = now - marks_[key];
    marks_[key] = now;
    return since;
}

net::RpcHandler CallCounter::Wrap(net::RpcHandler inner) {
    return [this, inner = std::move(inner)](const std::string& request, const std::string& token) {
        // An unreadable request is still the server's to refuse; it counts as "-".
        auto j = nlohmann::json::parse(request, nullptr, false);
        std::string method = "-";
        if (j.is_object() && j.contains("method") && j["method"].is_string()) method = j["method"].get<std::string>();
        Record(method);
        return inner(request, token);
    };
}

}  // namespace script
