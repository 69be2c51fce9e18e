#include "TControl.h"

#include "TCustomForm.h"
#include "TPopupMenu.h"
#include "TWinControl.h"

#include <cctype>

namespace {

const char* const kPublished[] = {"Left", "Top", "Width", "Height", "Visible", "Enabled", "Caption", "Font",
                                  "ParentFont", "Color", "Align", "Hint", "ShowHint", "PopupMenu", "BiDiMode",
                                  "OnClick", "OnDblClick", "OnMouseDown", "OnMouseMove", "OnMouseUp", nullptr};

}  // namespace

TControl::TControl(TComponent* owner) : TComponent(owner)
{
    m_font.OnChange = [this] {
        if (!m_takingParentFont)
            m_parentFont = false;
        FontChanged();
    };
}

TControl::~TControl()
{
    m_font.OnChange = nullptr;
    if (m_parent)
        SetParent(nullptr);
    if (m_popupMenu)
        RemoveFreeNotification(m_popupMenu);
}

bool TControl::HasPublished(const char* name) const
{
    return NameIn(kPublished, name) || TComponent::HasPublished(name);
}

void TControl::SetParent(TWinControl* parent)
{
    if (parent == m_parent)
        return;
    if (m_parent)
        m_parent->RemoveControl(this);
    m_parent = nullptr;
    if (parent) {
        parent->InsertControl(this);
        m_parent = parent;
        if (m_parentFont)
            ApplyParentFont();
    }
}

void TControl::SetBounds(int left, int top, int width, int height)
{
    if (width < 0)
        width = 0;
    if (height < 0)
        height = 0;
    if (left == m_left && top == m_top && width == m_width && height == m_height)
        return;
    bool visibleChange = m_parent && m_visible;
    if (visibleChange)
        Invalidate();
    m_left = left;
    m_top = top;
    m_width = width;
    m_height = height;
    if (visibleChange)
        Invalidate();
    Resized();
    if (m_parent && m_align != alNone)
        m_parent->Realign();
}

void TControl::SetVisible(bool visible)
{
    if (visible == m_visible)
        return;
    if (m_visible)
        Invalidate();
    m_visible = visible;
    VisibleChanged();
    if (m_visible)
        Invalidate();
    if (m_parent && m_align != alNone)
        m_parent->Realign();
}

void TControl::VisibleChanged() {}

void TControl::SetEnabled(bool enabled)
{
    if (enabled == m_enabled)
        return;
    m_enabled = enabled;
    EnabledChanged();
    Invalidate();
}

void TControl::SetCaption(const std::string& caption)
{
    if (caption == m_caption)
        return;
    m_caption = caption;
    TextChanged();
    Invalidate();
}

void TControl::SetParentFont(bool parentFont)
{
    m_parentFont = parentFont;
    if (parentFont)
        ApplyParentFont();
}

void TControl::ApplyParentFont()
{
    if (!m_parent)
        return;
    m_takingParentFont = true;
    m_font.Assign(m_parent->Font());
    m_takingParentFont = false;
}

void TControl::ParentFontChanged()
{
    if (m_parentFont)
        ApplyParentFont();
}

void TControl::SetColor(TColor color)
{
    if (color == m_color)
        return;
    m_color = color;
    Invalidate();
}

void TControl::SetAlign(TAlign align)
{
    if (align == m_align)
        return;
    m_align = align;
    if (m_parent)
        m_parent->Realign();
}

void TControl::SetPopupMenu(TPopupMenu* menu)
{
    ReferTo(m_popupMenu, menu);
}

bool TControl::UseRightToLeftLayout() const
{
    return m_biDiMode == bdRightToLeft && SystemReadsRightToLeft();
}

void TControl::Invalidate()
{
    if (!m_parent || !m_parent->HandleAllocated())
        return;
    RECT r = BoundsRect();
    InvalidateRect(m_parent->Handle(), &r, FALSE);
}

void TControl::Repaint()
{
    Invalidate();
    if (m_parent && m_parent->HandleAllocated())
        UpdateWindow(m_parent->Handle());
}

void TControl::Click()
{
    if (OnClick && !IsLoading())
        OnClick(this);
}

void TControl::DblClick()
{
    if (OnDblClick && !IsLoading())
        OnDblClick(this);
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (OnMouseDown)
        OnMouseDown(this, button, shift, x, y);
}

void TControl::MouseMove(TShiftState shift, int x, int y)
{
    if (OnMouseMove)
        OnMouseMove(this, shift, x, y);
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    if (OnMouseUp)
        OnMouseUp(this, button, shift, x, y);
}

TCustomForm* TControl::ParentForm() const
{
    const TControl* c = this;
    while (c->m_parent)
        c = c->m_parent;
    return dynamic_cast<TCustomForm*>(const_cast<TControl*>(c));
}

bool TControl::IsAccelerator(char ch, const std::string& caption)
{
    for (size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&')
            continue;
        if (caption[i + 1] == '&') {   // "&&" is a plain ampersand
            ++i;
            continue;
        }
        return std::toupper(static_cast<unsigned char>(caption[i + 1])) == std::toupper(static_cast<unsigned char>(ch));
    }
    return false;
}
