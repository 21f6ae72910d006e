#include "db/SqliteConnection.h"

#include "core/ScopeGuard.h"
#include "core/Text.h"
#include "db/SqlDialect.h"
#include "db/SqlParams.h"

#include <sqlite3.h>

#include <cctype>
#include <unordered_map>

namespace db {

struct SqliteConnection::Statement {
    sqlite3_stmt* stmt = nullptr;
    std::vector<std::string> names;  // parameter n (1-based) is names[n-1]
    ~Statement() { sqlite3_finalize(stmt); }
};

struct SqliteConnection::Cache {
    // Texts are few (the screen's lookups and the server's fixed statements);
    // the bound only guards against a caller that builds texts on the fly.
    static constexpr size_t kMaxStatements = 256;
    std::unordered_map<std::string, std::unique_ptr<Statement>> statements;
};

namespace {

// Resets a statement after use, whatever happens, so the cached copy is ready
// for its next caller and holds no read lock.
struct ResetGuard {
    sqlite3_stmt* stmt;
    ~ResetGuard() {
        sqlite3_reset(stmt);
        sqlite3_clear_bindings(stmt);
    }
};

bool isDateType(const char* decl) {
    if (!decl) return false;
    std::string t = text::Upper(decl);
    return t.find("TIMESTAMP") != std::string::npos || t.find("DATE") != std::string::npos;
}

Variant readColumn(sqlite3_stmt* st, int i, bool dateColumn) {
    switch (sqlite3_column_type(st, i)) {
    case SQLITE_INTEGER:
        return Variant(static_cast<long long>(sqlite3_column_int64(st, i)));
    case SQLITE_FLOAT:
        return Variant(sqlite3_column_double(st, i));
    case SQLITE_NULL:
        return Variant();
    default: {
        const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(st, i));
        std::string s(p ? p : "", static_cast<size_t>(sqlite3_column_bytes(st, i)));
        if (dateColumn) {
            TDateTime d;
            if (TrySqlDateText(s, d)) return Variant(d);
        }
        return Variant(std::move(s));
    }
    }
}

}  // namespace

SqliteConnection::SqliteConnection(const std::string& path, SqliteOptions options)
    : path_(path), cache_(std::make_unique<Cache>()) {
    int flags = options.readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE;
    if (options.create && !options.readOnly) flags |= SQLITE_OPEN_CREATE;
    flags |= SQLITE_OPEN_NOMUTEX;  // one thread at a time, by contract
    if (sqlite3_open_v2(path.c_str(), &db_, flags, nullptr) != SQLITE_OK) {
        std::string msg = db_ ? sqlite3_errmsg(db_) : "out of memory";
        sqlite3_close(db_);
        db_ = nullptr;
        throw SqlError("Cannot open the database '" + path + "': " + msg);
    }
    sqlite3_extended_result_codes(db_, 1);
    sqlite3_busy_timeout(db_, options.busyTimeoutMs);
    TScopeFailure closeOnFailure([this] {
        sqlite3_close(db_);
        db_ = nullptr;
    });
    // WAL lets the clients read their lookups while the server writes.
    // NORMAL syncs the log at checkpoints, not at every commit: a commit
    // written to the log survives the process's crash (kill -9); a power
    // loss may take the last commits back, never leave one half applied.
    if (!options.readOnly && path != ":memory:" && !path.empty())
        ExecuteScript(options.syncEveryCommit ? "PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL"
                                              : "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL");
    ExecuteScript("PRAGMA foreign_keys=ON");
    RegisterSqlFunctions(db_);
}

SqliteConnection::~SqliteConnection() {
    cache_.reset();  // statements go before the handle
    if (db_) {
        if (!sqlite3_get_autocommit(db_)) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(db_);
    }
}

namespace {
SqlFailure failureOf(int code) {
    int primary = code & 0xFF;
    return primary == SQLITE_BUSY || primary == SQLITE_LOCKED ? SqlFailure::Busy : SqlFailure::Other;
}
}  // namespace

void SqliteConnection::fail(const std::string& what, const std::string& sql) const {
    std::string text = sql.size() > 160 ? sql.substr(0, 160) + "..." : sql;
    throw SqlError(what + ": " + sqlite3_errmsg(db_) + " [" + text + "]", failureOf(sqlite3_extended_errcode(db_)));
}

SqliteConnection::Statement& SqliteConnection::prepare(const std::string& sql) {
    auto it = cache_->statements.find(sql);
    if (it != cache_->statements.end()) return *it->second;
    ParsedSql parsed = ParseNamedParams(sql, DialectOf(Dialect::SQLite).placeholders);
    auto st = std::make_unique<Statement>();
    const char* tail = nullptr;
    if (sqlite3_prepare_v3(db_, parsed.text.c_str(), static_cast<int>(parsed.text.size()),
                           SQLITE_PREPARE_PERSISTENT, &st->stmt, &tail) != SQLITE_OK)
        fail("SQL error", sql);
    if (!st->stmt) throw SqlError("Empty SQL statement");
    for (const char* p = tail; p && *p; ++p)
        if (!std::isspace(static_cast<unsigned char>(*p)) && *p != ';')
            throw SqlError("Only one statement may run at a time [" + sql.substr(0, 160) + "]");
    st->names = std::move(parsed.names);
    if (cache_->statements.size() >= Cache::kMaxStatements) cache_->statements.clear();
    return *cache_->statements.emplace(sql, std::move(st)).first->second;
}

void SqliteConnection::bindAll(Statement& st, const SqlParams& params) {
    for (size_t n = 0; n < st.names.size(); ++n) {
        const SqlParam* found = nullptr;
        for (const auto& p : params)
            if (text::SameText(p.name, st.names[n])) found = &p;
        if (!found) throw SqlError("Parameter not given: " + st.names[n]);
        int idx = static_cast<int>(n + 1);
        const Variant& v = found->value;
        int rc = SQLITE_OK;
        switch (v.Type()) {
        case VarType::Null:
            rc = sqlite3_bind_null(st.stmt, idx);
            break;
        case VarType::Bool:
            rc = sqlite3_bind_int(st.stmt, idx, v.AsBoolean() ? 1 : 0);
            break;
        case VarType::Integer:
            rc = sqlite3_bind_int64(st.stmt, idx, v.AsInteger());
            break;
        case VarType::Double:
            rc = sqlite3_bind_double(st.stmt, idx, v.AsFloat());
            break;
        case VarType::String: {
            const std::string& s = v.AsString();
            rc = sqlite3_bind_text(st.stmt, idx, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
            break;
        }
        case VarType::DateTime: {
            std::string s = SqlDateText(v.AsDateTime());
            rc = sqlite3_bind_text(st.stmt, idx, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
            break;
        }
        default:
            throw SqlError("A " + v.TypeName() + " value cannot be a parameter: " + st.names[n]);
        }
        if (rc != SQLITE_OK) fail("Cannot bind parameter " + st.names[n], sqlite3_sql(st.stmt));
    }
}

void SqliteConnection::refuseWriteWhenReading(Statement& st, const std::string& sql) const {
    if (readOnly_ && !sqlite3_stmt_readonly(st.stmt))
        throw SqlError("A read transaction may not write [" + sql.substr(0, 160) + "]");
}

SqlResult SqliteConnection::Query(const std::string& sql, const SqlParams& params) {
    Statement& st = prepare(sql);
    refuseWriteWhenReading(st, sql);
    ResetGuard guard{st.stmt};
    bindAll(st, params);
    SqlResult r;
    int n = sqlite3_column_count(st.stmt);
    r.columns.reserve(static_cast<size_t>(n));
    std::vector<bool> dates(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        const char* decl = sqlite3_column_decltype(st.stmt, i);
        r.columns.push_back({sqlite3_column_name(st.stmt, i), decl ? decl : ""});
        dates[static_cast<size_t>(i)] = isDateType(decl);
    }
    for (;;) {
        int rc = sqlite3_step(st.stmt);
        if (rc == SQLITE_DONE) break;
        if (rc != SQLITE_ROW) fail("SQL error", sql);
        VariantArray row;
        row.reserve(static_cast<size_t>(n));
        for (int i = 0; i < n; ++i) row.push_back(readColumn(st.stmt, i, dates[static_cast<size_t>(i)]));
        r.rows.push_back(std::move(row));
    }
    return r;
}

int64_t SqliteConnection::Execute(const std::string& sql, const SqlParams& params) {
    Statement& st = prepare(sql);
    refuseWriteWhenReading(st, sql);
    ResetGuard guard{st.stmt};
    bindAll(st, params);
    int rc;
    while ((rc = sqlite3_step(st.stmt)) == SQLITE_ROW) {
    }
    if (rc != SQLITE_DONE) fail("SQL error", sql);
    return sqlite3_changes64(db_);
}

void SqliteConnection::ExecuteScript(const std::string& sql) {
    if (readOnly_) {
        // Each statement is checked before it runs, as Query and Execute do.
        for (const char* rest = sql.c_str(); rest && *rest;) {
            sqlite3_stmt* raw = nullptr;
            if (sqlite3_prepare_v2(db_, rest, -1, &raw, &rest) != SQLITE_OK) fail("SQL error", sql);
            if (!raw) break;
            Statement st;
            st.stmt = raw;
            refuseWriteWhenReading(st, sql);
            int rc;
            while ((rc = sqlite3_step(raw)) == SQLITE_ROW) {
            }
            if (rc != SQLITE_DONE) fail("SQL error", sql);
        }
        return;
    }
    char* err = nullptr;
    if (int rc = sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &err); rc != SQLITE_OK) {
        std::string msg = err ? err : sqlite3_errmsg(db_);
        sqlite3_free(err);
        std::string text = sql.size() > 160 ? sql.substr(0, 160) + "..." : sql;
        throw SqlError("SQL error: " + msg + " [" + text + "]", failureOf(rc));
    }
}

void SqliteConnection::Begin(TxMode mode) {
    if (InTransaction()) throw SqlError("A transaction is already open");
    const SqlDialect& d = DialectOf(Dialect::SQLite);
    Execute(mode == TxMode::Write ? d.beginWrite : d.beginRead);
    // A read transaction refuses writes, as PostgreSQL's READ ONLY does, so a
    // method that writes in one fails here too and not only there. Checked
    // per statement: PRAGMA query_only would expire every prepared statement
    // of the connection at each switch.
    readOnly_ = mode == TxMode::Read;
}

void SqliteConnection::Commit() {
    TScopeExit writable([this] { readOnly_ = false; });
    Execute("COMMIT");
}

void SqliteConnection::Rollback() {
    TScopeExit writable([this] { readOnly_ = false; });
    if (InTransaction()) Execute("ROLLBACK");
}

bool SqliteConnection::InTransaction() const { return sqlite3_get_autocommit(db_) == 0; }

void SqliteConnection::CopyTo(SqliteConnection& target) {
    sqlite3_backup* b = sqlite3_backup_init(target.db_, "main", db_, "main");
    if (!b) throw SqlError(std::string("Cannot copy the database: ") + sqlite3_errmsg(target.db_));
    int rc = sqlite3_backup_step(b, -1);
    sqlite3_backup_finish(b);
    if (rc != SQLITE_DONE) throw SqlError(std::string("Cannot copy the database: ") + sqlite3_errstr(rc));
}

}  // namespace db
