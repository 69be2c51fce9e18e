#include "WizardPage.h"

#include "CSelectGuard.h"
#include "CWizardSheet.h"

namespace {

constexpr int kPageLeft = 2, kPageTop = 30, kPageWidth = 600, kPageHeight = 336;
constexpr int kBackgroundTop = 30;
constexpr COLORREF kPageTextColor = 0x00FFFFFF;

}  // namespace

void ActivateWizardPage(CPropertyPage* page, DWORD buttons, UINT backgroundId)
{
    CWizardSheet* sheet = static_cast<CWizardSheet*>(page->GetSheet());
    sheet->EnableWizardButtons(buttons);
    page->SetWindowPos(nullptr, kPageLeft, kPageTop, kPageWidth, kPageHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    sheet->SetBackground(backgroundId);
    sheet->InvalidateCaption();
    page->Invalidate(TRUE);
}

void PaintWizardPage(CPropertyPage* page, int backgroundLeft)
{
    CPaintDC dc(page);
    PrintWizardPage(page, dc, backgroundLeft);
}

void PrintWizardPage(CPropertyPage* page, HDC dc, int backgroundLeft)
{
    const CWizardSheet* sheet = static_cast<const CWizardSheet*>(page->GetSheet());
    HDC memory = ::CreateCompatibleDC(dc);
    {
        CSelectGuard select(memory, sheet->GetBackground());
        ::BitBlt(dc, 0, 0, sheet->m_nBackgroundWidth, sheet->m_nBackgroundHeight, memory, backgroundLeft,
                 kBackgroundTop, SRCCOPY);
    }
    ::DeleteDC(memory);
}

void ClickDialogItem(CPropertyPage* page, int id)
{
    HWND item = page->GetDlgItemHwnd(id);
    if (!item)
        return;
    ::SendMessageA(item, WM_LBUTTONDOWN, 0, 0);
    ::SendMessageA(item, WM_LBUTTONUP, 0, 0);
}

HBRUSH WizardPageCtlColor(HDC dc, UINT ctlColor, HBRUSH base)
{
    if (ctlColor != CTLCOLOR_STATIC && ctlColor != CTLCOLOR_BTN)
        return base;
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, kPageTextColor);
    return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
}

std::vector<char> FileDialogFilter(const CString& text)
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
