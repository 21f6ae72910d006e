#pragma once
// The HTTP endpoint: POST /rpc (JSON-RPC, bearer token), GET /health.
// Bodies past the limit get 413 with a JSON-RPC error; slow clients are cut
// off by the read and write timeouts.
#include "rpc/RpcService.h"

#include <chrono>
#include <memory>
#include <string>
#include <thread>

namespace httplib {
class Server;
}

namespace appserver {

struct HttpServerOptions {
    size_t maxBodyBytes = 16 * 1024 * 1024;
    std::chrono::seconds readTimeout{30};
    std::chrono::seconds writeTimeout{30};
    std::chrono::seconds keepAlive{10};
};

class HttpServer {
public:
    HttpServer(const RpcService& service, HttpServerOptions options = {});
    ~HttpServer();  // stops
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    // Binds host:port (port 0 = a free port) and returns the port. Throws
    // Exception when the address cannot be bound.
    int Bind(const std::string& host, int port);
    // Serves on a background thread until Stop. Bind first.
    void Start();
    // Serves on the calling thread until Stop (from another thread or a signal).
    void Run();
    void Stop();
    int Port() const { return port_; }

private:
    const RpcService& service_;
    std::unique_ptr<httplib::Server> server_;
    std::thread thread_;
    int port_ = 0;
};

}  // namespace appserver
