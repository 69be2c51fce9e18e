#include "Events.h"

TShiftState KeyboardShiftState()
{
    TShiftState s = 0;
    if (GetKeyState(VK_SHIFT) < 0)
        s |= ssShift;
    if (GetKeyState(VK_CONTROL) < 0)
        s |= ssCtrl;
    if (GetKeyState(VK_MENU) < 0)
        s |= ssAlt;
    return s;
}
