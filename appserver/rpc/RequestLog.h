#pragma once
// One structured line per request: method, operator, milliseconds, outcome.
// The sink is injected so that tests stay quiet and hosts can redirect it.
#include <functional>
#include <string>

namespace appserver {

struct RequestLogEntry {
    std::string method;        // "Pla02000.rdmRetirada.GetLanctoEst", or "-" when the request was unreadable
    std::string operatorCode;  // "-" before authentication
    double milliseconds = 0;
    std::string outcome;       // "ok", "failed" (failure text returned), "error <code>"
    std::string detail;        // failure text or error message, may be empty
};

using LogSink = std::function<void(const std::string& line)>;

// key=value line; values with spaces or quotes are quoted with \" escapes.
std::string FormatLogLine(const RequestLogEntry& e);
// Writes each line to standard error (thread-safe).
LogSink StderrLogSink();
// Discards everything.
LogSink NullLogSink();

}  // namespace appserver
