#pragma once
// The items of one kind a skinned title bar holds, in order; a change repaints the bar.
#include "TCollection.h"
#include "TControl.h"

template <class T>
class TskTitleBarCollection : public TCollection {
public:
    explicit TskTitleBarCollection(TComponent* owner) : TCollection(owner) {}

    T* Add() { return new T(this); }
    T* Items(int index) const { return static_cast<T*>(Item(index)); }
    // Takes copies of the other collection's items in place of its own.
    void Assign(const TskTitleBarCollection& other)
    {
        if (&other == this)
            return;
        BeginUpdate();
        Clear();
        for (int i = 0; i < other.Count(); ++i)
            Add()->Assign(*other.Items(i));
        EndUpdate();
    }

protected:
    void Update(TCollectionItem* /*item*/) override
    {
        if (auto* bar = dynamic_cast<TControl*>(Owner()))
            bar->Invalidate();
    }
};
