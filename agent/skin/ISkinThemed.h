#pragma once
// What every skinned control has: a style and, where published, the theme component it takes
// its look from. Lets a theme re-apply itself to the controls that refer to it.
#include "SkinStyle.h"

class TskFileTheme;

class ISkinThemed {
public:
    virtual TskFileTheme* FileTheme() const = 0;
    virtual void SetFileTheme(TskFileTheme* theme) = 0;
    virtual TskUIStyle UIStyle() const = 0;
    virtual void SetUIStyle(TskUIStyle style) = 0;

protected:
    ~ISkinThemed() = default;
};
