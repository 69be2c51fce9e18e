#pragma once
// The sections of a skinned title bar, in order; a change repaints the bar.
#include "TCollection.h"
#include "TskTitleBarSection.h"

class TskTitleBarSections : public TCollection {
public:
    explicit TskTitleBarSections(TComponent* owner) : TCollection(owner) {}

    const char* ClassName() const override { return "TskTitleBarSections"; }

    TskTitleBarSection* Add() { return new TskTitleBarSection(this); }
    TskTitleBarSection* Items(int index) const { return static_cast<TskTitleBarSection*>(Item(index)); }
    // Takes copies of the other collection's items in place of its own.
    void Assign(const TskTitleBarSections& other);

protected:
    void Update(TCollectionItem* item) override;
};
