#include "rpc/CallRunner.h"

#include "db/SqlDialect.h"

#include <chrono>
#include <random>
#include <thread>

namespace appserver {

namespace {

void once(db::SqlConnection& conn, db::TxMode mode, const std::function<void()>& body) {
    db::Transaction tx(conn, mode);
    body();
    tx.Commit();
}

void pauseBeforeAttempt(int attempt) {
    thread_local std::minstd_rand random(std::random_device{}());
    // A few milliseconds, growing and spread, so the losers do not collide again.
    int ceiling = 5 << attempt;
    std::this_thread::sleep_for(std::chrono::milliseconds(1 + static_cast<int>(random() % ceiling)));
}

}  // namespace

void CallRunner::Run(db::SqlConnection& conn, Access access, const std::function<void()>& body) {
    if (access == Access::Own) {
        body();
        return;
    }
    if (access == Access::Read) {
        once(conn, db::TxMode::Read, body);
        return;
    }
    if (db::DialectOf(conn).oneWriterAtATime) {
        std::lock_guard lock(sqliteWriter_);
        once(conn, db::TxMode::Write, body);
        return;
    }
    for (int attempt = 1;; ++attempt) {
        try {
            once(conn, db::TxMode::Write, body);
            return;
        } catch (const db::SqlError& e) {
            if (e.Failure() != db::SqlFailure::Conflict || attempt >= kMaxAttempts) throw;
        }
        pauseBeforeAttempt(attempt);
    }
}

}  // namespace appserver
