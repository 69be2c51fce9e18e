#include "TskTitleBarButton.h"

#include "SkinHelpers.h"
#include "TPopupMenu.h"

namespace {
const char kSecondControlBox[] = "Sorry, only one button's ButtonType property can be \"skControlBox\"";
}

TskTitleBarButton::TskTitleBarButton(TCollection* collection) : TCollectionItem(collection)
{
    auto changed = [this] { Changed(); };
    m_picNormal.OnChange = changed;
    m_picMouseOn.OnChange = changed;
    m_picMouseDown.OnChange = changed;
}

void TskTitleBarButton::SetButtonType(TskTitleBarBtnType type)
{
    if (type == m_buttonType)
        return;
    if (type == skControlBox && Collection()) {
        for (int i = 0; i < Collection()->Count(); ++i) {
            auto* other = static_cast<TskTitleBarButton*>(Collection()->Item(i));
            if (other != this && other->m_buttonType == skControlBox) {
                ShowRefusal(kSecondControlBox);
                return;
            }
        }
    }
    m_buttonType = type;
    Changed();
}

void TskTitleBarButton::SetVisible(bool visible)
{
    m_visible = visible;
    Changed();
}

void TskTitleBarButton::SetTransparent(bool transparent)
{
    m_transparent = transparent;
    Changed();
}

void TskTitleBarButton::SetTop(int top)
{
    m_top = top;
    Changed();
}

void TskTitleBarButton::SetUIStyle(TskUIStyle style)
{
    m_uiStyle = style;
    Changed();
}

void TskTitleBarButton::SetControlBoxMenu(TPopupMenu* menu)
{
    m_controlBoxMenu = menu;
    // The title bar hears when the menu goes and forgets it.
    if (menu && Collection() && Collection()->Owner())
        Collection()->Owner()->FreeNotification(menu);
    Changed();
}

void TskTitleBarButton::Assign(const TskTitleBarButton& other)
{
    m_buttonType = other.m_buttonType;
    m_visible = other.m_visible;
    m_transparent = other.m_transparent;
    m_top = other.m_top;
    m_uiStyle = other.m_uiStyle;
    m_controlBoxMenu = other.m_controlBoxMenu;
    m_picNormal.Assign(&other.m_picNormal);
    m_picMouseOn.Assign(&other.m_picMouseOn);
    m_picMouseDown.Assign(&other.m_picMouseDown);
}

bool TskTitleBarButton::HasPictures() const
{
    return m_picNormal.Graphic() && m_picMouseOn.Graphic() && m_picMouseDown.Graphic();
}
