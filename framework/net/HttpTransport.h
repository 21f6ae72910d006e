#pragma once
// JSON-RPC over HTTP or HTTPS: POST /rpc with "Authorization: Bearer <token>";
// GET /health answers the probe. Over HTTPS the server's certificate must
// verify against the trusted CAs (a CA file, or the system's) and name the host.
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

struct TlsClientOptions {
    bool enabled = false;  // https://
    std::string caFile;    // PEM file of the CAs to trust; "" = TrustedCaFile(), then the system's
};

// The CA file https:// connections of this process trust when they name none
// (the host's and the driver's --ca-file). Thread-safe.
void SetTrustedCaFile(const std::string& path);
std::string TrustedCaFile();

class HttpTransport : public ITransport {
public:
    HttpTransport(std::string host, int port, HttpTimeouts timeouts = {}, TlsClientOptions tls = {});
    ~HttpTransport() override;
    std::string Send(const std::string& request, const std::string& token) override;
    void Probe() override;
    std::string Endpoint() const override;

private:
    std::string host_;
    int port_;
    HttpTimeouts timeouts_;
    bool tls_;
    std::unique_ptr<httplib::Client> client_;
};

}  // namespace net
