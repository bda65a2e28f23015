// The grid's drop target: registration once per window and forwarding of the drag events.
#include "grid/GridDropTarget.h"
#include "grid/GridCtrl.h"

namespace {

bool g_registering = false;   // one registration at a time across all grids

} // namespace

CGridDropTarget::~CGridDropTarget()
{
    CGridDropTarget::Revoke();
}

BOOL CGridDropTarget::Register(CGridCtrl* grid)
{
    if (m_bRegistered || g_registering || !grid || !grid->IsKindOf(RUNTIME_CLASS(CGridCtrl)))
        return FALSE;
    g_registering = true;
    m_pGridCtrl = grid;
    m_bRegistered = COleDropTarget::Register(grid);
    g_registering = false;
    return m_bRegistered;
}

void CGridDropTarget::Revoke()
{
    m_bRegistered = FALSE;
    COleDropTarget::Revoke();
}

bool CGridDropTarget::IsGridWindow(CWnd* window) const
{
    return m_pGridCtrl && window && window->GetSafeHwnd() && window->GetSafeHwnd() == m_pGridCtrl->GetSafeHwnd();
}

DROPEFFECT CGridDropTarget::OnDragEnter(CWnd* window, COleDataObject* dataObject, DWORD keyState, CPoint point)
{
    return IsGridWindow(window) ? m_pGridCtrl->OnDragEnter(dataObject, keyState, point) : DROPEFFECT_NONE;
}

DROPEFFECT CGridDropTarget::OnDragOver(CWnd* window, COleDataObject* dataObject, DWORD keyState, CPoint point)
{
    return IsGridWindow(window) ? m_pGridCtrl->OnDragOver(dataObject, keyState, point) : DROPEFFECT_NONE;
}

BOOL CGridDropTarget::OnDrop(CWnd* window, COleDataObject* dataObject, DROPEFFECT dropEffect, CPoint point)
{
    return IsGridWindow(window) ? m_pGridCtrl->OnDrop(dataObject, dropEffect, point) : FALSE;
}

void CGridDropTarget::OnDragLeave(CWnd* window)
{
    if (IsGridWindow(window))
        m_pGridCtrl->OnDragLeave();
}

DROPEFFECT CGridDropTarget::OnDragScroll(CWnd* window, DWORD keyState, CPoint)
{
    // The grid scrolls itself while a drag passes over its edges.
    if (!IsGridWindow(window))
        return DROPEFFECT_NONE;
    return (keyState & MK_CONTROL) ? DROPEFFECT_COPY : DROPEFFECT_MOVE;
}
