#pragma once
// Colours as the form layer stores them: a COLORREF (0x00BBGGRR), or a system colour as
// 0x80000000 | COLOR_xxx, turned into RGB where it is drawn.
#include <windows.h>

using TColor = DWORD;

constexpr TColor kSystemColorFlag = 0x80000000u;
constexpr TColor clBlack = 0x000000;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clGray = 0x808080;
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clBtnFace = kSystemColorFlag | COLOR_BTNFACE;
constexpr TColor clHighlight = kSystemColorFlag | COLOR_HIGHLIGHT;
constexpr TColor clWindow = kSystemColorFlag | COLOR_WINDOW;
constexpr TColor clWindowText = kSystemColorFlag | COLOR_WINDOWTEXT;
constexpr TColor clMenuText = kSystemColorFlag | COLOR_MENUTEXT;
constexpr TColor clGradientActiveCaption = kSystemColorFlag | COLOR_GRADIENTACTIVECAPTION;

// The RGB value of a colour; a system colour is looked up.
inline COLORREF ColorToRGB(TColor color)
{
    if (color & kSystemColorFlag)
        return GetSysColor(static_cast<int>(color & 0xFF));
    return color & 0x00FFFFFF;
}
