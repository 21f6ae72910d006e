#pragma once
// The HTTP endpoint: POST /rpc (JSON-RPC, bearer token), GET /health, over
// HTTP or HTTPS. Connections are served by a few event-driven threads
// (libmicrohttpd, epoll), so idle and slow clients hold a socket, never a
// worker: a connection silent past the idle timeout is closed, one client
// address may hold only so many connections, and a body past the limit gets
// 413 with a JSON-RPC error (one declared far past it before it is read).
// Other 4xx answers carry a JSON-RPC error too, and every one is logged.
//
// The idle timeout alone does not stop a client that trickles a byte now and
// then: each request must also arrive whole within the request timeout
// (counted from the connection's start, or from the end of its previous
// answer), and its answer must leave within it too. A watchdog thread shuts
// down the socket of a connection past its time; its event loop then closes
// it. The time a call runs on the server is not counted.
//
// Behind a load balancer every connection comes from the balancer: with its
// address in trustedProxies, the client's address is taken from the last
// entry of X-Forwarded-For (for the log and the sign-on throttle).
#include "rpc/RpcService.h"

#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct MHD_Daemon;
struct MHD_Connection;

namespace appserver {

struct HttpServerOptions {
    size_t maxBodyBytes = 16 * 1024 * 1024;
    std::chrono::seconds idleTimeout{15};  // a connection that sends nothing this long is closed
    unsigned perAddressLimit = 64;         // open connections one client address may hold
    unsigned connectionLimit = 4096;       // open connections in all
    std::chrono::seconds requestTimeout{30};  // a request must arrive whole within this (see above)
    unsigned threads = 4;                  // event loops serving the connections
    std::vector<std::string> trustedProxies;  // addresses whose X-Forwarded-For is believed
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
    // The watchdog's book of connections and their deadlines.
    void Watch(MHD_Connection* c, int fd, const std::string& peer);
    void Forget(MHD_Connection* c);
    void Rearm(MHD_Connection* c);    // the next request or answer has requestTimeout from now
    void Suspend(MHD_Connection* c);  // the server is working on the request: no deadline

private:
    void watchdog();
    struct Watched {
        int fd = -1;
        std::string peer;
        std::chrono::steady_clock::time_point deadline;
    };
    std::mutex watchMutex_;
    std::condition_variable watchWake_;
    std::map<MHD_Connection*, Watched> watched_;
    bool watching_ = false;
    std::thread watchdog_;

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
