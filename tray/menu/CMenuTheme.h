#pragma once
// A menu theme: the painters that measure and draw items, and whether (and how) the library
// frames and shades the windows that show popup menus.
#include <windows.h>

#include "CDrawMenu.h"

class CMenuTheme {
public:
    CMenuTheme(int type, int frameFlag, MeasurePainter measure, DrawPainter draw, TitlePainter title);
    virtual ~CMenuTheme();
    CMenuTheme(const CMenuTheme&) = delete;
    CMenuTheme& operator=(const CMenuTheme&) = delete;

    virtual int OnInitWnd(HWND window);
    virtual int OnUnInitWnd(HWND window);
    virtual BOOL HasFrame() const;
    virtual void UpdateSysColors();
    virtual void UpdateFrameSizes();
    virtual int PaintFrame(HWND window, HDC dc, BOOL after);
    virtual BOOL EraseBackground(HWND window, HDC dc);
    virtual BOOL OnNcCalcSize(HWND window, RECT* rect);
    virtual BOOL OnWindowPosChanging(HWND window, WINDOWPOS* pos);
    virtual BOOL GetFrameRect(HWND window, RECT* rect);
    virtual void DrawGripper(HDC dc, const RECT& rect, DWORD barStyle, int left, int top, int right, int bottom);
    virtual void DrawCorners(HDC dc, const RECT& rect, DWORD barStyle);
    virtual void Get2003BarColors(COLORREF* c1, COLORREF* c2, COLORREF* c3, COLORREF* c4);

    int m_nType;                    // 0 ... 11
    int m_nFrameFlag;               // bit 0: the theme frames and shades menu windows
    MeasurePainter m_pfnMeasureItem;
    DrawPainter m_pfnDrawItem;
    TitlePainter m_pfnDrawTitle;
    int m_nFrameLeft = 2, m_nFrameTop = 2, m_nFrameRight = 5, m_nFrameBottom = 6;
    COLORREF m_clrBtnFace = 0, m_clrBtnShadow = 0, m_clrBtnHighlight = 0, m_clrBtnText = 0, m_clrWindowFrame = 0;
};
