#include "CWizardPage.h"

#include "CDC.h"
#include "CSelectGuard.h"
#include "CSkinButton.h"
#include "CWizardSheet.h"
#include "resource.h"

namespace {

constexpr int kBackgroundTop = 30;

}  // namespace

BEGIN_MESSAGE_MAP(CWizardPage, CPropertyPage)
    ON_WM_PAINT()
    ON_MESSAGE(WM_PRINTCLIENT, CWizardPage::OnPrintClient)
    ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

CWizardPage::CWizardPage(UINT templateId, int backgroundLeft)
    : CPropertyPage(templateId), m_backgroundLeft(backgroundLeft)
{
}

CWizardSheet* CWizardPage::Sheet() const
{
    return static_cast<CWizardSheet*>(GetSheet());
}

BOOL CWizardPage::PreCreateWindow(CREATESTRUCTA& cs)
{
    cs.style &= ~WS_BORDER;
    return CPropertyPage::PreCreateWindow(cs);
}

void CWizardPage::PlaceInSheet()
{
    SetWindowPos(nullptr, kPageLeft, kPageTop, kPageWidth, kPageHeight, SWP_NOZORDER | SWP_NOACTIVATE);
}

void CWizardPage::Activate(DWORD buttons, UINT backgroundId)
{
    CWizardSheet* sheet = Sheet();
    sheet->EnableWizardButtons(buttons);
    PlaceInSheet();
    sheet->SetBackground(backgroundId);
    sheet->InvalidateCaption();
    Invalidate(TRUE);
}

void CWizardPage::OnPaint()
{
    CPaintDC dc(this);
    PrintBackground(dc);
}

LRESULT CWizardPage::OnPrintClient(WPARAM wParam, LPARAM)
{
    PrintBackground(reinterpret_cast<HDC>(wParam));
    return 0;
}

HBRUSH CWizardPage::OnCtlColor(CDC* dc, CWnd* wnd, UINT ctlColor)
{
    return CPropertyPage::OnCtlColor(dc, wnd, ctlColor);
}

void CWizardPage::PrintBackground(HDC dc) const
{
    const CWizardSheet* sheet = Sheet();
    HDC memory = ::CreateCompatibleDC(dc);
    {
        CSelectGuard select(memory, sheet->GetBackground());
        ::BitBlt(dc, 0, 0, sheet->m_nBackgroundWidth, sheet->m_nBackgroundHeight, memory, m_backgroundLeft,
                 kBackgroundTop, SRCCOPY);
    }
    ::DeleteDC(memory);
}

void CWizardPage::SkinRadio(CSkinButton& radio, const CString& text)
{
    radio.SetBitmaps(IDB_RADIO_NORMAL, IDB_RADIO_HOVER, IDB_RADIO_PRESSED, IDB_RADIO_DISABLED);
    radio.SetCheckedBitmaps(IDB_RADIO_ON_NORMAL, IDB_RADIO_ON_HOVER, IDB_RADIO_ON_PRESSED, IDB_RADIO_ON_DISABLED);
    SkinButton(radio, text);
}

void CWizardPage::SkinCheckBox(CSkinButton& box, const CString& text)
{
    box.SetBitmaps(IDB_CHECK_NORMAL, IDB_CHECK_HOVER, IDB_CHECK_PRESSED, IDB_CHECK_DISABLED);
    box.SetCheckedBitmaps(IDB_CHECK_ON_NORMAL, IDB_CHECK_ON_HOVER, IDB_CHECK_ON_PRESSED, IDB_CHECK_ON_DISABLED);
    SkinButton(box, text);
}

void CWizardPage::SkinButton(CSkinButton& button, const CString& text)
{
    button.SetWindowText(text);
    button.SetTransparentMode(FALSE);
    button.SetDrawBorder(FALSE, FALSE);
    // Light text on the dark page.
    for (int color : {CSkinButton::kColorTextNormal, CSkinButton::kColorTextHover, CSkinButton::kColorTextFocus})
        button.SetColor(color, kControlText, FALSE);
}

void CWizardPage::ClickDialogItem(int id)
{
    HWND item = GetDlgItemHwnd(id);
    if (!item)
        return;
    ::SendMessageA(item, WM_LBUTTONDOWN, 0, 0);
    ::SendMessageA(item, WM_LBUTTONUP, 0, 0);
}

std::vector<char> CWizardPage::FileDialogFilter(const CString& text)
{
    std::string filter = text.str();
    if (filter.find('|') == std::string::npos)
        filter += "|*.sqv|";
    std::vector<char> parts(filter.begin(), filter.end());
    for (char& c : parts) {
        if (c == '|')
            c = '\0';
    }
    parts.push_back('\0');
    parts.push_back('\0');
    return parts;
}
