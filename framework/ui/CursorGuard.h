#pragma once
// The hourglass while a scope runs: the constructor shows crHourGlass, leaving
// the scope (normally or by an exception) restores the cursor that was shown
// before, so nested waits end with the outer one.
#include "core/ScopeGuard.h"
#include "ui/Application.h"

class THourGlass {
public:
    THourGlass() : previous_(Application().Cursor()) { Application().SetCursor(TCursor::crHourGlass); }
    ~THourGlass() noexcept(false) {
        scope_detail::RunCleanup(unwinding_, [&] { Application().SetCursor(previous_); });
    }
    THourGlass(const THourGlass&) = delete;
    THourGlass& operator=(const THourGlass&) = delete;

private:
    int unwinding_ = std::uncaught_exceptions();
    TCursor previous_;
};
