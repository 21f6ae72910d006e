#pragma once
// The server's request handling, shared by the HTTP endpoint and the
// in-process transport: decode the JSON-RPC text, authenticate the bearer
// token, dispatch, encode the answer, log one line. Never throws; every
// problem becomes a JSON-RPC error answer.
#include "net/Transport.h"
#include "rpc/Dispatcher.h"
#include "rpc/RequestLog.h"
#include "rpc/SessionStore.h"

#include <string>

namespace appserver {

struct RpcReply {
    int httpStatus = 200;  // 200; 401 for authentication errors
    std::string body;      // JSON-RPC answer
};

class RpcService {
public:
    RpcService(const Dispatcher& dispatcher, SessionStore& sessions, LogSink log);

    RpcReply Handle(const std::string& request, const std::string& bearerToken) const;
    // For the in-process transport.
    net::RpcHandler Handler() const;

private:
    const Dispatcher& dispatcher_;
    SessionStore& sessions_;
    LogSink log_;
};

}  // namespace appserver
