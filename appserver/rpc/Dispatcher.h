#pragma once
// The table of remote methods: "<module>.<method>" (module names such as
// "Pla02000.rdmRetirada" contain a dot; the method is the part after the last
// one). Module and method names compare without regard to case, as the
// suite's late-bound calls do.
//
// Each method is a plain function of the call's connection and its arguments
// with a declared signature; Invoke checks the count and kinds of the
// arguments against it before the function runs, inside one transaction of
// the injected runner (a read or a write transaction, as the method declares).
// A method reports a failure the caller expects as a text by throwing
// Exception: the transaction is rolled back and the text becomes the string
// result. ERpcError thrown by a method passes through as a JSON-RPC error; a
// database failure (db::SqlError: busy past its timeout, lost connection,
// broken constraint) and anything else is an internal error (rolled back too).
#include "core/DateTime.h"
#include "core/Variant.h"
#include "db/SqlConnection.h"
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

// How a method uses the database.
enum class Access {
    Read,   // runs in a read transaction; readers run side by side
    Write,  // runs in a write transaction (one writer at a time on SQLite; may be run again, see CallRunner)
    Own,    // runs outside any transaction and opens its own short ones with CallContext::Transact
            // (sign-on: the password hash must not hold a database lock)
};

// Runs body on conn inside one transaction of the access's kind: commits when
// it returns, rolls back when it throws (and lets the exception go on). For
// Access::Own it runs body as it is.
using TransactionRunner = std::function<void(db::SqlConnection& conn, Access access, const std::function<void()>& body)>;

// What a method knows of its caller.
struct CallContext {
    std::string Operator;       // the session's operator; "" for methods that need no session
    std::string Token;          // the caller's session token ("" when none)
    std::string Attempted;      // the operator name a sign-on tried, for the log
    std::string ClientAddress;  // the caller's network address ("-" in process)
    db::SqlConnection* Conn = nullptr;  // the call's pooled connection, lent by the caller of Invoke
    TransactionRunner Runner;           // set by Invoke

    // The call's connection; throws Exception when the call has none.
    db::SqlConnection& Db() const;
    // Runs fn in a transaction of its own on the call's connection (for Access::Own methods).
    void Transact(Access access, const std::function<void(db::SqlConnection&)>& fn) const;
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
    Access access = Access::Read;
};

class Dispatcher {
public:
    explicit Dispatcher(TransactionRunner runner = {});

    // Replaces a method of the same name. Throws Exception for an empty module or method name.
    void Register(const std::string& module, MethodDef def);
    // A method with a branch argument is refused (InternalError) while no guard is set.
    void SetBranchGuard(BranchGuard guard) { branchGuard_ = std::move(guard); }
    // Null when the module or the method is unknown.
    const MethodDef* Find(const std::string& fullName) const;
    // Runs the method on ctx.Conn. Throws ERpcError: MethodNotFound (naming
    // the module or the method), InvalidParams (naming the argument and the
    // expected kind), InternalError. The session is the caller's business (see RpcService).
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
