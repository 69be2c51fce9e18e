#include "CFont.h"

#include <cstdlib>

BOOL CFont::CreateFont(int height, int width, int escapement, int orientation, int weight, BYTE italic,
                       BYTE underline, BYTE strikeOut, BYTE charSet, BYTE outPrecision, BYTE clipPrecision,
                       BYTE quality, BYTE pitchAndFamily, const char* faceName)
{
    return Attach(::CreateFontA(height, width, escapement, orientation, weight, italic, underline, strikeOut,
                                charSet, outPrecision, clipPrecision, quality, pitchAndFamily, faceName));
}

BOOL CFont::CreateFontIndirect(const LOGFONTA* logFont)
{
    return Attach(::CreateFontIndirectA(logFont));
}

CFont* CFont::FromHandle(HFONT font)
{
    if (!font)
        return nullptr;
    CFont* wrapper = new CFont;
    wrapper->Borrow(font);
    KeepTemporary(wrapper);
    return wrapper;
}

BOOL CFont::CreatePointFont(int pointSize, const char* faceName, HDC dc)
{
    LOGFONTA logFont = {};
    logFont.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(logFont.lfFaceName, faceName ? faceName : "", LF_FACESIZE);
    HDC screen = dc ? dc : ::GetDC(nullptr);
    // Tenths of a point to logical units: through device points, as a mapping mode would.
    POINT size = {0, ::MulDiv(::GetDeviceCaps(screen, LOGPIXELSY), pointSize, 720)};
    POINT origin = {0, 0};
    ::DPtoLP(screen, &size, 1);
    ::DPtoLP(screen, &origin, 1);
    logFont.lfHeight = -std::abs(size.y - origin.y);
    if (!dc)
        ::ReleaseDC(nullptr, screen);
    return CreateFontIndirect(&logFont);
}
