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
    const std::string name = family;
    TPicture face;
    if (LoadAgentPicture(face, (name + "_NORMAL").c_str()))
        button.SetPicNormal(&face);
    if (LoadAgentPicture(face, (name + "_HOT").c_str()))
        button.SetPicMouseOn(&face);
    if (LoadAgentPicture(face, (name + "_DOWN").c_str()))
        button.SetPicMouseDown(&face);
    if (LoadAgentPicture(face, (name + "_DISABLED").c_str()))
        button.SetPicDisabled(&face);
}
