// Starting the server the way the desktop host and pla-script do, and what
// happens at the edges of its life (slow clients: SlowClientsTest).
#include "AppServer.h"
#include "core/Exception.h"
#include "core/Packet.h"
#include "net/NetConnection.h"

#include <gtest/gtest.h>

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
