#pragma once
// Lumetta's main window: a dialog nobody sees. It owns the tray icon and its popup menu, greys the
// disk commands while Brixom runs, starts Brixom with a verb for the chosen command, switches
// Lumetta's start at log-on and keeps the USB drive count up to date. It ends only through the
// menu's Exit or a WM_CLOSE.
#include "CDialog.h"
#include "CDrawMenu.h"

#include "CTrayIcon.h"
#include "UsbCount.h"

class CDlgAbout;

class CLumettaDlg : public CDialog {
public:
    CLumettaDlg();
    ~CLumettaDlg() override;

    // Enabling before the menu shows: the disk commands greyed while Brixom runs, the dismount
    // command also while no disk is mounted; the check mark read again from the registry.
    void UpdateMenuState(BOOL mainProgramAbsent);
    CDrawMenu& Menu() { return m_menu; }
    CDlgAbout* AboutBox() const { return m_pAboutDlg; }
    BOOL IsAutoStartShown() const { return m_bAutoStart; }

    BOOL PreCreateWindow(CREATESTRUCTA& cs) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    BOOL OnInitDialog() override;
    // Enter and Esc reaching the hidden window do not end Lumetta.
    void OnOK() override;
    void OnCancel() override;

    void OnSysCommand(UINT id, LPARAM lParam);
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    LRESULT OnTrayNotify(WPARAM wParam, LPARAM lParam);
    void OnClose();
    void OnSize(UINT type, int cx, int cy);
    void OnWindowPosChanging(WINDOWPOS* pos);
    void OnTimer(UINT_PTR id);
    void OnMeasureItem(int id, LPMEASUREITEMSTRUCT measure);

    void OnExit();
    void OnUnmount();
    void OnMakeOnHdd();
    void OnMakeOnUsb();
    void OnMountHdd();
    void OnMountUsb();
    void OnMountHiddenHdd();
    void OnAutoStartup();
    void OnAbout();
    DECLARE_MESSAGE_MAP()

private:
    void BuildTrayMenu();
    void ShowNoUsbMessage();

    HICON m_hIcon = nullptr;
    CTrayIcon* m_pTrayIcon = nullptr;
    CDlgAbout* m_pAboutDlg = nullptr;
    BOOL m_bAutoStart = FALSE;
    CDrawMenu m_menu;
    // The USB drive count, read where the workers store it: it outlives the dialog, as they may.
    const volatile LONG& m_nUsbCount = g_nUsbDiskCount;
};
