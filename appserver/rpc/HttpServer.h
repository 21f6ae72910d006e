#pragma once
// The HTTP endpoint: POST /rpc (JSON-RPC, bearer token), GET /health, over
// HTTP or HTTPS. Connections are served by a few event-driven threads
// (libmicrohttpd, epoll), so idle and slow clients hold a socket, never a
// worker: a connection silent past the idle timeout is closed, one client
// address may hold only so many connections, and a body past the limit gets
// 413 with a JSON-RPC error (one declared far past it before it is read).
// Other 4xx answers carry a JSON-RPC error too, and every one is logged.
#include "rpc/RpcService.h"

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>

struct MHD_Daemon;

namespace appserver {

struct HttpServerOptions {
    size_t maxBodyBytes = 16 * 1024 * 1024;
    std::chrono::seconds idleTimeout{15};  // a connection that sends nothing this long is closed
    unsigned perAddressLimit = 64;         // open connections one client address may hold
    unsigned connectionLimit = 4096;       // open connections in all
    unsigned threads = 4;                  // event loops serving the connections
    // PEM texts of the server's certificate (chain) and private key; both set: HTTPS.
    std::string tlsCertPem;
    std::string tlsKeyPem;
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
    // Serves on background threads until Stop. Bind first. Throws Exception
    // when the server cannot start (bad certificate or key ...).
    void Start();
    // Serves until Stop (from another thread or a signal).
    void Run();
    void Stop();
    int Port() const { return port_; }
    bool Tls() const { return !options_.tlsCertPem.empty(); }

    // For the connection callbacks.
    struct Exchange;
    const RpcService& Service() const { return service_; }
    const HttpServerOptions& Options() const { return options_; }

private:
    const RpcService& service_;
    HttpServerOptions options_;
    int listenFd_ = -1;
    int port_ = 0;
    struct DaemonStop {
        void operator()(MHD_Daemon* d) const;
    };
    std::unique_ptr<MHD_Daemon, DaemonStop> daemon_;
    std::mutex mutex_;
    std::condition_variable stopped_;
    bool running_ = false;
};

}  // namespace appserver
