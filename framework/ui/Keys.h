#pragma once
// Keys as the screen's handlers see them: a virtual key code (the Windows
// numbering, which the handlers compare against) and a shift state.
#include <cstdint>
#include <string>
#include <string_view>

using WORD = uint16_t;

// Virtual key codes.
constexpr WORD VK_BACK = 8, VK_TAB = 9, VK_RETURN = 13, VK_SHIFT = 16, VK_CONTROL = 17, VK_MENU = 18,
               VK_ESCAPE = 27, VK_SPACE = 32, VK_PRIOR = 33, VK_NEXT = 34, VK_END = 35, VK_HOME = 36,
               VK_LEFT = 37, VK_UP = 38, VK_RIGHT = 39, VK_DOWN = 40, VK_INSERT = 45, VK_DELETE = 46,
               VK_DECIMAL = 110, VK_F1 = 112, VK_F2 = 113, VK_F3 = 114, VK_F4 = 115, VK_F5 = 116,
               VK_F6 = 117, VK_F7 = 118, VK_F8 = 119, VK_F9 = 120, VK_F10 = 121, VK_F11 = 122,
               VK_F12 = 123, VK_OEM_COMMA = 188, VK_OEM_MINUS = 189, VK_OEM_PERIOD = 190,
               VK_OEM_2 = 191;

// Modifier keys held with a key.
struct TShiftState {
    bool Shift = false, Ctrl = false, Alt = false;
    bool Empty() const { return !Shift && !Ctrl && !Alt; }
    friend bool operator==(const TShiftState&, const TShiftState&) = default;
};
inline constexpr TShiftState ssNone{};
inline constexpr TShiftState ssShift{true, false, false};
inline constexpr TShiftState ssCtrl{false, true, false};
inline constexpr TShiftState ssAlt{false, false, true};

// A message seen by the application hook. Only key-downs travel through it;
// a hook may rewrite Key (say, Enter into Tab) or set handled to swallow it.
constexpr unsigned WM_KEYDOWN = 0x0100;
struct TMsg {
    unsigned message = WM_KEYDOWN;
    WORD Key = 0;            // wParam of the key-down
    TShiftState Shift;
};

// Menu shortcut: key plus modifiers; 0 = none.
struct TShortCut {
    WORD Key = 0;
    TShiftState Shift;
    bool Empty() const { return Key == 0; }
    friend bool operator==(const TShortCut&, const TShortCut&) = default;
};
// "Ctrl+L", "F12", "Shift+Ctrl+Del"; throws Exception for a text it cannot read.
TShortCut TextToShortCut(const std::string& text);
std::string ShortCutToText(TShortCut sc);

// The character a key-down produces when typed (0 when none), as a keyboard
// with the system's layout would: letters honour Shift; 188 gives ',', 190 '.',
// the keypad decimal key the system decimal separator.
char32_t KeyToChar(WORD key, TShiftState shift);
// The key a character is typed with (0 for characters without a key of
// their own, such as accented letters, which arrive as characters only).
WORD CharToKey(char32_t ch, TShiftState& shift);

// UTF-8 helpers for typed text.
std::u32string Utf8ToChars(std::string_view utf8);
std::string CharToUtf8(char32_t ch);
