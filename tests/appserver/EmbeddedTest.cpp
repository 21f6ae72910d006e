// Starting the server the way the desktop host and pla-script do, and what
// happens at the edges of its life and of a slow client.
#include "AppServer.h"
#include "core/Exception.h"
#include "core/Packet.h"
#include "net/NetConnection.h"
#include "rpc/HttpServer.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <filesystem>

using namespace appserver;

namespace {

Variant tipos(const std::string& host, int port) {
    TNetConnection c("netRetirada", "Pla02000.rdmRetirada");
    c.Host = host;
    c.Port = port;
    c.ThrowException = false;
    c.SignOn("DEMO", "demo");
    return c.Call("GetTipoReti");
}

}  // namespace

TEST(Embedded, ListensOnAFreeLoopbackPortOrStaysInProcess) {
    EmbeddedOptions o;
    o.log = NullLogSink();
    EmbeddedServer http = StartEmbedded(o);
    EXPECT_EQ(http.host, "127.0.0.1");
    EXPECT_GT(http.port, 0);
    EXPECT_TRUE(tipos(http.host, http.port).IsPacket());

    o.http = false;
    o.inProcessName = "embedded-only";
    EmbeddedServer inproc = StartEmbedded(o);
    EXPECT_EQ(inproc.host, "inproc://embedded-only");
    EXPECT_EQ(inproc.port, 0);
    EXPECT_TRUE(tipos(inproc.host, 0).IsPacket());
}

TEST(Embedded, ADatabaseFileIsCreatedOnceAndKept) {
    auto dir = std::filesystem::temp_directory_path() / ("pla-embedded-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    EmbeddedOptions o;
    o.log = NullLogSink();
    o.http = false;
    o.dbPath = (dir / "demo.db").string();
    {
        EmbeddedServer e = StartEmbedded(o);
        e.server->WithDatabase([](db::SqlConnection& c) { return c.Execute("UPDATE TIPORETI SET NMTIPORETI = 'MARCA' WHERE CDTIPORETI = '01'"); });
    }
    {
        EmbeddedServer e = StartEmbedded(o);  // opens the same file, does not recreate it
        Variant v = tipos(e.host, 0);
        EXPECT_EQ(v.AsPacket().rows.at(0).values.at(1), Variant("MARCA"));
    }
    std::filesystem::remove_all(dir);
}

TEST(Embedded, AConnectionThatOutlivesItsServerGetsAnError) {
    EmbeddedOptions o;
    o.log = NullLogSink();
    o.http = false;
    o.inProcessName = "short-lived";
    auto e = std::make_unique<EmbeddedServer>(StartEmbedded(o));
    TNetConnection c("netRetirada", "Pla02000.rdmRetirada");
    c.Host = e->host;
    c.ThrowException = false;
    c.SignOn("DEMO", "demo");
    e.reset();
    Variant v = c.Call("GetTipoReti");
    ASSERT_TRUE(v.IsString());
    EXPECT_EQ(v.AsString(), "O servidor de aplicação foi encerrado.");
    TNetConnection again("netRetirada", "Pla02000.rdmRetirada");
    again.Host = "inproc://short-lived";
    EXPECT_THROW(again.Open(), Exception);
}

TEST(Embedded, ASlowClientIsCutOffAndOthersAreStillServed) {
    EmbeddedOptions eo;
    eo.log = NullLogSink();
    eo.http = false;
    EmbeddedServer e = StartEmbedded(eo);
    HttpServerOptions ho;
    ho.idleTimeout = std::chrono::seconds(1);
    HttpServer http(e.server->Service(), ho);
    int port = http.Bind("127.0.0.1", 0);
    http.Start();

    int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<uint16_t>(port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    const char partial[] = "POST /rpc HTTP/1.1\r\nHost: x\r\nContent-Length: 100\r\n\r\n{\"jsonrpc\"";
    ASSERT_GT(send(fd, partial, sizeof partial - 1, 0), 0);
    EXPECT_TRUE(tipos("127.0.0.1", port).IsPacket());  // served meanwhile
    timeval tv{5, 0};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
    char buf[512];
    ssize_t n = recv(fd, buf, sizeof buf, 0);  // the server gives up on the body and closes
    EXPECT_LE(n, static_cast<ssize_t>(sizeof buf));
    if (n > 0) {
        // Some servers answer 400 before closing; either way the request does not run.
        EXPECT_EQ(std::string(buf, static_cast<size_t>(n)).find("\"result\""), std::string::npos);
    } else {
        EXPECT_EQ(n, 0);
    }
    close(fd);
    http.Stop();
}
