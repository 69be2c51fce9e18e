#include "AgentFormParts.h"

#include "AgentPictures.h"
#include "Colors.h"

TskImagePanel* NewBackgroundPanel(TComponent* owner, TWinControl* form, int left, int width, int height,
                                  int picture, const TMouseEvent& onMouseDown)
{
    auto* panel = new TskImagePanel(owner);
    panel->SetName("skImagePanel1");
    panel->SetParent(form);
    panel->SetBounds(left, -1, width, height);
    LoadAgentPicture(panel->Picture(), picture);
    panel->SetAutoSize(true);
    panel->SetDrawStyle(skNormal);
    panel->OnMouseDown = onMouseDown;
    return panel;
}

TLabel* NewLabel(TComponent* owner, TWinControl* parent, int left, int top)
{
    auto* label = new TLabel(owner);
    label->SetParent(parent);
    label->SetAutoSize(true);
    label->SetLeft(left);
    label->SetTop(top);
    label->SetTransparent(true);
    return label;
}

TLabel* NewTitleLabel(TComponent* owner, TWinControl* parent, const TMouseEvent& onMouseDown)
{
    TLabel* title = NewLabel(owner, parent, 14, 9);
    title->SetName("lblTop");
    title->Font().SetColor(clWhite);
    title->Font().SetBold(true);
    title->OnMouseDown = onMouseDown;
    return title;
}

TskImageButton* NewPictureButton(TComponent* owner, TWinControl* parent, const char* name, int left, int top,
                                 int width, int height, int family)
{
    auto* button = new TskImageButton(owner);
    button->SetName(name);
    button->SetParent(parent);
    button->SetBounds(left, top, width, height);
    LoadButtonFaces(*button, family);
    return button;
}
