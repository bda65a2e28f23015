// Run-time class information and the message-map lookup shared by every command target.
#include "framework/Object.h"

bool CRuntimeClass::IsDerivedFrom(const CRuntimeClass* base) const
{
    for (const CRuntimeClass* cls = this; cls; cls = cls->m_pBaseClass)
        if (cls == base)
            return true;
    return false;
}

const CRuntimeClass CObject::classCObject = {"CObject", (int)sizeof(CObject), nullptr, nullptr};

const CRuntimeClass* CObject::GetRuntimeClass() const
{
    return &classCObject;
}

IMPLEMENT_DYNAMIC(CCmdTarget, CObject)

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap()
{
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, nullptr, nullptr}};
    static const AFX_MSGMAP map = {nullptr, entries};
    return &map;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const
{
    return GetThisMessageMap();
}

static bool EntryMatches(const AFX_MSGMAP_ENTRY& entry, UINT message, UINT code, UINT id)
{
    if (entry.pRegisteredMessage)
        return *entry.pRegisteredMessage != 0 && *entry.pRegisteredMessage == message;
    if (entry.nMessage != message)
        return false;
    if (message == WM_COMMAND || message == WM_NOTIFY)
        return entry.nCode == code && id >= entry.nID && id <= entry.nLastID;
    if (message == WM_COMMAND + WM_REFLECT_BASE || message == WM_NOTIFY + WM_REFLECT_BASE)
        return entry.nCode == code;
    return true;
}

bool CCmdTarget::DispatchThroughMaps(AFX_MSG_CALL& call, UINT code, UINT id)
{
    // The message looked up may differ from call.message (all WM_CTLCOLOR* share one entry).
    UINT lookup = call.message;
    if (lookup >= WM_CTLCOLORMSGBOX && lookup <= WM_CTLCOLORSTATIC)
        lookup = WM_CTLCOLOR_ANY_;
    for (const AFX_MSGMAP* map = GetMessageMap(); map; map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr)
    {
        for (const AFX_MSGMAP_ENTRY* entry = map->lpEntries; entry->pfn; ++entry)
        {
            if (EntryMatches(*entry, lookup, code, id))
            {
                entry->pfn(this, call);
                return true;
            }
        }
    }
    return false;
}

BOOL CCmdTarget::OnCmdMsg(UINT nID, UINT nMessage, UINT nCode, AFX_MSG_CALL& call)
{
    AFX_MSG_CALL routed = call;
    routed.message = nMessage;
    if (!DispatchThroughMaps(routed, nCode, nID))
        return FALSE;
    call.result = routed.result;
    return TRUE;
}
