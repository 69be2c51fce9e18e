#pragma once
// The state pictures of the skinned buttons with their masks, loaded once per bitmap resource and
// shared by every button that shows them. A wizard page's radio buttons and check boxes show the
// same eight pictures each; loading and masking every copy again cost page 1 alone some 10 ms of
// Brixom's start. Counted: the last button that lets a picture go frees it. UI thread only.
#include <windows.h>

class CSharedBitmaps {
public:
    struct Face {
        HBITMAP image = nullptr;
        HBITMAP mask = nullptr;
        DWORD width = 0;
        DWORD height = 0;
    };
    // Loads bitmap `id` of `module` and makes its mask for `transparent`; returns 0 or an error
    // code of the caller's, and leaves nothing behind on an error.
    using Loader = int (*)(HINSTANCE module, UINT id, COLORREF transparent, Face& face);

    // The face made from (module, id, transparent), made with `load` when no button holds it yet;
    // counts one more user. Returns what `load` returned (0 when the face was there).
    static int Acquire(HINSTANCE module, UINT id, COLORREF transparent, Loader load, Face& face);
    // One user fewer for the face with this image; its bitmaps go with the last user.
    static void Release(HBITMAP image);
};
