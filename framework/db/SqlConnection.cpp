#include "db/SqlConnection.h"

#include "core/IsoText.h"
#include "core/ScopeGuard.h"
#include "core/Text.h"


namespace db {

const char* DialectName(Dialect d) { return d == Dialect::SQLite ? "SQLite" : "PostgreSQL"; }

int SqlResult::ColumnIndex(const std::string& name) const {
    for (size_t i = 0; i < columns.size(); ++i)
        if (text::SameText(columns[i].name, name)) return static_cast<int>(i);
    return -1;
}

const Variant& SqlResult::Value(size_t row, const std::string& column) const {
    int c = ColumnIndex(column);
    if (c < 0) throw SqlError("Column not found in the result: " + column);
    if (row >= rows.size()) throw SqlError("Row " + std::to_string(row) + " is past the end of the result");
    return rows[row][static_cast<size_t>(c)];
}

std::vector<SqlResult> SqlConnection::QueryBatch(const std::vector<SqlStatementRef>& batch) {
    std::vector<SqlResult> out;
    out.reserve(batch.size());
    for (const SqlStatementRef& s : batch) out.push_back(Query(s.sql, s.params));
    return out;
}

namespace {
// One name serves every level: both databases roll back to, and release, the
// most recent savepoint of a name, and a fixed text keeps the statement cache small.
constexpr const char* kSavepoint = "PLA_SP";
}  // namespace

Transaction::Transaction(SqlConnection& conn, TxMode mode)
    : conn_(conn), unwinding_(std::uncaught_exceptions()) {
    if (conn_.InTransaction()) {
        savepoint_ = kSavepoint;
        conn_.Execute("SAVEPOINT " + savepoint_);
    } else {
        conn_.Begin(mode);
    }
}

Transaction::~Transaction() noexcept(false) {
    if (done_) return;
    scope_detail::RunCleanup(unwinding_, [this] {
        if (savepoint_.empty()) {
            conn_.Rollback();
        } else {
            conn_.Execute("ROLLBACK TO SAVEPOINT " + savepoint_);
            conn_.Execute("RELEASE SAVEPOINT " + savepoint_);
        }
    });
}

void Transaction::Commit() {
    if (done_) throw SqlError("Transaction already finished");
    done_ = true;
    if (savepoint_.empty()) {
        // A failed commit may leave the transaction open (SQLite when busy): end it.
        TScopeFailure rollBack([this] {
            if (conn_.InTransaction()) conn_.Rollback();
        });
        conn_.Commit();
    } else {
        conn_.Execute("RELEASE SAVEPOINT " + savepoint_);
    }
}

std::string SqlDateText(TDateTime d) {
    std::string iso = DateTimeToIso(d);
    iso[10] = ' ';
    return iso;
}

bool TrySqlDateText(const std::string& text, TDateTime& out) {
    if (ReadIsoDigits(text, ' ', out)) return true;  // as SQLite keeps them: no copy needed
    std::string t = text;
    if (t.size() > 10 && t[10] == ' ') t[10] = 'T';
    // PostgreSQL may add fractions of a second; whole seconds are all we keep.
    if (size_t dot = t.find('.'); dot != std::string::npos && dot > 10) t.erase(dot);
    return TryIsoToDateTime(t, out);
}

bool ToDateTime(const Variant& v, TDateTime& out) {
    switch (v.Type()) {
    case VarType::Null:
        return false;
    case VarType::DateTime:
        out = v.AsDateTime();
        return true;
    case VarType::String:
        if (v.AsString().empty()) return false;
        if (TrySqlDateText(v.AsString(), out)) return true;
        throw EConvertError("'" + v.AsString() + "' is not a valid date");
    default:
        throw EConvertError("A " + v.TypeName() + " value is not a date");
    }
}

}  // namespace db
