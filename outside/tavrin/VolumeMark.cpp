#include "VolumeMark.h"

#include <cstdio>

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
    // Read by hand: the library's scanf would bring a whole formatted reader into the file that
    // travels on every USB drive.
    uint64_t fields[3] = {};
    const size_t widths[3] = {8, 16, 8};
    size_t at = 0;
    for (int field = 0; field < 3; ++field) {
        if (field > 0 && (at >= text.size() || text[at++] != L'.'))
            return false;
        const size_t begin = at;
        for (; at < text.size() && at - begin < widths[field]; ++at) {
            const wchar_t c = text[at];
            const int digit = c >= L'0' && c <= L'9' ? c - L'0' : c >= L'a' && c <= L'f' ? c - L'a' + 10 : -1;
            if (digit < 0)
                break;
            fields[field] = fields[field] << 4 | static_cast<uint64_t>(digit);
        }
        if (at == begin)
            return false;
    }
    if (at != text.size())
        return false;
    mark.id = static_cast<uint32_t>(fields[0]);
    mark.sequence = fields[1];
    mark.blockCrc = static_cast<uint32_t>(fields[2]);
    return true;
}

}  // namespace outside
