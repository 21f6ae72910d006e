#pragma once
// In-process transport: hands the request text to a server living in this
// process. Requests still go through the JSON encoding, so what works here
// works over HTTP.
//
// Servers register under a name; a connection whose host is "inproc://NAME"
// finds them, so screens that set host and port in BeforeConnect need no
// change to run against an embedded server.
#include "net/Transport.h"

#include <memory>
#include <string>

namespace net {

class InProcessTransport : public ITransport {
public:
    InProcessTransport(std::string name, RpcHandler handler);
    std::string Send(const std::string& request, const std::string& token) override;
    // Throws ENetError once the server has withdrawn its registration.
    void Probe() override;
    bool ProbeCostsARoundTrip() const override { return false; }
    std::string Endpoint() const override { return "inproc://" + name_; }

private:
    std::string name_;
    RpcHandler handler_;
};

// Process-wide table of in-process servers (thread-safe). Registering a name
// again replaces the handler; UnregisterInProcessServer is a no-op for an unknown name.
void RegisterInProcessServer(const std::string& name, RpcHandler handler);
void UnregisterInProcessServer(const std::string& name);
// Null when no server of that name is registered.
std::unique_ptr<ITransport> FindInProcessServer(const std::string& name);

inline constexpr const char* kInProcessScheme = "inproc://";

}  // namespace net
