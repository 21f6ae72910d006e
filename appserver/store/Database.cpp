#include "store/Database.h"

#include "db/ConnectionUrl.h"
#include "store/Migrations.h"

#include <filesystem>
#include <map>
#include <mutex>

namespace store {

InitResult InitDatabase(db::SqlConnection& conn, bool demo, uint32_t seed, TDateTime today) {
    InitResult r;
    r.migrationsApplied = Migrate(conn);
    if (demo) {
        db::Transaction t(conn);
        if (conn.Query("SELECT COUNT(*) FROM FILIAL").rows[0][0].AsInteger() == 0) {
            demo::LoadDemoData(conn, seed, today);
            r.demoLoaded = true;
        }
        t.Commit();
    }
    return r;
}

std::unique_ptr<db::SqlConnection> OpenDatabase(const std::string& url) {
    auto conn = db::OpenConnection(url);
    Migrate(*conn);
    return conn;
}

std::unique_ptr<db::ConnectionPool> OpenPool(const std::string& url, size_t size) {
    std::unique_ptr<db::SqlConnection> first = OpenDatabase(url);
    if (auto* lite = dynamic_cast<db::SqliteConnection*>(first.get()); lite && (lite->Path() == ":memory:" || lite->Path().empty()))
        return std::make_unique<db::ConnectionPool>(std::move(first));
    return std::make_unique<db::ConnectionPool>(size, [&] { return first ? std::move(first) : db::OpenConnection(url); });
}

std::unique_ptr<db::SqliteConnection> CreateDemoDatabase(const std::string& path, uint32_t seed, TDateTime today) {
    static std::mutex m;
    static std::map<std::pair<uint32_t, double>, std::unique_ptr<db::SqliteConnection>> templates;
    std::lock_guard lock(m);
    auto key = std::pair{seed, today.DateOnly().Val};
    auto& tpl = templates[key];
    if (!tpl) {
        auto fresh = std::make_unique<db::SqliteConnection>(":memory:");
        InitDatabase(*fresh, true, seed, today);
        tpl = std::move(fresh);
    }
    if (path != ":memory:" && !path.empty()) {
        std::error_code ec;
        for (const char* suffix : {"", "-wal", "-shm"}) std::filesystem::remove(path + suffix, ec);
    }
    auto copy = std::make_unique<db::SqliteConnection>(path);
    tpl->CopyTo(*copy);
    return copy;
}

}  // namespace store
