#pragma once
// The 2003 look: the XP frame with a window-coloured column at its left edge.
#include "CMenuThemeXP.h"

class CMenuTheme2003 : public CMenuThemeXP {
public:
    using CMenuThemeXP::CMenuThemeXP;
};
