#pragma once
// One use of a server connection for a scope, through the owner's use-counted
// open/close pairing (a screen's ConnectServer(conn, true/false)): the
// constructor opens (a failed open raises and leaves nothing to close);
// leaving the scope, normally or by an exception, closes that use.
#include "core/ScopeGuard.h"
#include "net/NetConnection.h"

#include <functional>
#include <utility>

class TConnectionUse {
public:
    using Pairing = std::function<void(TNetConnection&, bool connect)>;
    TConnectionUse(TNetConnection& conn, Pairing pairing) : conn_(conn), pairing_(std::move(pairing)) {
        pairing_(conn_, true);
    }
    ~TConnectionUse() noexcept(false) {
        scope_detail::RunCleanup(unwinding_, [&] { pairing_(conn_, false); });
    }
    TConnectionUse(const TConnectionUse&) = delete;
    TConnectionUse& operator=(const TConnectionUse&) = delete;

    TNetConnection& Connection() const { return conn_; }

private:
    int unwinding_ = std::uncaught_exceptions();
    TNetConnection& conn_;
    Pairing pairing_;
};
