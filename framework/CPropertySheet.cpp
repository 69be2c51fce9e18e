#include "CPropertySheet.h"

#include <dbt.h>

#include "CWinApp.h"
#include "DialogTemplate.h"

namespace {

// Margin round the pages of a sheet, in dialog units.
constexpr int kSheetMargin = 7;
constexpr UINT kTabControlId = 0x3020;     // the id a sheet's tab control has always had

}  // namespace

CPropertySheet::CPropertySheet(const char* caption, CWnd* parent, UINT selectPage)
    : CDialog(0, parent), m_psh(), m_strCaption(caption), m_startPage(selectPage)
{
    m_psh.dwSize = sizeof m_psh;
    m_psh.dwFlags = PSH_PROPSHEETPAGE;
    m_psh.pszCaption = m_strCaption;
    m_psh.nStartPage = selectPage;
}

CPropertySheet::~CPropertySheet()
{
    if (m_hWnd)
        DestroyWindow();
}

CPropertyPage* CPropertySheet::GetPage(int index) const
{
    return index >= 0 && index < GetPageCount() ? m_pages[static_cast<size_t>(index)] : nullptr;
}

CPropertyPage* CPropertySheet::GetActivePage() const
{
    return GetPage(m_active);
}

int CPropertySheet::GetPageIndex(const CPropertyPage* page) const
{
    for (int i = 0; i < GetPageCount(); ++i) {
        if (m_pages[static_cast<size_t>(i)] == page)
            return i;
    }
    return -1;
}

void CPropertySheet::InsertTab(int index)
{
    if (!m_tab.m_hWnd)
        return;
    TCITEMA item = {};
    item.mask = TCIF_TEXT;
    char text[] = "";
    item.pszText = text;
    ::SendMessageA(m_tab.m_hWnd, TCM_INSERTITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
}

void CPropertySheet::AddPage(CPropertyPage* page)
{
    if (!page || GetPageIndex(page) >= 0)
        return;
    page->m_pSheet = this;
    m_pages.push_back(page);
    InsertTab(GetPageCount() - 1);
}

void CPropertySheet::RemovePage(CPropertyPage* page)
{
    RemovePage(GetPageIndex(page));
}

void CPropertySheet::RemovePage(int index)
{
    CPropertyPage* page = GetPage(index);
    if (!page)
        return;
    const bool wasActive = index == m_active;
    if (page->m_hWnd)
        page->DestroyWindow();
    m_pages.erase(m_pages.begin() + index);
    if (m_tab.m_hWnd)
        ::SendMessageA(m_tab.m_hWnd, TCM_DELETEITEM, static_cast<WPARAM>(index), 0);
    if (index < m_active) {
        --m_active;
    } else if (wasActive) {
        m_active = -1;
        if (m_hWnd && GetPageCount() > 0)
            SetActivePage(index > 0 ? index - 1 : 0);
    }
}

CRect CPropertySheet::GetPageRect() const
{
    CRect rect(kSheetMargin, kSheetMargin, kSheetMargin, kSheetMargin);
    ::MapDialogRect(m_hWnd, &rect);
    return CRect(rect.left, rect.top, rect.left, rect.top);
}

BOOL CPropertySheet::SetActivePage(int index)
{
    CPropertyPage* next = GetPage(index);
    if (!next)
        return FALSE;
    if (!m_hWnd) {
        m_startPage = static_cast<UINT>(index);
        return TRUE;
    }
    CPropertyPage* current = GetActivePage();
    if (current && current != next && current->m_hWnd && !current->OnKillActive())
        return FALSE;
    if (!next->m_hWnd) {
        if (!next->CreatePage(this))
            return FALSE;
        const CRect at = GetPageRect();
        ::SetWindowPos(next->m_hWnd, nullptr, at.left, at.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    // The page may have been removed meanwhile by its own initialisation.
    index = GetPageIndex(next);
    if (index < 0)
        return FALSE;
    const int previous = m_active;
    m_active = index;
    if (!next->OnSetActive()) {
        m_active = previous;
        return FALSE;
    }
    if (next->m_hWnd)
        ::ShowWindow(next->m_hWnd, SW_SHOW);
    if (current && current != next && current->m_hWnd)
        ::ShowWindow(current->m_hWnd, SW_HIDE);
    if (m_tab.m_hWnd)
        ::SendMessageA(m_tab.m_hWnd, TCM_SETCURSEL, static_cast<WPARAM>(m_active), 0);
    return TRUE;
}

void CPropertySheet::DoNext()
{
    CPropertyPage* page = GetActivePage();
    const LRESULT go = page ? page->OnWizardNext() : 0;
    if (go == -1)
        return;
    int target = go == 0 ? GetPageIndex(page) + 1 : -1;
    for (int i = 0; go != 0 && i < GetPageCount(); ++i) {
        if (m_pages[static_cast<size_t>(i)]->GetTemplateId() == static_cast<UINT>(go))
            target = i;
    }
    SetActivePage(target);
}

void CPropertySheet::DoBack()
{
    CPropertyPage* page = GetActivePage();
    const LRESULT go = page ? page->OnWizardBack() : 0;
    if (go == -1)
        return;
    int target = go == 0 ? GetPageIndex(page) - 1 : -1;
    for (int i = 0; go != 0 && i < GetPageCount(); ++i) {
        if (m_pages[static_cast<size_t>(i)]->GetTemplateId() == static_cast<UINT>(go))
            target = i;
    }
    SetActivePage(target);
}

void CPropertySheet::DoFinish()
{
    CPropertyPage* page = GetActivePage();
    if (page && !page->OnWizardFinish())
        return;
    EndDialog(ID_WIZFINISH);
}

void CPropertySheet::DoCancel()
{
    CPropertyPage* page = GetActivePage();
    if (page && page->m_hWnd && !page->OnQueryCancel())
        return;
    // A copy: a page's cancel handling may change the list.
    const std::vector<CPropertyPage*> pages = m_pages;
    for (CPropertyPage* each : pages) {
        if (each->m_hWnd)
            each->OnCancel();
    }
    EndDialog(IDCANCEL);
}

BOOL CPropertySheet::PressButton(int button)
{
    return static_cast<BOOL>(SendMessage(PSM_PRESSBUTTON, static_cast<WPARAM>(button), 0));
}

void CPropertySheet::SetTitle(const char* text, UINT style)
{
    if (m_hWnd) {
        SendMessage(PSM_SETTITLEA, style, reinterpret_cast<LPARAM>(text));
    } else {
        m_strCaption = text;
        m_psh.pszCaption = m_strCaption;
    }
}

CWnd* CPropertySheet::GetTabControl() const
{
    return CWnd::FromHandle(reinterpret_cast<HWND>(SendMessage(PSM_GETTABCONTROL)));
}

LRESULT CPropertySheet::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case PSM_PRESSBUTTON:
        switch (wParam) {
        case PSBTN_NEXT:
            DoNext();
            break;
        case PSBTN_BACK:
            DoBack();
            break;
        case PSBTN_FINISH:
            DoFinish();
            break;
        case PSBTN_CANCEL:
            DoCancel();
            break;
        default:
            return FALSE;
        }
        return TRUE;
    case PSM_SETTITLEA: {
        // An id in place of the text names a string resource; told apart by the resource-id test,
        // since a 64-bit pointer may have a zero second word.
        char loaded[256] = "";
        if (IS_INTRESOURCE(lParam) && lParam)
            ::LoadStringA(AfxGetResourceHandle(), static_cast<UINT>(lParam), loaded, sizeof loaded);
        CString title = IS_INTRESOURCE(lParam) ? loaded : reinterpret_cast<const char*>(lParam);
        if (wParam & PSH_PROPTITLE)
            title = CString("Properties for ") + title;
        m_strCaption = title;
        ::SetWindowTextA(m_hWnd, title);
        return TRUE;
    }
    case PSM_GETTABCONTROL:
        return reinterpret_cast<LRESULT>(m_tab.m_hWnd);
    case PSM_GETCURRENTPAGEHWND: {
        CPropertyPage* page = GetActivePage();
        return reinterpret_cast<LRESULT>(page ? page->m_hWnd : nullptr);
    }
    case PSM_SETCURSEL:
        return SetActivePage(static_cast<int>(wParam));
    case WM_CLOSE:
        // Closing the window is a cancel: every page hears it before the sheet ends.
        DoCancel();
        return 0;
    case WM_DEVICECHANGE: {
        CPropertyPage* page = GetActivePage();
        LRESULT pageResult = TRUE;
        if (page && page->m_hWnd)
            pageResult = ::SendMessageA(page->m_hWnd, WM_DEVICECHANGE, wParam, lParam);
        CDialog::WindowProc(message, wParam, lParam);
        return pageResult;
    }
    default:
        return CDialog::WindowProc(message, wParam, lParam);
    }
}

BOOL CPropertySheet::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (CWnd::OnCommand(wParam, lParam))
        return TRUE;
    if (LOWORD(wParam) == IDCANCEL && HIWORD(wParam) == BN_CLICKED) {
        DoCancel();
        return TRUE;
    }
    // Enter (IDOK) does nothing: only the sheet's own buttons move the wizard.
    return LOWORD(wParam) == IDOK;
}

void CPropertySheet::OnOK()
{
}

void CPropertySheet::OnCancel()
{
    DoCancel();
}

bool CPropertySheet::LoadDialogTemplate(std::vector<BYTE>& storage)
{
    // Large enough for the largest page, in dialog units.
    int cx = 0, cy = 0;
    for (CPropertyPage* page : m_pages) {
        std::vector<BYTE> pageTemplate;
        if (page->CDialog::LoadDialogTemplate(pageTemplate)) {
            const DialogTemplateInfo info = ReadDialogTemplateInfo(pageTemplate.data(), pageTemplate.size());
            cx = info.cx > cx ? info.cx : cx;
            cy = info.cy > cy ? info.cy : cy;
        }
    }
    DialogTemplateBuilder builder(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_3DLOOK | DS_SETFONT,
                                  WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, 0, 0,
                                  static_cast<short>(cx + 2 * kSheetMargin), static_cast<short>(cy + 2 * kSheetMargin),
                                  m_strCaption, 8, "MS Shell Dlg");
    storage = builder.Bytes();
    return true;
}

BOOL CPropertySheet::OnInitDialog()
{
    // The tab control a sheet always has; a wizard never shows it.
    const bool wizard = (m_psh.dwFlags & PSH_WIZARD) != 0;
    CRect client;
    GetClientRect(&client);
    m_tab.CreateEx(0, WC_TABCONTROLA, "", WS_CHILD | WS_CLIPSIBLINGS | (wizard ? 0 : WS_VISIBLE), client, this,
                   kTabControlId);
    for (int i = 0; i < GetPageCount(); ++i)
        InsertTab(i);
    const int start = static_cast<int>(m_startPage) < GetPageCount() ? static_cast<int>(m_startPage) : 0;
    SetActivePage(start);
    return TRUE;
}

INT_PTR CPropertySheet::DoModal()
{
    m_active = -1;
    return CDialog::DoModal();
}
