#pragma once
#include "CGdiObject.h"

class CBitmap : public CGdiObject {
public:
    // A bitmap resource of the program (or of `instance`).
    BOOL LoadBitmap(UINT id, HINSTANCE instance = nullptr);
    BOOL CreateCompatibleBitmap(HDC dc, int width, int height)
    {
        return Attach(::CreateCompatibleBitmap(dc, width, height));
    }
    BOOL CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits)
    {
        return Attach(::CreateBitmap(width, height, planes, bitsPerPixel, bits));
    }
    int GetBitmap(BITMAP* info) const { return GetObject(sizeof(BITMAP), info); }
    operator HBITMAP() const { return static_cast<HBITMAP>(GetSafeHandle()); }
};
