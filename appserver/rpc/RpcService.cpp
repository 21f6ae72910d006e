#include "rpc/RpcService.h"

#include "net/RpcProtocol.h"

#include <chrono>

namespace appserver {

using net::ERpcError;
namespace rpc_code = net::rpc_code;

RpcService::RpcService(const Dispatcher& dispatcher, SessionStore& sessions, LogSink log)
    : dispatcher_(dispatcher), sessions_(sessions), log_(log ? std::move(log) : NullLogSink()) {}

RpcReply RpcService::Handle(const std::string& request, const std::string& bearerToken) const {
    auto started = std::chrono::steady_clock::now();
    RequestLogEntry entry{"-", "-", 0, "ok", ""};
    nlohmann::json id = nullptr;
    RpcReply reply;
    try {
        net::RpcRequest req = net::DecodeRequest(request);
        id = req.id;
        entry.method = req.method;
        const MethodDef* def = dispatcher_.Find(req.method);
        if (!def) {
            auto dot = req.method.rfind('.');
            std::string what = dot == std::string::npos ? "Method name must be \"<module>.<method>\": " + req.method
                                                        : "Unknown remote method " + req.method;
            throw ERpcError(rpc_code::MethodNotFound, what);
        }
        CallContext ctx;
        ctx.Token = bearerToken;
        if (def->requiresSession) {
            if (bearerToken.empty())
                throw ERpcError(rpc_code::Unauthorized, "Sessão não informada: identifique-se no servidor de aplicação.");
            auto op = sessions_.Validate(bearerToken);
            if (!op) throw ERpcError(rpc_code::Unauthorized, "Sessão inválida ou expirada: identifique-se novamente.");
            ctx.Operator = *op;
            entry.operatorCode = *op;
        }
        Dispatcher::Outcome out = dispatcher_.Invoke(*def, std::move(req.params), ctx);
        if (!ctx.Operator.empty()) entry.operatorCode = ctx.Operator;
        if (out.failed) {
            entry.outcome = "failed";
            entry.detail = out.result.value.AsString();
        }
        reply.body = net::EncodeResult(id, out.result);
    } catch (const ERpcError& e) {
        entry.outcome = "error " + std::to_string(e.Code());
        entry.detail = e.Message();
        if (e.Code() == rpc_code::Unauthorized) reply.httpStatus = 401;
        reply.body = net::EncodeError(id, e.Code(), e.Message());
    } catch (const std::exception& e) {  // encoding the answer, out of memory ...
        entry.outcome = "error " + std::to_string(rpc_code::InternalError);
        entry.detail = e.what();
        reply.httpStatus = 200;
        reply.body = net::EncodeError(id, rpc_code::InternalError, std::string("Internal error: ") + e.what());
    } catch (...) {
        entry.outcome = "error " + std::to_string(rpc_code::InternalError);
        reply.body = net::EncodeError(id, rpc_code::InternalError, "Internal error");
    }
    entry.milliseconds =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started).count();
    try {
        log_(FormatLogLine(entry));
    } catch (...) {
        // A failing log must not fail the request.
    }
    return reply;
}

net::RpcHandler RpcService::Handler() const {
    return [this](const std::string& request, const std::string& token) { return Handle(request, token).body; };
}

}  // namespace appserver
