#include "CPanelDlg.h"

#include "DialogHelpers.h"
#include "resource.h"

BEGIN_MESSAGE_MAP(CPanelDlg, CDialog)
    ON_WM_PAINT()
    ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

CPanelDlg::CPanelDlg(UINT templateId, CWnd* parent, int textId) : CDialog(templateId, parent), m_textId(textId)
{
    if (m_background.LoadBitmap(IDB_PROGRESS_BACKGROUND)) {
        BITMAP info = {};
        m_background.GetBitmap(&info);
        m_nWidth = info.bmWidth;
        m_nHeight = info.bmHeight;
    }
    m_brush.CreateSolidBrush(kPanelColor);
}

void CPanelDlg::ClipToPanel()
{
    SetWindowRgn(CreateDialogRegion(m_nWidth, m_nHeight), TRUE);
}

void CPanelDlg::OnPaint()
{
    OnPaintBackground(this, m_background, m_nWidth, m_nHeight);
}

HBRUSH CPanelDlg::OnCtlColor(CDC* dc, CWnd* wnd, UINT ctlColor)
{
    HBRUSH brush = CDialog::OnCtlColor(dc, wnd, ctlColor);
    if (wnd && wnd->GetDlgCtrlID() == m_textId) {
        ::SetBkMode(*dc, TRANSPARENT);
        return m_brush;
    }
    return brush;
}
