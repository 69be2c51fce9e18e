#pragma once
// The XP look of menu windows: a light band inside a dark outline, the bar colour as background.
#include "CMenuTheme.h"

class CMenuThemeXP : public CMenuTheme {
public:
    using CMenuTheme::CMenuTheme;

    int PaintFrame(HWND window, HDC dc, BOOL after) override;
    BOOL EraseBackground(HWND window, HDC dc) override;
};
