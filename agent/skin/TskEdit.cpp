#include "TskEdit.h"

#include "SkinHelpers.h"
#include "SkinKeys.h"
#include "TskFileTheme.h"

namespace {
const char* const kPublished[] = {
    "FileTheme", "UIStyle", "BorderColor", "Anchors", "AutoSelect", "AutoSize", "BiDiMode", "CharCase", "Color",
    "Constraints", "Ctl3D", "DragCursor", "DragKind", "DragMode", "Enabled", "Font", "HideSelection", "ImeMode",
    "ImeName", "MaxLength", "OEMConvert", "ParentBiDiMode", "ParentColor", "ParentCtl3D", "ParentFont",
    "ParentShowHint", "PasswordChar", "PopupMenu", "ReadOnly", "ShowHint", "TabOrder", "TabStop", "Text",
    "Visible", "OnChange", "OnClick", "OnDblClick", "OnDragDrop", "OnDragOver", "OnEndDock", "OnEndDrag",
    "OnEnter", "OnExit", "OnKeyDown", "OnKeyPress", "OnKeyUp", "OnMouseDown", "OnMouseMove", "OnMouseUp",
    "OnStartDock", "OnStartDrag", nullptr};
constexpr int kEditBorderWidth = 2;
}  // namespace

TskEdit::TskEdit(TComponent* owner) : TCustomEdit(owner)
{
    m_borderStyle = bsNone;
    SetBorderWidth(kEditBorderWidth);
    SetUIStyle(DefaultUIStyle(owner));
}

bool TskEdit::HasPublished(const char* name) const
{
    return NameIn(kPublished, name) || TCustomEdit::HasPublished(name);
}

void TskEdit::SetBorderColor(TColor color)
{
    m_borderColor = color;
    if (HandleAllocated())
        DrawEditBorder(this, m_borderColor, m_color, true);
}

void TskEdit::SetFileTheme(TskFileTheme* theme)
{
    ReferTo(m_fileTheme, theme);
    SetUIStyle(m_uiStyle);
}

void TskEdit::SetUIStyle(TskUIStyle style)
{
    m_uiStyle = style;
    TskUIStyle resolved;
    if (UsesFileTheme(m_fileTheme, style, resolved))
        m_borderColor = static_cast<TColor>(m_fileTheme->GetColor(SKIN2_CONTROLBORDERCOLOR));
    else
        m_borderColor = BuiltInColor(resolved, posEditBorder);
    StyleApplied();
    Invalidate();
}

void TskEdit::Notification(TComponent* component, TOperation operation)
{
    TCustomEdit::Notification(component, operation);
    if (operation == opRemove && component && component == m_fileTheme) {
        m_fileTheme = nullptr;
        SetUIStyle(Indigo);
    }
}

LRESULT TskEdit::WndProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
    case WM_ERASEBKGND:
    case WM_NCPAINT: {
        LRESULT result = TCustomEdit::WndProc(message, wParam, lParam);
        DrawEditBorder(this, m_borderColor, m_color, true);
        return result;
    }
    default:
        return TCustomEdit::WndProc(message, wParam, lParam);
    }
}
