#include "db/PgConnection.h"

#include "core/ScopeGuard.h"
#include "core/Text.h"
#include "db/ConnectionUrl.h"
#include "db/SqlDialect.h"
#include "db/SqlParams.h"

#include <cstdio>

#include <libpq-fe.h>

#include <unordered_map>

namespace db {

namespace {

// Type OIDs of the built-in types (pg_type), fixed since the first releases.
enum : Oid {
    kBool = 16, kInt8 = 20, kInt2 = 21, kInt4 = 23, kOid = 26, kFloat4 = 700, kFloat8 = 701,
    kDate = 1082, kTimestamp = 1114, kTimestampTz = 1184, kNumeric = 1700,
};

const char* typeName(Oid t) {
    switch (t) {
    case kBool: return "BOOLEAN";
    case kInt2: case kInt4: case kInt8: case kOid: return "BIGINT";
    case kFloat4: case kFloat8: case kNumeric: return "DOUBLE PRECISION";
    case kDate: return "DATE";
    case kTimestamp: case kTimestampTz: return "TIMESTAMP";
    default: return "VARCHAR";
    }
}

Variant readValue(const PGresult* r, int row, int col) {
    if (PQgetisnull(r, row, col)) return Variant();
    std::string s(PQgetvalue(r, row, col), static_cast<size_t>(PQgetlength(r, row, col)));
    switch (PQftype(r, col)) {
    case kBool:
        return Variant(static_cast<long long>(s == "t" ? 1 : 0));
    case kInt2: case kInt4: case kInt8: case kOid:
        return Variant(std::stoll(s));
    case kFloat4: case kFloat8: case kNumeric:
        return Variant(std::stod(s));
    case kDate: case kTimestamp: case kTimestampTz: {
        TDateTime d;
        // Whole seconds and local wall time are what the program keeps ("+00" of timestamptz goes).
        if (TrySqlDateText(s.substr(0, 19), d)) return Variant(d);
        return Variant(std::move(s));  // infinity and the like
    }
    default:
        return Variant(std::move(s));
    }
}

SqlFailure failureOf(const std::string& state) {
    // 40001 serialization failure, 40P01 deadlock: run again. 55P03 lock not
    // available, 57014 cancelled by a timeout: the database stayed busy.
    if (state == "40001" || state == "40P01") return SqlFailure::Conflict;
    if (state == "55P03" || state == "57014") return SqlFailure::Busy;
    return SqlFailure::Other;
}

std::string excerpt(const std::string& sql) { return sql.size() > 160 ? sql.substr(0, 160) + "..." : sql; }

std::string textOf(const Variant& v, const std::string& name) {
    switch (v.Type()) {
    case VarType::Bool: return v.AsBoolean() ? "1" : "0";
    case VarType::Integer: return std::to_string(v.AsInteger());
    case VarType::Double: {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%.17g", v.AsFloat());  // round-trips every double
        return buf;
    }
    case VarType::String: return v.AsString();
    case VarType::DateTime: return SqlDateText(v.AsDateTime());
    default: throw SqlError("A " + v.TypeName() + " value cannot be a parameter: " + name);
    }
}

}  // namespace

struct PgConnection::Result {
    PGresult* r = nullptr;
    explicit Result(PGresult* p) : r(p) {}
    Result(Result&& o) noexcept : r(o.r) { o.r = nullptr; }
    Result& operator=(Result&& o) noexcept {
        std::swap(r, o.r);
        return *this;
    }
    ~Result() { PQclear(r); }
};

struct PgConnection::Statement {
    std::string name;                // "" when not prepared (the cache was full)
    std::vector<std::string> params;  // parameter n (1-based) is params[n-1]
    std::string text;                // with $n placeholders
};

struct PgConnection::Cache {
    // The bound only guards against a caller that builds texts on the fly;
    // past it, texts run unprepared.
    static constexpr size_t kMaxStatements = 256;
    std::unordered_map<std::string, Statement> statements;
    int nextId = 0;
};

PgConnection::PgConnection(const std::string& conninfo) : cache_(std::make_unique<Cache>()) {
    conn_ = PQconnectdb(conninfo.c_str());
    if (!conn_ || PQstatus(conn_) != CONNECTION_OK) {
        std::string msg = conn_ ? PQerrorMessage(conn_) : "out of memory";
        PQfinish(conn_);
        conn_ = nullptr;
        while (!msg.empty() && (msg.back() == '\n' || msg.back() == ' ')) msg.pop_back();
        throw SqlError("Cannot connect to the database '" + RedactPassword(conninfo) + "': " + msg, SqlFailure::Other,
                       "08001");
    }
    // Notices ("already exists, skipping" ...) are not the program's output.
    PQsetNoticeProcessor(conn_, [](void*, const char*) {}, nullptr);
    PQsetClientEncoding(conn_, "UTF8");
    simple("SET DateStyle = 'ISO, YMD'");
}

PgConnection::~PgConnection() { PQfinish(conn_); }

void PgConnection::reconnectIfLost() {
    if (PQstatus(conn_) == CONNECTION_OK) return;
    // Inside a transaction the work so far is gone with the session: a fresh
    // one would run the rest of it on its own, so the caller hears of it and
    // rolls back, which reconnects.
    if (txOpen_)
        throw SqlError("The connection to the database was lost; the transaction was rolled back",
                       SqlFailure::Other, "08006");
    // A server restart or a dropped socket between transactions: a fresh
    // session (and fresh prepared statements); what follows reports it if the
    // server is still away.
    PQreset(conn_);
    cache_->statements.clear();
    if (PQstatus(conn_) == CONNECTION_OK) {
        PQsetClientEncoding(conn_, "UTF8");
        simple("SET DateStyle = 'ISO, YMD'");
    }
}

namespace {

[[noreturn]] void fail(PGconn* conn, const PGresult* r, const std::string& sql) {
    std::string state, msg;
    if (r) {
        if (const char* s = PQresultErrorField(r, PG_DIAG_SQLSTATE)) state = s;
        msg = PQresultErrorMessage(r);
    }
    if (msg.empty()) msg = PQerrorMessage(conn);
    while (!msg.empty() && (msg.back() == '\n' || msg.back() == ' ')) msg.pop_back();
    throw SqlError("SQL error: " + msg + (state.empty() ? "" : " (SQLSTATE " + state + ")") + " [" +
                       excerpt(sql) + "]",
                   failureOf(state), state);
}

void check(PGconn* conn, const PGresult* r, const std::string& sql) {
    ExecStatusType st = r ? PQresultStatus(r) : PGRES_FATAL_ERROR;
    if (st != PGRES_COMMAND_OK && st != PGRES_TUPLES_OK) fail(conn, r, sql);
}

}  // namespace

void PgConnection::simple(const std::string& sql) {
    Result r(PQexec(conn_, sql.c_str()));
    check(conn_, r.r, sql);
}

PgConnection::Statement& PgConnection::statementOf(const std::string& sql) {
    auto it = cache_->statements.find(sql);
    if (it != cache_->statements.end()) return it->second;
    ParsedSql parsed = ParseNamedParams(sql, DialectOf(Dialect::PostgreSQL).placeholders);
    Statement st{"", std::move(parsed.names), std::move(parsed.text)};
    if (cache_->statements.size() >= Cache::kMaxStatements)
        return cache_->statements.emplace(sql, std::move(st)).first->second;  // erased after use
    st.name = "pla_" + std::to_string(++cache_->nextId);
    // A failed prepare would abort the caller's transaction; a savepoint
    // keeps it usable for the second try below (once per text and session).
    const bool inTx = PQtransactionStatus(conn_) == PQTRANS_INTRANS;
    if (inTx) simple("SAVEPOINT PLA_PREPARE");
    Result prep(PQprepare(conn_, st.name.c_str(), st.text.c_str(), 0, nullptr));
    if (const char* state = PQresultErrorField(prep.r, PG_DIAG_SQLSTATE); state && std::string(state) == "42P08") {
        // One name in places of different types (":F" in a SELECT list
        // and against a VARCHAR column): one parameter per place.
        if (inTx) simple("ROLLBACK TO SAVEPOINT PLA_PREPARE");
        parsed = ParseNamedParams(sql, DialectOf(Dialect::PostgreSQL).placeholders, true);
        st.params = std::move(parsed.names);
        st.text = std::move(parsed.text);
        prep = Result(PQprepare(conn_, st.name.c_str(), st.text.c_str(), 0, nullptr));
    }
    if (inTx) {
        ExecStatusType ps = prep.r ? PQresultStatus(prep.r) : PGRES_FATAL_ERROR;
        simple(ps == PGRES_COMMAND_OK ? "RELEASE SAVEPOINT PLA_PREPARE" : "ROLLBACK TO SAVEPOINT PLA_PREPARE");
    }
    check(conn_, prep.r, sql);
    return cache_->statements.emplace(sql, std::move(st)).first->second;
}

struct PgConnection::Bound {
    std::vector<std::string> texts;
    std::vector<const char*> values;
    int Count() const { return static_cast<int>(values.size()); }
};

PgConnection::Bound PgConnection::bind(const Statement& st, const SqlParams& params) {
    Bound b{std::vector<std::string>(st.params.size()), std::vector<const char*>(st.params.size(), nullptr)};
    for (size_t n = 0; n < st.params.size(); ++n) {
        const SqlParam* found = nullptr;
        for (const auto& p : params)
            if (text::SameText(p.name, st.params[n])) found = &p;
        if (!found) throw SqlError("Parameter not given: " + st.params[n]);
        if (found->value.IsNull()) continue;
        b.texts[n] = textOf(found->value, st.params[n]);
        b.values[n] = b.texts[n].c_str();
    }
    return b;
}

PgConnection::Result PgConnection::run(const std::string& sql, const SqlParams& params) {
    reconnectIfLost();
    Statement& st = statementOf(sql);
    // A text the full cache could not keep runs unprepared, once.
    TScopeExit forget([&] {
        if (st.name.empty()) cache_->statements.erase(sql);
    });
    Bound b = bind(st, params);
    Result r(st.name.empty()
                 ? PQexecParams(conn_, st.text.c_str(), b.Count(), nullptr, b.values.data(), nullptr, nullptr, 0)
                 : PQexecPrepared(conn_, st.name.c_str(), b.Count(), b.values.data(), nullptr, nullptr, 0));
    check(conn_, r.r, sql);
    return r;
}

namespace {

SqlResult resultOf(const PGresult* r) {
    SqlResult out;
    int cols = PQnfields(r), rows = PQntuples(r);
    out.columns.reserve(static_cast<size_t>(cols));
    for (int c = 0; c < cols; ++c) out.columns.push_back({text::Upper(PQfname(r, c)), typeName(PQftype(r, c))});
    out.rows.reserve(static_cast<size_t>(rows));
    for (int i = 0; i < rows; ++i) {
        VariantArray row;
        row.reserve(static_cast<size_t>(cols));
        for (int c = 0; c < cols; ++c) row.push_back(readValue(r, i, c));
        out.rows.push_back(std::move(row));
    }
    return out;
}

}  // namespace

std::vector<SqlResult> PgConnection::QueryBatch(const std::vector<SqlStatementRef>& batch) {
    if (batch.size() < 2) return SqlConnection::QueryBatch(batch);
    reconnectIfLost();
    std::vector<const Statement*> prepared;
    prepared.reserve(batch.size());
    for (const SqlStatementRef& s : batch) {
        const Statement& st = statementOf(s.sql);
        if (st.name.empty()) {  // the cache is full: no pipeline of unprepared texts
            cache_->statements.erase(s.sql);
            return SqlConnection::QueryBatch(batch);
        }
        prepared.push_back(&st);
    }
    std::vector<Bound> bound;
    bound.reserve(batch.size());
    for (size_t i = 0; i < batch.size(); ++i) bound.push_back(bind(*prepared[i], batch[i].params));

    if (PQenterPipelineMode(conn_) != 1) fail(conn_, nullptr, batch[0].sql);
    size_t sent = 0;
    while (sent < batch.size() && PQsendQueryPrepared(conn_, prepared[sent]->name.c_str(), bound[sent].Count(),
                                                      bound[sent].values.data(), nullptr, nullptr, 0) == 1)
        ++sent;
    const bool synced = PQpipelineSync(conn_) == 1;
    // Every answer up to the sync point is read before pipeline mode can end,
    // even after a failure (the statements after it come back "aborted").
    std::vector<SqlResult> out;
    out.reserve(batch.size());
    Result firstError(nullptr);
    size_t failedAt = batch.size(), answered = 0, ends = 0;
    for (bool atSync = !synced; !atSync;) {
        PGresult* raw = PQgetResult(conn_);
        if (!raw) {  // the end of one statement's answer; more than one each means the session is gone
            if (++ends > sent || PQstatus(conn_) != CONNECTION_OK) break;
            continue;
        }
        Result r(raw);
        switch (PQresultStatus(raw)) {
        case PGRES_PIPELINE_SYNC: atSync = true; break;
        case PGRES_TUPLES_OK:
        case PGRES_COMMAND_OK:
            if (failedAt == batch.size()) out.push_back(resultOf(raw));
            ++answered;
            break;
        case PGRES_PIPELINE_ABORTED: ++answered; break;
        default:
            if (failedAt == batch.size()) {
                failedAt = answered;
                firstError = std::move(r);
            }
            ++answered;
        }
    }
    PQexitPipelineMode(conn_);
    if (failedAt < batch.size()) fail(conn_, firstError.r, batch[failedAt].sql);
    if (out.size() < batch.size()) fail(conn_, nullptr, batch[out.size()].sql);
    return out;
}

SqlResult PgConnection::Query(const std::string& sql, const SqlParams& params) {
    Result res = run(sql, params);
    return resultOf(res.r);
}

int64_t PgConnection::Execute(const std::string& sql, const SqlParams& params) {
    Result r = run(sql, params);
    const char* n = PQcmdTuples(r.r);
    return n && *n ? std::stoll(n) : 0;
}

void PgConnection::ExecuteScript(const std::string& sql) {
    reconnectIfLost();
    simple(sql);
}

void PgConnection::Begin(TxMode mode) {
    if (InTransaction()) throw SqlError("A transaction is already open");
    reconnectIfLost();
    const SqlDialect& d = DialectOf(Dialect::PostgreSQL);
    const char* begin = mode == TxMode::Write ? d.beginWrite : d.beginRead;
    Result r(PQexec(conn_, begin));
    if (PQstatus(conn_) != CONNECTION_OK) {
        // The session died while idle (server restart, idle timeout): nothing was
        // under way, so a fresh session may begin the transaction.
        reconnectIfLost();
        r = Result(PQexec(conn_, begin));
    }
    check(conn_, r.r, begin);
    txOpen_ = true;
}

void PgConnection::Commit() {
    txOpen_ = false;  // whatever the answer, the server has ended the transaction or lost it
    Result r(PQexec(conn_, "COMMIT"));
    check(conn_, r.r, "COMMIT");
    // COMMIT of a failed transaction answers success and rolls back; say so.
    if (const char* tag = PQcmdStatus(r.r); tag && std::string(tag) == "ROLLBACK")
        throw SqlError("The transaction failed earlier and was rolled back", SqlFailure::Other, "25P02");
}

void PgConnection::Rollback() {
    txOpen_ = false;
    if (PQstatus(conn_) != CONNECTION_OK) {
        reconnectIfLost();  // the server rolled the work back when the session went
        return;
    }
    PGTransactionStatusType s = PQtransactionStatus(conn_);
    if (s == PQTRANS_INTRANS || s == PQTRANS_INERROR) simple("ROLLBACK");
}

bool PgConnection::InTransaction() const {
    PGTransactionStatusType s = PQtransactionStatus(conn_);
    return txOpen_ || s == PQTRANS_INTRANS || s == PQTRANS_INERROR || s == PQTRANS_ACTIVE;
}

}  // namespace db
