#include "stocklib/Refusal.h"

#include "core/Exception.h"
#include "ui/Dialogs.h"

#include <mutex>

namespace stocklib {

namespace {

std::mutex& guard() {
    static std::mutex m;
    return m;
}

RefusalReporter& reporter() {
    static RefusalReporter r;
    return r;
}

}  // namespace

void SetRefusalReporter(RefusalReporter r) {
    std::lock_guard lock(guard());
    reporter() = std::move(r);
}

void Refuse(const std::string& text) {
    RefusalReporter r;
    {
        std::lock_guard lock(guard());
        r = reporter();
    }
    if (r)
        r(text);
    else
        Dialogs().ErrorBox(text);
    Abort();
}

}  // namespace stocklib
