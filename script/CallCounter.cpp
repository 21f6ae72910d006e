#include "CallCounter.h"

#include "core/Text.h"

#include "net/RpcProtocol.h"

namespace script {

namespace {

// A full name answers to itself; a bare method name to that method of any module.
bool answersTo(const std::string& name, const std::string& key) {
    if (key.find('.') != std::string::npos) return name == key;
    auto dot = name.rfind('.');
    return (dot == std::string::npos ? name : name.substr(dot + 1)) == key;
}

}  // namespace

void CallCounter::Record(const std::string& fullMethod, VariantArray arguments) {
    std::lock_guard lock(mutex_);
    std::string key = text::Upper(fullMethod);
    ++calls_[key];
    last_[key] = {++sequence_, std::move(arguments)};
}

int CallCounter::totalLocked(const std::string& key) const {
    int n = 0;
    for (auto& [name, count] : calls_)
        if (answersTo(name, key)) n += count;
    return n;
}

std::optional<Variant> CallCounter::LastArgument(const std::string& method, size_t index) const {
    std::lock_guard lock(mutex_);
    const std::string key = text::Upper(method);
    const LastCall* latest = nullptr;
    for (auto& [name, call] : last_)
        if (answersTo(name, key) && (!latest || call.sequence > latest->sequence)) latest = &call;
    if (!latest || index >= latest->arguments.size()) return std::nullopt;
    return latest->arguments[index];
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
        std::string method = "-";
        VariantArray arguments;
        try {
            net::RpcRequest r = net::DecodeRequest(request);
            method = r.method;
            arguments = std::move(r.params);
        } catch (const std::exception&) {
        }
        Record(method, std::move(arguments));
        return inner(request, token);
    };
}

}  // namespace script
