#include "EmbeddedServer.h"

#include "AppServer.h"
#include "store/Database.h"

#include <filesystem>

namespace host {

EmbeddedServer::EmbeddedServer(const std::string& dbPath) : dbPath_(dbPath) {
    std::unique_ptr<db::SqlConnection> conn;
    if (!std::filesystem::exists(dbPath)) {
        conn = store::CreateDemoDatabase(dbPath);
    } else {
        conn = store::OpenDatabase("sqlite:" + dbPath);
        store::InitDatabase(*conn, true);  // migrates; demo rows only into an empty database
    }
    appserver::AppServerOptions options;
    server_ = std::make_unique<appserver::AppServer>(std::move(conn), std::move(options));
    port_ = server_->Listen("127.0.0.1", 0);
}

EmbeddedServer::~EmbeddedServer() = default;

}  // namespace host
