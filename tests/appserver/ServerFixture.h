#pragma once
// One application server over a fresh demo database for a whole test program,
// reachable over HTTP on a free loopback port and in process.
#include "TestDatabase.h"
#include "AppServer.h"
#include "net/NetConnection.h"
#include "store/Database.h"

#include <memory>

namespace testing_server {

struct Server {
    std::unique_ptr<appserver::AppServer> app;
    int port = 0;
    std::string inproc;

    static Server& Get() {
        static Server s = [] {
            Server x;
            appserver::AppServerOptions o;
            o.log = appserver::NullLogSink();
            o.http.maxBodyBytes = 256 * 1024;
            x.app = std::make_unique<appserver::AppServer>(testdb::Demo(), o);
            x.port = x.app->Listen("127.0.0.1", 0);
            x.inproc = x.app->RegisterInProcess("tests");
            return x;
        }();
        return s;
    }
};

enum class Via { InProcess, Http };

// A connection to module over the transport, signed on as op.
inline std::unique_ptr<TNetConnection> Connect(Via via, const std::string& module, const std::string& op = "DEMO",
                                               const std::string& password = "demo") {
    Server& s = Server::Get();
    auto c = std::make_unique<TNetConnection>("net", module);
    c->ThrowException = false;
    if (via == Via::Http) {
        c->Host = "127.0.0.1";
        c->Port = s.port;
    } else {
        c->Host = s.inproc;
    }
    c->Open();
    // Each connection keeps its own session so tests of different operators do not mix.
    VariantArray args{Variant(op), Variant(password)};
    TNetConnection raw("raw", "Session");
    raw.Host = c->Host;
    raw.Port = c->Port;
    raw.ThrowException = true;
    raw.Open();
    Variant v = raw.Call("SignOn", args);
    c->Token = v.AsArray()[0].AsString();
    return c;
}

}  // namespace testing_server
