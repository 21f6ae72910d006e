#include "db/ConnectionPool.h"

namespace db {

ConnectionPool::ConnectionPool(size_t size, const Opener& open) {
    size_ = size == 0 ? 1 : size;
    idle_.reserve(size_);
    for (size_t i = 0; i < size_; ++i) idle_.push_back(open());
    dialect_ = idle_.front()->GetDialect();
}

ConnectionPool::ConnectionPool(std::unique_ptr<SqlConnection> only) {
    if (!only) throw SqlError("A connection pool needs a connection");
    size_ = 1;
    dialect_ = only->GetDialect();
    idle_.push_back(std::move(only));
}

ConnectionPool::Lease::~Lease() {
    if (!conn_) return;
    // A rollback that fails leaves nothing better to do than lend the connection again:
    // its next Begin reports the trouble to that caller.
    try {
        if (conn_->InTransaction()) conn_->Rollback();
    } catch (const std::exception&) {
    }
    pool_.giveBack(std::move(conn_));
}

ConnectionPool::Lease ConnectionPool::Acquire(std::chrono::milliseconds wait) {
    std::unique_lock lock(mutex_);
    if (!freed_.wait_for(lock, wait, [this] { return !idle_.empty(); }))
        throw SqlError("No database connection became free in " + std::to_string(wait.count()) + " ms",
                       SqlFailure::Busy);
    auto conn = std::move(idle_.back());
    idle_.pop_back();
    return Lease(*this, std::move(conn));
}

void ConnectionPool::giveBack(std::unique_ptr<SqlConnection> conn) {
    {
        std::lock_guard lock(mutex_);
        idle_.push_back(std::move(conn));
    }
    freed_.notify_one();
}

}  // namespace db
