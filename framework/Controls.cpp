// Control classes: run-time class records, the text readers of list and combo boxes, owner-drawn
// tab reflection and the menu handle map.
#include "framework/Controls.h"
#include "framework/App.h"
#include <unordered_map>

IMPLEMENT_DYNAMIC(CStatic, CWnd)
IMPLEMENT_DYNAMIC(CButton, CWnd)
IMPLEMENT_DYNAMIC(CEdit, CWnd)
IMPLEMENT_DYNAMIC(CListBox, CWnd)
IMPLEMENT_DYNAMIC(CComboBox, CWnd)
IMPLEMENT_DYNAMIC(CScrollBar, CWnd)
IMPLEMENT_DYNAMIC(CTabCtrl, CWnd)
IMPLEMENT_DYNAMIC(CSpinButtonCtrl, CWnd)
IMPLEMENT_DYNAMIC(CProgressCtrl, CWnd)

void CListBox::GetText(int nIndex, CString& rString) const
{
    int length = (int)SendMessage(LB_GETTEXTLEN, nIndex);
    if (length == LB_ERR)
    {
        rString.Empty();
        return;
    }
    wchar_t* buffer = rString.GetBuffer(length + 1);
    int got = (int)SendMessage(LB_GETTEXT, nIndex, (LPARAM)buffer);
    rString.ReleaseBuffer(got == LB_ERR ? 0 : got);
}

void CComboBox::GetLBText(int nIndex, CString& rString) const
{
    int length = (int)SendMessage(CB_GETLBTEXTLEN, nIndex);
    if (length == CB_ERR)
    {
        rString.Empty();
        return;
    }
    wchar_t* buffer = rString.GetBuffer(length + 1);
    int got = (int)SendMessage(CB_GETLBTEXT, nIndex, (LPARAM)buffer);
    rString.ReleaseBuffer(got == CB_ERR ? 0 : got);
}

BOOL CTabCtrl::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (message == WM_DRAWITEM)
    {
        DrawItem((LPDRAWITEMSTRUCT)lParam);
        if (pResult)
            *pResult = TRUE;
        return TRUE;
    }
    return CWnd::OnChildNotify(message, wParam, lParam, pResult);
}

namespace
{
std::unordered_map<HMENU, CMenu*> g_tempMenus;
}

CMenu* CMenu::FromHandle(HMENU hMenu)
{
    if (!hMenu)
        return nullptr;
    auto it = g_tempMenus.find(hMenu);
    if (it != g_tempMenus.end())
        return it->second;
    CMenu* temp = new CMenu;
    temp->m_hMenu = hMenu;
    g_tempMenus[hMenu] = temp;
    return temp;
}

void CMenu::DeleteTempMap()
{
    for (auto& entry : g_tempMenus)
    {
        entry.second->Detach();
        delete entry.second;
    }
    g_tempMenus.clear();
}

BOOL CMenu::LoadMenu(UINT nIDResource)
{
    return Attach(::LoadMenuW(AfxGetResourceHandle(), MAKEINTRESOURCEW(nIDResource)));
}
