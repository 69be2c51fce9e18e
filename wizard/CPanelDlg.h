#pragma once
// What the progress dialog and the USB-scanning box share: borderless on the light panel (bitmap
// 180), cut to its round corners, with their one text drawn straight on the panel's colour.
#include "CBitmap.h"
#include "CBrush.h"
#include "CDialog.h"

class CPanelDlg : public CDialog {
public:
    // The text statics paint their background with this brush; the panel's body has its colour.
    static constexpr COLORREF kPanelColor = 0x00FFE9D2;

    CPanelDlg(UINT templateId, CWnd* parent, int textId);

protected:
    void ClipToPanel();               // the round-corner region of the panel's size
    void OnPaint();
    HBRUSH OnCtlColor(CDC* dc, CWnd* wnd, UINT ctlColor);
    DECLARE_MESSAGE_MAP()

    CBitmap m_background;
    int m_nWidth = 0;
    int m_nHeight = 0;
    CBrush m_brush;

private:
    int m_textId;
};
