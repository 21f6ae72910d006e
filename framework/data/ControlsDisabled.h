#pragma once
// Holds a dataset's notifications to its data-aware controls back while a
// scope runs (DisableControls); leaving the scope, normally or by an
// exception, calls the matching EnableControls.
#include "core/ScopeGuard.h"
#include "data/DataSet.h"

class TControlsDisabled {
public:
    explicit TControlsDisabled(TDataSet& ds) : ds_(ds) { ds_.DisableControls(); }
    ~TControlsDisabled() noexcept(false) {
        scope_detail::RunCleanup(unwinding_, [&] { ds_.EnableControls(); });
    }
    TControlsDisabled(const TControlsDisabled&) = delete;
    TControlsDisabled& operator=(const TControlsDisabled&) = delete;

private:
    int unwinding_ = std::uncaught_exceptions();
    TDataSet& ds_;
};
