#pragma once
// Tmsgaler: the option dialog with captioned buttons.
#include "ui/Dialogs.h"

#include <string>
#include <vector>

namespace Tmsgaler {

// Shows `text` with two or three buttons captioned by `captions`; returns 10,
// 11 or 12 for the first, second or third. Throws Exception for fewer than
// two or more than three captions. `number` is passed to the dialog service;
// the last two arguments are kept for the callers' sake (always 0).
int MsgAlertEx(const std::string& text, TMsgDlgType type, const std::vector<std::string>& captions, int number,
               int reserved1 = 0, int reserved2 = 0);

}  // namespace Tmsgaler
