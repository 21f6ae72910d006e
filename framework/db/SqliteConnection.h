#pragma once
// SQLite back end of SqlConnection: WAL journal (files), a busy timeout,
// foreign keys on, prepared statements kept and reused per text, and the
// functions the query texts use that SQLite lacks (NVL, NVLSTR, Oracle's INSTR).
#include "db/SqlConnection.h"

#include <memory>
#include <string>

struct sqlite3;

namespace db {

struct SqliteOptions {
    int busyTimeoutMs = 5000;
    bool readOnly = false;
    bool create = true;  // create the file when it does not exist
    // Every commit synced to the disk (synchronous=FULL). Off (NORMAL), the
    // log is synced at checkpoints only: faster, and a commit still survives
    // the process's crash, but a power loss may take the last ones back.
    bool syncEveryCommit = true;
};

class SqliteConnection final : public SqlConnection {
public:
    // Opens (and creates) the database at path; ":memory:" gives a private
    // in-memory database. Throws SqlError when it cannot be opened.
    explicit SqliteConnection(const std::string& path, SqliteOptions options = {});
    ~SqliteConnection() override;
    SqliteConnection(const SqliteConnection&) = delete;
    SqliteConnection& operator=(const SqliteConnection&) = delete;

    Dialect GetDialect() const override { return Dialect::SQLite; }
    SqlResult Query(const std::string& sql, const SqlParams& params = {}) override;
    int64_t Execute(const std::string& sql, const SqlParams& params = {}) override;
    void ExecuteScript(const std::string& sql) override;
    void Begin(TxMode mode = TxMode::Write) override;
    void Commit() override;
    void Rollback() override;
    bool InTransaction() const override;

    // Copies this whole database into target (SQLite's online backup); what the
    // target held is replaced. Throws SqlError on failure.
    void CopyTo(SqliteConnection& target);

    const std::string& Path() const { return path_; }
    sqlite3* Handle() const { return db_; }

private:
    struct Statement;
    struct Cache;
    Statement& prepare(const std::string& sql);
    void bindAll(Statement& st, const SqlParams& params);
    [[noreturn]] void fail(const std::string& what, const std::string& sql) const;
    void refuseWriteWhenReading(Statement& st, const std::string& sql) const;

    std::string path_;
    sqlite3* db_ = nullptr;
    std::unique_ptr<Cache> cache_;
    bool readOnly_ = false;  // in a read transaction: only statements that do not write
};

// Registers NVL, NVLSTR and INSTR on a raw SQLite handle (done by SqliteConnection).
// NVL(a, b) and NVLSTR(a, b): b when a is null or empty (as Oracle, which holds
// an empty text as null), else a. INSTR(s, sub): null when either is null or
// empty, else the 1-based character position of sub in s, or 0.
void RegisterSqlFunctions(sqlite3* db);

}  // namespace db
