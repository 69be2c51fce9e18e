#include "TCollection.h"

#include <algorithm>

TCollectionItem::TCollectionItem(TCollection* collection) : m_collection(collection)
{
    if (collection) {
        collection->m_items.push_back(this);
        collection->Changed(nullptr);
    }
}

TCollectionItem::~TCollectionItem()
{
    if (!m_collection)
        return;
    auto& items = m_collection->m_items;
    items.erase(std::remove(items.begin(), items.end(), this), items.end());
    if (!m_collection->m_clearing)
        m_collection->Changed(nullptr);
}

int TCollectionItem::Index() const
{
    if (!m_collection)
        return -1;
    const auto& items = m_collection->m_items;
    auto it = std::find(items.begin(), items.end(), this);
    return it == items.end() ? -1 : static_cast<int>(it - items.begin());
}

void TCollectionItem::Changed()
{
    if (m_collection)
        m_collection->Changed(this);
}

TCollection::~TCollection()
{
    m_clearing = true;
    while (!m_items.empty())
        delete m_items.back();
}

void TCollection::Delete(int index)
{
    if (index >= 0 && index < Count())
        delete m_items[static_cast<size_t>(index)];
}

void TCollection::Clear()
{
    if (m_items.empty())
        return;
    m_clearing = true;
    while (!m_items.empty())
        delete m_items.back();
    m_clearing = false;
    Changed(nullptr);
}

void TCollection::EndUpdate()
{
    if (m_updating > 0 && --m_updating == 0)
        Update(nullptr);
}

void TCollection::Changed(TCollectionItem* item)
{
    if (m_updating == 0)
        Update(item);
}
