#pragma once
// Everything in which the SQL of the two back ends differs, in one table.
// Callers ask the connection's dialect for a text; nothing else compares
// dialects. What is not here is written once, in the portable subset both
// databases run: VARCHAR, DOUBLE PRECISION, BIGINT, TIMESTAMP; CAST(x AS T);
// COALESCE; INSERT ... ON CONFLICT (keys) DO UPDATE/NOTHING; RETURNING.
#include "db/SqlConnection.h"
#include "db/SqlParams.h"

#include <string>
#include <vector>

namespace db {

struct SqlDialect {
    Dialect kind;
    PlaceholderStyle placeholders;  // what :NAME becomes in the text sent
    const char* beginRead;          // opens a read transaction (one snapshot for all its statements)
    const char* beginWrite;         // opens a write transaction
    // Writers exclude each other for their whole transaction (SQLite's one
    // write lock): a server queues them in process rather than on the lock.
    bool oneWriterAtATime;
    // Appended to a SELECT that reads rows it is about to change, so concurrent
    // writers queue on them. Empty on SQLite, whose write transaction already
    // holds the whole database.
    const char* forUpdate;
    // Creates the functions the query texts take from Oracle (NVL, NVLSTR,
    // INSTR; see RegisterSqlFunctions for their meaning). Run by the schema
    // migration; empty on SQLite, where every connection registers them itself.
    const char* functionsScript;

    // Statement that keeps other writers off a whole table until the
    // transaction ends (schema changes, reading a value to change it); empty
    // on SQLite, where the write transaction locks the database.
    std::string LockTable(const std::string& table) const;

    // INSERT of columns (values :COLUMN) that, when a row with the same keys
    // exists, runs the updates instead ("QT = T.QT + excluded.QT", where T is
    // the table's name); no updates leaves the existing row alone.
    std::string Upsert(const std::string& table, const std::vector<std::string>& columns,
                       const std::vector<std::string>& keys, const std::vector<std::string>& updates) const;
};

const SqlDialect& DialectOf(Dialect d);
inline const SqlDialect& DialectOf(const SqlConnection& conn) { return DialectOf(conn.GetDialect()); }

}  // namespace db
