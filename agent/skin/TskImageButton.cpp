#include "TskImageButton.h"

namespace {
const char* const kPublished[] = {
    "UIStyle", "DrawFocused", "FocusedRectMargin", "PicNormal", "PicMouseOn", "PicMouseDown", "PicDisabled",
    "Stretch", "Cancel", "Default", "MouseContinuouslyDownInterval", "Action", "Caption", "Font", "Enabled",
    "TabOrder", "Transparent", "ModalResult", "AutoSize", "OnClick", "OnMouseMove", "OnMouseDown", "OnMouseUp",
    "OnKeyDown", "OnKeyUp", "OnKeyPress", "OnMouseEnter", "OnMouseExit", "OnMouseContinuouslyDown", nullptr};
}

TskImageButton::TskImageButton(TComponent* owner) : TskCustomButton(owner) {}

bool TskImageButton::HasPublished(const char* name) const
{
    return NameIn(kPublished, name) || TskCustomButton::HasPublished(name);
}

void TskImageButton::AssignPicture(TPicture& target, const TPicture* picture)
{
    target.Assign(picture);
    UpdateAutoSize();
    Invalidate();
}

void TskImageButton::UpdateAutoSize()
{
    TBitmap* normal = m_picNormal.Graphic();
    if (m_parent && m_autoSize && normal)
        SetBounds(m_left, m_top, normal->Width(), normal->Height());
}

bool TskImageButton::CopyFirst(TBitmap& picture, TPicture& first, TPicture* second)
{
    if (TBitmap* g = first.Graphic())
        picture.Assign(*g);
    else if (second && second->Graphic())
        picture.Assign(*second->Graphic());
    return true;
}

bool TskImageButton::GetNormalPicture(TBitmap& picture) { return CopyFirst(picture, m_picNormal, nullptr); }
bool TskImageButton::GetMouseOnPicture(TBitmap& picture) { return CopyFirst(picture, m_picMouseOn, &m_picNormal); }
bool TskImageButton::GetMouseDownPicture(TBitmap& picture) { return CopyFirst(picture, m_picMouseDown, &m_picNormal); }
bool TskImageButton::GetDisabledPicture(TBitmap& picture) { return CopyFirst(picture, m_picDisabled, &m_picNormal); }

void TskImageButton::DrawPicture(TCanvas& canvas, TBitmap& picture)
{
    if (picture.Empty())
        return;
    if (m_stretch)
        canvas.StretchDraw(RECT{0, 0, m_width, m_height}, picture);
    else
        canvas.Draw(0, 0, picture);
}

void TskImageButton::DrawFocusMark(TCanvas& canvas)
{
    if (m_drawFocused)
        TskCustomButton::DrawFocusMark(canvas);
}
