#pragma once
// Routines of the owner-drawn popup menu.
#include "TCanvas.h"
#include "TMenuItem.h"

void HookMenuItems(TMenuItem* item, const TMenuMeasureItemEvent& measure, const TMenuDrawItemEvent& draw);
void FrameRectColor(TCanvas& canvas, const RECT& rect, TColor color);
void FillRectColor(TCanvas& canvas, const RECT& rect, TColor color);
void DrawSeparatorLine(TCanvas& canvas, const RECT& rect, TColor color, bool leftToRight, int barWidth);
void DrawFlatMenuBorder(HWND menuWindow, TColor outerColor, TColor lineColor);
void UseSystemMenuFont(TFont& font);
