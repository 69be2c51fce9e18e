#pragma once
// The caption strip of a skinned form: picture sections, the caption, caption buttons (maximise,
// minimise, close, help, control box, custom) and a small system menu. Dragging it moves the
// form. Inside a skinned form it continues the form's frame: its pictures are laid out wider by
// the form's border on both sides and taller by the form's top edge, and the part above and
// beside the strip is left to the form to draw.
#include "ISkinThemed.h"
#include "TCustomPanel.h"
#include "TskTitleBarButtons.h"
#include "TskTitleBarSections.h"

#include <functional>

class TskTitleBarPopupMenu;

// A skinned form answers this with its side border width.
constexpr UINT SKM_GETBORDERWIDTH = 9923;
// The form's top edge that the title pictures reach into.
constexpr int kTitleBarOverlap = 3;

using TTitleBarButtonEvent = std::function<void(TObject* titleBar, int buttonIndex)>;

class TskTitleBar : public TCustomPanel, public ISkinThemed {
public:
    explicit TskTitleBar(TComponent* owner);
    ~TskTitleBar() override;

    const char* ClassName() const override { return "TskTitleBar"; }
    bool HasPublished(const char* name) const override;

    bool Custom() const { return m_custom; }
    void SetCustom(bool custom) { m_custom = custom; }
    TskFileTheme* FileTheme() const override { return m_fileTheme; }
    void SetFileTheme(TskFileTheme* theme) override;
    TskUIStyle UIStyle() const override { return m_uiStyle; }
    void SetUIStyle(TskUIStyle style) override;
    void SetAutoSize(bool autoSize) override;
    // Takes its parent's reading order.
    void SetParent(TWinControl* parent) override;
    TskTitleBarSections& Sections() { return m_sections; }
    void SetSections(const TskTitleBarSections& sections) { m_sections.Assign(sections); }
    TskTitleBarButtons& Buttons() { return m_buttons; }
    void SetButtons(const TskTitleBarButtons& buttons) { m_buttons.Assign(buttons); }
    int ButtonInterval() const { return m_buttonInterval; }
    void SetButtonInterval(int interval);
    bool FormActive() const { return m_formActive; }
    void SetFormActive(bool active);
    int LeftBtnXOffset() const { return m_leftBtnXOffset; }
    void SetLeftBtnXOffset(int offset);
    int RightBtnXOffset() const { return m_rightBtnXOffset; }
    void SetRightBtnXOffset(int offset);
    bool DrawAppIcon() const { return m_drawAppIcon; }
    void SetDrawAppIcon(bool draw);
    int RoundCorner() const { return m_roundCorner; }
    void SetRoundCorner(int corner) { m_roundCorner = corner; }
    int RoundCornerBottom() const { return m_roundCornerBottom; }
    void SetRoundCornerBottom(int corner) { m_roundCornerBottom = corner; }
    TColor InactiveCaptionColor() const { return m_inactiveCaptionColor; }
    void SetInactiveCaptionColor(TColor color);
    TskTitleBarPopupMenu* SystemMenu() const { return m_systemMenu; }

    // The skinned form's two work pictures: -1 the title as laid out, -2 a plain background.
    TBitmap* WorkBitmap(int number);
    // Lays the strip out for its present size, so the work pictures fit it before it next paints.
    void PrepareWorkBitmaps();
    // The caption as last drawn (shortened to the room) and where it starts.
    const std::string& ShownCaption() const { return m_shownCaption; }
    int CaptionLeft() const { return m_captionLeft; }

    bool HasVisibleButton(TskTitleBarBtnType type) const;
    // What pressing a button does; the click events follow it for custom and help buttons.
    void ButtonAction(TskTitleBarButton* button);
    void MinimizeForm();
    void CloseForm();
    bool FormMaximized() const;
    // Opens the system menu at a screen point.
    void ShowSystemMenu(int x, int y);
    // Gives the maximise buttons the maximise or restore pictures the form's state asks for.
    void UpdateMaximizePictures();

    void Notification(TComponent* component, TOperation operation) override;
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    TTitleBarButtonEvent OnCustomBtnsClick;
    TTitleBarButtonEvent OnHelpBtnClick;

protected:
    void CreateParams(TCreateParams& params) override;
    void Paint() override;
    void Resized() override { Invalidate(); }
    void TextChanged() override { Invalidate(); }
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseLeave() override;
    void CancelMode() override;

private:
    void ApplyStyle(bool fromThemeFile);
    void BuildBuiltInSections(TskUIStyle style);
    void BuildSkinSections();
    void ApplyButtonPictures(TskTitleBarButton* button);
    void ApplyAutoSize();
    bool InSkinnedForm() const;
    int FormBorder() const;
    // Places sections, buttons and the caption for the strip's size, drawing the sections into
    // the first work picture.
    void Layout(TCanvas& canvas);
    int ButtonAt(int x, int y) const;
    TskTitleBarButton* ControlBox() const;
    void ClickButton(TskTitleBarButton* button);

    bool m_custom = false;
    TskFileTheme* m_fileTheme = nullptr;
    TskUIStyle m_uiStyle = Indigo;
    TskTitleBarSections m_sections;
    TskTitleBarButtons m_buttons;
    int m_buttonInterval = 0;
    bool m_formActive = true;
    int m_leftBtnXOffset = 0;
    int m_rightBtnXOffset = 0;
    bool m_drawAppIcon = true;
    int m_roundCorner = 0;
    int m_roundCornerBottom = 0;
    TColor m_inactiveCaptionColor;
    int m_captionTop = 2;
    TColor m_workColor = clBtnFace;
    TBitmap m_titlePicture;
    TBitmap m_background;
    TskTitleBarPopupMenu* m_systemMenu;
    std::string m_shownCaption;
    int m_captionLeft = 6;
    int m_hot = -1;                     // buttons by index: the collection may change under them
    int m_pressed = -1;
    bool m_maximized = false;           // maximised by this bar (outside a skinned form)
    RECT m_restoreBounds = {0, 0, 0, 0};
};
