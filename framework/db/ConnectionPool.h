#pragma once
// A fixed set of open connections to one database, lent to one thread at a
// time: a server opens one per worker thread, so calls never share a
// connection and never open one on the way.
#include "db/SqlConnection.h"

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace db {

class ConnectionPool {
public:
    using Opener = std::function<std::unique_ptr<SqlConnection>()>;

    // Opens size (at least 1) connections with open; throws what open throws.
    ConnectionPool(size_t size, const Opener& open);
    // A pool of the one connection given (an in-memory database cannot be opened twice).
    explicit ConnectionPool(std::unique_ptr<SqlConnection> only);
    ConnectionPool(const ConnectionPool&) = delete;
    ConnectionPool& operator=(const ConnectionPool&) = delete;

    // A lent connection; goes back to the pool when destroyed, with any
    // transaction still open rolled back.
    class Lease {
    public:
        Lease(Lease&& other) noexcept : pool_(other.pool_), conn_(std::move(other.conn_)) {}
        Lease& operator=(Lease&&) = delete;
        ~Lease();
        SqlConnection& operator*() const { return *conn_; }
        SqlConnection* operator->() const { return conn_.get(); }

    private:
        friend class ConnectionPool;
        Lease(ConnectionPool& pool, std::unique_ptr<SqlConnection> conn) : pool_(pool), conn_(std::move(conn)) {}
        ConnectionPool& pool_;
        std::unique_ptr<SqlConnection> conn_;
    };

    // Waits for a free connection; throws SqlError (SqlFailure::Busy) when
    // none is given back within wait.
    Lease Acquire(std::chrono::milliseconds wait = std::chrono::seconds(30));

    size_t Size() const { return size_; }
    Dialect GetDialect() const { return dialect_; }

private:
    void giveBack(std::unique_ptr<SqlConnection> conn);

    size_t size_ = 0;
    Dialect dialect_ = Dialect::SQLite;
    std::mutex mutex_;
    std::condition_variable freed_;
    std::vector<std::unique_ptr<SqlConnection>> idle_;
};

}  // namespace db
