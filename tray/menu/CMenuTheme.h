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

    // Saves the screen under the window and its shade once per hook record (before the system
    // paints a framed window, so that our shade can darken what lay beneath).
    static void CaptureShade(HWND window);

protected:
    // The system draws menu drop shadows: the frame is a plain outline, without a shade of ours.
    bool HasSystemShadow() const { return m_nFrameRight == 2; }
    // Fills the four bands between an outer rectangle and the client rectangle with one colour.
    static void FillFrameBands(HDC dc, const RECT& outer, const RECT& client, COLORREF color);
    // Our shade in the 4-pixel band at the right and bottom of a w x h window, darkened from the
    // saved screen image.
    void DrawOwnShade(HWND window, HDC dc, int width, int height) const;
    // What a frame paint works with: the shade captured, the window's rectangle and its client
    // rectangle in window coordinates.
    struct FrameGeometry {
        RECT frame;
        RECT client;
        int width, height;
    };
    static FrameGeometry BeginFramePaint(HWND window);
    // The client area the background erase fills.
    RECT BackgroundRect(HWND window) const;
};
