#include "SharedImageList.h"

#include <algorithm>
#include <vector>

namespace {

std::vector<SharedImageList*>* g_holders = nullptr;

}  // namespace

SharedImageList* SharedImageList::Create(HIMAGELIST images)
{
    if (!g_holders)
        g_holders = new std::vector<SharedImageList*>();
    auto* holder = new SharedImageList(images);
    g_holders->push_back(holder);
    return holder;
}

SharedImageList::~SharedImageList()
{
    if (m_hImageList)
        ImageList_Destroy(m_hImageList);
}

int SharedImageList::GetHolderCount()
{
    return g_holders ? static_cast<int>(g_holders->size()) : 0;
}

void ReleaseImageListHolder(SharedImageList*& holder)
{
    if (!holder)
        return;
    if (--holder->m_nRefCount <= 0) {
        if (g_holders)
            g_holders->erase(std::remove(g_holders->begin(), g_holders->end(), holder), g_holders->end());
        delete holder;
    }
    holder = nullptr;
}

void DeleteImageListHolders()
{
    if (!g_holders)
        return;
    for (SharedImageList* holder : *g_holders)
        delete holder;
    delete g_holders;
    g_holders = nullptr;
}

void GetImageListIconSize(const SharedImageList* holder, int* width, int* height)
{
    int cx = 0, cy = 0;
    if (!holder || !holder->m_hImageList || !ImageList_GetIconSize(holder->m_hImageList, &cx, &cy))
        cx = cy = 0;
    *width = cx;
    *height = cy;
}
