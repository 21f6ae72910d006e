// Many idle and slow connections against the HTTP endpoint, loopback only:
// legitimate calls keep being answered, a silent connection is closed after
// the idle timeout, one address cannot take more than its share, and
// requests the endpoint will not serve are refused before their body, a
// request trickled in is cut off, a trusted proxy names the client.
#include "TestDatabase.h"
#include "AppServer.h"
#include "net/NetConnection.h"
#include "net/RpcProtocol.h"
#include "store/Database.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <thread>

using namespace appserver;

namespace {

// A connected socket from source address `from` (any 127.x.y.z is this machine); -1 when refused.
class Socket {
public:
    Socket(const char* from, int port) : fd_(::socket(AF_INET, SOCK_STREAM, 0)) {
        sockaddr_in src{};
        src.sin_family = AF_INET;
        inet_pton(AF_INET, from, &src.sin_addr);
        sockaddr_in dst{};
        dst.sin_family = AF_INET;
        dst.sin_port = htons(static_cast<uint16_t>(port));
        dst.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (::bind(fd_, reinterpret_cast<sockaddr*>(&src), sizeof src) != 0 ||
            ::connect(fd_, reinterpret_cast<sockaddr*>(&dst), sizeof dst) != 0) {
            ::close(fd_);
            fd_ = -1;
        }
        timeval tv{5, 0};
        if (fd_ >= 0) setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
    }
    ~Socket() {
        if (fd_ >= 0) ::close(fd_);
    }
    Socket(Socket&& o) noexcept : fd_(o.fd_) { o.fd_ = -1; }
    Socket(const Socket&) = delete;
    bool Ok() const { return fd_ >= 0; }
    bool Send(const std::string& s) { return fd_ >= 0 && ::send(fd_, s.data(), s.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(s.size()); }
    // What the server sends until it closes or 5 s pass; "" when it closed without a word.
    std::string ReadAll(bool& closed) {
        std::string out;
        char buf[4096];
        closed = false;
        for (;;) {
            ssize_t n = ::recv(fd_, buf, sizeof buf, 0);
            if (n == 0 || (n < 0 && errno == ECONNRESET)) {
                closed = true;
                return out;
            }
            if (n < 0) return out;  // timed out, still open
            out.append(buf, static_cast<size_t>(n));
        }
    }

    // True once the server has closed its side (nothing waits to be read).
    bool ClosedByPeer() {
        char c;
        ssize_t n = ::recv(fd_, &c, 1, MSG_DONTWAIT);
        return n == 0 || (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK);
    }

private:
    int fd_;
};

struct Endpoint {
    std::vector<std::string> log;
    std::mutex logMutex;
    std::unique_ptr<AppServer> app;
    int port = 0;
    explicit Endpoint(HttpServerOptions http) {
        AppServerOptions o;
        o.log = [this](const std::string& line) {
            std::lock_guard lock(logMutex);
            log.push_back(line);
        };
        o.http = http;
        app = std::make_unique<AppServer>(testdb::Demo(), o);
        port = app->Listen("127.0.0.1", 0);
    }
    // A signed-on connection whose calls give up after two seconds.
    std::unique_ptr<TNetConnection> client() {
        auto c = std::make_unique<TNetConnection>("net", "Pla02000.rdmRetirada");
        c->Host = "127.0.0.1";
        c->Port = port;
        c->ThrowException = false;
        c->SignOn("DEMO", "demo");
        return c;
    }
};

}  // namespace

TEST(SlowClients, CallsAreAnsweredWhile256IdleAndSlowConnectionsAreOpen) {
    HttpServerOptions o;
    o.perAddressLimit = 64;
    Endpoint e(o);
    std::vector<Socket> crowd;
    // 8 other addresses, 32 connections each: half say nothing, half stop in the middle of a request.
    for (int a = 0; a < 8; ++a) {
        const std::string from = "127.0.0." + std::to_string(10 + a);
        for (int i = 0; i < 32; ++i) {
            crowd.emplace_back(from.c_str(), e.port);
            ASSERT_TRUE(crowd.back().Ok()) << from << " connection " << i;
            if (i % 2) crowd.back().Send("POST /rpc HTTP/1.1\r\nHost: x\r\nContent-Length: 100\r\nX-Slow: ");
        }
    }
    auto c = e.client();
    for (int i = 0; i < 20; ++i) {
        auto started = std::chrono::steady_clock::now();
        ASSERT_TRUE(c->Call("GetTipoReti").IsPacket()) << "call " << i;
        // Generous: a call that waits for a free worker waits seconds, not this.
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(1)) << "call " << i;
    }
}

TEST(SlowClients, OneAddressGetsNoMoreThanItsShareOthersStillGetIn) {
    HttpServerOptions o;
    o.perAddressLimit = 4;
    Endpoint e(o);
    std::vector<Socket> mine;
    for (int i = 0; i < 4; ++i) mine.emplace_back("127.0.0.20", e.port);
    Socket fifth("127.0.0.20", e.port);
    fifth.Send("GET /health HTTP/1.1\r\nHost: x\r\n\r\n");
    bool closed = false;
    EXPECT_EQ(fifth.ReadAll(closed).find("200"), std::string::npos);
    EXPECT_TRUE(closed);
    EXPECT_TRUE(e.client()->Call("GetTipoReti").IsPacket());
}

TEST(SlowClients, ASilentConnectionIsClosedAfterTheIdleTimeout) {
    HttpServerOptions o;
    o.idleTimeout = std::chrono::seconds(1);
    Endpoint e(o);
    Socket slow("127.0.0.30", e.port);
    ASSERT_TRUE(slow.Send("POST /rpc HTTP/1.1\r\nHost: x\r\nContent-Length: 100\r\n\r\n{\"jsonrpc\""));
    bool closed = false;
    std::string got = slow.ReadAll(closed);  // within the 5 s the socket waits
    EXPECT_TRUE(closed);
    EXPECT_EQ(got.find("\"result\""), std::string::npos);
}

TEST(SlowClients, WhatIsNotServedIsRefusedBeforeTheBodyAndLogged) {
    HttpServerOptions o;
    o.maxBodyBytes = 1000;
    Endpoint e(o);
    struct Case {
        std::string head;
        const char* status;
        int code;
    } cases[] = {
        {"PUT /rpc HTTP/1.1\r\nHost: x\r\nContent-Length: 50\r\n\r\n", "405", net::rpc_code::InvalidRequest},
        {"POST /rpc HTTP/1.1\r\nHost: x\r\nContent-Length: 999999\r\n\r\n", "413", net::rpc_code::PayloadTooLarge},
        {"GET /nada HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n", "404", net::rpc_code::InvalidRequest},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.head);
        Socket s("127.0.0.40", e.port);
        ASSERT_TRUE(s.Send(k.head));
        bool closed = false;
        std::string answer = s.ReadAll(closed);
        ASSERT_EQ(answer.rfind(std::string("HTTP/1.1 ") + k.status, 0), 0u) << answer;
        EXPECT_NE(answer.find("\"code\":" + std::to_string(k.code)), std::string::npos) << answer;
    }
    std::lock_guard lock(e.logMutex);
    ASSERT_EQ(e.log.size(), 3u);
    EXPECT_NE(e.log[0].find("peer=127.0.0.40"), std::string::npos) << e.log[0];
    EXPECT_NE(e.log[0].find("status=405"), std::string::npos) << e.log[0];
    EXPECT_NE(e.log[1].find("status=413"), std::string::npos) << e.log[1];
}

TEST(SlowClients, ARequestTrickledByteByByteIsCutOffAtTheRequestTimeout) {
    HttpServerOptions o;
    o.idleTimeout = std::chrono::seconds(60);  // never reached: every byte is activity
    o.requestTimeout = std::chrono::seconds(1);
    Endpoint e(o);
    // Headers that never end, and a body that never ends.
    for (const char* head : {"POST /rpc HTTP/1.1\r\nHost: x\r\nX-Slow: ",
                             "POST /rpc HTTP/1.1\r\nHost: x\r\nContent-Length: 1000\r\n\r\n"}) {
        SCOPED_TRACE(head);
        Socket s("127.0.0.60", e.port);
        ASSERT_TRUE(s.Send(head));
        bool cut = false;
        for (int i = 0; i < 60 && !cut; ++i) {  // at most 12 s
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            cut = !s.Send("a") || s.ClosedByPeer();
        }
        EXPECT_TRUE(cut);
    }
    EXPECT_TRUE(e.client()->Call("GetTipoReti").IsPacket());  // the endpoint goes on
    std::lock_guard lock(e.logMutex);
    EXPECT_NE(e.log.front().find("peer=127.0.0.60 id=- method=- operator=- status=408"), std::string::npos) << e.log.front();
}

TEST(SlowClients, TheClientAddressComesFromTheForwardedHeaderOfATrustedProxyOnly) {
    HttpServerOptions o;
    o.trustedProxies = {"127.0.0.50"};
    Endpoint e(o);
    auto ask = [&](const char* from, const std::string& forwarded) {
        Socket s(from, e.port);
        s.Send("GET /nada HTTP/1.1\r\nHost: x\r\nConnection: close\r\nX-Forwarded-For: " + forwarded + "\r\n\r\n");
        bool closed = false;
        s.ReadAll(closed);
        std::lock_guard lock(e.logMutex);
        return e.log.back();
    };
    EXPECT_NE(ask("127.0.0.50", "192.0.2.1, 198.51.100.7").find("peer=198.51.100.7 "), std::string::npos);
    EXPECT_NE(ask("127.0.0.51", "198.51.100.7").find("peer=127.0.0.51 "), std::string::npos);
    EXPECT_NE(ask("127.0.0.50", "not an address").find("peer=127.0.0.50 "), std::string::npos);
}
