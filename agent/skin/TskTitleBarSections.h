#pragma once
// The sections of a skinned title bar.
#include "TskTitleBarSection.h"
#include "TskTitleBarCollection.h"

class TskTitleBarSections : public TskTitleBarCollection<TskTitleBarSection> {
public:
    explicit TskTitleBarSections(TComponent* owner) : TskTitleBarCollection(owner) {}

    const char* ClassName() const override { return "TskTitleBarSections"; }
};
