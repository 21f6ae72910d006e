#pragma once
// Colours and alignment as the screen's drawing handlers name them. A colour
// is 0x00BBGGRR; system colours are fixed values the view may map to its theme.
#include <cstdint>

using TColor = uint32_t;
constexpr TColor clBlack = 0x000000, clMaroon = 0x000080, clGreen = 0x008000, clOlive = 0x008080,
                 clNavy = 0x800000, clPurple = 0x800080, clTeal = 0x808000, clGray = 0x808080,
                 clSilver = 0xC0C0C0, clRed = 0x0000FF, clLime = 0x00FF00, clYellow = 0x00FFFF,
                 clBlue = 0xFF0000, clFuchsia = 0xFF00FF, clAqua = 0xFFFF00, clWhite = 0xFFFFFF;
// System colours (their usual values).
constexpr TColor clWindow = 0xFFFFFF, clWindowText = 0x000000, clHighlight = 0xD77800,
                 clHighlightText = 0xFFFFFF, clCaptionText = 0xFFFFFF, clInfoBk = 0xE1FFFF,
                 clBtnFace = 0xF0F0F0;
constexpr TColor RGB(int r, int g, int b) {
    return static_cast<TColor>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}

enum class TAlignment { taLeftJustify, taRightJustify, taCenter };

struct TRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
};
