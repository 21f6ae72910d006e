#pragma once
// The progress note (Showavi) while a scope runs: the constructor shows it over
// the main form; Close() or leaving the scope (normally or by an exception)
// removes it. Close() early when a message box must not appear under the note.
#include "core/ScopeGuard.h"
#include "services/Showavi.h"
#include "ui/Application.h"

#include <string>

class TProgressNote {
public:
    explicit TProgressNote(int kind, const std::string& text = "") {
        Showavi::ActiveShowAvi(Application().MainForm(), kind, text);
    }
    ~TProgressNote() noexcept(false) {
        scope_detail::RunCleanup(unwinding_, [&] { Close(); });
    }
    TProgressNote(const TProgressNote&) = delete;
    TProgressNote& operator=(const TProgressNote&) = delete;

    void Close() {
        if (!open_) return;
        open_ = false;
        Showavi::DeactiveShowAvi();
    }

private:
    int unwinding_ = std::uncaught_exceptions();
    bool open_ = true;
};
