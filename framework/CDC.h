#pragma once
// A device context. A CDC made with CreateCompatibleDC deletes it; CPaintDC and CClientDC end or
// release theirs; FromHandle wraps one without owning it.
#include <windows.h>

#include "CRect.h"
#include "CString.h"

class CGdiObject;
class CWnd;

class CDC {
public:
    CDC() = default;
    virtual ~CDC();
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    HDC GetSafeHdc() const { return m_hDC; }
    operator HDC() const { return m_hDC; }
    static CDC* FromHandle(HDC dc);             // borrowed until the UI thread goes idle
    static void DeleteTempMap();

    BOOL CreateCompatibleDC(CDC* dc);
    BOOL CreateCompatibleDC(HDC dc);
    BOOL DeleteDC();
    BOOL Attach(HDC dc);                         // owns it (DeleteDC) from now on
    HDC Detach();

    HGDIOBJ SelectObject(CGdiObject* object);
    HGDIOBJ SelectObject(HGDIOBJ object) { return ::SelectObject(m_hDC, object); }
    int SetBkMode(int mode) { return ::SetBkMode(m_hDC, mode); }
    COLORREF SetTextColor(COLORREF color) { return ::SetTextColor(m_hDC, color); }
    COLORREF SetBkColor(COLORREF color) { return ::SetBkColor(m_hDC, color); }
    BOOL BitBlt(int x, int y, int width, int height, CDC* source, int sx, int sy, DWORD rop)
    {
        return ::BitBlt(m_hDC, x, y, width, height, source ? source->m_hDC : nullptr, sx, sy, rop);
    }
    int DrawText(const CString& text, LPRECT rect, UINT format)
    {
        return ::DrawTextA(m_hDC, text, text.GetLength(), rect, format);
    }
    CSize GetTextExtent(const CString& text) const;
    BOOL GetTextMetrics(TEXTMETRICA* metrics) const { return ::GetTextMetricsA(m_hDC, metrics); }
    void FillSolidRect(const RECT& rect, COLORREF color);
    int SaveDC() { return ::SaveDC(m_hDC); }
    BOOL RestoreDC(int saved) { return ::RestoreDC(m_hDC, saved); }

    HDC m_hDC = nullptr;

protected:
    bool m_owned = false;                        // DeleteDC at the end
};

class CPaintDC : public CDC {
public:
    explicit CPaintDC(CWnd* wnd);
    ~CPaintDC() override;
    PAINTSTRUCT m_ps = {};

private:
    HWND m_hWnd;
};

class CClientDC : public CDC {
public:
    explicit CClientDC(CWnd* wnd);
    ~CClientDC() override;

private:
    HWND m_hWnd;
};
