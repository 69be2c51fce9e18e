#include "AgentPictures.h"

#include "TskImageButton.h"


bool LoadAgentPicture(TPicture& picture, int id)
{
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(10));     // RT_RCDATA
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes)
        return false;
    TBitmap bitmap;
    if (!bitmap.LoadFromBitmapFile(bytes, SizeofResource(module, found)))
        return false;
    picture.Assign(&bitmap);
    return true;
}

void LoadButtonFaces(TskImageButton& button, int family)
{
    static_assert(IDP_BUTTON_HOT == IDP_BUTTON + 1 && IDP_BUTTON_DOWN == IDP_BUTTON + 2 &&
                      IDP_BUTTON_DISABLED == IDP_BUTTON + 3,
                  "a button's faces follow its family's id");
    void (TskImageButton::*const setters[])(const TPicture*) = {
        &TskImageButton::SetPicNormal, &TskImageButton::SetPicMouseOn, &TskImageButton::SetPicMouseDown,
        &TskImageButton::SetPicDisabled};
    for (int state = 0; state < 4; ++state) {
        TPicture face;
        if (LoadAgentPicture(face, family + state))
            (button.*setters[state])(&face);
    }
}
