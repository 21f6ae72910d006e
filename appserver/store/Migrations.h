#pragma once
// The schema as numbered migrations. The table SCHEMA_VERSAO records which
// ones a database has; applying them again does nothing.
//
// One text serves SQLite and PostgreSQL (the tests run every migration on
// both): types VARCHAR(n), DOUBLE PRECISION, BIGINT, TIMESTAMP (dates too);
// PRIMARY KEY / UNIQUE / REFERENCES / CREATE INDEX as usual; no AUTOINCREMENT
// (numbers come from store/Sequences.h), no BLOB, no BOOLEAN (flags are
// VARCHAR(1)), no DEFAULT CURRENT_TIMESTAMP (the program writes its times).
// Where the databases must differ, ask db::DialectOf(conn) in `then`.
#include "db/SqlConnection.h"

#include <functional>
#include <vector>

namespace store {

struct Migration {
    int version;              // 1, 2, ... in order
    const char* description;  // one line
    const char* sql;          // portable script (SQLite and PostgreSQL); may be empty
    // Data work that portable SQL cannot say (runs after sql, same transaction); may be empty.
    std::function<void(db::SqlConnection&)> then;
};

// All migrations, oldest first.
const std::vector<Migration>& Migrations();

// The newest version applied to the database; 0 for an empty one.
int SchemaVersion(db::SqlConnection& conn);

// Applies, each in its own transaction, the migrations newer than the
// database's version and returns how many ran. Safe to call on every start
// and from several processes: the version is read again under the write lock.
// Throws db::SqlError when a migration fails (that migration is rolled back)
// and Exception when the database is newer than this program.
int Migrate(db::SqlConnection& conn);

}  // namespace store
