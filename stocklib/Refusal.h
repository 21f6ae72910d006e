#pragma once
// How a stock service refuses: it shows its message and stops the running
// operation. By default the text goes to the application's dialog service as
// an error box and the operation ends with a silent abort (EAbort), so the
// user sees it once. Tests or another front end may replace the reporter.
#include <functional>
#include <string>

namespace stocklib {

using RefusalReporter = std::function<void(const std::string& text)>;

// Replaces the process's reporter; an empty function restores the default.
void SetRefusalReporter(RefusalReporter reporter);

// Reports text and raises EAbort (also when the reporter returns normally).
[[noreturn]] void Refuse(const std::string& text);

}  // namespace stocklib
