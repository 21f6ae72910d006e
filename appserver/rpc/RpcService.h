#pragma once
// The server's request handling, shared by the HTTP endpoint and the
// in-process transport: decode the JSON-RPC text (one call or a batch), lend
// each call a pooled connection, authenticate the bearer token, dispatch,
// encode the answers, log one line per call. Never throws; every problem becomes a JSON-RPC error answer.
#include "db/ConnectionPool.h"
#include "net/Transport.h"
#include "rpc/Dispatcher.h"
#include "rpc/RequestLog.h"
#include "rpc/SessionStore.h"

#include <string>

namespace appserver {

struct RpcReply {
    int httpStatus = 200;  // 200; 401 for authentication errors; 204 when nothing answers (notifications)
    std::string body;      // JSON-RPC answer, empty with 204
};

// Who sent a request.
struct RequestOrigin {
    std::string bearerToken;  // "" when none
    std::string peer = "-";   // client address, for the log
};

class RpcService {
public:
    // dispatcher, sessions and pool must outlive the service.
    RpcService(const Dispatcher& dispatcher, const SessionStore& sessions, db::ConnectionPool& pool, LogSink log,
               LogFormat format = LogFormat::Logfmt);

    RpcReply Handle(const std::string& request, const RequestOrigin& origin) const;
    RpcReply Handle(const std::string& request, const std::string& bearerToken) const {
        return Handle(request, RequestOrigin{bearerToken, "-"});
    }
    // Logs an answer the endpoint gave without reaching the service (4xx).
    void LogRefusal(const RequestOrigin& origin, int httpStatus, const std::string& detail) const;
    // For the in-process transport.
    net::RpcHandler Handler() const;

private:
    struct CallAnswer {
        std::string body;  // "" for a notification
        int httpStatus = 200;
    };
    CallAnswer handleCall(net::RpcEntry& entry, const RequestOrigin& origin) const;
    void log(const RequestLogEntry& entry) const;
    // Lends the call a connection, checks its session, runs it.
    Dispatcher::Outcome runCall(const MethodDef& def, VariantArray params, CallContext& ctx) const;

    const Dispatcher& dispatcher_;
    const SessionStore& sessions_;
    db::ConnectionPool& pool_;
    LogSink log_;
    LogFormat format_;
};

}  // namespace appserver
