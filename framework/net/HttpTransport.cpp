#include "net/HttpTransport.h"

#include <httplib.h>

#include <mutex>

namespace net {

namespace {

std::mutex trustMutex;
std::string trustedCaFile;

std::string unreachable(const std::string& endpoint, httplib::Error err) {
    return "Não foi possível conectar ao servidor de aplicação em " + endpoint + " (" + httplib::to_string(err) + ").";
}

std::string bracketed(const std::string& host) {
    return host.find(':') != std::string::npos && host.front() != '[' ? "[" + host + "]" : host;
}

}  // namespace

void SetTrustedCaFile(const std::string& path) {
    std::lock_guard lock(trustMutex);
    trustedCaFile = path;
}

std::string TrustedCaFile() {
    std::lock_guard lock(trustMutex);
    return trustedCaFile;
}

HttpTransport::HttpTransport(std::string host, int port, HttpTimeouts timeouts, TlsClientOptions tls)
    : host_(std::move(host)), port_(port), timeouts_(timeouts), tls_(tls.enabled) {
    if (tls_) {
        client_ = std::make_unique<httplib::Client>("https://" + bracketed(host_) + ":" + std::to_string(port_));
        const std::string ca = tls.caFile.empty() ? TrustedCaFile() : tls.caFile;
        if (!ca.empty()) client_->set_ca_cert_path(ca.c_str());
        client_->enable_server_certificate_verification(true);
    } else {
        client_ = std::make_unique<httplib::Client>(host_, port_);
    }
    client_->set_connection_timeout(timeouts.connect);
    client_->set_read_timeout(timeouts.read);
    client_->set_write_timeout(timeouts.write);
    client_->set_keep_alive(true);
    client_->set_tcp_nodelay(true);  // small requests must not wait for delayed acknowledgements
}

HttpTransport::~HttpTransport() = default;

std::string HttpTransport::Endpoint() const {
    return (tls_ ? "https://" : "") + host_ + ":" + std::to_string(port_);
}

std::string HttpTransport::Send(const std::string& request, const std::string& token) {
    httplib::Headers headers;
    if (!token.empty()) headers.emplace("Authorization", "Bearer " + token);
    auto res = client_->Post("/rpc", headers, request, "application/json");
    if (!res && res.error() == httplib::Error::Connection) throw ENetUnreachable(unreachable(Endpoint(), res.error()));
    if (!res) throw ENetError(unreachable(Endpoint(), res.error()));
    // Protocol errors come back with a JSON-RPC body whatever the status.
    if (res->get_header_value("Content-Type").rfind("application/json", 0) == 0) return std::move(res->body);
    throw ENetError("O servidor de aplicação em " + Endpoint() + " respondeu HTTP " + std::to_string(res->status) +
                    (res->body.empty() ? "" : ": " + res->body.substr(0, 200)));
}

void HttpTransport::Probe() {
    // The probe only asks whether someone is there: it need not wait as long as a call.
    client_->set_read_timeout(timeouts_.connect);
    auto res = client_->Get("/health");
    client_->set_read_timeout(timeouts_.read);
    if (!res) throw ENetError(unreachable(Endpoint(), res.error()));
    if (res->status != 200)
        throw ENetError("O servidor de aplicação em " + Endpoint() + " não está pronto (HTTP " +
                        std::to_string(res->status) + ").");
}

}  // namespace net
