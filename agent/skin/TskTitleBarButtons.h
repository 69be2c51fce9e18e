#pragma once
// The buttons of a skinned title bar, in order; a change repaints the bar.
#include "TCollection.h"
#include "TskTitleBarButton.h"

class TskTitleBarButtons : public TCollection {
public:
    explicit TskTitleBarButtons(TComponent* owner) : TCollection(owner) {}

    const char* ClassName() const override { return "TskTitleBarButtons"; }

    TskTitleBarButton* Add() { return new TskTitleBarButton(this); }
    TskTitleBarButton* Items(int index) const { return static_cast<TskTitleBarButton*>(Item(index)); }
    // Takes copies of the other collection's items in place of its own.
    void Assign(const TskTitleBarButtons& other);

protected:
    void Update(TCollectionItem* item) override;
};
