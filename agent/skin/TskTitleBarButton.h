#pragma once
// One caption button of a skinned title bar: its kind, three pictures (normal, under the mouse,
// pressed), where it sits and, for the control box, the menu it opens.
#include "SkinStyle.h"
#include "TCollection.h"
#include "TPicture.h"

class TPopupMenu;

enum TskTitleBarBtnType { skMax, skMin, skClose, skHelp, skControlBox, skCustom };

class TskTitleBarButton : public TCollectionItem {
public:
    explicit TskTitleBarButton(TCollection* collection);

    const char* ClassName() const override { return "TskTitleBarButton"; }

    TskTitleBarBtnType ButtonType() const { return m_buttonType; }
    // Refuses a second control box.
    void SetButtonType(TskTitleBarBtnType type);
    bool Visible() const { return m_visible; }
    void SetVisible(bool visible);
    bool Transparent() const { return m_transparent; }
    void SetTransparent(bool transparent);
    int Top() const { return m_top; }
    void SetTop(int top);
    TskUIStyle UIStyle() const { return m_uiStyle; }
    void SetUIStyle(TskUIStyle style);
    TPicture& PicNormal() { return m_picNormal; }
    TPicture& PicMouseOn() { return m_picMouseOn; }
    TPicture& PicMouseDown() { return m_picMouseDown; }
    TPopupMenu* ControlBoxMenu() const { return m_controlBoxMenu; }
    void SetControlBoxMenu(TPopupMenu* menu);

    void Assign(const TskTitleBarButton& other);
    bool HasPictures() const;
    // Where the title bar drew it last (empty when not drawn).
    const RECT& Bounds() const { return m_bounds; }
    void SetDrawnBounds(const RECT& bounds) { m_bounds = bounds; }

private:
    TskTitleBarBtnType m_buttonType = skCustom;
    bool m_visible = true;
    bool m_transparent = false;
    int m_top = 2;
    TskUIStyle m_uiStyle = Indigo;
    TPicture m_picNormal;
    TPicture m_picMouseOn;
    TPicture m_picMouseDown;
    TPopupMenu* m_controlBoxMenu = nullptr;
    RECT m_bounds = {0, 0, 0, 0};
};
