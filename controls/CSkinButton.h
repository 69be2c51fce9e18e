#pragma once
// An owner-drawn button painted from bitmap sets: four state images (normal, hover, pressed,
// disabled) for the unchecked look and four for the checked look, white being transparent. It
// keeps its own check state for check boxes and radio buttons (an owner-drawn button has none),
// tracks the mouse for the hover image and turns double-clicks into single presses. Further looks
// (icons, colours, a pop-up menu, a web link, sounds, a cursor) are there for owners that switch
// them on. The look is always the flat one: hover tracked whether or not the window is active, and
// no focus rectangle.
#include <windows.h>

#include <commctrl.h>

#include "CBitmap.h"
#include "CButton.h"
#include "CButtonMenu.h"
#include "CSharedBitmaps.h"
#include "CToolTipCtrl.h"

class CSkinButton : public CButton {
public:
    // Results of SetBitmaps / SetCheckedBitmaps.
    static constexpr int kBitmapsDone = 0;
    static constexpr int kBitmapLoadFailed = 1;
    static constexpr int kMaskFailed = 2;
    // State indexes of a bitmap set.
    enum StateIndex { kStateNormal = 0, kStateHover = 1, kStatePressed = 2, kStateDisabled = 3, kStateCount = 4 };
    // The six colours.
    enum ColorIndex {
        kColorBackHover = 0,     // hover or pressed
        kColorTextHover,
        kColorBackNormal,
        kColorTextNormal,
        kColorBackFocus,
        kColorTextFocus,
        kColorCount
    };
    static constexpr COLORREF kTransparentColor = 0x00FFFFFF;
    static constexpr int kImageOriginX = 3;
    static constexpr int kImageOriginY = 3;
    static constexpr int kTextOffset = 3;
    static constexpr int kToolTipMaxWidth = 400;
    static constexpr UINT kMenuTrackFlags = TPM_LEFTBUTTON | TPM_RIGHTBUTTON | TPM_NONOTIFY | TPM_RETURNCMD;
    static constexpr int kTextMax = 260;
    // The dialog-code bits the button adds.
    static constexpr LRESULT kDlgCodeDefault = DLGC_DEFPUSHBUTTON;
    static constexpr LRESULT kDlgCodeNotDefault = DLGC_UNDEFPUSHBUTTON;
    static constexpr LRESULT kDlgCodeRadio = DLGC_RADIOBUTTON;
    // Style bits read at attach: the kind of button and its type field.
    static constexpr DWORD kCheckBoxBit = 0x2;
    static constexpr DWORD kRadioBit = 0x4;
    static constexpr DWORD kTypeMask = 0x1F;
    static constexpr DWORD kSetStyleKeepMask = ~static_cast<DWORD>(0x14);

    // One image of a set with its mask, held through CSharedBitmaps (buttons showing the same
    // resource share one copy); an entry that repeats the normal one is marked shared.
    struct BitmapEntry {
        HBITMAP image = nullptr;
        DWORD width = 0;
        DWORD height = 0;
        HBITMAP mask = nullptr;
        COLORREF transparent = kTransparentColor;
        bool shared = false;
    };
    struct IconEntry {
        HICON icon = nullptr;
        DWORD width = 0;
        DWORD height = 0;
    };

    // PlaySound, replaceable so that a test can see the calls.
    typedef BOOL(WINAPI* PlaySoundFn)(LPCSTR sound, HMODULE module, DWORD flags);
    static void SetPlaySound(PlaySoundFn play);

    CSkinButton();
    ~CSkinButton() override;

    int SetBitmaps(UINT normal, UINT hover = 0, UINT pressed = 0, UINT disabled = 0);
    int SetCheckedBitmaps(UINT normal, UINT hover = 0, UINT pressed = 0, UINT disabled = 0);
    int SetCheck(int check, BOOL repaint = TRUE);
    int GetCheck() const { return m_bChecked ? 1 : 0; }
    int SetDrawBorder(BOOL enable = TRUE, BOOL repaint = TRUE);
    void SetTransparentMode(BOOL repaint = TRUE);

    // Two icons: the one for hover or pressed, the one otherwise; the button takes them over.
    void SetIcons(HICON hoverOrPressed, HICON normal);
    void SetColor(int index, COLORREF color, BOOL repaint = TRUE);
    COLORREF GetColor(int index) const;
    void ResetColors(BOOL repaint = TRUE);
    // A pop-up menu (its first sub-menu is shown); chosen commands are posted to `commandWindow`.
    BOOL SetMenu(UINT menuId, HWND commandWindow, BOOL repaint = TRUE);
    void SetMenuCallback(HWND window, UINT message, LPARAM lParam = 0);
    void SetURL(const char* url);
    void SetSound(const char* sound, HMODULE module = nullptr, BOOL hover = TRUE, DWORD flags = 0);
    void SetBtnCursor(HCURSOR cursor);

    // What the button knows of itself.
    BOOL IsCheckBox() const { return m_bIsCheckBox; }
    BOOL IsRadio() const { return m_bIsRadio; }
    BOOL IsDefault() const { return m_bIsDefault; }
    BOOL IsHovering() const { return m_bMouseOnButton; }
    BOOL IsTransparent() const { return m_bDrawTransparent; }
    const BitmapEntry& GetBitmapEntry(bool checkedSet, int state) const
    {
        return checkedSet ? m_checked[state] : m_unchecked[state];
    }
    CButtonMenu& GetMenu() { return m_menu; }
    CToolTipCtrl& GetToolTip() { return m_toolTip; }
    // Whether the last transparent paint took its background from the parent's own painting.
    BOOL BackgroundFromParent() const { return m_bBackgroundFromParent; }

    // The state index drawn for these flags, and whether the checked set is used.
    static int StateIndexFor(BOOL pressed, BOOL hovering, BOOL disabled);
    static bool UsesCheckedSet(BOOL checkBox, BOOL radio, BOOL checked) { return (checkBox || radio) && checked; }
    // A mask that is 1 where the image has `transparent`; those pixels of the image become black.
    static HBITMAP MakeMask(HBITMAP image, DWORD width, DWORD height, COLORREF transparent);

    void DrawItem(LPDRAWITEMSTRUCT drawItem) override;
    BOOL PreTranslateMessage(MSG* msg) override;

protected:
    void PreSubclassWindow() override;
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

    virtual void DrawBackground(CDC* dc, const CRect& rect);
    virtual void DrawBorder(CDC* dc, const CRect& rect);
    virtual void DrawIcon(CDC* dc, BOOL hasTitle, const CRect& itemRect, CRect& captionRect);
    virtual void DrawBitmap(CDC* dc, BOOL hasTitle, const CRect& itemRect, CRect& captionRect);
    virtual void DrawText(CDC* dc, const CString& title, CRect& captionRect);

    // The click the parent reflects; FALSE lets the parent hear it as well.
    BOOL OnClicked();

    void OnLButtonDown(UINT flags, CPoint point);
    void OnMouseMove(UINT flags, CPoint point);
    void OnMouseLeave();
    void OnCancelMode();
    LRESULT OnKillFocus(WPARAM wParam, LPARAM lParam);
    LRESULT OnActivate(WPARAM wParam, LPARAM lParam);
    LRESULT OnEnable(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetDlgCode(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetStyle(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetCheck(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetCheck(WPARAM wParam, LPARAM lParam);
    LRESULT OnSysColorChange(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetCursor(WPARAM wParam, LPARAM lParam);
    LRESULT OnMenuChar(WPARAM wParam, LPARAM lParam);
    LRESULT OnMeasureItem(WPARAM wParam, LPARAM lParam);
    LRESULT OnDrawItem(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    int LoadSet(BitmapEntry (&set)[kStateCount], const UINT (&ids)[kStateCount]);
    static int LoadFace(HINSTANCE module, UINT id, COLORREF transparent, CSharedBitmaps::Face& face);
    static void FreeSet(BitmapEntry (&set)[kStateCount]);
    void FreeIcons();
    void EndHover();
    void PaintBackgroundCopy(CDC* dc);
    bool CopyParentPainting(HWND parent, const CRect& inParent);
    void ReleaseBackgroundCopy();
    void PlayOne(const char* sound, HMODULE module, DWORD flags) const;
    void InitToolTip();

    BOOL m_bMouseOnButton = FALSE;
    BOOL m_bDrawTransparent = FALSE;
    BOOL m_bIsPressed = FALSE;
    BOOL m_bIsFocused = FALSE;
    BOOL m_bIsDisabled = FALSE;
    BOOL m_bIsDefault = FALSE;
    BOOL m_bIsCheckBox = FALSE;
    BOOL m_bIsRadio = FALSE;
    BOOL m_bChecked = FALSE;
    BOOL m_bDrawBorder = TRUE;
    CPoint m_ptImageOrg{kImageOriginX, kImageOriginY};
    BitmapEntry m_unchecked[kStateCount];
    BitmapEntry m_checked[kStateCount];
    CDC m_dcBk;
    CBitmap m_bmpBk;
    HGDIOBJ m_pbmpOldBk = nullptr;
    BOOL m_bBackgroundFromParent = FALSE;

    IconEntry m_icons[2];
    COLORREF m_crColors[kColorCount] = {};
    CButtonMenu m_menu;
    HWND m_hParentWndMenu = nullptr;
    BOOL m_bMenuDisplayed = FALSE;
    HWND m_hCallbackWnd = nullptr;
    UINT m_nCallbackMsg = 0;
    LPARAM m_lCallbackParam = 0;
    char m_szURL[kTextMax] = "";
    struct Sound {
        char name[kTextMax] = "";
        HMODULE module = nullptr;
        DWORD flags = 0;
    };
    Sound m_hoverSound;
    Sound m_clickSound;
    CToolTipCtrl m_toolTip;
    DWORD m_dwToolTipStyle = 0;
    HCURSOR m_hCursor = nullptr;
};
