#pragma once
// The application server inside the host: the demo database (made on first
// use) served over HTTP on a free loopback port, so that the screen talks to
// it exactly as to a remote server.
#include <memory>
#include <string>

namespace appserver {
class AppServer;
}

namespace host {

class EmbeddedServer {
public:
    // Opens the SQLite database at dbPath, creating it with the demo data when
    // it does not exist, and starts listening. Throws Exception when the
    // database cannot be opened or no port can be bound.
    explicit EmbeddedServer(const std::string& dbPath);
    ~EmbeddedServer();
    int Port() const { return port_; }
    const std::string& DbPath() const { return dbPath_; }

private:
    std::string dbPath_;
    std::unique_ptr<appserver::AppServer> server_;
    int port_ = 0;
};

}  // namespace host
