#include "TMenu.h"

namespace {
const char* const kPublished[] = {"Items", "OwnerDraw", "Images", nullptr};
}

TMenu::TMenu(TComponent* owner) : TComponent(owner), m_items(new TMenuItem(this))
{
    m_items->m_menu = this;
}

TMenu::~TMenu()
{
    // The root item is owned like any component; the menu link goes first.
    m_items->m_menu = nullptr;
}

bool TMenu::HasPublished(const char* name) const
{
    return NameIn(kPublished, name) || TComponent::HasPublished(name);
}

void TMenu::SetImages(TImageList* images)
{
    ReferTo(m_images, images);
}

void TMenu::Notification(TComponent* component, TOperation operation)
{
    TComponent::Notification(component, operation);
    if (operation == opRemove && component == m_images)
        m_images = nullptr;
}

void TMenu::ItemsChanged(TMenuItem* item)
{
    Notification(item, opInsert);
}
