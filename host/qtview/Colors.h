#pragma once
// Toolkit colours (0x00BBGGRR) as Qt colours. The system colours the screens
// name map to the desktop's palette, as they would on the original platform.
#include "ui/Graphics.h"

#include <QColor>
#include <QPalette>

namespace qtview {

QColor ToQColor(TColor color, const QPalette& palette);

}  // namespace qtview
