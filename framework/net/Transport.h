#pragma once
// How a connection reaches its application server. Both transports carry the
// same JSON-RPC text, so a call behaves alike in process and over HTTP.
#include "core/Exception.h"

#include <functional>
#include <string>

namespace net {

// The server cannot be reached, or answered outside the protocol (HTTP status
// without a JSON-RPC body). The message is meant for the user.
class ENetError : public Exception {
public:
    using Exception::Exception;
};

// The server could not be reached at all (no connection was made): nothing
// of the request was sent, so sending it again cannot do it twice.
class ENetUnreachable : public ENetError {
public:
    using ENetError::ENetError;
};

class ITransport {
public:
    virtual ~ITransport() = default;
    // Sends one JSON-RPC request with the session token (may be empty) and
    // returns the JSON-RPC answer text. Throws ENetUnreachable when no
    // connection could be made, ENetError for any other failure.
    virtual std::string Send(const std::string& request, const std::string& token) = 0;
    // Returns when the server is there; throws ENetError otherwise.
    virtual void Probe() = 0;
    // A probe that costs a round trip is left out on reopening a transport
    // that answered its last call: the next call finds out instead.
    virtual bool ProbeCostsARoundTrip() const { return true; }
    // Where it points ("127.0.0.1:8211", "inproc://embedded"): the key of the
    // process's session table.
    virtual std::string Endpoint() const = 0;
};

// The server side of an in-process transport: takes the request text and the
// bearer token, returns the answer text. Must not throw.
using RpcHandler = std::function<std::string(const std::string& request, const std::string& token)>;

}  // namespace net
