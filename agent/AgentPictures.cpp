#include "AgentPictures.h"

#include "TskImageButton.h"

#include <string>

bool LoadAgentPicture(TPicture& picture, const char* name)
{
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(module, name, MAKEINTRESOURCEA(10));     // RT_RCDATA
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

void LoadButtonFaces(TskImageButton& button, const char* family)
{
    static const char* const kStates[] = {"_NORMAL", "_HOT", "_DOWN", "_DISABLED"};
    void (TskImageButton::*const setters[])(const TPicture*) = {
        &TskImageButton::SetPicNormal, &TskImageButton::SetPicMouseOn, &TskImageButton::SetPicMouseDown,
        &TskImageButton::SetPicDisabled};
    for (int state = 0; state < 4; ++state) {
        TPicture face;
        if (LoadAgentPicture(face, (std::string(family) + kStates[state]).c_str()))
            (button.*setters[state])(&face);
    }
}
