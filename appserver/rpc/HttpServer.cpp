#include "rpc/HttpServer.h"

#include "core/Exception.h"
#include "net/RpcProtocol.h"

#include <httplib.h>

namespace appserver {

HttpServer::HttpServer(const RpcService& service, HttpServerOptions options)
    : service_(service), server_(std::make_unique<httplib::Server>()) {
    server_->set_payload_max_length(options.maxBodyBytes);
    server_->set_read_timeout(options.readTimeout);
    server_->set_write_timeout(options.writeTimeout);
    server_->set_keep_alive_timeout(options.keepAlive.count());
    server_->set_tcp_nodelay(true);

    server_->Post("/rpc", [this](const httplib::Request& req, httplib::Response& res) {
        std::string token;
        std::string auth = req.get_header_value("Authorization");
        if (auth.rfind("Bearer ", 0) == 0) token = auth.substr(7);
        RpcReply reply = service_.Handle(req.body, RequestOrigin{token, req.remote_addr});
        res.status = reply.httpStatus;
        if (!reply.body.empty()) res.set_content(reply.body, "application/json");
    });
    server_->Get("/health", [](const httplib::Request&, httplib::Response& res) {
        res.set_content(R"({"status":"ok"})", "application/json");
    });
    // Errors httplib raises itself (413 past the size limit, 404 ...) still
    // answer in JSON-RPC, so clients report them like any other error.
    server_->set_error_handler([this](const httplib::Request& req, httplib::Response& res) {
        if (!res.body.empty() || res.status == 204) return;
        service_.LogRefusal(RequestOrigin{"", req.remote_addr}, res.status, req.method + " " + req.path);
        int code = net::rpc_code::InvalidRequest;
        std::string message = "HTTP " + std::to_string(res.status);
        if (res.status == 413) {
            code = net::rpc_code::PayloadTooLarge;
            message = "Requisição maior que o limite do servidor de aplicação.";
        } else if (res.status == 404) {
            message = "Endereço desconhecido: use POST /rpc.";
        }
        res.set_content(net::EncodeError({}, code, message), "application/json");
    });
    server_->set_exception_handler([](const httplib::Request&, httplib::Response& res, std::exception_ptr) {
        res.status = 500;
        res.set_content(net::EncodeError({}, net::rpc_code::InternalError, "Internal error"), "application/json");
    });
}

HttpServer::~HttpServer() { Stop(); }

int HttpServer::Bind(const std::string& host, int port) {
    int bound = port == 0 ? server_->bind_to_any_port(host) : (server_->bind_to_port(host, port) ? port : -1);
    if (bound <= 0)
        throw Exception("Não foi possível escutar em " + host + ":" + std::to_string(port) + ".");
    port_ = bound;
    return bound;
}

void HttpServer::Start() {
    if (thread_.joinable()) return;
    thread_ = std::thread([this] { server_->listen_after_bind(); });
    // Stop must not come before the loop runs, or it would find nothing to stop.
    while (!server_->is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

void HttpServer::Run() { server_->listen_after_bind(); }

void HttpServer::Stop() {
    server_->stop();
    if (thread_.joinable()) thread_.join();
}

}  // namespace appserver
