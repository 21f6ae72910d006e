#pragma once
// JSON-RPC 2.0 messages as client and server exchange them: a call is
// {"jsonrpc":"2.0","id":N,"method":"<module>.<method>","params":[...]}, a
// success is {"result":{"value":V,"refs":{"<index>":V}}}, a failure
// {"error":{"code":C,"message":M}}. A failure text that the caller expects as
// a value travels as a string "value", never as an error. A message may be a
// batch (an array of calls, answered by an array); a call without "id" is a
// notification and gets no answer.
#include "core/Exception.h"
#include "core/Variant.h"

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace net {

// JSON-RPC error codes used by the server.
namespace rpc_code {
inline constexpr int ParseError = -32700;
inline constexpr int InvalidRequest = -32600;
inline constexpr int MethodNotFound = -32601;
inline constexpr int InvalidParams = -32602;
inline constexpr int InternalError = -32603;
inline constexpr int Unauthorized = -32001;     // no token, unknown or expired token, bad sign-on
inline constexpr int BranchForbidden = -32002;  // the operator is bound to another branch
inline constexpr int PayloadTooLarge = -32003;
inline constexpr int TryLater = -32004;        // sign-on delayed after failed attempts (HTTP 429)
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
// Most calls in one batch.
inline constexpr size_t kMaxBatch = 256;

// The id of a call as it came, as JSON text ("7", "\"a\"", "null"). A call
// without one (present false) is a notification.
struct RpcId {
    bool present = false;
    std::string json = "null";
};

struct RpcRequest {
    RpcId id;
    std::string method;
    VariantArray params;                                // by position
    bool byName = false;                                // "params" was an object ...
    std::vector<std::pair<std::string, Variant>> named; // ... of these, in order
};

// One call of a message: decoded, or refused (error set) with whatever id
// could be read.
struct RpcEntry {
    RpcRequest request;
    int errorCode = 0;  // 0: valid
    std::string errorMessage;
};

// A whole message: one call, or a batch of them.
struct RpcMessage {
    bool batch = false;
    std::vector<RpcEntry> entries;
};

struct RpcResult {
    Variant value;
    std::map<size_t, Variant> refs;  // by-reference arguments: index -> new value
};

std::string EncodeRequest(int64_t id, const std::string& method, const VariantArray& params);
// Throws ERpcError: ParseError for text that is not JSON (numbers out of
// range included), InvalidRequest for an empty batch or one of more than
// kMaxBatch calls. Faults of single calls are reported in their entries.
RpcMessage DecodeMessage(std::string_view text);
// A single call (no batch); throws ERpcError with the fault of its entry.
RpcRequest DecodeRequest(std::string_view text);

std::string EncodeResult(const RpcId& id, const RpcResult& result);
std::string EncodeError(const RpcId& id, int code, const std::string& message);
// The answers of a batch as one JSON array (each element an encoded answer).
std::string JoinAnswers(const std::vector<std::string>& answers);
// Returns the result; throws ERpcError for an error answer and for an answer
// that is not a valid response (code InternalError).
RpcResult DecodeResponse(std::string_view text);

// One answer of a reply, with its id.
struct RpcAnswer {
    RpcId id;
    int errorCode = 0;  // 0: a result
    std::string errorMessage;
    RpcResult result;
};
// Every answer of a reply: one for a single answer, each of a batch's. An
// empty text (nothing answered) gives none. Throws ERpcError(InternalError)
// for text that is not a reply.
std::vector<RpcAnswer> DecodeAnswers(std::string_view text);

}  // namespace net
