#pragma once
// Creating the application server's database: schema, and demo data on request.
#include "db/ConnectionPool.h"
#include "db/SqlConnection.h"
#include "db/SqliteConnection.h"
#include "store/DemoData.h"

#include <cstdint>
#include <memory>
#include <string>

namespace store {

struct InitResult {
    int migrationsApplied = 0;
    bool demoLoaded = false;  // false also when demo was asked for but the database already held data
};

// Creates or migrates the schema; with demo, loads the demo data generated
// from seed (processing dates = today) unless the database already holds
// branches, which are never touched. Throws db::SqlError on database failures.
InitResult InitDatabase(db::SqlConnection& conn, bool demo, uint32_t seed = demo::kDefaultSeed, TDateTime today = Date());

// Opens a database URL ("sqlite:PATH", or a scheme another back end registers)
// and migrates it. Throws db::SqlError.
std::unique_ptr<db::SqlConnection> OpenDatabase(const std::string& url);

// Opens size connections to url, migrating the database with the first. A
// private in-memory SQLite database gives a pool of that one connection.
// Throws db::SqlError.
std::unique_ptr<db::ConnectionPool> OpenPool(const std::string& url, size_t size);

// A fresh demo database for tests and the embedded server, fast: the first
// call per (seed, today) builds a template in memory, every call copies it.
// path ":memory:" gives a private in-memory copy. A file at path is replaced.
std::unique_ptr<db::SqliteConnection> CreateDemoDatabase(const std::string& path = ":memory:",
                                                         uint32_t seed = demo::kDefaultSeed, TDateTime today = Date());

}  // namespace store
