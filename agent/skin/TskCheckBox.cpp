#include "TskCheckBox.h"

#include "SkinHelpers.h"
#include "TskFileTheme.h"

namespace {

const char* const kPublished[] = {
    "UIStyle", "FileTheme", "BiDiMode", "Anchors", "PopupMenu", "ShowHint", "Visible", "ParentShowHint",
    "ParentBiDiMode", "ParentFont", "AutoSize", "Checked", "Caption", "Enabled", "Font", "Color", "TabOrder",
    "TabStop", "ParentColor", "State", "Transparent", "OnClick", "OnDblClick", "OnMouseMove", "OnMouseDown",
    "OnMouseUp", "OnKeyDown", "OnKeyUp", "OnKeyPress", "OnContextPopup", "OnDragDrop", "OnDragOver",
    "OnEndDock", "OnEndDrag", "OnEnter", "OnExit", "OnStartDock", "OnStartDrag", nullptr};

constexpr int kBuiltInFrames = 4;
constexpr int kSkinFrames = 6;

}  // namespace

TskCheckBox::TskCheckBox(TComponent* owner) : TCustomControl(owner)
{
    m_autoSize = true;
    m_width = 93;
    m_height = 17;
    SetTabStop(true);
    m_uiStyle = DefaultUIStyle(owner);
}

bool TskCheckBox::HasPublished(const char* name) const
{
    return NameIn(kPublished, name) || TCustomControl::HasPublished(name);
}

void TskCheckBox::CreateParams(TCreateParams& params)
{
    TCustomControl::CreateParams(params);
    params.style &= ~static_cast<DWORD>(WS_CLIPCHILDREN);
    params.className = "SequoraSkinCheckBox";
}

void TskCheckBox::SetChecked(bool checked)
{
    if (checked == m_checked)
        return;
    m_checked = checked;
    Invalidate();
    DoCheckedClick();
}

void TskCheckBox::DoCheckedClick()
{
    if (OnClick && !IsLoading())
        OnClick(this);
}

void TskCheckBox::Toggle()
{
    BeforeToggle();
    SetChecked(!m_checked);
}

void TskCheckBox::SetUIStyle(TskUIStyle style)
{
    m_uiStyle = style;
    Invalidate();
}

void TskCheckBox::SetFileTheme(TskFileTheme* theme)
{
    ReferTo(m_fileTheme, theme);
    SetUIStyle(m_uiStyle);
}

void TskCheckBox::SetTransparent(bool transparent)
{
    m_transparent = transparent;
    Invalidate();
}

void TskCheckBox::SetAutoSize(bool autoSize)
{
    m_autoSize = autoSize;
    Invalidate();
}

void TskCheckBox::Notification(TComponent* component, TOperation operation)
{
    TCustomControl::Notification(component, operation);
    if (operation == opRemove && component && component == m_fileTheme) {
        m_fileTheme = nullptr;
        SetUIStyle(Indigo);
    }
}

void TskCheckBox::Click()
{
    // The box's OnClick reports the change of Checked; the click itself has no handler of its own.
    Toggle();
}

void TskCheckBox::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TCustomControl::MouseDown(button, shift, x, y);
    if (button == mbLeft && CanFocus() && m_enabled && m_visible)
        SetFocus();
}

bool TskCheckBox::DialogChar(char ch, TShiftState)
{
    if (!IsAccelerator(ch, m_caption) || !m_enabled || !m_visible || !m_parent || !m_parent->Enabled())
        return false;
    if (CanFocus())
        SetFocus();
    Click();
    return true;
}

LRESULT TskCheckBox::WndProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_KEYUP) {
        LRESULT r = TCustomControl::WndProc(message, wParam, lParam);
        if (KeyToggles() && (wParam == VK_SPACE || wParam == VK_RETURN) && Focused() && m_enabled) {
            Invalidate();
            Click();
        }
        return r;
    }
    if (message == WM_SETTEXT) {
        LRESULT r = TCustomControl::WndProc(message, wParam, lParam);
        m_caption = lParam ? reinterpret_cast<const char*>(lParam) : "";
        Invalidate();
        return r;
    }
    return TCustomControl::WndProc(message, wParam, lParam);
}

void TskCheckBox::Paint()
{
    TBitmap buffer;
    TPicture glyph;
    TskUIStyle resolved;
    bool fromSkin = BuiltInGlyphRow() == 3 && UsesFileTheme(m_fileTheme, m_uiStyle, resolved);
    if (!fromSkin)
        UsesFileTheme(m_fileTheme, m_uiStyle, resolved);
    int frame;
    if (fromSkin)
        frame = m_checked ? (m_enabled ? 1 : 4) : (m_enabled ? 3 : 6);
    else
        frame = m_checked ? (m_enabled ? 1 : 3) : (m_enabled ? 2 : 4);
    if (fromSkin)
        m_fileTheme->GetBitmapFrame(ThemeGlyphKey(), &glyph, frame, kSkinFrames);
    else
        GetBuiltInBitmap(resolved, BuiltInGlyphRow(), &glyph, frame, kBuiltInFrames);
    if (TBitmap* g = glyph.Graphic())
        g->SetTransparent(GlyphTransparent());

    TCanvas& canvas = buffer.Canvas();
    canvas.Font().Assign(m_font);
    // Measuring needs a device context before the buffer has its size.
    buffer.SetSize(1, 1);
    int gw = glyph.Width();
    int gh = glyph.Height();
    int textHeightW = canvas.TextHeight("W");
    if (m_autoSize) {
        int th = textHeightW + 2;
        int h = (gh > th ? gh : th) + 4;
        int w = gw + canvas.TextWidth(m_caption) + 8;
        if (w != m_width || h != m_height)
            SetBounds(m_left, m_top, w, h);
    }
    RECT client = ClientRect();
    int cw = client.right;
    int ch = client.bottom;
    buffer.SetSize(m_width, m_height);
    if (buffer.Empty())
        return;
    TCanvas& drawing = buffer.Canvas();
    drawing.Font().Assign(m_font);
    if (m_transparent) {
        DrawParentBackground(drawing, this);
    } else {
        drawing.SetBrushColor(m_color);
        drawing.FillRect(client);
    }
    drawing.SetBrushStyle(bsClear);
    int ty = (ch - textHeightW) / 2;
    bool rtl = UseRightToLeftLayout();
    if (TBitmap* g = glyph.Graphic())
        drawing.Draw(rtl ? m_width - gw - 1 : 1, (ch - gh) / 2, *g);
    RECT text = rtl ? RECT{0, ty, m_width - gw - 4, m_height} : RECT{gw + 4, ty, m_width, m_height};
    drawing.DrawText(m_caption, text, DT_SINGLELINE | (rtl ? DT_RIGHT : 0));
    if (WantsFocusMark()) {
        RECT focus = rtl ? RECT{0, ty, m_width - gw - 2, ty + textHeightW + 2}
                         : RECT{gw + 3, ty, m_width, ty + textHeightW + 2};
        drawing.SetBrushStyle(bsSolid);
        drawing.DrawFocusRect(focus);
    }
    (void)cw;
    BitBlt(m_canvas.Handle(), 0, 0, m_width, m_height, buffer.DC(), 0, 0, SRCCOPY);
}
