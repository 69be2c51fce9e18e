#pragma once
// A hyperlink label: blue text that turns red under the mouse and purple once opened, with a
// tooltip naming its target. A click opens the target through the shell, or through the program
// the system opens .htm files with; a failure beeps and says why.
#include <string>

#include "CFont.h"
#include "CStatic.h"
#include "CToolTipCtrl.h"

class CLinkStatic : public CStatic {
public:
    static constexpr COLORREF kLinkColor = 0x00EE0000;
    static constexpr COLORREF kVisitedColor = 0x008B1A55;
    static constexpr COLORREF kHoverColor = 0x000000FF;
    static constexpr UINT_PTR kHoverTimer = 100;
    static constexpr UINT kHoverTimerMs = 100;
    static constexpr UINT kToolId = 1;
    // Underline modes: only while the mouse is over it (the start), always, or never (any other).
    static constexpr int kUnderlineHover = -1;
    static constexpr int kUnderlineAlways = 1;
    static constexpr int kUnderlineNever = 0;

    CLinkStatic() = default;
    ~CLinkStatic() override;

    void SetLinkTarget(const char* target);
    const CString& GetLinkTarget() const { return m_strTarget; }
    // Mode 1 takes the underlined font at once; the others the normal one.
    void SetUnderline(int mode);
    void SetAutoSize(BOOL autoSize) { m_bAdjustToFit = autoSize; }
    // Sizes the window to its text, keeping the edge or centre its alignment style anchors.
    void FitWindowToText();

    BOOL IsOver() const { return m_bOver; }
    BOOL IsVisited() const { return m_bVisited; }
    // The colour the text is painted in now.
    COLORREF CurrentColor() const { return m_bOver ? m_crHover : m_bVisited ? m_crVisited : m_crLink; }

    // Opens a target as the click does; the shell's or the program's result code (> 32 opened).
    static int OpenLink(const char* target);
    // The .htm handler's command line made to open a target: cut at "%1" (quoted or not), a
    // blank and the target appended.
    static std::string BuildOpenCommand(const std::string& command, const std::string& target);
    // What the error report says for a result code.
    static std::string LinkErrorText(int code);

    BOOL DestroyWindow() override;
    BOOL PreTranslateMessage(MSG* msg) override;

protected:
    void PreSubclassWindow() override;
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
    void OnMouseMove(UINT flags, CPoint point);
    void OnTimer(UINT_PTR id);
    BOOL OnEraseBkgnd(CDC* dc);
    void OnPaint();
    DECLARE_MESSAGE_MAP()

private:
    void OnClicked();
    void LoadHandCursor();
    void ReportError(int code);

    COLORREF m_crLink = kLinkColor;
    COLORREF m_crVisited = kVisitedColor;
    COLORREF m_crHover = kHoverColor;
    BOOL m_bOver = FALSE;
    BOOL m_bVisited = FALSE;
    int m_nUnderline = kUnderlineHover;
    BOOL m_bAdjustToFit = TRUE;
    CString m_strTarget;
    CFont m_underlineFont;
    CFont m_normalFont;
    HCURSOR m_hLinkCursor = nullptr;
    CToolTipCtrl m_toolTip;
    UINT_PTR m_nTimerId = kHoverTimer;
};
