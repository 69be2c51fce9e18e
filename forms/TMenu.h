#pragma once
// A menu: a root item holding the items, owner drawing, and the image list of item images.
#include "TImageList.h"
#include "TMenuItem.h"

class TMenu : public TComponent {
public:
    explicit TMenu(TComponent* owner);
    ~TMenu() override;

    const char* ClassName() const override { return "TMenu"; }
    bool HasPublished(const char* name) const override;

    TMenuItem* Items() const { return m_items; }
    virtual bool OwnerDraw() const { return m_ownerDraw; }
    virtual void SetOwnerDraw(bool ownerDraw) { m_ownerDraw = ownerDraw; }
    TImageList* Images() const { return m_images; }
    void SetImages(TImageList* images);

    void Notification(TComponent* component, TOperation operation) override;
    // An item somewhere in this menu's tree was added, or changed (its caption, enabled state or
    // visibility, or a sub-item taken out): the menu takes it as its own again, as when inserted.
    virtual void ItemsChanged(TMenuItem* item);

private:
    TMenuItem* m_items;
    bool m_ownerDraw = false;
    TImageList* m_images = nullptr;
};
