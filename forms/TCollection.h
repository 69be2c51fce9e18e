#pragma once
// A list of items of one kind that belongs to a component and is edited as one property (the
// sections and buttons of a title bar). The collection owns its items; an item tells its
// collection when it changes, and the collection tells its owner through Update.
#include "TComponent.h"

#include <vector>

class TCollection;

class TCollectionItem : public TObject {
public:
    explicit TCollectionItem(TCollection* collection);
    ~TCollectionItem() override;

    const char* ClassName() const override { return "TCollectionItem"; }

    TCollection* Collection() const { return m_collection; }
    int Index() const;

protected:
    // The item changed: the collection's owner hears of it.
    void Changed();

private:
    friend class TCollection;
    TCollection* m_collection;
};

class TCollection : public TObject {
public:
    explicit TCollection(TComponent* owner) : m_owner(owner) {}
    ~TCollection() override;

    const char* ClassName() const override { return "TCollection"; }

    TComponent* Owner() const { return m_owner; }
    int Count() const { return static_cast<int>(m_items.size()); }
    TCollectionItem* Item(int index) const { return m_items[static_cast<size_t>(index)]; }
    void Delete(int index);
    void Clear();
    // Changes made between these two report one Update at the end.
    void BeginUpdate() { ++m_updating; }
    void EndUpdate();

protected:
    // An item changed (null: items came or went).
    virtual void Update(TCollectionItem* /*item*/) {}
    void Changed(TCollectionItem* item);

private:
    friend class TCollectionItem;
    TComponent* m_owner;
    std::vector<TCollectionItem*> m_items;
    int m_updating = 0;
    bool m_clearing = false;
};
