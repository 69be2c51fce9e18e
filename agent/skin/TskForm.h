#pragma once
// A panel that gives the form it is placed on a skinned frame: the system caption goes, the
// panel's title bar takes its place, the side and bottom borders and the corners are painted in
// the style's colours and pictures, and the form's main menu shows as a menu bar under the title.
// The form's window is subclassed on top of the form layer's own procedure.
#include "ISkinThemed.h"
#include "TBitmap.h"
#include "TCustomEdit.h"
#include "TCustomPanel.h"
#include "TskTitleBar.h"

class TApplicationEvents;
class TCustomForm;
class TskMainMenu;
class TskMenuBar;

class TskForm : public TCustomPanel, public ISkinThemed {
public:
    explicit TskForm(TComponent* owner);
    ~TskForm() override;

    const char* ClassName() const override { return "TskForm"; }
    bool HasPublished(const char* name) const override;

    // Null for a second skinned form on one form: that one stays a plain panel.
    TCustomForm* HostForm() const { return m_host; }
    TskTitleBar* TitleBar() const { return m_titleBar; }
    TskMenuBar* MenuBar() const { return m_menuBar; }

    // The title bar's properties pass through to it; a plain panel has none of them.
    bool TitleBarCustom() const { return m_titleBar && m_titleBar->Custom(); }
    void SetTitleBarCustom(bool custom) { if (m_titleBar) m_titleBar->SetCustom(custom); }
    TskFileTheme* FileTheme() const override { return m_fileTheme; }
    void SetFileTheme(TskFileTheme* theme) override;
    TskUIStyle UIStyle() const override { return m_uiStyle; }
    void SetUIStyle(TskUIStyle style) override;
    bool UIStyleAutoUpdateSub() const { return m_autoUpdateSub; }
    void SetUIStyleAutoUpdateSub(bool update) { m_autoUpdateSub = update; }
    TColor BorderColor() const { return m_borderColor; }
    void SetBorderColor(TColor color);
    // The width of the frame's outer line (the panel itself has no border).
    int BorderWidth() const { return m_frameLineWidth; }
    void SetBorderWidth(int width);
    bool TitleBarVisible() const { return m_titleBar && m_titleBar->Visible(); }
    void SetTitleBarVisible(bool visible);
    void SetColor(TColor color) override;
    // The title, shown by the title bar and given to the form's window (a plain panel's own text).
    void SetCaption(const std::string& caption) override;
    const std::string& Caption() const { return m_titleBar ? m_titleBar->Caption() : m_caption; }
    TCustomPanel* FormPanel() const { return m_formPanel; }
    void SetFormPanel(TCustomPanel* panel);
    TskTitleBarButtons* TitleBarButtons() { return m_titleBar ? &m_titleBar->Buttons() : nullptr; }
    TskTitleBarSections* TitleBarSections() { return m_titleBar ? &m_titleBar->Sections() : nullptr; }
    bool TitleBarDrawAppIcon() const { return m_titleBar && m_titleBar->DrawAppIcon(); }
    void SetTitleBarDrawAppIcon(bool draw) { if (m_titleBar) m_titleBar->SetDrawAppIcon(draw); }
    TFont& TitleFont() { return m_titleBar ? m_titleBar->Font() : m_font; }
    TskMainMenu* Menu() const { return m_menu; }
    void SetMenu(TskMainMenu* menu);
    TColor MenuBarColor() const { return m_menuBarColor; }
    void SetMenuBarColor(TColor color);
    TColor MenuBarToColor() const { return m_menuBarToColor; }
    void SetMenuBarToColor(TColor color);
    int MenuBarHeight() const { return m_menuBarHeight; }
    void SetMenuBarHeight(int height);
    int RoundCorner() const { return TitleBarVisible() ? m_titleBar->RoundCorner() : 0; }
    void SetRoundCorner(int corner);
    int RoundCornerBottom() const { return TitleBarVisible() ? m_titleBar->RoundCornerBottom() : 0; }
    void SetRoundCornerBottom(int corner);
    std::string Version() const { return "6.21"; }
    void SetVersion(const std::string&) {}
    TColor InactiveCaptionColor() const
    {
        return m_titleBar ? m_titleBar->InactiveCaptionColor() : kSystemColorFlag | COLOR_INACTIVECAPTIONTEXT;
    }
    void SetInactiveCaptionColor(TColor color) { if (m_titleBar) m_titleBar->SetInactiveCaptionColor(color); }
    void SetOnTitleBarCustomBtnsClick(TTitleBarButtonEvent event)
    {
        if (m_titleBar)
            m_titleBar->OnCustomBtnsClick = std::move(event);
    }
    void SetOnTitleBarHelpBtnClick(TTitleBarButtonEvent event)
    {
        if (m_titleBar)
            m_titleBar->OnHelpBtnClick = std::move(event);
    }

    // The frame the form keeps outside its client area.
    int LeftBorder() const;
    int RightBorder() const;
    int BottomBorder() const;
    int TopBorder() const;

    void RebuildMenuBar();
    void RefreshMenuBar();
    void UpdateMenuBarFont();
    // Recomputes and repaints the frame, rebuilds the window region.
    void RefreshFrame();
    void PaintFrame();
    void RebuildRegion();
    // Alt+Space: the system menu at the form's left edge, under the title bar.
    void ShowSystemMenuFromKeyboard();

    void Notification(TComponent* component, TOperation operation) override;
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    void Paint() override;

private:
    static LRESULT CALLBACK HostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HostMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT CallHost(UINT message, WPARAM wParam, LPARAM lParam);
    void Subclass();
    void Unsubclass();
    void RemoveCaptionStyle();
    void MaximizedGeometry();
    void ApplicationMessage(MSG& msg, bool& handled);
    bool IsHostWindow(HWND window) const;
    void UpdateMinHeight();
    HRGN SkinRegion(int width, int height);
    // The skin's bottom border over `edge`, in one picture or in three parts as the skin says:
    // painted so, and so scanned for the window region.
    void DrawSkinBottomBorder(TCanvas& canvas, const RECT& edge);

    TCustomForm* m_host = nullptr;
    TskTitleBar* m_titleBar = nullptr;
    TskMenuBar* m_menuBar = nullptr;
    TskMainMenu* m_menu = nullptr;
    TCustomPanel* m_formPanel = nullptr;
    TApplicationEvents* m_appEvents = nullptr;
    TskFileTheme* m_fileTheme = nullptr;
    TskUIStyle m_uiStyle = Indigo;
    bool m_autoUpdateSub = false;
    TColor m_borderColor = clBlack;
    int m_frameLineWidth = 1;
    TColor m_menuBarColor = clBtnFace;
    TColor m_menuBarToColor = clBtnFace;
    int m_menuBarHeight = 22;
    TBitmap m_frame;
    WNDPROC m_savedProc = nullptr;
    HWND m_hostWindow = nullptr;
    int m_frameLeft = 4;                // the form's own frame as it was measured
    int m_frameBottom = 4;
    RECT m_restoreBounds = {0, 0, 0, 0};
    bool m_maximizedAtCreation = false;
    bool m_placingMaximized = false;
    TColor m_transparentColor = RGB(255, 0, 255);
    int m_skinLeft = 0;                 // border sizes and region limits from a skin file
    int m_skinRight = 0;
    int m_skinBottom = 0;
    bool m_titleNeedsRegion = false;
    bool m_bottomNeedsRegion = false;
    int m_titleRegionMin = 0;
    int m_titleRegionMax = 0;
    int m_bottomRegionMin = 0;
    int m_bottomRegionMax = 0;
    TBorderStyle m_formerBorderStyle = bsSizeable;
};
