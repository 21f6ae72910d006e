#pragma once
// Locks a form's window updates while a scope runs; leaving the scope
// (normally or by an exception) gives back the lock that held before
// (usually none), the views repainting from there.
#include "core/ScopeGuard.h"
#include "ui/Application.h"

class TWindowUpdateLock {
public:
    explicit TWindowUpdateLock(TForm* form) : previous_(Application().LockedForm()) {
        Application().LockWindowUpdate(form);
    }
    ~TWindowUpdateLock() noexcept(false) {
        scope_detail::RunCleanup(unwinding_, [&] { Application().LockWindowUpdate(previous_); });
    }
    TWindowUpdateLock(const TWindowUpdateLock&) = delete;
    TWindowUpdateLock& operator=(const TWindowUpdateLock&) = delete;

private:
    int unwinding_ = std::uncaught_exceptions();
    TForm* previous_;
};
