#pragma once
// An image list of the common controls; the object destroys the list it created.
#include <windows.h>

#include <commctrl.h>

class CImageList {
public:
    CImageList() = default;
    ~CImageList() { DeleteImageList(); }
    CImageList(const CImageList&) = delete;
    CImageList& operator=(const CImageList&) = delete;

    HIMAGELIST m_hImageList = nullptr;
    HIMAGELIST GetSafeHandle() const { return m_hImageList; }
    operator HIMAGELIST() const { return m_hImageList; }

    BOOL Create(int cx, int cy, UINT flags, int initial, int grow);
    BOOL DeleteImageList();
    // The index of the first image added, or -1. A strip wider than the image size adds several.
    int Add(HBITMAP bitmap, COLORREF maskColor) { return ImageList_AddMasked(m_hImageList, bitmap, maskColor); }
    int Add(HICON icon) { return ImageList_ReplaceIcon(m_hImageList, -1, icon); }
    int GetImageCount() const { return m_hImageList ? ImageList_GetImageCount(m_hImageList) : 0; }
    BOOL Draw(HDC dc, int index, POINT at, UINT style) const
    {
        return ImageList_Draw(m_hImageList, index, dc, at.x, at.y, style);
    }
    HICON ExtractIcon(int index) const { return ImageList_GetIcon(m_hImageList, index, ILD_NORMAL); }
};
