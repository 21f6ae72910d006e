#pragma once
// One structured line per request: when, from where, which call (id and
// method), who, how long, how it ended. Two formats: logfmt (key=value) and
// JSON lines. Control characters are always escaped, so a hostile name cannot
// forge lines or drive a terminal. The sink is injected so that tests stay
// quiet and hosts can redirect it.
#include <chrono>
#include <functional>
#include <string>

namespace appserver {

enum class LogFormat { Logfmt, Json };

struct RequestLogEntry {
    std::chrono::system_clock::time_point time{};  // when the request arrived
    std::string peer = "-";          // client address ("inproc" in process)
    std::string id = "-";            // the call's id as JSON text; "-" for none (notification, unreadable)
    std::string method = "-";        // "Pla02000.rdmRetirada.GetLanctoEst", "-" when unreadable
    std::string operatorCode = "-";  // "-" before authentication
    std::string tried;               // the operator name a failed sign-on tried, "" otherwise
    int status = 200;                // HTTP status of the answer
    double milliseconds = 0;
    std::string outcome = "ok";      // "ok", "failed" (failure text returned), "error <code>"
    std::string detail;              // failure text or error message, may be empty
};

using LogSink = std::function<void(const std::string& line)>;

std::string FormatLogLine(const RequestLogEntry& e, LogFormat format = LogFormat::Logfmt);
// "logfmt" or "json"; false for anything else.
bool ParseLogFormat(const std::string& name, LogFormat& format);
// Writes each line to standard error (thread-safe).
LogSink StderrLogSink();
// Discards everything.
LogSink NullLogSink();

}  // namespace appserver
