#include "db/SqlDialect.h"

namespace db {

namespace {

// Oracle holds an empty text as null and the query texts were written for
// that, so an empty text counts as missing here as in SQLite's versions.
// anycompatible lets NVL(VARCHAR column, text parameter) and NVL(BIGINT, 0.5)
// resolve as Oracle would.
constexpr const char* kPgFunctions = R"SQL(
CREATE OR REPLACE FUNCTION NVL(a anycompatible, b anycompatible) RETURNS anycompatible
  LANGUAGE SQL IMMUTABLE AS $$ SELECT CASE WHEN a IS NULL OR CAST(a AS TEXT) = '' THEN b ELSE a END $$;
CREATE OR REPLACE FUNCTION NVLSTR(a anycompatible, b anycompatible) RETURNS anycompatible
  LANGUAGE SQL IMMUTABLE AS $$ SELECT CASE WHEN a IS NULL OR CAST(a AS TEXT) = '' THEN b ELSE a END $$;
CREATE OR REPLACE FUNCTION INSTR(s TEXT, sub TEXT) RETURNS INTEGER
  LANGUAGE SQL IMMUTABLE AS $$ SELECT CASE WHEN s IS NULL OR s = '' OR sub IS NULL OR sub = '' THEN NULL
  ELSE STRPOS(s, sub) END $$;
)SQL";

const SqlDialect kSqlite{Dialect::SQLite, PlaceholderStyle::QuestionNumber,
                         // IMMEDIATE takes the write lock now, so two writers wait on the busy
                         // timeout instead of failing when a reader would upgrade. A reader takes
                         // its snapshot at its first statement and blocks no one (WAL).
                         "BEGIN DEFERRED", "BEGIN IMMEDIATE", true, "", ""};

const SqlDialect kPostgres{Dialect::PostgreSQL, PlaceholderStyle::DollarNumber,
                           "BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY",
                           "BEGIN ISOLATION LEVEL READ COMMITTED", false, " FOR UPDATE", kPgFunctions};

std::string joined(const std::vector<std::string>& items, const std::string& prefix = "") {
    std::string s;
    for (const auto& i : items) s += (s.empty() ? "" : ", ") + prefix + i;
    return s;
}

}  // namespace

// Both databases take the same upsert (SQLite since 3.24); it stays here so a
// third back end has one place to differ.
std::string SqlDialect::Upsert(const std::string& table, const std::vector<std::string>& columns,
                               const std::vector<std::string>& keys, const std::vector<std::string>& updates) const {
    std::string sql = "INSERT INTO " + table + " (" + joined(columns) + ") VALUES (" + joined(columns, ":") +
                      ") ON CONFLICT (" + joined(keys) + ")";
    return sql + (updates.empty() ? " DO NOTHING" : " DO UPDATE SET " + joined(updates));
}

std::string SqlDialect::LockTable(const std::string& table) const {
    return kind == Dialect::SQLite ? "" : "LOCK TABLE " + table + " IN EXCLUSIVE MODE";
}

const SqlDialect& DialectOf(Dialect d) { return d == Dialect::SQLite ? kSqlite : kPostgres; }

}  // namespace db
