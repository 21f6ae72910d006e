#pragma once
// Clean-up that runs when a scope is left, in place of catch-and-rethrow blocks.
//
// TScopeExit runs its action on every exit; TScopeFailure only when the scope
// is left by an exception. While an exception is already unwinding the
// stack, a failing action is swallowed (the first error is the one reported);
// on a normal exit a failing action propagates. Dismiss() cancels the action.
// Guards are locals: neither copied nor moved.
#include <exception>
#include <utility>

namespace scope_detail {

// Runs a guard's clean-up from its destructor: `unwinding` is
// std::uncaught_exceptions() when the guard was made.
template <class F>
void RunCleanup(int unwinding, F&& action) {
    if (std::uncaught_exceptions() <= unwinding) {
        action();
        return;
    }
    try {
        action();
    } catch (...) {  // the error already unwinding is the one reported
    }
}

template <class F, bool OnlyOnFailure>
class Guard {
public:
    explicit Guard(F action) : action_(std::move(action)), unwinding_(std::uncaught_exceptions()) {}
    Guard(const Guard&) = delete;
    Guard& operator=(const Guard&) = delete;
    ~Guard() noexcept(false) {
        if (dismissed_) return;
        if (OnlyOnFailure && std::uncaught_exceptions() <= unwinding_) return;
        RunCleanup(unwinding_, action_);
    }
    void Dismiss() { dismissed_ = true; }

private:
    F action_;
    int unwinding_;
    bool dismissed_ = false;
};

}  // namespace scope_detail

template <class F>
class TScopeExit : public scope_detail::Guard<F, false> {
public:
    using scope_detail::Guard<F, false>::Guard;
};
template <class F>
TScopeExit(F) -> TScopeExit<F>;

template <class F>
class TScopeFailure : public scope_detail::Guard<F, true> {
public:
    using scope_detail::Guard<F, true>::Guard;
};
template <class F>
TScopeFailure(F) -> TScopeFailure<F>;
