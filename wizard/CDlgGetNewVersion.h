#pragma once
// The notice that a newer version of the product is out: a borderless bitmap dialog with the
// newest version, a tip, and buttons to close it or open the download page. Dragged only by its
// top band.
#include "CBitmap.h"
#include "CDialog.h"
#include "CFont.h"
#include "CHotBtn.h"
#include "CTransparentStatic.h"

class CDlgGetNewVersion : public CDialog {
public:
    // The band at the top the dialog is dragged by: y from 0 to this value.
    static constexpr int kDragBandBottom = 30;

    explicit CDlgGetNewVersion(CWnd* owner);

    BOOL OnInitDialog() override;

    CString m_strNewestVersion;
    CString m_strDownloadAddress;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    void OnBtnCancel();
    void OnBtnUpdate();
    void OnLButtonDown(UINT flags, CPoint point);
    void OnPaint();
    LRESULT OnPrintClient(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    CBitmap m_background;
    int m_nWidth = 0;
    int m_nHeight = 0;
    CFont m_fontTitle;
    CHotBtn m_btnClose;
    CHotBtn m_btnCancel;
    CHotBtn m_btnUpdate;
    CTransparentStatic m_lblTitle;
    CTransparentStatic m_lblHeadline;
    CTransparentStatic m_lblTip;
    // The button faces belong to the dialog; the buttons only borrow them.
    CBitmap m_closeFaces[4];
    CBitmap m_buttonFaces[4];
};

class CUpdateCheck;
struct UpdateInfo;

// Posted by the new-version check to the window that started it, once its query has ended in time.
constexpr UINT WM_NEWVERSION_ANSWER = WM_APP + 1;

// Starts asking [Product] "UpdateUrl" for the newest version; `answerTo` hears of the answer by
// WM_NEWVERSION_ANSWER. False, and no query, when the address is missing.
bool StartNewVersionCheck(CUpdateCheck& check, HWND answerTo);
// When `newest` is newer than [frmAbout] "VersionNumber", shows the notice over `owner`. Shows
// nothing when the running version is missing. Returns the dialog's result, or -1 when it was not
// shown.
int CheckForNewVersion(CWnd* owner, const UpdateInfo& newest);
