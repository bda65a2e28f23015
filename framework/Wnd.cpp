// The handle map, the creation hook, the one window procedure and the message routing of CWnd.
#include "framework/Wnd.h"
#include "framework/Gdi.h"
#include "framework/Controls.h"
#include "framework/Dialog.h"
#include "framework/App.h"
#include "framework/Seams.h"
#include <algorithm>
#include <list>
#include <string>
#include <unordered_map>

namespace
{
// The program starts no threads, so the maps and the creation state are plain globals.
std::unordered_map<HWND, CWnd*> g_permanent;
std::unordered_map<HWND, CWnd*> g_temporary;
HHOOK g_creationHook = nullptr;
CWnd* g_creating = nullptr;       // the object the next created window is bound to
MSG g_currentMessage = {};        // the message the window procedure is handling

LRESULT CALLBACK CreationHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND && g_creating)
    {
        CWnd* wnd = g_creating;
        g_creating = nullptr;
        HWND hWnd = (HWND)wParam;
        wnd->Attach(hWnd);
        WNDPROC* super = wnd->GetSuperWndProcAddr();
        WNDPROC old = (WNDPROC)::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, (LONG_PTR)AfxWndProc);
        if (old != AfxWndProc)
            *super = old;
    }
    return ::CallNextHookEx(g_creationHook, code, wParam, lParam);
}

LPCTSTR DefaultClass()
{
    return AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursorW(nullptr, IDC_ARROW));
}
}

IMPLEMENT_DYNCREATE(CWnd, CCmdTarget)

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
    ON_WM_NCDESTROY()
    ON_WM_DRAWITEM()
    ON_WM_MEASUREITEM()
    ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWnd* wnd = CWnd::FromHandlePermanent(hWnd);
    if (!wnd)
        return ::DefWindowProcW(hWnd, message, wParam, lParam);
    MSG saved = g_currentMessage;
    g_currentMessage.hwnd = hWnd;
    g_currentMessage.message = message;
    g_currentMessage.wParam = wParam;
    g_currentMessage.lParam = lParam;
    LRESULT result = wnd->WindowProc(message, wParam, lParam);
    g_currentMessage = saved;
    return result;
}

CWnd::~CWnd()
{
    if (m_hWnd && FromHandlePermanent(m_hWnd) == this)
        DestroyWindow();
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd)
{
    auto it = g_permanent.find(hWnd);
    return it == g_permanent.end() ? nullptr : it->second;
}

CWnd* CWnd::FromHandle(HWND hWnd)
{
    if (!hWnd)
        return nullptr;
    if (CWnd* wnd = FromHandlePermanent(hWnd))
        return wnd;
    auto it = g_temporary.find(hWnd);
    if (it != g_temporary.end())
        return it->second;
    CWnd* temp = new CWnd;
    temp->m_hWnd = hWnd;
    g_temporary[hWnd] = temp;
    return temp;
}

void CWnd::DeleteTempMap()
{
    for (auto& entry : g_temporary)
    {
        entry.second->m_hWnd = nullptr;
        delete entry.second;
    }
    g_temporary.clear();
}

BOOL CWnd::Attach(HWND hWndNew)
{
    if (!hWndNew || m_hWnd)
        return FALSE;
    m_hWnd = hWndNew;
    g_permanent[hWndNew] = this;
    auto it = g_temporary.find(hWndNew);
    if (it != g_temporary.end())
    {
        // A wrapper handed out before the window was bound stays valid but no longer needed.
        it->second->m_hWnd = nullptr;
        delete it->second;
        g_temporary.erase(it);
    }
    return TRUE;
}

HWND CWnd::Detach()
{
    HWND hWnd = m_hWnd;
    if (hWnd)
    {
        auto it = g_permanent.find(hWnd);
        if (it != g_permanent.end() && it->second == this)
            g_permanent.erase(it);
    }
    m_hWnd = nullptr;
    return hWnd;
}

BOOL CWnd::SubclassWindow(HWND hWnd)
{
    if (!::IsWindow(hWnd) || !Attach(hWnd))
        return FALSE;
    PreSubclassWindow();
    WNDPROC* super = GetSuperWndProcAddr();
    WNDPROC old = (WNDPROC)::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, (LONG_PTR)AfxWndProc);
    if (old != AfxWndProc)
        *super = old;
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent)
{
    HWND hWndControl = ::GetDlgItem(pParent->GetSafeHwnd(), nID);
    return hWndControl ? SubclassWindow(hWndControl) : FALSE;
}

HWND CWnd::UnsubclassWindow()
{
    WNDPROC* super = GetSuperWndProcAddr();
    if (m_hWnd && *super)
    {
        ::SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, (LONG_PTR)*super);
        *super = nullptr;
    }
    return Detach();
}

void CWnd::HookWindowCreate()
{
    if (!g_creationHook)
        g_creationHook = ::SetWindowsHookExW(WH_CBT, CreationHook, nullptr, ::GetCurrentThreadId());
    g_creating = this;
}

bool CWnd::UnhookWindowCreate()
{
    bool bound = g_creating == nullptr;
    g_creating = nullptr;
    return bound;
}

BOOL CWnd::PreCreateWindow(CREATESTRUCT& cs)
{
    if (!cs.lpszClass)
        cs.lpszClass = DefaultClass();
    return TRUE;
}

BOOL CWnd::Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                  CWnd* pParentWnd, UINT nID, void* pContext)
{
    return CreateEx(0, lpszClassName, lpszWindowName, dwStyle | WS_CHILD, rect.left, rect.top,
                    rect.right - rect.left, rect.bottom - rect.top, pParentWnd->GetSafeHwnd(),
                    (HMENU)(UINT_PTR)nID, pContext);
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle,
                    const RECT& rect, CWnd* pParentWnd, UINT nID, LPVOID lpParam)
{
    return CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, rect.left, rect.top,
                    rect.right - rect.left, rect.bottom - rect.top, pParentWnd->GetSafeHwnd(),
                    (HMENU)(UINT_PTR)nID, lpParam);
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle,
                    int x, int y, int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu, LPVOID lpParam)
{
    if (m_hWnd)
        return FALSE;
    CREATESTRUCTW cs = {};
    cs.dwExStyle = dwExStyle;
    cs.lpszClass = lpszClassName;
    cs.lpszName = lpszWindowName;
    cs.style = dwStyle;
    cs.x = x;
    cs.y = y;
    cs.cx = nWidth;
    cs.cy = nHeight;
    cs.hwndParent = hWndParent;
    cs.hMenu = nIDorHMenu;
    cs.hInstance = AfxGetInstanceHandle();
    cs.lpCreateParams = lpParam;
    if (!PreCreateWindow(cs))
    {
        PostNcDestroy();
        return FALSE;
    }
    HookWindowCreate();
    HWND hWnd = ::CreateWindowExW(cs.dwExStyle, cs.lpszClass, cs.lpszName, cs.style, cs.x, cs.y, cs.cx,
                                  cs.cy, cs.hwndParent, cs.hMenu, cs.hInstance, cs.lpCreateParams);
    UnhookWindowCreate();
    return hWnd != nullptr;
}

BOOL CWnd::DestroyWindow()
{
    if (!m_hWnd)
        return FALSE;
    return ::DestroyWindow(m_hWnd);
}

void CWnd::OnNcDestroy()
{
    CWinApp* app = AfxGetApp();
    if (app && app->m_pMainWnd == this)
    {
        app->m_pMainWnd = nullptr;
        ::PostQuitMessage(0);
    }
    Default();
    WNDPROC* super = GetSuperWndProcAddr();
    if (*super && (WNDPROC)::GetWindowLongPtrW(m_hWnd, GWLP_WNDPROC) == AfxWndProc)
        ::SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, (LONG_PTR)*super);
    *super = nullptr;
    Detach();
    PostNcDestroy();
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result))
        result = DefWindowProc(message, wParam, lParam);
    return result;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_pfnSuper)
        return ::CallWindowProcW(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcW(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default()
{
    return DefWindowProc(g_currentMessage.message, g_currentMessage.wParam, g_currentMessage.lParam);
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (message == WM_COMMAND)
    {
        if (!OnCommand(wParam, lParam))
            return FALSE;
        *pResult = 0;
        return TRUE;
    }
    if (message == WM_NOTIFY)
    {
        const NMHDR* header = (const NMHDR*)lParam;
        return header && OnNotify(wParam, lParam, pResult);
    }
    AFX_MSG_CALL call = {message, wParam, lParam, 0};
    if (DispatchThroughMaps(call, 0, 0))
    {
        *pResult = call.result;
        return TRUE;
    }
    return FALSE;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    HWND hWndControl = (HWND)lParam;
    LRESULT result = 0;
    if (hWndControl && ReflectMessage(hWndControl, WM_COMMAND, wParam, lParam, &result))
        return TRUE;
    AFX_MSG_CALL call = {WM_COMMAND, wParam, lParam, 0};
    return OnCmdMsg(LOWORD(wParam), WM_COMMAND, HIWORD(wParam), call);
}

BOOL CWnd::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    const NMHDR* header = (const NMHDR*)lParam;
    if (header->hwndFrom && ReflectMessage(header->hwndFrom, WM_NOTIFY, wParam, lParam, pResult))
        return TRUE;
    AFX_MSG_CALL call = {WM_NOTIFY, wParam, lParam, 0};
    if (!OnCmdMsg((UINT)header->idFrom, WM_NOTIFY, header->code, call))
        return FALSE;
    *pResult = call.result;
    return TRUE;
}

BOOL CWnd::ReflectMessage(HWND hWndChild, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    CWnd* child = FromHandlePermanent(hWndChild);
    return child ? child->OnChildNotify(message, wParam, lParam, pResult) : FALSE;
}

BOOL CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    UINT code = 0;
    if (message == WM_COMMAND)
        code = HIWORD(wParam);
    else if (message == WM_NOTIFY)
        code = ((const NMHDR*)lParam)->code;
    else
        return FALSE;
    AFX_MSG_CALL call = {message + WM_REFLECT_BASE, wParam, lParam, 0};
    if (!DispatchThroughMaps(call, code, 0))
        return FALSE;
    if (pResult)
        *pResult = call.result;
    return TRUE;
}

void CWnd::OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct)
{
    LRESULT result = 0;
    if (lpDrawItemStruct->CtlType != ODT_MENU &&
        ReflectMessage(lpDrawItemStruct->hwndItem, WM_DRAWITEM, nIDCtl, (LPARAM)lpDrawItemStruct, &result))
        return;
    Default();
}

void CWnd::OnMeasureItem(int nIDCtl, LPMEASUREITEMSTRUCT lpMeasureItemStruct)
{
    LRESULT result = 0;
    HWND hWndControl = ::GetDlgItem(m_hWnd, nIDCtl);
    if (lpMeasureItemStruct->CtlType != ODT_MENU && hWndControl &&
        ReflectMessage(hWndControl, WM_MEASUREITEM, nIDCtl, (LPARAM)lpMeasureItemStruct, &result))
        return;
    Default();
}

HBRUSH CWnd::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    LRESULT result = 0;
    if (pWnd && ReflectMessage(pWnd->m_hWnd, WM_CTLCOLORMSGBOX + nCtlColor, (WPARAM)pDC->GetSafeHdc(), (LPARAM)pWnd->m_hWnd, &result))
        return (HBRUSH)result;
    return (HBRUSH)Default();
}

BOOL CWnd::WalkPreTranslateTree(HWND hWndStop, MSG* pMsg)
{
    for (HWND hWnd = pMsg->hwnd; hWnd; hWnd = ::GetParent(hWnd))
    {
        CWnd* wnd = FromHandlePermanent(hWnd);
        if (wnd && wnd->PreTranslateMessage(pMsg))
            return TRUE;
        if (hWnd == hWndStop)
            break;
    }
    return FALSE;
}

void CWnd::SendMessageToDescendants(UINT message, WPARAM wParam, LPARAM lParam, BOOL bDeep)
{
    for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
    {
        ::SendMessageW(child, message, wParam, lParam);
        if (bDeep)
            FromHandle(child)->SendMessageToDescendants(message, wParam, lParam, TRUE);
    }
}

BOOL CWnd::ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
    DWORD style = GetStyle();
    DWORD newStyle = (style & ~dwRemove) | dwAdd;
    if (style == newStyle)
        return FALSE;
    ::SetWindowLongPtrW(m_hWnd, GWL_STYLE, newStyle);
    if (nFlags)
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | nFlags);
    return TRUE;
}

BOOL CWnd::ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
    DWORD style = GetExStyle();
    DWORD newStyle = (style & ~dwRemove) | dwAdd;
    if (style == newStyle)
        return FALSE;
    ::SetWindowLongPtrW(m_hWnd, GWL_EXSTYLE, newStyle);
    if (nFlags)
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | nFlags);
    return TRUE;
}

void CWnd::ClientToScreen(LPRECT lpRect) const
{
    ::ClientToScreen(m_hWnd, (LPPOINT)lpRect);
    ::ClientToScreen(m_hWnd, ((LPPOINT)lpRect) + 1);
}

void CWnd::ScreenToClient(LPRECT lpRect) const
{
    ::ScreenToClient(m_hWnd, (LPPOINT)lpRect);
    ::ScreenToClient(m_hWnd, ((LPPOINT)lpRect) + 1);
}

void CWnd::CenterWindow(CWnd* pAlternateOwner)
{
    CRect area;
    HWND hWndCenter = pAlternateOwner ? pAlternateOwner->m_hWnd : ::GetWindow(m_hWnd, GW_OWNER);
    const bool child = (GetStyle() & WS_CHILD) != 0;
    if (child)
        hWndCenter = ::GetParent(m_hWnd);
    CRect rect;
    GetWindowRect(&rect);
    if (child)
    {
        if (!hWndCenter)
            return;
        ::GetClientRect(hWndCenter, &area);
        ::SetWindowPos(m_hWnd, nullptr, area.left + (area.Width() - rect.Width()) / 2,
                       area.top + (area.Height() - rect.Height()) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        return;
    }
    // A popup: over its owner's top-level window, kept whole inside the work area of the owner's
    // monitor (or the primary one), as the system places a centred dialog.
    if (hWndCenter)
        hWndCenter = ::GetAncestor(hWndCenter, GA_ROOT);
    MONITORINFO monitor = {sizeof(monitor)};
    const HMONITOR nearest = hWndCenter ? ::MonitorFromWindow(hWndCenter, MONITOR_DEFAULTTOPRIMARY)
                                        : ::MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTOPRIMARY);
    CRect work;
    if (::GetMonitorInfoW(nearest, &monitor))
        work = monitor.rcWork;
    else
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    if (hWndCenter && ::IsWindowVisible(hWndCenter) && !::IsIconic(hWndCenter))
        ::GetWindowRect(hWndCenter, &area);
    else
        area = work;
    int x = area.left + (area.Width() - rect.Width()) / 2;
    int y = area.top + (area.Height() - rect.Height()) / 2;
    // The title bar first: a dialog taller or wider than the work area keeps its top left inside.
    x = std::max<int>(work.left, std::min<int>(x, work.right - rect.Width()));
    y = std::max<int>(work.top, std::min<int>(y, work.bottom - rect.Height()));
    ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

CDC* CWnd::GetDC()
{
    return CDC::FromHandle(::GetDC(m_hWnd));
}

CDC* CWnd::GetWindowDC()
{
    return CDC::FromHandle(::GetWindowDC(m_hWnd));
}

int CWnd::ReleaseDC(CDC* pDC)
{
    return ::ReleaseDC(m_hWnd, pDC->GetSafeHdc());
}

CWnd* CWnd::GetOwner() const
{
    return m_hWndOwner ? FromHandle(m_hWndOwner) : GetParent();
}

void CWnd::GetWindowText(CString& rString) const
{
    int length = ::GetWindowTextLengthW(m_hWnd);
    wchar_t* buffer = rString.GetBuffer(length + 1);
    int got = ::GetWindowTextW(m_hWnd, buffer, length + 1);
    rString.ReleaseBuffer(got);
}

int CWnd::GetDlgItemText(int nID, CString& rString) const
{
    HWND hWndItem = ::GetDlgItem(m_hWnd, nID);
    if (!hWndItem)
    {
        rString.Empty();
        return 0;
    }
    FromHandle(hWndItem)->GetWindowText(rString);
    return rString.GetLength();
}

void CWnd::SetFont(CFont* pFont, BOOL bRedraw)
{
    ::SendMessageW(m_hWnd, WM_SETFONT, (WPARAM)pFont->GetSafeHandle(), bRedraw);
}

CFont* CWnd::GetFont() const
{
    return CFont::FromHandle((HFONT)::SendMessageW(m_hWnd, WM_GETFONT, 0, 0));
}

CMenu* CWnd::GetMenu() const
{
    return CMenu::FromHandle(::GetMenu(m_hWnd));
}

BOOL CWnd::SetMenu(CMenu* pMenu)
{
    return ::SetMenu(m_hWnd, pMenu->GetSafeHmenu());
}

int CWnd::MessageBox(LPCTSTR lpszText, LPCTSTR lpszCaption, UINT nType)
{
    if (CDialog::ModalLoopsRefused())
        return AfxCancelledAnswer(nType);
    return AfxShowMessageBox(m_hWnd, lpszText, lpszCaption, nType);
}

BOOL AfxRegisterClass(WNDCLASSW* lpWndClass)
{
    WNDCLASSW existing;
    if (::GetClassInfoW(lpWndClass->hInstance, lpWndClass->lpszClassName, &existing))
        return TRUE;
    return ::RegisterClassW(lpWndClass) != 0;
}

LPCTSTR AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor, HBRUSH hbrBackground, HICON hIcon)
{
    static std::list<std::wstring> names;   // the names handed out stay valid for the program's life
    wchar_t name[96];
    wsprintfW(name, L"Formstead:%x:%x:%x:%x", nClassStyle, (UINT)(UINT_PTR)hCursor,
              (UINT)(UINT_PTR)hbrBackground, (UINT)(UINT_PTR)hIcon);
    for (const std::wstring& known : names)
        if (known == name)
            return known.c_str();
    WNDCLASSW wc = {};
    wc.style = nClassStyle;
    wc.lpfnWndProc = ::DefWindowProcW;
    wc.hInstance = AfxGetInstanceHandle();
    wc.hCursor = hCursor;
    wc.hbrBackground = hbrBackground;
    wc.hIcon = hIcon;
    wc.lpszClassName = name;
    if (!AfxRegisterClass(&wc))
        return nullptr;
    names.push_back(name);
    return names.back().c_str();
}
