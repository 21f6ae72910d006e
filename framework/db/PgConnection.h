#pragma once
// PostgreSQL back end of SqlConnection, over libpq.
//
// Parameters go as text with no declared type, so the server gives each the
// type its first place in the statement asks for (a timestamp column compared
// with :D reads a timestamp). Where that first place fixes nothing (":X IS
// NULL", a SELECT list), write CAST(:X AS type) there: portable, and the
// server refuses the text otherwise ("could not determine data type"). A name
// used in places of different types becomes one parameter per place. Results are typed from the columns' types: integers,
// doubles (every numeric type), date-times (date, timestamp), texts; booleans
// come back as 1/0 like SQLite's. Unquoted names fold to upper case in the
// result's columns, as the query texts (written for Oracle) expect.
// Statements are prepared once per text and reused. A session lost between
// transactions is opened again by the next one; lost inside a transaction,
// every statement fails until Rollback, which reconnects.
#include "db/SqlConnection.h"

#include <memory>
#include <string>

struct pg_conn;

namespace db {

class PgConnection final : public SqlConnection {
public:
    // conninfo: a URL "postgresql://user@host:port/dbname" (also "postgres://")
    // or the key=value form "host=/run/pg dbname=pla". Throws SqlError with the
    // server's text when it cannot connect.
    explicit PgConnection(const std::string& conninfo);
    ~PgConnection() override;
    PgConnection(const PgConnection&) = delete;
    PgConnection& operator=(const PgConnection&) = delete;

    Dialect GetDialect() const override { return Dialect::PostgreSQL; }
    SqlResult Query(const std::string& sql, const SqlParams& params = {}) override;
    int64_t Execute(const std::string& sql, const SqlParams& params = {}) override;
    std::vector<SqlResult> QueryBatch(const std::vector<SqlStatementRef>& batch) override;
    void ExecuteScript(const std::string& sql) override;
    void Begin(TxMode mode = TxMode::Write) override;
    void Commit() override;
    void Rollback() override;
    bool InTransaction() const override;

private:
    struct Statement;
    struct Cache;
    struct Result;
    struct Bound;
    // The text's statement, prepared on first use; one without a name (the
    // cache is full) is the caller's to erase after use.
    Statement& statementOf(const std::string& sql);
    Bound bind(const Statement& st, const SqlParams& params);  // throws for a parameter not given
    Result run(const std::string& sql, const SqlParams& params);
    void simple(const std::string& sql);
    void reconnectIfLost();

    pg_conn* conn_ = nullptr;
    std::unique_ptr<Cache> cache_;
    bool txOpen_ = false;  // between Begin and Commit/Rollback, even when the session is lost
};

}  // namespace db
