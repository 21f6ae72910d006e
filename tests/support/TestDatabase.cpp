#include "TestDatabase.h"

#include "core/ScopeGuard.h"
#include "db/ConnectionUrl.h"
#include "db/SqliteConnection.h"
#include "store/Database.h"

#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <vector>

namespace testdb {

namespace {

const char* clusterUrl() {
    const char* u = std::getenv("PLA_TEST_PG");
    return u && *u ? u : nullptr;
}

// The cluster's URL with another database: "postgresql:///postgres?host=..." -> ".../NAME?host=...".
std::string urlOf(const std::string& name) {
    std::string u = clusterUrl();
    size_t slash = u.find('/', u.find("://") + 3);
    size_t query = u.find('?', slash);
    return u.substr(0, slash + 1) + name + (query == std::string::npos ? "" : u.substr(query));
}

db::SqlConnection& admin() {
    static std::mutex m;
    static std::unique_ptr<db::SqlConnection> conn;
    std::lock_guard lock(m);
    if (!conn) {
        try {
            conn = db::OpenConnection(clusterUrl());
        } catch (const std::exception& e) {
            throw Exception(std::string("The PostgreSQL test cluster (PLA_TEST_PG) cannot be reached; did the "
                                        "pg_cluster_start test run? ") + e.what());
        }
    }
    return *conn;
}

std::string cloneOf(const std::string& templ) {
    static std::atomic<int> counter{0};
    std::string name = "t_" + std::to_string(getpid()) + "_" + std::to_string(++counter);
    static std::mutex m;
    std::lock_guard lock(m);  // the admin connection serves one thread at a time
    admin().ExecuteScript("CREATE DATABASE " + name + " TEMPLATE " + templ + " STRATEGY FILE_COPY");
    return name;
}

void drop(const std::string& name) {
    static std::mutex m;
    std::lock_guard lock(m);
    admin().ExecuteScript("DROP DATABASE IF EXISTS " + name + " WITH (FORCE)");
}

// A connection to a cloned database that drops the database when it goes.
class ClonedConnection final : public db::SqlConnection {
public:
    explicit ClonedConnection(std::string name) : name_(std::move(name)), conn_(db::OpenConnection(urlOf(name_))) {}
    ~ClonedConnection() override {
        TScopeExit dropIt([this] { drop(name_); });
        conn_.reset();
    }
    db::Dialect GetDialect() const override { return conn_->GetDialect(); }
    db::SqlResult Query(const std::string& sql, const db::SqlParams& p = {}) override { return conn_->Query(sql, p); }
    int64_t Execute(const std::string& sql, const db::SqlParams& p = {}) override { return conn_->Execute(sql, p); }
    void ExecuteScript(const std::string& sql) override { conn_->ExecuteScript(sql); }
    void Begin(db::TxMode mode = db::TxMode::Write) override { conn_->Begin(mode); }
    void Commit() override { conn_->Commit(); }
    void Rollback() override { conn_->Rollback(); }
    bool InTransaction() const override { return conn_->InTransaction(); }

private:
    std::string name_;
    std::unique_ptr<db::SqlConnection> conn_;
};

// Databases handed out by URL, dropped (or removed) when the program ends.
struct Leftovers {
    std::mutex m;
    std::vector<std::string> databases, files;
    ~Leftovers() {
        for (const auto& d : databases) try { drop(d); } catch (const std::exception&) {}  // the cluster is thrown away anyway
        std::error_code ec;
        for (const auto& f : files)
            for (const char* s : {"", "-wal", "-shm"}) std::filesystem::remove(f + s, ec);
    }
};
Leftovers& leftovers() {
    static Leftovers l;
    return l;
}

}  // namespace

bool OnPostgres() { return clusterUrl() != nullptr; }

std::unique_ptr<db::SqlConnection> Demo(uint32_t seed, TDateTime today) {
    if (!OnPostgres()) return store::CreateDemoDatabase(":memory:", seed, today);
    bool standard = seed == store::demo::kDefaultSeed && today.DateOnly() == Date().DateOnly();
    auto conn = std::make_unique<ClonedConnection>(cloneOf(standard ? "pla_demo" : "pla_empty"));
    if (!standard) store::InitDatabase(*conn, true, seed, today);
    return conn;
}

std::unique_ptr<db::SqlConnection> Empty() {
    if (!OnPostgres()) {
        auto c = std::make_unique<db::SqliteConnection>(":memory:");
        store::InitDatabase(*c, false);
        return c;
    }
    return std::make_unique<ClonedConnection>(cloneOf("pla_empty"));
}

std::unique_ptr<db::SqlConnection> Blank() {
    if (!OnPostgres()) return std::make_unique<db::SqliteConnection>(":memory:");
    return std::make_unique<ClonedConnection>(cloneOf("template0"));
}

std::string DemoUrl() {
    Leftovers& l = leftovers();
    if (!OnPostgres()) {
        static std::atomic<int> counter{0};
        auto path = std::filesystem::temp_directory_path() /
                    ("pla-test-" + std::to_string(getpid()) + "-" + std::to_string(++counter) + ".db");
        store::CreateDemoDatabase(path.string());
        std::lock_guard lock(l.m);
        l.files.push_back(path.string());
        return "sqlite:" + path.string();
    }
    std::string name = cloneOf("pla_demo");
    std::lock_guard lock(l.m);
    l.databases.push_back(name);
    return urlOf(name);
}

}  // namespace testdb
