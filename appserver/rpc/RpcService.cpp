#include "rpc/RpcService.h"

#include "core/Text.h"
#include "net/RpcProtocol.h"

#include <chrono>

namespace appserver {

using net::ERpcError;
namespace rpc_code = net::rpc_code;

namespace {

// Arguments given by name, in the order of the signature; every one must be there once.
VariantArray byPosition(const MethodDef& def, const net::RpcRequest& req) {
    VariantArray out(def.args.size());
    std::vector<bool> given(def.args.size(), false);
    for (const auto& [name, value] : req.named) {
        size_t i = 0;
        while (i < def.args.size() && !text::SameText(def.args[i].name, name)) ++i;
        if (i == def.args.size()) throw ERpcError(rpc_code::InvalidParams, def.name + " has no argument " + name);
        if (given[i]) throw ERpcError(rpc_code::InvalidParams, def.name + ": argument " + name + " given twice");
        out[i] = value;
        given[i] = true;
    }
    for (size_t i = 0; i < def.args.size(); ++i)
        if (!given[i]) throw ERpcError(rpc_code::InvalidParams, def.name + ": argument " + def.args[i].name + " missing");
    return out;
}

}  // namespace

RpcService::RpcService(const Dispatcher& dispatcher, const SessionStore& sessions, db::ConnectionPool& pool, LogSink log,
                       LogFormat format)
    : dispatcher_(dispatcher), sessions_(sessions), pool_(pool), log_(log ? std::move(log) : NullLogSink()),
      format_(format) {}

Dispatcher::Outcome RpcService::runCall(const MethodDef& def, VariantArray params, CallContext& ctx) const {
    try {
        db::ConnectionPool::Lease conn = pool_.Acquire();
        ctx.Conn = &*conn;
        if (def.requiresSession) {
            if (ctx.Token.empty())
                throw ERpcError(rpc_code::Unauthorized, "Sessão não informada: identifique-se no servidor de aplicação.");
            auto op = sessions_.Validate(*conn, ctx.Token);
            if (!op) throw ERpcError(rpc_code::Unauthorized, "Sessão inválida ou expirada: identifique-se novamente.");
            ctx.Operator = *op;
        }
        return dispatcher_.Invoke(def, std::move(params), ctx);
    } catch (const db::SqlError& e) {
        // A database that stays busy, or is gone, is a fault of the server, not an answer.
        throw ERpcError(rpc_code::InternalError, "Database error: " + e.Message());
    }
}

void RpcService::log(const RequestLogEntry& entry) const {
    try {
        log_(FormatLogLine(entry, format_));
    } catch (...) {
        // A failing log must not fail the request.
    }
}

RpcService::CallAnswer RpcService::handleCall(net::RpcEntry& call, const RequestOrigin& origin) const {
    auto started = std::chrono::steady_clock::now();
    RequestLogEntry entry;
    entry.time = std::chrono::system_clock::now();
    entry.peer = origin.peer;
    net::RpcRequest& req = call.request;
    if (req.id.present) entry.id = req.id.json;
    if (!req.method.empty()) entry.method = req.method;
    CallAnswer answer;
    CallContext ctx;
    ctx.Token = origin.bearerToken;
    ctx.ClientAddress = origin.peer;
    try {
        if (call.errorCode != 0) throw ERpcError(call.errorCode, call.errorMessage);
        const MethodDef* def = dispatcher_.Find(req.method);
        if (!def) {
            auto dot = req.method.rfind('.');
            std::string what = dot == std::string::npos ? "Method name must be \"<module>.<method>\": " + req.method
                                                        : "Unknown remote method " + req.method;
            throw ERpcError(rpc_code::MethodNotFound, what);
        }
        VariantArray args = req.byName ? byPosition(*def, req) : std::move(req.params);
        Dispatcher::Outcome out = runCall(*def, std::move(args), ctx);
        if (out.failed) {
            entry.outcome = "failed";
            entry.detail = out.result.value.AsString();
        }
        answer.body = net::EncodeResult(req.id, out.result);
    } catch (const ERpcError& e) {
        entry.outcome = "error " + std::to_string(e.Code());
        entry.detail = e.Message();
        if (e.Code() == rpc_code::Unauthorized) answer.httpStatus = 401;
        if (e.Code() == rpc_code::TryLater) answer.httpStatus = 429;
        answer.body = net::EncodeError(req.id, e.Code(), e.Message());
    } catch (const std::exception& e) {  // encoding the answer, out of memory ...
        entry.outcome = "error " + std::to_string(rpc_code::InternalError);
        entry.detail = e.what();
        answer.body = net::EncodeError(req.id, rpc_code::InternalError, std::string("Internal error: ") + e.what());
    } catch (...) {
        entry.outcome = "error " + std::to_string(rpc_code::InternalError);
        answer.body = net::EncodeError(req.id, rpc_code::InternalError, "Internal error");
    }
    if (!ctx.Operator.empty()) entry.operatorCode = ctx.Operator;
    entry.tried = ctx.Attempted;
    // A valid notification is run and never answered, errors included; a
    // call that could not be read is answered even without an id.
    if (call.errorCode == 0 && !req.id.present) {
        answer.body.clear();
        answer.httpStatus = 204;
    }
    entry.status = answer.httpStatus;
    entry.milliseconds = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started).count();
    log(entry);
    return answer;
}

RpcReply RpcService::Handle(const std::string& request, const RequestOrigin& origin) const {
    RpcReply reply;
    net::RpcMessage message;
    try {
        message = net::DecodeMessage(request);
    } catch (const ERpcError& e) {  // not JSON at all, or an empty batch: one answer without id
        net::RpcEntry whole;
        whole.errorCode = e.Code();
        whole.errorMessage = e.Message();
        CallAnswer a = handleCall(whole, origin);
        reply.body = a.body;
        reply.httpStatus = a.httpStatus;
        return reply;
    }
    if (!message.batch) {
        CallAnswer a = handleCall(message.entries.front(), origin);
        reply.httpStatus = a.httpStatus;
        reply.body = std::move(a.body);
        return reply;
    }
    std::vector<std::string> answers;
    for (auto& call : message.entries) {
        CallAnswer a = handleCall(call, origin);
        if (!a.body.empty()) answers.push_back(std::move(a.body));
    }
    // A batch of notifications only gets nothing back.
    if (answers.empty()) {
        reply.httpStatus = 204;
        return reply;
    }
    reply.body = net::JoinAnswers(answers);
    return reply;
}

void RpcService::LogRefusal(const RequestOrigin& origin, int httpStatus, const std::string& detail) const {
    RequestLogEntry entry;
    entry.time = std::chrono::system_clock::now();
    entry.peer = origin.peer;
    entry.status = httpStatus;
    entry.outcome = "http " + std::to_string(httpStatus);
    entry.detail = detail;
    log(entry);
}

net::RpcHandler RpcService::Handler() const {
    return [this](const std::string& request, const std::string& token) {
        return Handle(request, RequestOrigin{token, "inproc"}).body;
    };
}

}  // namespace appserver
