#pragma once
// An image list shared by the menu items that show its pictures, counted by reference and kept
// in a process-wide list of holders.
#include <windows.h>

#include <commctrl.h>

class SharedImageList {
public:
    // Takes the image list; the last release destroys it.
    static SharedImageList* Create(HIMAGELIST images);

    HIMAGELIST m_hImageList = nullptr;
    int m_nRefCount = 1;

    void AddRef() { ++m_nRefCount; }

    // Holders alive in the process (for tests and the hook's clean-up).
    static int GetHolderCount();

private:
    explicit SharedImageList(HIMAGELIST images) : m_hImageList(images) {}
    ~SharedImageList();
    friend void ReleaseImageListHolder(SharedImageList*& holder);
    friend void DeleteImageListHolders();
};

// Drops one reference and clears the pointer; at zero the holder leaves the list and is deleted.
void ReleaseImageListHolder(SharedImageList*& holder);
// Deletes every holder still in the list (at process exit).
void DeleteImageListHolders();
// The icon size of the holder's list, 0 x 0 when it has none.
void GetImageListIconSize(const SharedImageList* holder, int* width, int* height);
