#pragma once
#include "CGdiObject.h"

class CFont : public CGdiObject {
public:
    BOOL CreateFont(int height, int width, int escapement, int orientation, int weight, BYTE italic,
                    BYTE underline, BYTE strikeOut, BYTE charSet, BYTE outPrecision, BYTE clipPrecision,
                    BYTE quality, BYTE pitchAndFamily, const char* faceName);
    BOOL CreateFontIndirect(const LOGFONTA* logFont);
    // A font of `pointSize` tenths of a point on `dc` (the screen when null).
    BOOL CreatePointFont(int pointSize, const char* faceName, HDC dc = nullptr);
    int GetLogFont(LOGFONTA* logFont) const { return GetObject(sizeof(LOGFONTA), logFont); }
    operator HFONT() const { return static_cast<HFONT>(GetSafeHandle()); }
    static CFont* FromHandle(HFONT font);       // borrowed, null for a null handle
};
