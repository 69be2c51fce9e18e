#include "TskTitleBarSections.h"

#include "TControl.h"

void TskTitleBarSections::Assign(const TskTitleBarSections& other)
{
    if (&other == this)
        return;
    BeginUpdate();
    Clear();
    for (int i = 0; i < other.Count(); ++i)
        Add()->Assign(*other.Items(i));
    EndUpdate();
}

void TskTitleBarSections::Update(TCollectionItem* /*item*/)
{
    if (auto* bar = dynamic_cast<TControl*>(Owner()))
        bar->Invalidate();
}
