// Sign-on: operator and password against OPERADOR (salted slow hash); the
// session lives in the server's memory.
#include "core/Text.h"
#include "modules/ModuleSupport.h"
#include "modules/Modules.h"
#include "net/RpcProtocol.h"
#include "store/Password.h"

#include <chrono>

namespace appserver {

namespace {

TDateTime toDateTime(std::chrono::system_clock::time_point t) {
    // Days since 1899-12-30 in local time, as the client shows it.
    std::time_t tt = std::chrono::system_clock::to_time_t(t);
    std::tm local{};
    localtime_r(&tt, &local);
    return EncodeDateTime(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
                          local.tm_sec);
}

}  // namespace

void RegisterSessionModule(Dispatcher& d, SessionStore& sessions, SignOnThrottle& throttle) {
    d.Register(kModuleSession,
               {"SignOn",
                {Str("operator"), Str("password")},
                [&sessions, &throttle](CallContext& ctx, VariantArray& a) -> Variant {
                    std::string op = text::Upper(text::Trim(ArgText(a[0])));
                    ctx.Attempted = op;
                    if (!throttle.Allowed(op))
                        throw net::ERpcError(net::rpc_code::Unauthorized,
                                             "Operador bloqueado temporariamente por tentativas inválidas. "
                                             "Tente novamente em instantes.");
                    db::SqlResult r;
                    ctx.Transact(Access::Read, [&](db::SqlConnection& c) {
                        r = c.Query("SELECT CDOPERADOR, DSSENHA, IDATIVO FROM OPERADOR WHERE CDOPERADOR = :O", {{"O", op}});
                    });
                    // One answer for every refusal, so the reply does not tell which operators exist.
                    const std::string refused = "Operador ou senha inválidos.";
                    // An unknown operator costs the same hashing as a wrong password, so
                    // the time of the answer does not tell which operators exist either.
                    // The hash runs outside any transaction: it holds no database lock.
                    static const std::string decoy = store::HashPassword("-", "decoy-salt-0000");
                    const std::string stored = r.Empty() ? decoy : r.rows[0][1].AsString();
                    const bool passwordOk = store::VerifyPassword(ArgText(a[1]), stored);
                    if (r.Empty() || r.rows[0][2].AsString() != "S" || !passwordOk) {
                        throttle.Failed(op);
                        throw net::ERpcError(net::rpc_code::Unauthorized, refused);
                    }
                    throttle.Succeeded(op);
                    ctx.Attempted.clear();
                    SessionInfo s = sessions.Open(op);
                    ctx.Operator = op;
                    return VarArrayOf({Variant(s.token), Variant(toDateTime(s.expires))});
                },
                false, Access::Own});
    d.Register(kModuleSession, {"SignOff", {}, [&sessions](CallContext& ctx, VariantArray&) -> Variant {
                                    sessions.Close(ctx.Token);
                                    return Variant(true);
                                }});
}

void RegisterModules(Dispatcher& d, SessionStore& sessions, SignOnThrottle& throttle) {
    GuardBranches(d);
    RegisterSessionModule(d, sessions, throttle);
    RegisterEstoqueModule(d);
    RegisterAutorizaModule(d);
    RegisterRetiradaModule(d);
    RegisterSystemModule(d);
}

}  // namespace appserver
