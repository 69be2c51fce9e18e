#pragma once
// A list of equal-sized images drawn see-through where their mask says so, and greyed for a
// disabled look.
#include "TBitmap.h"
#include "TComponent.h"

#include <commctrl.h>

class TImageList : public TComponent {
public:
    TImageList(TComponent* owner, int width, int height);
    ~TImageList() override;

    const char* ClassName() const override { return "TImageList"; }

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    int Count() const;

    // Adds the bitmap's images (one per Width() columns), `mask` being the see-through colour.
    int AddMasked(TBitmap& bitmap, COLORREF mask);
    // Adds the bitmap's images fully opaque.
    int Add(TBitmap& bitmap);
    void Clear();

    void Draw(TCanvas& canvas, int x, int y, int index, bool enabled = true) const;
    // A new icon of one image (the caller destroys it); null for an index outside the list.
    HICON GetIcon(int index) const;

private:
    HIMAGELIST m_list = nullptr;
    int m_width;
    int m_height;
};
