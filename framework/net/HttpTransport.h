#pragma once
// JSON-RPC over HTTP: POST /rpc with "Authorization: Bearer <token>";
// GET /health answers the probe.
#include "net/Transport.h"

#include <chrono>
#include <memory>
#include <string>

namespace httplib {
class Client;
}

namespace net {

struct HttpTimeouts {
    std::chrono::milliseconds connect{3000};
    std::chrono::milliseconds read{60000};  // a long server operation still answers
    std::chrono::milliseconds write{10000};
};

class HttpTransport : public ITransport {
public:
    HttpTransport(std::string host, int port, HttpTimeouts timeouts = {});
    ~HttpTransport() override;
    std::string Send(const std::string& request, const std::string& token) override;
    void Probe() override;
    std::string Endpoint() const override;

private:
    std::string host_;
    int port_;
    HttpTimeouts timeouts_;
    std::unique_ptr<httplib::Client> client_;
};

}  // namespace net
