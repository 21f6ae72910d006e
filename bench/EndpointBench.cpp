// The HTTP endpoint over loopback: one small call (GetTipoReti, signed on)
// while N other connections sit idle on the server, and one sign-on check of
// a session kept in the database. An idle connection should cost the call
// nothing: the rows for 0, 64 and 256 idle connections should read alike.
#include "AppServer.h"
#include "BenchSupport.h"
#include "net/NetConnection.h"
#include "store/Database.h"


#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <vector>

namespace {

struct Idle {
    int fd = -1;
    explicit Idle(int port) : fd(::socket(AF_INET, SOCK_STREAM, 0)) {
        sockaddr_in dst{};
        dst.sin_family = AF_INET;
        dst.sin_port = htons(static_cast<uint16_t>(port));
        dst.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (::connect(fd, reinterpret_cast<sockaddr*>(&dst), sizeof dst) != 0) {
            ::close(fd);
            fd = -1;
        }
    }
    Idle(Idle&& o) noexcept : fd(o.fd) { o.fd = -1; }
    ~Idle() {
        if (fd >= 0) ::close(fd);
    }
};

std::unique_ptr<appserver::AppServer> startServer(int& port) {
    appserver::AppServerOptions o;
    o.log = appserver::NullLogSink();
    // The idle connections must outlive the measurement.
    o.http.idleTimeout = std::chrono::seconds(600);
    o.http.requestTimeout = std::chrono::seconds(600);
    o.http.perAddressLimit = 1024;
    auto app = std::make_unique<appserver::AppServer>(store::CreateDemoDatabase(":memory:"), o);
    port = app->Listen("127.0.0.1", 0);
    return app;
}

void BM_SmallCallWithIdleConnections(benchmark::State& state) {
    int port = 0;
    auto app = startServer(port);
    std::vector<Idle> idle;
    for (int64_t i = 0; i < state.range(0); ++i) {
        idle.emplace_back(port);
        if (idle.back().fd < 0) {
            state.SkipWithError("cannot open the idle connections");
            return;
        }
    }
    TNetConnection c("bench", "Pla02000.rdmRetirada");
    c.Host = "127.0.0.1";
    c.Port = port;
    c.Open();
    c.SignOn("DEMO", "demo");
    for (auto _ : state) {
        Variant v = c.Call("GetTipoReti");
        if (!v.IsPacket()) {
            state.SkipWithError("the call failed");
            break;
        }
    }
    state.counters["idle"] = static_cast<double>(state.range(0));
}
BENCHMARK(BM_SmallCallWithIdleConnections)->Arg(0)->Arg(64)->Arg(256)->Unit(benchmark::kMicrosecond)->UseRealTime();

// A small call as the screen makes it: open the connection, call, close.
void BM_ScreenCall(benchmark::State& state) {
    int port = 0;
    auto app = startServer(port);
    TNetConnection c("bench", "Pla02000.rdmRetirada");
    c.Host = "127.0.0.1";
    c.Port = port;
    c.SignOn("DEMO", "demo");
    c.Close();
    for (auto _ : state) {
        c.Open();
        Variant v = c.Call("GetTipoReti");
        c.Close();
        if (!v.IsPacket()) {
            state.SkipWithError("the call failed");
            break;
        }
    }
}
BENCHMARK(BM_ScreenCall)->Unit(benchmark::kMicrosecond)->UseRealTime();

const bool kRatios[] = {
    bench::AddRatio("open, call, close / the bare call", "BM_ScreenCall", "BM_SmallCallWithIdleConnections/0", 1.3),
};

// What checking a session in the database costs a call.
void BM_SessionCheck(benchmark::State& state) {
    auto conn = store::CreateDemoDatabase(":memory:");
    appserver::SessionStore sessions;
    const std::string token = sessions.Open(*conn, "DEMO").token;
    for (auto _ : state) benchmark::DoNotOptimize(sessions.Validate(*conn, token));
}
BENCHMARK(BM_SessionCheck)->Unit(benchmark::kMicrosecond);

}  // namespace
PLA_BENCH_MAIN()
