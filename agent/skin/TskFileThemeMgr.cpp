#include "TskFileThemeMgr.h"

#include "SkinKeys.h"
#include "SkinTempFile.h"

namespace {
// Key indexes wrap at 128, as stored themes address them.
constexpr int kIndexWrap = 128;

int Wrap(int index)
{
    return ((index % kIndexWrap) + kIndexWrap) % kIndexWrap;
}
}  // namespace

bool TskFileThemeMgr::LoadFile(const std::string& path, const std::string& password)
{
    if (!FileExistsAt(path))
        return false;
    m_reader.reset();
    try {
        auto reader = std::make_unique<Tsk2SkinFileReader>(path, password);
        if (!reader->Loaded())
            return false;
        m_reader = std::move(reader);
        return true;
    } catch (...) {
        return false;
    }
}

TBitmap* TskFileThemeMgr::GetBitmap(int index) const
{
    const char* name = SkinBitmapKeyName(Wrap(index));
    return (m_reader && name) ? m_reader->FindBitmap(name) : nullptr;
}

long TskFileThemeMgr::GetColor(int index) const
{
    if (!m_reader)
        return 0;
    const char* name = SkinColorKeyName(Wrap(index));
    return name ? m_reader->FindInteger(name) : -1;
}

long TskFileThemeMgr::GetInteger(int index) const
{
    if (!m_reader)
        return 0;
    const char* name = SkinIntegerKeyName(Wrap(index));
    return name ? m_reader->FindInteger(name) : -1;
}

long TskFileThemeMgr::GetBool(int index) const
{
    const char* name = SkinFlagKeyName(Wrap(index));
    return (m_reader && name) ? m_reader->FindFlag(name) : 0;
}
