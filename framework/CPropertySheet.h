#pragma once
// Our own property sheet in wizard form: no system buttons and no comctl32 sheet under it, pages
// as child dialogs made on their first activation, navigation through PSM_PRESSBUTTON handled
// synchronously, and the hidden tab control a sheet always has.
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <vector>

#include "CDialog.h"
#include "CPropertyPage.h"

// The modal results and button ids a wizard has always had.
#ifndef ID_WIZBACK
constexpr int ID_WIZBACK = 0x3023;
constexpr int ID_WIZNEXT = 0x3024;
constexpr int ID_WIZFINISH = 0x3025;
#endif

class CPropertySheet : public CDialog {
public:
    CPropertySheet(const char* caption, CWnd* parent = nullptr, UINT selectPage = 0);
    ~CPropertySheet() override;

    void AddPage(CPropertyPage* page);
    void RemovePage(CPropertyPage* page);
    void RemovePage(int index);
    int GetPageCount() const { return static_cast<int>(m_pages.size()); }
    CPropertyPage* GetPage(int index) const;
    CPropertyPage* GetActivePage() const;
    int GetActiveIndex() const { return m_active; }
    int GetPageIndex(const CPropertyPage* page) const;
    BOOL SetActivePage(int index);
    BOOL SetActivePage(CPropertyPage* page) { return SetActivePage(GetPageIndex(page)); }

    BOOL PressButton(int button);           // PSBTN_*; returns when the step is done
    void SetTitle(const char* text, UINT style = 0);
    CWnd* GetTabControl() const;
    void SetWizardMode() { m_psh.dwFlags |= PSH_WIZARD; }

    INT_PTR DoModal() override;
    BOOL OnInitDialog() override;

    PROPSHEETHEADERA m_psh;                 // only dwFlags is read (PSH_WIZARD, PSH_NOAPPLYNOW)
    CString m_strCaption;

protected:
    bool LoadDialogTemplate(std::vector<BYTE>& storage) override;
    void OnOK() override;
    void OnCancel() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // Where a page sits in the sheet's client area.
    virtual CRect GetPageRect() const;

private:
    void DoNext();
    void DoBack();
    void DoFinish();
    void DoCancel();
    void InsertTab(int index);

    std::vector<CPropertyPage*> m_pages;
    int m_active = -1;
    UINT m_startPage;
    CWnd m_tab;
};
