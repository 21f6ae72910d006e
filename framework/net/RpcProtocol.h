#pragma once
// JSON-RPC 2.0 messages as client and server exchange them: a call is
// {"jsonrpc":"2.0","id":N,"method":"<module>.<method>","params":[...]}, a
// success is {"result":{"value":V,"refs":{"<index>":V}}}, a failure
// {"error":{"code":C,"message":M}}. A failure text that the caller expects as
// a value travels as a string "value", never as an error.
#include "core/Exception.h"
#include "core/Variant.h"

#include <nlohmann/json.hpp>

#include <map>
#include <string>
#include <string_view>

namespace net {

// JSON-RPC error codes used by the server.
namespace rpc_code {
inline constexpr int ParseError = -32700;
inline constexpr int InvalidRequest = -32600;
inline constexpr int MethodNotFound = -32601;
inline constexpr int InvalidParams = -32602;
inline constexpr int InternalError = -32603;
inline constexpr int Unauthorized = -32001;   // no token, unknown or expired token, bad sign-on
inline constexpr int BranchForbidden = -32002;  // the operator is bound to another branch
inline constexpr int PayloadTooLarge = -32003;
}  // namespace rpc_code

// A JSON-RPC error: raised by the server's layers, returned to clients, and
// raised by DecodeResponse on the client side.
class ERpcError : public Exception {
public:
    ERpcError(int code, const std::string& message) : Exception(message), code_(code) {}
    int Code() const { return code_; }

private:
    int code_;
};

// Longest "<module>.<method>" accepted.
inline constexpr size_t kMaxMethodName = 200;

struct RpcRequest {
    nlohmann::json id;  // number, string or null, echoed in the answer
    std::string method;
    VariantArray params;
};

struct RpcResult {
    Variant value;
    std::map<size_t, Variant> refs;  // by-reference arguments: index -> new value
};

std::string EncodeRequest(int64_t id, const std::string& method, const VariantArray& params);
// Throws ERpcError (ParseError for bad JSON, InvalidRequest for a wrong shape,
// InvalidParams for undecodable arguments).
RpcRequest DecodeRequest(std::string_view text);

std::string EncodeResult(const nlohmann::json& id, const RpcResult& result);
std::string EncodeError(const nlohmann::json& id, int code, const std::string& message);
// Returns the result; throws ERpcError for an error answer and for an answer
// that is not a valid response (code InternalError).
RpcResult DecodeResponse(std::string_view text);

}  // namespace net
