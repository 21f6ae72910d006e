#include "net/InProcessTransport.h"

#include <map>
#include <mutex>

namespace net {

namespace {

struct Registry {
    std::mutex mutex;
    std::map<std::string, RpcHandler> handlers;
};

// Never destroyed: servers held in static objects withdraw their registration
// from their destructors, which may run after this table's would have.
Registry& registry() {
    static Registry* r = new Registry;
    return *r;
}

}  // namespace

InProcessTransport::InProcessTransport(std::string name, RpcHandler handler)
    : name_(std::move(name)), handler_(std::move(handler)) {}

std::string InProcessTransport::Send(const std::string& request, const std::string& token) {
    if (!handler_) throw ENetUnreachable("Servidor de aplicação interno \"" + name_ + "\" não está disponível.");
    return handler_(request, token);
}

void InProcessTransport::Probe() {
    auto& r = registry();
    std::lock_guard lock(r.mutex);
    if (!r.handlers.count(name_))
        throw ENetError("Servidor de aplicação interno \"" + name_ + "\" não está disponível.");
}

void RegisterInProcessServer(const std::string& name, RpcHandler handler) {
    auto& r = registry();
    std::lock_guard lock(r.mutex);
    r.handlers[name] = std::move(handler);
}

void UnregisterInProcessServer(const std::string& name) {
    auto& r = registry();
    std::lock_guard lock(r.mutex);
    r.handlers.erase(name);
}

std::unique_ptr<ITransport> FindInProcessServer(const std::string& name) {
    auto& r = registry();
    std::lock_guard lock(r.mutex);
    auto it = r.handlers.find(name);
    if (it == r.handlers.end()) return nullptr;
    return std::make_unique<InProcessTransport>(name, it->second);
}

}  // namespace net
