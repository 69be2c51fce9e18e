#include "VolumeMark.h"

#include <cstdio>
#include <cwchar>

namespace outside {

std::wstring VolumeMark::ToText() const
{
    wchar_t text[48];
    swprintf(text, 48, L"%08x.%016llx.%08x", static_cast<unsigned>(id), static_cast<unsigned long long>(sequence),
             static_cast<unsigned>(blockCrc));
    return text;
}

bool VolumeMark::FromText(const std::wstring& text, VolumeMark& mark)
{
    unsigned id = 0, crc = 0;
    unsigned long long sequence = 0;
    wchar_t end = 0;
    if (swscanf(text.c_str(), L"%8x.%16llx.%8x%lc", &id, &sequence, &crc, &end) != 3)
        return false;
    mark.id = id;
    mark.sequence = sequence;
    mark.blockCrc = crc;
    return true;
}

}  // namespace outside
