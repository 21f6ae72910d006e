#include "rpc/RequestLog.h"

#include <cstdio>
#include <ctime>
#include <mutex>
#include <vector>

namespace appserver {

namespace {

constexpr size_t kMaxDetail = 300;

// Length of the valid UTF-8 sequence at s[i], 0 when it is not one.
size_t utf8Length(const std::string& s, size_t i) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    size_t n = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
    if (n == 0 || i + n > s.size()) return 0;
    for (size_t k = 1; k < n; ++k)
        if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return 0;
    return n;
}

// Escapes quotes, backslashes, control characters and broken UTF-8 the way
// both formats read them (JSON string escapes).
std::string escaped(const std::string& v) {
    std::string out;
    out.reserve(v.size());
    for (size_t i = 0; i < v.size();) {
        unsigned char c = static_cast<unsigned char>(v[i]);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c < 0x20 || c == 0x7F) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            out += buf;
        } else if (c >= 0x80) {
            size_t n = utf8Length(v, i);
            if (n == 0) {
                out += "\\ufffd";
                ++i;
                continue;
            }
            out.append(v, i, n);
            i += n;
            continue;
        } else {
            out += static_cast<char>(c);
        }
        ++i;
    }
    return out;
}

std::string logfmtValue(const std::string& v) {
    bool plain = !v.empty();
    for (char c : v) {
        unsigned char u = static_cast<unsigned char>(c);
        if (c == ' ' || c == '"' || c == '=' || c == '\\' || u < 0x20 || u >= 0x7F) plain = false;
    }
    return plain ? v : "\"" + escaped(v) + "\"";
}

std::string isoTime(std::chrono::system_clock::time_point t) {
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(t.time_since_epoch()).count();
    std::time_t secs = static_cast<std::time_t>(ms / 1000);
    std::tm utc{};
    gmtime_r(&secs, &utc);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", utc.tm_year + 1900, utc.tm_mon + 1,
                  utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec, static_cast<int>(ms % 1000));
    return buf;
}

}  // namespace

std::string FormatLogLine(const RequestLogEntry& e, LogFormat format) {
    char ms[32];
    std::snprintf(ms, sizeof ms, "%.1f", e.milliseconds);
    const std::string detail = e.detail.substr(0, kMaxDetail);
    struct Field {
        const char* key;
        std::string value;
        bool number;
    };
    std::vector<Field> fields = {{"time", isoTime(e.time), false},  {"peer", e.peer, false},
                                 {"id", e.id, false},               {"method", e.method, false},
                                 {"operator", e.operatorCode, false}};
    if (!e.tried.empty()) fields.push_back({"tried", e.tried, false});
    fields.push_back({"status", std::to_string(e.status), true});
    fields.push_back({"ms", ms, true});
    fields.push_back({"outcome", e.outcome, false});
    if (!detail.empty()) fields.push_back({"detail", detail, false});
    std::string line;
    if (format == LogFormat::Json) {
        line = "{";
        for (size_t i = 0; i < fields.size(); ++i) {
            if (i) line += ',';
            line += "\"" + std::string(fields[i].key) + "\":";
            line += fields[i].number ? fields[i].value : "\"" + escaped(fields[i].value) + "\"";
        }
        return line + "}";
    }
    for (size_t i = 0; i < fields.size(); ++i) {
        if (i) line += ' ';
        line += std::string(fields[i].key) + "=" + logfmtValue(fields[i].value);
    }
    return line;
}

bool ParseLogFormat(const std::string& name, LogFormat& format) {
    if (name == "logfmt") {
        format = LogFormat::Logfmt;
        return true;
    }
    if (name == "json") {
        format = LogFormat::Json;
        return true;
    }
    return false;
}

LogSink StderrLogSink() {
    return [](const std::string& line) {
        static std::mutex m;
        std::lock_guard lock(m);
        std::fprintf(stderr, "%s\n", line.c_str());
    };
}

LogSink NullLogSink() {
    return [](const std::string&) {};
}

}  // namespace appserver
