// Sign-on: operator and password against OPERADOR (salted slow hash); the
// session and the count of attempts live in the database (see rpc/SessionStore.h,
// rpc/SignOnThrottle.h).
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

void RegisterSessionModule(Dispatcher& d, const SessionStore& sessions, const SignOnThrottle& throttle) {
    d.Register(kModuleSession,
               {"SignOn",
                {Str("operator"), Str("password")},
                [&sessions, &throttle](CallContext& ctx, VariantArray& a) -> Variant {
                    std::string op = text::Upper(text::Trim(ArgText(a[0])));
                    ctx.Attempted = op;
                    const std::string& from = ctx.ClientAddress;
                    int64_t wait = 0;
                    db::SqlResult r;
                    ctx.Transact(Access::Write, [&](db::SqlConnection& c) {
                        wait = throttle.Take(c, op, from);
                        if (wait == 0)
                            r = c.Query("SELECT CDOPERADOR, DSSENHA, IDATIVO FROM OPERADOR WHERE CDOPERADOR = :O", {{"O", op}});
                    });
                    if (wait > 0)
                        throw net::ERpcError(net::rpc_code::TryLater,
                                             "Muitas tentativas inválidas deste operador a partir deste endereço. "
                                             "Tente novamente em " + std::to_string(wait) +
                                                 (wait == 1 ? " segundo." : " segundos."));
                    // One answer for every refusal, so the reply does not tell which operators exist.
                    const std::string refused = "Operador ou senha inválidos.";
                    // An unknown operator costs the same hashing as a wrong password, so
                    // the time of the answer does not tell which operators exist either.
                    // The hash runs outside any transaction: it holds no database lock.
                    static const std::string decoy = store::HashPassword("-", "decoy-salt-0000");
                    const std::string stored = r.Empty() ? decoy : r.rows[0][1].AsString();
                    const bool passwordOk = store::VerifyPassword(ArgText(a[1]), stored);
                    // The attempt was counted when it was taken; a refusal leaves it so.
                    if (r.Empty() || r.rows[0][2].AsString() != "S" || !passwordOk)
                        throw net::ERpcError(net::rpc_code::Unauthorized, refused);
                    SessionInfo s;
                    ctx.Transact(Access::Write, [&](db::SqlConnection& c) {
                        throttle.Succeeded(c, op, from);
                        s = sessions.Open(c, op);
                    });
                    ctx.Attempted.clear();
                    ctx.Operator = op;
                    return VarArrayOf({Variant(s.token), Variant(toDateTime(s.expires))});
                },
                false, Access::Own});
    d.Register(kModuleSession, {"SignOff", {}, [&sessions](CallContext& ctx, VariantArray&) -> Variant {
                                    sessions.Close(ctx.Db(), ctx.Token);
                                    return Variant(true);
                                },
                                true, Access::Write});
}

void RegisterModules(Dispatcher& d, const SessionStore& sessions, const SignOnThrottle& throttle) {
    GuardBranches(d);
    RegisterSessionModule(d, sessions, throttle);
    RegisterEstoqueModule(d);
    RegisterAutorizaModule(d);
    RegisterRetiradaModule(d);
    RegisterSystemModule(d);
}

}  // namespace appserver
