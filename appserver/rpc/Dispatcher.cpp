#include "rpc/Dispatcher.h"

#include "core/Exception.h"
#include "core/Text.h"

namespace appserver {

using net::ERpcError;
namespace rpc_code = net::rpc_code;

const char* ArgTypeName(ArgType t) {
    switch (t) {
        case ArgType::Any: return "any value";
        case ArgType::String: return "text";
        case ArgType::Number: return "number";
        case ArgType::Date: return "date";
        case ArgType::Bool: return "boolean";
        case ArgType::Packet: return "data packet";
        case ArgType::Array: return "array";
    }
    return "value";
}

namespace {

bool fits(ArgType t, const Variant& v) {
    switch (t) {
        case ArgType::Any: return true;
        case ArgType::String: return v.IsString();
        case ArgType::Number: return v.IsNumeric();
        case ArgType::Date: return v.Type() == VarType::DateTime;
        case ArgType::Bool: return v.Type() == VarType::Bool;
        case ArgType::Packet: return v.IsPacket();
        case ArgType::Array: return v.IsArray();
    }
    return false;
}

}  // namespace

void CheckArguments(const std::string& method, const std::vector<ArgSpec>& signature, const VariantArray& args) {
    if (args.size() != signature.size())
        throw ERpcError(rpc_code::InvalidParams, method + " takes " + std::to_string(signature.size()) + " argument" +
                                                     (signature.size() == 1 ? "" : "s") + ", not " +
                                                     std::to_string(args.size()));
    for (size_t i = 0; i < signature.size(); ++i) {
        const Variant& v = args[i];
        if (v.IsNull() && signature[i].nullable) continue;
        if (!fits(signature[i].type, v))
            throw ERpcError(rpc_code::InvalidParams, method + ": argument " + std::to_string(i) + " (" + signature[i].name +
                                                         ") must be a " + ArgTypeName(signature[i].type) + ", not " +
                                                         v.TypeName());
    }
}

db::SqlConnection& CallContext::Db() const {
    if (!Conn) throw Exception("The remote call has no database connection");
    return *Conn;
}

void CallContext::Transact(Access access, const std::function<void(db::SqlConnection&)>& fn) const {
    db::SqlConnection& c = Db();
    if (Runner)
        Runner(c, access, [&] { fn(c); });
    else
        fn(c);
}

Dispatcher::Dispatcher(TransactionRunner runner) : runner_(std::move(runner)) {}

void Dispatcher::Register(const std::string& module, MethodDef def) {
    if (module.empty() || def.name.empty()) throw Exception("A remote method needs a module and a name");
    auto& m = modules_[text::Upper(module)];
    if (m.name.empty()) m.name = module;
    std::string key = text::Upper(def.name);
    m.methods[key] = std::move(def);
}

const MethodDef* Dispatcher::Find(const std::string& fullName) const {
    auto dot = fullName.rfind('.');
    if (dot == std::string::npos) return nullptr;
    auto mod = modules_.find(text::Upper(fullName.substr(0, dot)));
    if (mod == modules_.end()) return nullptr;
    auto meth = mod->second.methods.find(text::Upper(fullName.substr(dot + 1)));
    return meth == mod->second.methods.end() ? nullptr : &meth->second;
}

Dispatcher::Outcome Dispatcher::Invoke(const MethodDef& def, VariantArray args, CallContext& ctx) const {
    CheckArguments(def.name, def.args, args);
    Outcome out;
    net::RpcResult& result = out.result;
    std::string failureText;
    bool failed = false;
    ctx.Runner = runner_;
    // A write may be run again after a conflict: each run starts from the arguments as they came.
    VariantArray given;
    if (def.access == Access::Write) given = args;
    bool first = true;
    auto body = [&] {
        if (!first) args = given;
        first = false;
        for (size_t i = 0; i < def.args.size(); ++i) {
            if (!def.args[i].branch) continue;
            // Fail closed: a branch nobody can check is a branch nobody may use.
            if (!branchGuard_) throw ERpcError(rpc_code::InternalError, def.name + ": no branch check configured");
            branchGuard_(ctx, args[i].IsNull() ? std::string() : args[i].AsString());
        }
        result.value = def.fn(ctx, args);
    };
    try {
        if (runner_ && def.access != Access::Own)
            runner_(ctx.Db(), def.access, body);
        else
            body();
    } catch (const ERpcError&) {
        throw;
    } catch (const db::SqlError& e) {
        throw ERpcError(rpc_code::InternalError, std::string("Database error in ") + def.name + ": " + e.Message());
    } catch (const EAbort&) {
        failed = true;
        failureText = "Operação cancelada.";
    } catch (const Exception& e) {
        failed = true;
        failureText = e.Message();
    } catch (const std::exception& e) {
        throw ERpcError(rpc_code::InternalError, std::string("Internal error in ") + def.name + ": " + e.what());
    }
    if (failed) {
        // The work was rolled back; the caller expects the text as the value.
        result = {};
        result.value = Variant(failureText);
        out.failed = true;
        return out;
    }
    for (size_t i = 0; i < def.args.size(); ++i)
        if (def.args[i].byRef) result.refs[i] = args[i];
    return out;
}

std::vector<std::string> Dispatcher::MethodNames() const {
    std::vector<std::string> out;
    for (const auto& [k, m] : modules_)
        for (const auto& [mk, def] : m.methods) out.push_back(m.name + "." + def.name);
    return out;
}

}  // namespace appserver
