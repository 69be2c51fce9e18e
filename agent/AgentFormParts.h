#pragma once
// The pieces both of Agent's forms are built from: the picture panel that carries every control
// and drags the borderless form, the white bold title on it, transparent labels and picture
// buttons.
#include "TLabel.h"
#include "TskImageButton.h"
#include "TskImagePanel.h"

// The background panel at (left, -1) showing one of Agent's pictures (AutoSize, drawn as is).
TskImagePanel* NewBackgroundPanel(TComponent* owner, TWinControl* form, int left, int width, int height,
                                  int picture, const TMouseEvent& onMouseDown);
// A transparent label sized to its text.
TLabel* NewLabel(TComponent* owner, TWinControl* parent, int left, int top);
// The form's title at (14, 9): white bold, and a handle to drag the form by.
TLabel* NewTitleLabel(TComponent* owner, TWinControl* parent, const TMouseEvent& onMouseDown);
// A picture button with the four faces of one picture family.
TskImageButton* NewPictureButton(TComponent* owner, TWinControl* parent, const char* name, int left, int top,
                                 int width, int height, int family);
