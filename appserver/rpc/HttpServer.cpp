#include "rpc/HttpServer.h"

#include "core/Exception.h"
#include "net/RpcProtocol.h"

#include <arpa/inet.h>
#include <microhttpd.h>
#include <netdb.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

namespace appserver {

// What one request collects while its body arrives.
struct HttpServer::Exchange {
    std::string body;
    size_t received = 0;
    bool tooLarge = false;
    bool answered = false;
};

namespace {

constexpr size_t kDrainFactor = 4;

std::string peerOf(MHD_Connection* c) {
    const MHD_ConnectionInfo* info = MHD_get_connection_info(c, MHD_CONNECTION_INFO_CLIENT_ADDRESS);
    if (!info || !info->client_addr) return "-";
    char host[INET6_ADDRSTRLEN] = "-";
    const sockaddr* sa = info->client_addr;
    if (sa->sa_family == AF_INET)
        inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in*>(sa)->sin_addr, host, sizeof host);
    else if (sa->sa_family == AF_INET6)
        inet_ntop(AF_INET6, &reinterpret_cast<const sockaddr_in6*>(sa)->sin6_addr, host, sizeof host);
    return host;
}

// The client's address: the socket's peer, or for a trusted proxy the last
// address of its X-Forwarded-For.
std::string clientOf(const HttpServer& s, MHD_Connection* c) {
    std::string peer = peerOf(c);
    const auto& trusted = s.Options().trustedProxies;
    if (std::find(trusted.begin(), trusted.end(), peer) == trusted.end()) return peer;
    const char* forwarded = MHD_lookup_connection_value(c, MHD_HEADER_KIND, "X-Forwarded-For");
    if (!forwarded) return peer;
    std::string list = forwarded;
    auto comma = list.rfind(',');
    std::string last = comma == std::string::npos ? list : list.substr(comma + 1);
    const auto first = last.find_first_not_of(" \t");
    const auto end = last.find_last_not_of(" \t");
    if (first == std::string::npos) return peer;
    last = last.substr(first, end - first + 1);
    // Only an address is taken: anything else would end up in the log and the throttle's key.
    unsigned char buf[sizeof(in6_addr)];
    if (inet_pton(AF_INET, last.c_str(), buf) != 1 && inet_pton(AF_INET6, last.c_str(), buf) != 1) return peer;
    return last;
}

MHD_Result answer(MHD_Connection* c, unsigned status, const std::string& body, const char* contentType = "application/json") {
    MHD_Response* r = MHD_create_response_from_buffer(body.size(), const_cast<char*>(body.data()), MHD_RESPMEM_MUST_COPY);
    if (!r) return MHD_NO;
    if (!body.empty()) MHD_add_response_header(r, MHD_HTTP_HEADER_CONTENT_TYPE, contentType);
    MHD_Result ok = MHD_queue_response(c, status, r);
    MHD_destroy_response(r);
    return ok;
}

// A 4xx the endpoint gives itself: logged, with a JSON-RPC error body so
// clients report it like any other error.
MHD_Result refuse(const HttpServer& s, MHD_Connection* c, unsigned status, int code, const std::string& message,
                  const std::string& what) {
    s.Service().LogRefusal(RequestOrigin{"", clientOf(s, c)}, static_cast<int>(status), what);
    return answer(c, status, net::EncodeError({}, code, message));
}

MHD_Result tooLarge(const HttpServer& s, MHD_Connection* c, const std::string& what) {
    return refuse(s, c, MHD_HTTP_CONTENT_TOO_LARGE, net::rpc_code::PayloadTooLarge,
                  "Requisição maior que o limite do servidor de aplicação.", what);
}

MHD_Result onRequest(void* cls, MHD_Connection* c, const char* url, const char* method, const char*,
                     const char* upload, size_t* uploadSize, void** state) {
    auto& server = *static_cast<HttpServer*>(cls);
    const std::string path = url ? url : "";
    const std::string verb = method ? method : "";
    if (!*state) {
        // Headers are in: refuse what will not be served before reading any body.
        if (path == "/health" && verb == "GET") return answer(c, MHD_HTTP_OK, R"({"status":"ok"})");
        if (path != "/rpc")
            return refuse(server, c, MHD_HTTP_NOT_FOUND, net::rpc_code::InvalidRequest,
                          "Endereço desconhecido: use POST /rpc.", verb + " " + path);
        if (verb != "POST")
            return refuse(server, c, MHD_HTTP_METHOD_NOT_ALLOWED, net::rpc_code::InvalidRequest,
                          "Método HTTP " + verb + " não aceito: use POST /rpc.", verb + " " + path);
        // A body declared far past the limit is refused before it is read. One
        // a little past it is read and dropped, so that a client that sends its
        // whole body before reading still gets to read the answer.
        const char* length = MHD_lookup_connection_value(c, MHD_HEADER_KIND, MHD_HTTP_HEADER_CONTENT_LENGTH);
        if (length && std::strtoull(length, nullptr, 10) > kDrainFactor * server.Options().maxBodyBytes)
            return tooLarge(server, c, verb + " " + path + " " + length + " bytes");
        *state = std::make_unique<HttpServer::Exchange>().release();  // owned by onCompleted from here
        return MHD_YES;
    }
    auto& ex = *static_cast<HttpServer::Exchange*>(*state);
    if (ex.answered) {  // refused halfway: the rest is not read
        *uploadSize = 0;
        return MHD_YES;
    }
    if (*uploadSize != 0) {
        // Past the limit nothing more is kept; a body that goes on far past it
        // (no length declared) is cut off with the answer.
        ex.received += *uploadSize;
        if (!ex.tooLarge && ex.received <= server.Options().maxBodyBytes)
            ex.body.append(upload, *uploadSize);
        else
            ex.tooLarge = true;
        *uploadSize = 0;
        if (ex.received > kDrainFactor * server.Options().maxBodyBytes) {
            ex.answered = true;
            return tooLarge(server, c, verb + " " + path);
        }
        return MHD_YES;
    }
    if (ex.tooLarge) return tooLarge(server, c, verb + " " + path);
    RequestOrigin origin;
    origin.peer = clientOf(server, c);
    const char* auth = MHD_lookup_connection_value(c, MHD_HEADER_KIND, MHD_HTTP_HEADER_AUTHORIZATION);
    if (auth && std::strncmp(auth, "Bearer ", 7) == 0) origin.bearerToken = auth + 7;
    server.Suspend(c);
    RpcReply reply = server.Service().Handle(ex.body, origin);
    server.Rearm(c);  // the answer must leave in time too
    return answer(c, static_cast<unsigned>(reply.httpStatus), reply.body);
}

void onCompleted(void* cls, MHD_Connection* c, void** state, MHD_RequestTerminationCode) {
    std::unique_ptr<HttpServer::Exchange> done(static_cast<HttpServer::Exchange*>(*state));
    *state = nullptr;
    static_cast<HttpServer*>(cls)->Rearm(c);  // the next request on this connection
}

void onConnection(void* cls, MHD_Connection* c, void**, MHD_ConnectionNotificationCode code) {
    auto& server = *static_cast<HttpServer*>(cls);
    if (code == MHD_CONNECTION_NOTIFY_CLOSED) {
        server.Forget(c);
        return;
    }
    const MHD_ConnectionInfo* info = MHD_get_connection_info(c, MHD_CONNECTION_INFO_CONNECTION_FD);
    if (info) server.Watch(c, info->connect_fd, peerOf(c));
}

}  // namespace

void HttpServer::DaemonStop::operator()(MHD_Daemon* d) const { MHD_stop_daemon(d); }

void HttpServer::Watch(MHD_Connection* c, int fd, const std::string& peer) {
    std::lock_guard lock(watchMutex_);
    watched_[c] = {fd, peer, std::chrono::steady_clock::now() + options_.requestTimeout};
}

void HttpServer::Forget(MHD_Connection* c) {
    // The event loop tells this before it closes the socket, so the watchdog
    // never shuts down a descriptor that another connection got since.
    std::lock_guard lock(watchMutex_);
    watched_.erase(c);
}

void HttpServer::Rearm(MHD_Connection* c) {
    std::lock_guard lock(watchMutex_);
    if (auto it = watched_.find(c); it != watched_.end())
        it->second.deadline = std::chrono::steady_clock::now() + options_.requestTimeout;
}

void HttpServer::Suspend(MHD_Connection* c) {
    std::lock_guard lock(watchMutex_);
    if (auto it = watched_.find(c); it != watched_.end()) it->second.deadline = std::chrono::steady_clock::time_point::max();
}

void HttpServer::watchdog() {
    const auto step = std::clamp<std::chrono::milliseconds>(options_.requestTimeout / 4, std::chrono::milliseconds(50),
                                                            std::chrono::milliseconds(500));
    std::unique_lock lock(watchMutex_);
    while (watching_) {
        watchWake_.wait_for(lock, step);
        const auto now = std::chrono::steady_clock::now();
        std::vector<std::string> cut;
        for (auto& [c, w] : watched_) {
            if (w.deadline > now) continue;
            // The event loop sees the shut socket, closes the connection and tells Forget.
            ::shutdown(w.fd, SHUT_RDWR);
            w.deadline = std::chrono::steady_clock::time_point::max();
            cut.push_back(w.peer);
        }
        if (cut.empty()) continue;
        lock.unlock();  // the log may be slow; the event loops must not wait for it
        for (const auto& peer : cut)
            service_.LogRefusal(RequestOrigin{"", peer}, 408,
                                "request not complete within " + std::to_string(options_.requestTimeout.count()) + " s");
        lock.lock();
    }
}

HttpServer::HttpServer(const RpcService& service, HttpServerOptions options)
    : service_(service), options_(std::move(options)) {
    if (options_.tlsCertPem.empty() != options_.tlsKeyPem.empty())
        throw Exception("HTTPS precisa do certificado e da chave privada.");
}

HttpServer::~HttpServer() {
    Stop();
    if (listenFd_ >= 0) ::close(listenFd_);  // bound but never started
}

int HttpServer::Bind(const std::string& host, int port) {
    const std::string where = host + ":" + std::to_string(port);
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE | AI_NUMERICSERV;
    addrinfo* found = nullptr;
    if (getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0 || !found)
        throw Exception("Não foi possível escutar em " + where + ": endereço desconhecido.");
    std::unique_ptr<addrinfo, void (*)(addrinfo*)> addresses(found, freeaddrinfo);
    int fd = ::socket(found->ai_family, found->ai_socktype | SOCK_CLOEXEC, found->ai_protocol);
    int yes = 1;
    if (fd >= 0) setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    if (fd < 0 || ::bind(fd, found->ai_addr, found->ai_addrlen) != 0 || ::listen(fd, 512) != 0) {
        const std::string why = std::strerror(errno);
        if (fd >= 0) ::close(fd);
        throw Exception("Não foi possível escutar em " + where + " (" + why + ").");
    }
    sockaddr_storage bound{};
    socklen_t len = sizeof bound;
    getsockname(fd, reinterpret_cast<sockaddr*>(&bound), &len);
    port_ = ntohs(bound.ss_family == AF_INET6 ? reinterpret_cast<sockaddr_in6*>(&bound)->sin6_port
                                              : reinterpret_cast<sockaddr_in*>(&bound)->sin_port);
    if (listenFd_ >= 0) ::close(listenFd_);
    listenFd_ = fd;
    return port_;
}

void HttpServer::Start() {
    std::lock_guard lock(mutex_);
    if (daemon_) return;
    if (listenFd_ < 0) throw Exception("O servidor HTTP precisa de um endereço (Bind) antes de começar.");
    unsigned flags = MHD_USE_EPOLL_INTERNAL_THREAD;
    if (Tls()) {
        if (MHD_is_feature_supported(MHD_FEATURE_TLS) != MHD_YES)
            throw Exception("Esta instalação do servidor HTTP não oferece HTTPS.");
        flags |= MHD_USE_TLS;
    }
    MHD_OptionItem tls[] = {
        {MHD_OPTION_HTTPS_MEM_CERT, 0, const_cast<char*>(options_.tlsCertPem.c_str())},
        {MHD_OPTION_HTTPS_MEM_KEY, 0, const_cast<char*>(options_.tlsKeyPem.c_str())},
        {MHD_OPTION_END, 0, nullptr},
    };
    if (!Tls()) tls[0].option = MHD_OPTION_END;
    MHD_Daemon* d = MHD_start_daemon(
        flags, 0, nullptr, nullptr, &onRequest, this,                                         //
        MHD_OPTION_LISTEN_SOCKET, static_cast<MHD_socket>(listenFd_),                          //
        MHD_OPTION_THREAD_POOL_SIZE, static_cast<unsigned>(options_.threads ? options_.threads : 1),
        MHD_OPTION_CONNECTION_TIMEOUT, static_cast<unsigned>(options_.idleTimeout.count()),  //
        MHD_OPTION_PER_IP_CONNECTION_LIMIT, options_.perAddressLimit,                          //
        MHD_OPTION_CONNECTION_LIMIT, options_.connectionLimit,                                 //
        MHD_OPTION_NOTIFY_COMPLETED, &onCompleted, this,                                       //
        MHD_OPTION_NOTIFY_CONNECTION, &onConnection, this,                                     //
        MHD_OPTION_ARRAY, tls,                                                                 //
        MHD_OPTION_END);
    if (!d)
        throw Exception(std::string("Não foi possível iniciar o servidor HTTP") +
                        (Tls() ? " (certificado ou chave inválidos?)." : "."));
    listenFd_ = -1;  // the daemon closes it when it stops
    daemon_.reset(d);
    running_ = true;
    {
        std::lock_guard watch(watchMutex_);
        watching_ = true;
    }
    watchdog_ = std::thread([this] { watchdog(); });
}

void HttpServer::Run() {
    Start();
    std::unique_lock lock(mutex_);
    stopped_.wait(lock, [this] { return !running_; });
}

void HttpServer::Stop() {
    std::unique_ptr<MHD_Daemon, DaemonStop> d;
    {
        std::lock_guard lock(mutex_);
        d = std::move(daemon_);
        running_ = false;
    }
    d.reset();  // waits for the event loops, outside the lock
    {
        std::lock_guard watch(watchMutex_);
        watching_ = false;
    }
    watchWake_.notify_all();
    if (watchdog_.joinable() && watchdog_.get_id() != std::this_thread::get_id()) watchdog_.join();
    stopped_.notify_all();
}

}  // namespace appserver
