#pragma once
// A visual element of a form: bounds inside its parent, visibility, enabling, caption, font and
// colour, alignment, mouse events, and the notifications the form layer sends to its controls
// (mouse enter and leave, cancel mode, enabled/font/text changed, dialog keys and characters,
// focus changes in the form).
#include "Colors.h"
#include "Events.h"
#include "TComponent.h"
#include "TFont.h"

#include <string>

class TWinControl;
class TCustomForm;
class TPopupMenu;

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TBiDiMode { bdLeftToRight, bdRightToLeft };

// Whether the system's locale reads right to left: only there is a right-to-left control laid
// out so.
inline bool SystemReadsRightToLeft()
{
    LANGID lang = PRIMARYLANGID(GetSystemDefaultLangID());
    return lang == LANG_ARABIC || lang == LANG_HEBREW || lang == LANG_FARSI || lang == LANG_URDU;
}

class TControl : public TComponent {
public:
    explicit TControl(TComponent* owner);
    ~TControl() override;

    const char* ClassName() const override { return "TControl"; }
    bool HasPublished(const char* name) const override;

    TWinControl* Parent() const { return m_parent; }
    virtual void SetParent(TWinControl* parent);
    virtual bool IsWindowed() const { return false; }

    int Left() const { return m_left; }
    int Top() const { return m_top; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    void SetLeft(int v) { SetBounds(v, m_top, m_width, m_height); }
    void SetTop(int v) { SetBounds(m_left, v, m_width, m_height); }
    void SetWidth(int v) { SetBounds(m_left, m_top, v, m_height); }
    void SetHeight(int v) { SetBounds(m_left, m_top, m_width, v); }
    virtual void SetBounds(int left, int top, int width, int height);
    RECT BoundsRect() const { return RECT{m_left, m_top, m_left + m_width, m_top + m_height}; }
    virtual RECT ClientRect() const { return RECT{0, 0, m_width, m_height}; }
    int ClientWidth() const { RECT r = ClientRect(); return r.right - r.left; }
    int ClientHeight() const { RECT r = ClientRect(); return r.bottom - r.top; }

    bool Visible() const { return m_visible; }
    virtual void SetVisible(bool visible);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    bool Enabled() const { return m_enabled; }
    virtual void SetEnabled(bool enabled);

    const std::string& Caption() const { return m_caption; }
    virtual void SetCaption(const std::string& caption);
    virtual std::string Text() const { return m_caption; }
    virtual void SetText(const std::string& text) { SetCaption(text); }

    TFont& Font() { return m_font; }
    bool ParentFont() const { return m_parentFont; }
    void SetParentFont(bool parentFont);
    TColor Color() const { return m_color; }
    virtual void SetColor(TColor color);

    TAlign Align() const { return m_align; }
    virtual void SetAlign(TAlign align);
    bool AutoSize() const { return m_autoSize; }
    virtual void SetAutoSize(bool autoSize) { m_autoSize = autoSize; }
    const std::string& Hint() const { return m_hint; }
    void SetHint(const std::string& hint) { m_hint = hint; }
    bool ShowHint() const { return m_showHint; }
    void SetShowHint(bool show) { m_showHint = show; }
    TPopupMenu* PopupMenu() const { return m_popupMenu; }
    void SetPopupMenu(TPopupMenu* menu);
    TBiDiMode BiDiMode() const { return m_biDiMode; }
    void SetBiDiMode(TBiDiMode mode) { m_biDiMode = mode; }
    // Right-to-left drawing happens only for a right-to-left control on a right-to-left system.
    bool UseRightToLeftLayout() const;

    virtual void Invalidate();
    void Repaint();

    virtual void Click();
    virtual void DblClick();
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseMove(TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);

    // Notifications of the form layer.
    virtual void MouseEnter() {}
    virtual void MouseLeave() {}
    virtual void CancelMode() {}
    virtual void EnabledChanged() {}
    virtual void FontChanged() { Invalidate(); }
    virtual void TextChanged() {}
    virtual void ParentFontChanged();
    // Enter / Escape before the form handles them; true when handled.
    virtual bool DialogKey(WORD /*key*/, TShiftState /*shift*/) { return false; }
    // A character that may be an accelerator; true when handled.
    virtual bool DialogChar(char /*ch*/, TShiftState /*shift*/) { return false; }
    // The focus moved to `focused` (may be null) somewhere in this control's form.
    virtual void FocusChanged(TWinControl* /*focused*/) {}

    // The form this control sits on, following parents up; null when none.
    TCustomForm* ParentForm() const;
    // Whether `ch` is the letter after the single "&" of `caption` (case-insensitive).
    static bool IsAccelerator(char ch, const std::string& caption);

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseUp;

protected:
    friend class TWinControl;

    // Called after the bounds changed.
    virtual void Resized() {}
    virtual void VisibleChanged();
    void ApplyParentFont();

    TWinControl* m_parent = nullptr;
    int m_left = 0;
    int m_top = 0;
    int m_width = 0;
    int m_height = 0;
    bool m_visible = true;
    bool m_enabled = true;
    std::string m_caption;
    TFont m_font;
    bool m_parentFont = true;
    bool m_takingParentFont = false;
    TColor m_color = clBtnFace;
    TAlign m_align = alNone;
    bool m_autoSize = false;
    std::string m_hint;
    bool m_showHint = false;
    TPopupMenu* m_popupMenu = nullptr;
    TBiDiMode m_biDiMode = bdLeftToRight;
};
