#pragma once
// The transactions remote calls run in.
//
// Reads run in read transactions, side by side: SQLite readers in WAL mode
// see a snapshot and block no one; PostgreSQL reads in REPEATABLE READ READ
// ONLY, one snapshot for all the statements of a call.
//
// Writes: on SQLite one writer at a time, in process (a mutex, so writers
// queue here instead of spinning on the file lock) and across processes (the
// write lock of BEGIN IMMEDIATE, waited for up to the busy timeout). On
// PostgreSQL writers run concurrently in READ COMMITTED and the store takes
// row locks on what it changes (see store/Sequences.h, store/StockLedger.h);
// a deadlock or serialization failure that still slips through is retried a
// bounded number of times with a short random pause, then reported.
#include "db/SqlConnection.h"
#include "rpc/Dispatcher.h"

#include <functional>
#include <mutex>

namespace appserver {

class CallRunner {
public:
    static constexpr int kMaxAttempts = 5;

    // Runs body as TransactionRunner says. Throws what body throws, or the
    // last db::SqlError (SqlFailure::Conflict) once the attempts are spent.
    void Run(db::SqlConnection& conn, Access access, const std::function<void()>& body);

    // The runner for a Dispatcher; this object must outlive it.
    TransactionRunner Runner() {
        return [this](db::SqlConnection& c, Access a, const std::function<void()>& body) { Run(c, a, body); };
    }

private:
    std::mutex sqliteWriter_;
};

}  // namespace appserver
