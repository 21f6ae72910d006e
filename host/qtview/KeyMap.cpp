#include "qtview/KeyMap.h"

#include <QKeyEvent>

namespace qtview {

namespace {

struct Pair {
    int qt;
    WORD vk;
};

constexpr Pair kKeys[] = {
    {Qt::Key_Backspace, VK_BACK}, {Qt::Key_Tab, VK_TAB},        {Qt::Key_Backtab, VK_TAB},
    {Qt::Key_Return, VK_RETURN},  {Qt::Key_Enter, VK_RETURN},   {Qt::Key_Escape, VK_ESCAPE},
    {Qt::Key_Space, VK_SPACE},    {Qt::Key_PageUp, VK_PRIOR},   {Qt::Key_PageDown, VK_NEXT},
    {Qt::Key_End, VK_END},        {Qt::Key_Home, VK_HOME},      {Qt::Key_Left, VK_LEFT},
    {Qt::Key_Up, VK_UP},          {Qt::Key_Right, VK_RIGHT},    {Qt::Key_Down, VK_DOWN},
    {Qt::Key_Insert, VK_INSERT},  {Qt::Key_Delete, VK_DELETE},  {Qt::Key_Comma, VK_OEM_COMMA},
    {Qt::Key_Minus, VK_OEM_MINUS},{Qt::Key_Period, VK_OEM_PERIOD}, {Qt::Key_Slash, VK_OEM_2},
};

}  // namespace

KeyInput TranslateKey(const QKeyEvent& e) {
    KeyInput k;
    const Qt::KeyboardModifiers m = e.modifiers();
    k.Shift.Shift = m.testFlag(Qt::ShiftModifier) || e.key() == Qt::Key_Backtab;
    k.Shift.Ctrl = m.testFlag(Qt::ControlModifier);
    k.Shift.Alt = m.testFlag(Qt::AltModifier);
    const int key = e.key();
    if (key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Alt || key == Qt::Key_Meta ||
        key == Qt::Key_AltGr) {
        k.Modifier = true;
        return k;
    }
    const bool keypad = m.testFlag(Qt::KeypadModifier);
    if (keypad && (key == Qt::Key_Period || key == Qt::Key_Comma)) {
        k.Key = VK_DECIMAL;  // the toolkit types the system's decimal separator
    } else if (key >= Qt::Key_A && key <= Qt::Key_Z) {
        k.Key = static_cast<WORD>('A' + (key - Qt::Key_A));
    } else if (key >= Qt::Key_0 && key <= Qt::Key_9) {
        k.Key = static_cast<WORD>('0' + (key - Qt::Key_0));
    } else if (key >= Qt::Key_F1 && key <= Qt::Key_F12) {
        k.Key = static_cast<WORD>(VK_F1 + (key - Qt::Key_F1));
    } else {
        for (const Pair& p : kKeys)
            if (p.qt == key) k.Key = p.vk;
    }
    // The character comes from the layout, not from the key: "/" on a
    // Brazilian keyboard, "ç" without a key of its own.
    const QString text = e.text();
    if (!text.isEmpty() && k.Key != VK_DECIMAL) {
        const char32_t ch = text.toUcs4().value(0);
        if (ch >= 0x20 && ch != 0x7F) {
            k.Typed = ch;
            k.Text = text.toStdString();
        }
    }
    return k;
}

int QtKeyOf(WORD vk) {
    if (vk >= 'A' && vk <= 'Z') return Qt::Key_A + (vk - 'A');
    if (vk >= '0' && vk <= '9') return Qt::Key_0 + (vk - '0');
    if (vk >= VK_F1 && vk <= VK_F12) return Qt::Key_F1 + (vk - VK_F1);
    if (vk == VK_DECIMAL) return Qt::Key_Period;
    for (const Pair& p : kKeys)
        if (p.vk == vk) return p.qt;
    return 0;
}

}  // namespace qtview
