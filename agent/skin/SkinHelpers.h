#pragma once
// Drawing routines every skinned control shares.
#include "TBitmap.h"
#include "TCanvas.h"
#include "TPicture.h"

#include <string>

class TComponent;
class TControl;
class TCustomEdit;
class TCustomForm;
class TskFileTheme;
enum TskUIStyle : unsigned char;

// Paints the control's parent, as it lies behind the control, into the canvas.
void DrawParentBackground(TCanvas& canvas, TControl* control);
void TilePicture(TCanvas& canvas, TPicture& picture, const RECT& rect);
bool PointInRect(const POINT& point, const RECT& rect);
bool CoordsInRect(int x, int y, const RECT& rect);
RECT GetWorkArea();
void SetControlBounds(TControl* control, const RECT& rect);
void DrawEditBorder(TCustomEdit* edit, TColor color, TColor innerColor, bool drawInner);
std::string PCharToString(const char* text);
void DrawThreePartBitmap(TBitmap& bitmap, TCanvas& canvas, const RECT& rect, COLORREF maskColor, bool masked);
COLORREF MakeRGB(int red, int green, int blue);
void SplitRGB(TColor color, int& red, int& green, int& blue);
void DrawVerticalGradient(TCanvas& canvas, const RECT& rect, TColor from, TColor to);
void DrawHorizontalGradient(TCanvas& canvas, const RECT& rect, TColor from, TColor to);
bool HasProperty(const TComponent* component, const char* name);
// Part `index` (1-based) of `count` equal-width parts; the last part is flush with the right edge.
void CutBitmapPart(const TBitmap& source, TBitmap& destination, int count, int index);
bool IsFormActive(TCustomForm* form);
void ApplyThemeToChildren(TCustomForm* form, TskUIStyle style, TskFileTheme* theme);
// The text, or the first prefix followed by "..." that is at least `maxWidth` wide.
std::string EllipsizeText(TCanvas& canvas, const std::string& text, int maxWidth);
// Refuses a property value the way a designer would: an error box with an OK button.
void ShowRefusal(const char* text);
