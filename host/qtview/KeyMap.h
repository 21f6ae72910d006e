#pragma once
// Qt key events in the toolkit's terms: a virtual key with its shift state
// and the character the key typed on the user's keyboard layout.
#include "ui/Keys.h"

#include <string>

class QKeyEvent;

namespace qtview {

struct KeyInput {
    WORD Key = 0;          // 0: no virtual key (an accented letter, a bare modifier)
    TShiftState Shift;
    char32_t Typed = 0;    // printable character typed, 0 to let the toolkit derive it
    std::string Text;      // UTF-8 of what was typed (characters without a key of their own)
    bool Modifier = false; // Shift, Ctrl, Alt or Meta alone
};

KeyInput TranslateKey(const QKeyEvent& event);
// The Qt key code of a virtual key, 0 when there is none (tests, automation).
int QtKeyOf(WORD vk);

}  // namespace qtview
