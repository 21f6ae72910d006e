#include "store/Migrations.h"

#include "core/DateTime.h"
#include "db/SqlDialect.h"
#include "store/StockLedger.h"

namespace store {

extern const char* const kSchema001;
extern const char* const kSchema002;
extern const char* const kSchema003;
extern const char* const kSchema005;
extern const char* const kSchema006;
extern const char* const kSchema007;
extern const char* const kSchema008;
extern const char* const kSchema009;
extern const char* const kSchema010;

const std::vector<Migration>& Migrations() {
    static const std::vector<Migration> all = {
        {1, "Suite tables, parameters, stock ledger, requisitions, withdrawals, operators", kSchema001, {}},
        // Built from the ledger by 10, together with the running balances.
        {2, "Daily stock balances for the position of a day", kSchema002, {}},
        {3, "Implantations of the day and standard diets of diet services", kSchema003, {}},
        {4, "SQL functions the query texts take from Oracle (NVL, NVLSTR, INSTR)", "",
         [](db::SqlConnection& conn) {
             if (const char* script = db::DialectOf(conn).functionsScript; *script) conn.ExecuteScript(script);
         }},
        {5, "Sessions and sign-on attempts shared by every server", kSchema005, {}},
        {6, "Extra requisitions in use, answers of recorded sendings", kSchema006, {}},
        {7, "Bar codes of the products", kSchema007, {}},
        {8, "Answers of recorded confirmations, billed meals of the services", kSchema008, {}},
        {9, "General withdrawal: technical sheets, fixed and per-capita consumption, its defaults and runs", kSchema009, {}},
        {10, "Running stock balances by place and day, the places each stock product moved in", kSchema010,
         RebuildDailyBalances},
        // Without statistics SQLite walks a branch's whole ledger in movement
        // order rather than sort the few movements of one document.
        {11, "Ledger indexes by document and by document item in movement order",
         "DROP INDEX MOVIESTQ_LANCTO;"
         " CREATE INDEX MOVIESTQ_LANCTO ON MOVIESTQ (CDFILIAL, NRLANCESTQ, NRMOVIESTQ);"
         " CREATE INDEX MOVIESTQ_ITEM ON MOVIESTQ (CDFILIAL, NRLANCESTQ, NRSEQUITEM, NRMOVIESTQ)",
         {}},
    };
    return all;
}

namespace {

void ensureVersionTable(db::SqlConnection& conn) {
    conn.ExecuteScript(
        "CREATE TABLE IF NOT EXISTS SCHEMA_VERSAO ("
        " NRVERSAO INTEGER NOT NULL PRIMARY KEY,"
        " DSVERSAO VARCHAR(100) NOT NULL,"
        " DTAPLICADA TIMESTAMP NOT NULL)");
}

int currentVersion(db::SqlConnection& conn) {
    auto r = conn.Query("SELECT MAX(NRVERSAO) FROM SCHEMA_VERSAO");
    return r.rows.empty() || r.rows[0][0].IsNull() ? 0 : static_cast<int>(r.rows[0][0].AsInteger());
}

}  // namespace

int SchemaVersion(db::SqlConnection& conn) {
    ensureVersionTable(conn);
    return currentVersion(conn);
}

int Migrate(db::SqlConnection& conn) {
    ensureVersionTable(conn);
    const auto& all = Migrations();
    int applied = 0;
    for (const Migration& m : all) {
        db::Transaction t(conn);
        // Another process migrating at the same time waits here, then finds the work done.
        if (std::string lock = db::DialectOf(conn).LockTable("SCHEMA_VERSAO"); !lock.empty()) conn.Execute(lock);
        int version = currentVersion(conn);
        if (version > all.back().version)
            throw Exception("The database schema (version " + std::to_string(version) +
                            ") is newer than this program (version " + std::to_string(all.back().version) + ")");
        if (m.version <= version) continue;
        if (*m.sql) conn.ExecuteScript(m.sql);
        if (m.then) m.then(conn);
        conn.Execute("INSERT INTO SCHEMA_VERSAO (NRVERSAO, DSVERSAO, DTAPLICADA) VALUES (:V, :D, :T)",
                     {{"V", m.version}, {"D", m.description}, {"T", Now()}});
        t.Commit();
        ++applied;
    }
    return applied;
}

}  // namespace store
