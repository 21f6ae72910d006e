#include "qtview/Colors.h"

namespace qtview {

QColor ToQColor(TColor c, const QPalette& p) {
    switch (c) {
        case clWindow: return p.color(QPalette::Base);
        case clWindowText: return p.color(QPalette::Text);
        case clHighlight: return p.color(QPalette::Highlight);
        // White and black double as window and window text (same values), so
        // caption and highlight text follow the window's own colours.
        case clInfoBk: return p.color(QPalette::ToolTipBase);
        case clBtnFace: return p.color(QPalette::Button);
        default: break;
    }
    return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF), static_cast<int>((c >> 16) & 0xFF));
}

}  // namespace qtview
