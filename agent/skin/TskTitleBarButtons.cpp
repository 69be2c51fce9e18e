#include "TskTitleBarButtons.h"

#include "TControl.h"

void TskTitleBarButtons::Assign(const TskTitleBarButtons& other)
{
    if (&other == this)
        return;
    BeginUpdate();
    Clear();
    for (int i = 0; i < other.Count(); ++i)
        Add()->Assign(*other.Items(i));
    EndUpdate();
}

void TskTitleBarButtons::Update(TCollectionItem* /*item*/)
{
    if (auto* bar = dynamic_cast<TControl*>(Owner()))
        bar->Invalidate();
}
