#include "services/Showavi.h"

#include "ui/Dialogs.h"

namespace Showavi {

namespace {
bool shown = false;
}

void ActiveShowAvi(TForm*, int kind, const std::string& text) {
    if (shown) Dialogs().HideProgress();  // one note: the new one replaces it
    Dialogs().ShowProgress(kind, text);
    shown = true;
}

void DeactiveShowAvi() {
    if (!shown) return;
    shown = false;
    Dialogs().HideProgress();
}

bool Active() { return shown; }

}  // namespace Showavi
