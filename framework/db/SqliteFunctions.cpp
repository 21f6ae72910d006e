// Functions the screen's query texts take from Oracle and InterBase, for SQLite.
#include "db/SqliteConnection.h"

#include <sqlite3.h>

#include <string_view>

namespace db {

namespace {

// Oracle holds an empty text as null; the texts were written for that.
bool isNullish(sqlite3_value* v) {
    int t = sqlite3_value_type(v);
    if (t == SQLITE_NULL) return true;
    return t == SQLITE_TEXT && sqlite3_value_bytes(v) == 0;
}

void nvl(sqlite3_context* ctx, int, sqlite3_value** argv) {
    sqlite3_result_value(ctx, isNullish(argv[0]) ? argv[1] : argv[0]);
}

// Counts UTF-8 characters in the first n bytes.
long long charCount(std::string_view s) {
    long long n = 0;
    for (unsigned char c : s)
        if ((c & 0xC0) != 0x80) ++n;
    return n;
}

void instr(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (isNullish(argv[0]) || isNullish(argv[1])) {
        sqlite3_result_null(ctx);
        return;
    }
    std::string_view s(reinterpret_cast<const char*>(sqlite3_value_text(argv[0])),
                       static_cast<size_t>(sqlite3_value_bytes(argv[0])));
    std::string_view sub(reinterpret_cast<const char*>(sqlite3_value_text(argv[1])),
                         static_cast<size_t>(sqlite3_value_bytes(argv[1])));
    size_t pos = s.find(sub);
    sqlite3_result_int64(ctx, pos == std::string_view::npos ? 0 : charCount(s.substr(0, pos)) + 1);
}

}  // namespace

void RegisterSqlFunctions(sqlite3* db) {
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    sqlite3_create_function_v2(db, "NVL", 2, flags, nullptr, nvl, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "NVLSTR", 2, flags, nullptr, nvl, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "INSTR", 2, flags, nullptr, instr, nullptr, nullptr, nullptr);
}

}  // namespace db
