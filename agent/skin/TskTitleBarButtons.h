#pragma once
// The buttons of a skinned title bar.
#include "TskTitleBarButton.h"
#include "TskTitleBarCollection.h"

class TskTitleBarButtons : public TskTitleBarCollection<TskTitleBarButton> {
public:
    explicit TskTitleBarButtons(TComponent* owner) : TskTitleBarCollection(owner) {}

    const char* ClassName() const override { return "TskTitleBarButtons"; }
};
