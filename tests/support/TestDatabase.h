#pragma once
// The database a test program runs on. Without PLA_TEST_PG it is SQLite;
// with PLA_TEST_PG set to the URL of a PostgreSQL cluster's maintenance
// database (ctest sets it for the tests labelled postgres, on the cluster
// scripts/pg-test-cluster starts), every fresh database is a new PostgreSQL
// database cloned from the cluster's templates: pla_demo (demo data of today,
// default seed) and pla_empty (schema only). A cluster that cannot be reached
// throws, never falls back to SQLite.
#include "db/SqlConnection.h"
#include "store/DemoData.h"

#include <memory>
#include <string>

namespace testdb {

bool OnPostgres();

// A fresh demo database; PostgreSQL drops it when the connection is destroyed.
std::unique_ptr<db::SqlConnection> Demo(uint32_t seed = store::demo::kDefaultSeed, TDateTime today = Date());
// A fresh database with the schema and no data.
std::unique_ptr<db::SqlConnection> Empty();
// A fresh database without even the schema.
std::unique_ptr<db::SqlConnection> Blank();

// The URL of a fresh demo database (a file under the temporary folder on
// SQLite), for code that opens its own connections. Dropped at exit.
std::string DemoUrl();

}  // namespace testdb
