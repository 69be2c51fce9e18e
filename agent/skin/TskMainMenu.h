#pragma once
// The owner-drawn main menu of a skinned form: its items are painted like the skinned popup
// menu's, and it shows through the form's menu bar, never as the system's menu bar.
#include "ISkinThemed.h"
#include "TMainMenu.h"
#include "TskPopupMenu.h"

class TskForm;

class TskMainMenu : public TMainMenu, public ISkinThemed {
public:
    explicit TskMainMenu(TComponent* owner);

    const char* ClassName() const override { return "TskMainMenu"; }
    bool HasPublished(const char* name) const override;

    bool OwnerDraw() const override { return true; }
    void SetOwnerDraw(bool) override {}
    // None while the menu's own check-mark list is in use; writing none puts that list back.
    TImageList* Images() const { return m_userImages; }
    void SetImages(TImageList* images);
    TImageList& CheckMarks() { return m_checkMarks; }

    TskFileTheme* FileTheme() const override { return m_look.FileTheme(); }
    void SetFileTheme(TskFileTheme* theme) override;
    TskUIStyle UIStyle() const override { return m_look.UIStyle(); }
    void SetUIStyle(TskUIStyle style) override { m_look.SetUIStyle(style); }

    // Sizes, colours and font, as the skinned popup menu has them.
    TskPopupMenu& Look() { return m_look; }
    int MenuItemHeight() const { return m_look.MenuItemHeight(); }
    void SetMenuItemHeight(int height) { m_look.SetMenuItemHeight(height); }
    int SeparatorHeight() const { return m_look.SeparatorHeight(); }
    void SetSeparatorHeight(int height) { m_look.SetSeparatorHeight(height); }
    bool UseSystemFont() const { return m_look.UseSystemFont(); }
    void SetUseSystemFont(bool use);
    int FontSize() const { return m_look.FontSize(); }

    TskForm* Form() const { return m_form; }
    void SetForm(TskForm* form) { m_form = form; }

    void Notification(TComponent* component, TOperation operation) override;
    // Items added, changed in place or taken out show on the form's menu bar at once.
    void ItemsChanged(TMenuItem* item) override;

protected:
    void Loaded() override;

private:
    void HookItem(TMenuItem* item);
    void DrawItem(TObject* sender, TCanvas& canvas, const RECT& rect, bool selected);

    // The painter every item is drawn by; not a component of the form.
    TskPopupMenu m_look;
    TImageList m_checkMarks;
    TImageList* m_userImages = nullptr;
    TskForm* m_form = nullptr;
};
