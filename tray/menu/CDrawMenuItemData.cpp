#include "CDrawMenuItemData.h"

#include <vector>

#include "SharedImageList.h"

namespace {

int g_liveRecords = 0;

// The text of one accelerator: modifiers, then the key.
CString AcceleratorText(const ACCEL& accel)
{
    CString text;
    if (accel.fVirt & FALT)
        text += "Alt+";
    if (accel.fVirt & FCONTROL)
        text += "Ctrl+";
    if (accel.fVirt & FSHIFT)
        text += "Shift+";
    if (accel.fVirt & FVIRTKEY) {
        char name[64] = {};
        ::GetKeyNameTextA(static_cast<LONG>(::MapVirtualKeyA(accel.key, 0) << 16), name, sizeof name);
        text += name;
    } else {
        text += static_cast<char>(accel.key);
    }
    return text;
}

}  // namespace

CDrawMenuItemData::CDrawMenuItemData()
{
    ++g_liveRecords;
}

CDrawMenuItemData::~CDrawMenuItemData()
{
    ReleaseImageListHolder(m_pImageList);
    --g_liveRecords;
}

int CDrawMenuItemData::GetLiveCount()
{
    return g_liveRecords;
}

void CDrawMenuItemData::SetText(const char* text)
{
    m_strText = text ? text : "";
}

CString CDrawMenuItemData::GetDisplayText(HACCEL accel) const
{
    if (m_nFlags & MF_POPUP)
        accel = nullptr;
    const int tab = m_strText.IsEmpty() ? -1 : m_strText.Find('\t');
    if (!accel)
        return tab >= 0 ? m_strText.Left(tab) : m_strText;
    if (tab >= 0)
        return m_strText;
    // The main window's table belongs to a frame window; our programs have none.
    if (accel == reinterpret_cast<HACCEL>(-1))
        return m_strText;
    const int count = ::CopyAcceleratorTableA(accel, nullptr, 0);
    if (count <= 0)
        return m_strText;
    std::vector<ACCEL> entries(static_cast<size_t>(count));
    ::CopyAcceleratorTableA(accel, entries.data(), count);
    CString keys;
    for (const ACCEL& entry : entries) {
        if (entry.cmd != m_nID)
            continue;
        if (!keys.IsEmpty())
            keys += ", ";
        keys += AcceleratorText(entry);
    }
    return keys.IsEmpty() ? m_strText : m_strText + "\t" + keys;
}
