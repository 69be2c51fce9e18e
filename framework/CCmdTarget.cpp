#include "CCmdTarget.h"

const AFX_MSGMAP* PASCAL CCmdTarget::GetThisMessageMap()
{
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, nullptr, nullptr}};
    static const AFX_MSGMAP map = {nullptr, &entries[0]};
    return &map;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const
{
    return GetThisMessageMap();
}

const AFX_MSGMAP_ENTRY* CCmdTarget::FindMessageEntry(const AFX_MSGMAP* map, UINT message, UINT code, UINT id)
{
    for (; map; map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* e = map->lpEntries; e->pfn; ++e) {
            if (e->nMessage == AFX_REGISTERED_MESSAGE) {
                if (message >= AFX_REGISTERED_MESSAGE && *e->pRegisteredMessage == message)
                    return e;
                continue;
            }
            if (e->nMessage == message && e->nCode == code && id >= e->nID && id <= e->nLastID)
                return e;
        }
    }
    return nullptr;
}

BOOL CCmdTarget::OnCmdMsg(UINT id, UINT code)
{
    const AFX_MSGMAP_ENTRY* entry = FindMessageEntry(GetMessageMap(), WM_COMMAND, code, id);
    if (!entry)
        return FALSE;
    // Command entries are all of the void() shape, which takes nothing of the message.
    LRESULT unused = 0;
    entry->pfn(this, AfxMessage{0, 0, 0, &unused});
    return TRUE;
}
