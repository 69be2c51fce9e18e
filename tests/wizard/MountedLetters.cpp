#include "MountedLetters.h"

#include "Tavrin.h"

std::set<char> MountedLetters()
{
    std::set<char> letters;
    const uint32_t mask = Tavrin_GetMountedMask();
    for (int slot = 0; slot < kTavrinSlotCount; ++slot) {
        if (mask & (1u << slot))
            letters.insert(static_cast<char>(Tavrin_GetSlotLetter(slot) & 0xFFFF));
    }
    return letters;
}
