#include "CCmdTarget.h"

const AFX_MSGMAP* PASCAL CCmdTarget::GetThisMessageMap()
{
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, AfxSig_end, nullptr}};
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
        for (const AFX_MSGMAP_ENTRY* e = map->lpEntries; e->nSig != AfxSig_end; ++e) {
            if (e->nMessage == AFX_REGISTERED_MESSAGE) {
                if (message >= AFX_REGISTERED_MESSAGE && *reinterpret_cast<const UINT*>(e->nSig) == message)
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
    if (!entry || entry->nSig != AfxSig_vv)
        return FALSE;
    (this->*entry->pfn)();
    return TRUE;
}
