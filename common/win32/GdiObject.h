#pragma once
// Owner of one GDI object (bitmap, brush, pen, font, region): deleted with its owner.
#include "HandleOwner.h"

template <class H>
struct GdiObjectTraits {
    using Handle = H;
    static H Normalize(H handle) { return handle; }
    static void Close(H handle) { DeleteObject(handle); }
};

template <class H>
using GdiObject = HandleOwner<GdiObjectTraits<H>>;

using GdiBitmap = GdiObject<HBITMAP>;
using GdiBrush = GdiObject<HBRUSH>;
using GdiPen = GdiObject<HPEN>;
using GdiFont = GdiObject<HFONT>;
using GdiRegion = GdiObject<HRGN>;
