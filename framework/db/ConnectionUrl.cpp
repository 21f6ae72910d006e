#include "db/ConnectionUrl.h"

#include "core/Text.h"
#include "db/PgConnection.h"
#include "db/SqliteConnection.h"

#include <map>
#include <mutex>

namespace db {

namespace {

struct Registry {
    std::mutex mutex;
    std::map<std::string, ConnectionFactory> schemes;
    Registry() {
        schemes["sqlite"] = [](const std::string& url) -> std::unique_ptr<SqlConnection> {
            std::string path = url.substr(url.find(':') + 1);
            // "sqlite://PATH" is accepted too, as URLs are often written that way.
            if (path.rfind("//", 0) == 0) path = path.substr(2);
            SqliteOptions options;
            for (const char* sync : {"?sync=normal", "?sync=full"})
                if (const size_t n = std::string(sync).size();
                    path.size() >= n && text::Lower(path.substr(path.size() - n)) == sync) {
                    options.syncEveryCommit = std::string(sync) == "?sync=full";
                    path.resize(path.size() - n);
                }
            if (path.empty()) throw SqlError("No database path in '" + url + "'");
            return std::make_unique<SqliteConnection>(path, options);
        };
        auto postgres = [](const std::string& url) -> std::unique_ptr<SqlConnection> {
            return std::make_unique<PgConnection>(url);
        };
        schemes["postgresql"] = postgres;
        schemes["postgres"] = postgres;
    }
};

Registry& registry() {
    static Registry r;
    return r;
}

}  // namespace

void RegisterConnectionScheme(const std::string& scheme, ConnectionFactory factory) {
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    r.schemes[text::Lower(scheme)] = std::move(factory);
}

namespace {
// libpq's key=value form ("host=/run/pg dbname=pla"): a '=' before any ':'.
bool isKeyValueForm(const std::string& url) {
    size_t eq = url.find('=');
    return eq != std::string::npos && eq > 0 && eq < url.find(':');
}
}  // namespace

std::string RedactPassword(const std::string& url) {
    std::string out = url;
    if (size_t scheme = out.find("://"); scheme != std::string::npos) {
        size_t start = scheme + 3, end = out.find_first_of("/?", start);
        size_t at = out.rfind('@', end == std::string::npos ? out.size() : end);
        if (at != std::string::npos && at > start) {
            size_t colon = out.find(':', start);
            if (colon != std::string::npos && colon < at) out.replace(colon + 1, at - colon - 1, "***");
        }
    }
    // password=... as a key of the key=value form or a query parameter of a URL.
    for (size_t p = text::Lower(out).find("password="); p != std::string::npos;
         p = text::Lower(out).find("password=", p + 1)) {
        size_t v = p + 9, end = out.find_first_of(" &", v);
        out.replace(v, (end == std::string::npos ? out.size() : end) - v, "***");
    }
    return out;
}

std::unique_ptr<SqlConnection> OpenConnection(const std::string& url) {
    if (isKeyValueForm(url)) return std::make_unique<PgConnection>(url);
    size_t colon = url.find(':');
    if (colon == std::string::npos || colon == 0)
        throw SqlError("Database URL must start with a scheme such as 'sqlite:': '" + url + "'");
    ConnectionFactory factory;
    {
        Registry& r = registry();
        std::lock_guard lock(r.mutex);
        auto it = r.schemes.find(text::Lower(url.substr(0, colon)));
        if (it == r.schemes.end()) throw SqlError("Unknown database kind in '" + url + "'");
        factory = it->second;
    }
    return factory(url);
}

}  // namespace db
