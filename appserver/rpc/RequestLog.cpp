#include "rpc/RequestLog.h"

#include <cstdio>
#include <mutex>

namespace appserver {

namespace {

std::string quoted(const std::string& v) {
    bool plain = !v.empty();
    for (char c : v)
        if (c == ' ' || c == '"' || c == '=' || c == '\\' || static_cast<unsigned char>(c) < 0x20) plain = false;
    if (plain) return v;
    std::string out = "\"";
    for (char c : v) {
        if (c == '"' || c == '\\') out += '\\';
        if (c == '\n' || c == '\r' || c == '\t') {
            out += ' ';
            continue;
        }
        out += c;
    }
    return out + "\"";
}

}  // namespace

std::string FormatLogLine(const RequestLogEntry& e) {
    char ms[32];
    std::snprintf(ms, sizeof ms, "%.1f", e.milliseconds);
    std::string line = "rpc method=" + quoted(e.method) + " operator=" + quoted(e.operatorCode) + " ms=" + ms +
                       " outcome=" + quoted(e.outcome);
    if (!e.detail.empty()) line += " detail=" + quoted(e.detail.substr(0, 300));
    return line;
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
