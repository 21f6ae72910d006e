#pragma once
// The SQL connection the client's lookups and the application server share.
// One connection serves one thread at a time; open one per thread.
#include "core/Exception.h"
#include "core/Variant.h"

#include <cstdint>
#include <string>
#include <vector>

namespace db {

enum class Dialect { SQLite, PostgreSQL };
const char* DialectName(Dialect d);  // "SQLite", "PostgreSQL"

// What kind of failure a SqlError is, for the callers that act on it.
enum class SqlFailure {
    Other,     // syntax, constraint, missing parameter, connection lost ...
    Busy,      // the database stayed locked past its timeout
    Conflict,  // a concurrent transaction won (serialization failure, deadlock): run it again
};

// A failure reported by the database (syntax, constraint, busy, missing parameter ...).
// The message carries the database's text and the start of the statement;
// sqlState is the server's SQLSTATE where it has one ("" for SQLite).
class SqlError : public Exception {
public:
    explicit SqlError(const std::string& message, SqlFailure failure = SqlFailure::Other, std::string sqlState = "")
        : Exception(message), failure_(failure), sqlState_(std::move(sqlState)) {}
    SqlFailure Failure() const { return failure_; }
    const std::string& SqlState() const { return sqlState_; }

private:
    SqlFailure failure_;
    std::string sqlState_;
};

// A read transaction sees one consistent state of the database and may not
// write; a write transaction may. SQLite takes its write lock at the start of
// a write transaction only.
enum class TxMode { Read, Write };

// A named parameter value. Names are written in the text as :NAME and compared
// without regard to case; one name may occur several times in a text.
struct SqlParam {
    std::string name;
    Variant value;
};
using SqlParams = std::vector<SqlParam>;

struct SqlColumn {
    std::string name;
    std::string declType;  // the column's declared type when it comes from a table, else ""
};

// All rows of a query. Values: null, integer, double, string; columns declared
// TIMESTAMP or DATE come back as date-times.
struct SqlResult {
    std::vector<SqlColumn> columns;
    std::vector<VariantArray> rows;

    int ColumnIndex(const std::string& name) const;  // without regard to case; -1 when absent
    // Throws SqlError for an unknown column or row.
    const Variant& Value(size_t row, const std::string& column) const;
    bool Empty() const { return rows.empty(); }
};

// One statement of a batch. The text and the values are the caller's and must
// outlive the call.
struct SqlStatementRef {
    const std::string& sql;
    const SqlParams& params;
};

class SqlConnection {
public:
    virtual ~SqlConnection() = default;

    virtual Dialect GetDialect() const = 0;

    // Runs one statement and returns its rows. Every :NAME of the text must be
    // given in params (SqlError otherwise); extra params are ignored. Values are
    // always bound, never spliced into the text. Arrays and packets cannot be bound.
    virtual SqlResult Query(const std::string& sql, const SqlParams& params = {}) = 0;
    // Runs one statement that returns no rows; returns the number of rows changed.
    virtual int64_t Execute(const std::string& sql, const SqlParams& params = {}) = 0;
    // Runs the statements in order and returns each one's rows, as Query would
    // one after the other; where the database allows (PostgreSQL's pipeline)
    // they travel as one exchange, so a few small statements cost one round
    // trip. The first that fails throws its SqlError and the later ones do not
    // run (inside a transaction, which the failure leaves to roll back). Keep
    // batches small: the statements are all sent before any answer is read.
    virtual std::vector<SqlResult> QueryBatch(const std::vector<SqlStatementRef>& batch);
    // Runs a script of statements separated by ';' without parameters (schema changes).
    virtual void ExecuteScript(const std::string& sql) = 0;

    // Plain transaction control; prefer the Transaction guard below.
    // Begin inside a transaction throws SqlError.
    virtual void Begin(TxMode mode = TxMode::Write) = 0;
    virtual void Commit() = 0;
    virtual void Rollback() = 0;
    virtual bool InTransaction() const = 0;
};

// Scoped transaction: begins on construction, rolls back on destruction unless
// Commit was called. Inside an open transaction it becomes a savepoint, so
// store functions can guard themselves while a caller's transaction runs.
// A rollback that fails while an exception unwinds is dropped (the first
// error is the one reported); on a plain exit it throws, like a scope guard.
class Transaction {
public:
    explicit Transaction(SqlConnection& conn, TxMode mode = TxMode::Write);
    ~Transaction() noexcept(false);
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    // Throws SqlError when the commit fails; the guard is then finished (the
    // database has rolled the work back or will on the outer rollback).
    void Commit();

private:
    SqlConnection& conn_;
    std::string savepoint_;  // empty for an outer transaction
    bool done_ = false;
    int unwinding_;  // exceptions in flight when the guard was made
};

// Date-times travel to the database as ISO text "YYYY-MM-DD HH:MM:SS".
std::string SqlDateText(TDateTime d);
// Reads "YYYY-MM-DD[ HH:MM:SS]" or "YYYY-MM-DDTHH:MM:SS"; false on anything else.
bool TrySqlDateText(const std::string& text, TDateTime& out);
// A value read from the database as a date-time: date-times pass, ISO texts are
// read, null stays null (returns false); throws EConvertError for anything else.
bool ToDateTime(const Variant& v, TDateTime& out);

}  // namespace db
