#pragma once
// The table of remote methods: "<module>.<method>" (module names such as
// "Pla02000.rdmRetirada" contain a dot; the method is the part after the last
// one). Module and method names compare without regard to case, as the
// suite's late-bound calls do.
//
// Each method is a plain function of its arguments with a declared signature;
// Invoke checks the count and kinds of the arguments against it before the
// function runs, inside one transaction of the injected runner. A method
// reports a failure the caller expects as a text by throwing Exception: the
// transaction is rolled back and the text becomes the string result. ERpcError
// thrown by a method passes through as a JSON-RPC error; anything else is an
// internal error (rolled back too).
#include "core/DateTime.h"
#include "core/Variant.h"
#include "net/RpcProtocol.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace appserver {

enum class ArgType { Any, String, Number, Date, Bool, Packet, Array };
const char* ArgTypeName(ArgType t);

struct ArgSpec {
    std::string name;
    ArgType type = ArgType::Any;
    bool byRef = false;     // its value after the call is returned in "refs"
    bool nullable = true;   // a null is accepted for any type (an empty field travels as null)
    bool branch = false;    // a branch code: the caller's operator must have access to it (see BranchGuard)
};

// What a method knows of its caller.
struct CallContext {
    std::string Operator;  // the session's operator; "" for methods that need no session
    std::string Token;     // the caller's session token ("" when none)
    std::string Attempted; // the operator name a sign-on tried, for the log
};

using MethodFn = std::function<Variant(CallContext& ctx, VariantArray& args)>;

// Checks that the caller may use a branch; throws ERpcError to refuse. Runs
// inside the method's transaction, before the method, once per branch argument.
using BranchGuard = std::function<void(CallContext& ctx, const std::string& branch)>;

struct MethodDef {
    std::string name;
    std::vector<ArgSpec> args;
    MethodFn fn;
    bool requiresSession = true;
};

// Runs body inside one database transaction: commits when it returns, rolls
// back when it throws (and lets the exception go on).
using TransactionRunner = std::function<void(const std::function<void()>& body)>;

class Dispatcher {
public:
    explicit Dispatcher(TransactionRunner runner = {});

    // Replaces a method of the same name. Throws Exception for an empty module or method name.
    void Register(const std::string& module, MethodDef def);
    // A method with a branch argument is refused (InternalError) while no guard is set.
    void SetBranchGuard(BranchGuard guard) { branchGuard_ = std::move(guard); }
    // Null when the module or the method is unknown.
    const MethodDef* Find(const std::string& fullName) const;
    // Throws ERpcError: MethodNotFound (naming the module or the method),
    // InvalidParams (naming the argument and the expected kind), InternalError.
    // The session is the caller's business (see RpcService).
    struct Outcome {
        net::RpcResult result;
        bool failed = false;  // the method refused: result.value holds its text
    };
    Outcome Invoke(const MethodDef& def, VariantArray args, CallContext& ctx) const;

    // "module.method" pairs, for diagnostics.
    std::vector<std::string> MethodNames() const;

private:
    struct Module {
        std::string name;
        std::map<std::string, MethodDef> methods;  // key: upper-case method name
    };
    std::map<std::string, Module> modules_;  // key: upper-case module name
    TransactionRunner runner_;
    BranchGuard branchGuard_;
};

// Throws ERpcError(InvalidParams) when args do not fit the signature.
void CheckArguments(const std::string& method, const std::vector<ArgSpec>& signature, const VariantArray& args);

}  // namespace appserver
