#include "db/LocalConnection.h"

#include <mutex>

namespace db {

namespace {
std::mutex localMutex;
std::shared_ptr<SqlConnection> localConn;
}  // namespace

void SetLocalConnection(std::shared_ptr<SqlConnection> conn) {
    std::lock_guard lock(localMutex);
    localConn = std::move(conn);
}

std::shared_ptr<SqlConnection> LocalConnection() {
    std::lock_guard lock(localMutex);
    return localConn;
}

std::shared_ptr<SqlConnection> RequireLocalConnection() {
    auto c = LocalConnection();
    if (!c) throw Exception("Nenhuma conexão com o banco de dados local.");
    return c;
}

}  // namespace db
