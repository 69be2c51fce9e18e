#pragma once
// The wizard window: a borderless, round-cornered property sheet in wizard form whose caption,
// frame and buttons are all drawn by the program. It owns the four pages, shows page 1 first,
// applies the command-line verb and starts Lumetta when none was given.
#include "CBitmap.h"
#include "CBrush.h"
#include "CFont.h"
#include "CHotBtn.h"
#include "CPropertySheet.h"
#include "CStep1.h"
#include "CStep2.h"
#include "CStep3.h"
#include "CStep4.h"
#include "CTransparentStatic.h"

// Flags of EnableWizardButtons.
constexpr DWORD kWizardBack = 0x1;            // Back enabled
constexpr DWORD kWizardNext = 0x2;            // Next shown and enabled
constexpr DWORD kWizardFinish = 0x4;          // Finish shown and enabled
constexpr DWORD kWizardFinishDisabled = 0x8;  // Finish shown, disabled

class CWizardSheet : public CPropertySheet {
public:
    CWizardSheet(const char* caption, CWnd* parent = nullptr, UINT selectPage = 0);
    ~CWizardSheet() override;

    BOOL OnInitDialog() override;
    void UpdateTitle();
    void ProcessCommandLine();
    void EnableWizardButtons(DWORD flags);
    void SetBackground(UINT bitmapId);
    void InvalidateCaption();

    HBITMAP GetBackground() const { return m_background; }

    CStep1 m_step1;
    CStep2 m_step2;
    CStep3 m_step3;
    CStep4 m_step4;

    CHotBtn m_btnNext;
    CHotBtn m_btnBack;
    CHotBtn m_btnFinish;
    CHotBtn m_btnCancel;
    CHotBtn m_btnHelp;
    CHotBtn m_btnClose;
    CHotBtn m_btnMinimize;

    int m_nBackgroundWidth = 0;
    int m_nBackgroundHeight = 0;

protected:
    void OnBtnNext();
    void OnBtnBack();
    void OnBtnCancel();
    void OnBtnFinish();
    void OnBtnClose();
    void OnBtnMinimize();
    void OnHelp();
    void OnFeedback();
    void OnHistory();
    void OnWindowPosChanging(WINDOWPOS* pos);
    void OnPaint();
    LRESULT OnPrintClient(WPARAM wParam, LPARAM lParam);
    void OnLButtonDown(UINT flags, CPoint point);
    HBRUSH OnCtlColor(CDC* dc, CWnd* wnd, UINT ctlColor);
    void OnTimer(UINT_PTR id);
    void OnDestroy();
    DECLARE_MESSAGE_MAP()

private:
    // Lumetta is started once the wizard has painted; a wizard closed before then starts it as it
    // goes, so that every start without a verb starts it.
    void StartLumettaSoon();
    void StartLumetta();
    void OpenHelpPageFallback();
    void CreateNavigationButton(CHotBtn& button, UINT id, const char* key, const CRect& rect, DWORD extraStyle);

    CBitmap m_background;
    CBrush m_brushWhite;
    CBrush m_brushDark;
    CTransparentStatic m_lblTitle;
    CTransparentStatic m_lblFeedback;
    CTransparentStatic m_lblHistory;
    CFont m_fontCaption;
    bool m_lumettaDue = false;

    // The button faces belong to the sheet; the buttons only borrow them.
    CBitmap m_buttonFaces[4];
    CBitmap m_closeFaces[4];
    CBitmap m_minimizeFaces[4];
};
