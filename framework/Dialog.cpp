// Dialogs from resource templates: creation bound to the object from the first message, the modal
// loop over the application's pump, and the dialog bars a frame docks.
#include "framework/Dialog.h"
#include "framework/App.h"
#include <algorithm>
#include <vector>

namespace
{
// The program starts no threads: the running modal loops (innermost last) are plain globals.
std::vector<CDialog*> g_modalLoops;
bool g_modalLoopsRefused = false;

bool InModalLoop(CDialog* dialog)
{
    return std::find(g_modalLoops.begin(), g_modalLoops.end(), dialog) != g_modalLoops.end();
}

// Visible dialog windows of this thread that no object of ours is bound to: message boxes and the
// system's own dialogs (file choosers, print set-up), each running a modal loop.
BOOL CALLBACK CollectSystemDialog(HWND hWnd, LPARAM lParam)
{
    wchar_t className[16] = {};
    ::GetClassNameW(hWnd, className, 16);
    if (lstrcmpW(className, L"#32770") == 0 && ::IsWindowVisible(hWnd) && !CWnd::FromHandlePermanent(hWnd))
        ((std::vector<HWND>*)lParam)->push_back(hWnd);
    return TRUE;
}
// The dialog manager calls this only for what the bound window procedure passes on; the map of the
// object has handled everything it wanted already.
INT_PTR CALLBACK PassiveDialogProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

LPCDLGTEMPLATE FindTemplate(LPCTSTR name, DWORD* size)
{
    HINSTANCE module = AfxGetResourceHandle();
    HRSRC resource = ::FindResourceW(module, name, (LPCWSTR)RT_DIALOG);
    if (!resource)
        return nullptr;
    HGLOBAL loaded = ::LoadResource(module, resource);
    if (!loaded)
        return nullptr;
    if (size)
        *size = ::SizeofResource(module, resource);
    return (LPCDLGTEMPLATE)::LockResource(loaded);
}

// The style field of a template (the extended form starts with 1, 0xFFFF and keeps it at byte 12).
DWORD* TemplateStyle(void* dialogTemplate)
{
    WORD* words = (WORD*)dialogTemplate;
    bool extended = words[0] == 1 && words[1] == 0xFFFF;
    return (DWORD*)((BYTE*)dialogTemplate + (extended ? 12 : 0));
}
}

IMPLEMENT_DYNAMIC(CDialog, CWnd)

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_MESSAGE(WM_INITDIALOG, HandleInitDialog)
    ON_COMMAND(IDOK, OnOK)
    ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_lpszTemplateName(MAKEINTRESOURCEW(nIDTemplate)), m_pParentWnd(pParentWnd)
{
    m_nIDHelp = nIDTemplate;
}

CDialog::CDialog(LPCTSTR lpszTemplateName, CWnd* pParentWnd)
    : m_lpszTemplateName(lpszTemplateName), m_pParentWnd(pParentWnd)
{
}

LPCDLGTEMPLATE CDialog::LoadTemplate() const
{
    return m_lpszTemplateName ? FindTemplate(m_lpszTemplateName, nullptr) : nullptr;
}

LRESULT CDialog::HandleInitDialog(WPARAM, LPARAM)
{
    CRect before;
    GetWindowRect(&before);
    const LRESULT result = OnInitDialog();
    // A popup dialog that did not place itself is centred on its owner and kept inside the work
    // area; the template's own place (relative to the owner's corner) could lie off the screen.
    CRect after;
    GetWindowRect(&after);
    if (!(GetStyle() & WS_CHILD) && after.TopLeft() == before.TopLeft())
        CenterWindow();
    return result;
}

BOOL CDialog::CreateFromTemplate(LPCDLGTEMPLATE lpTemplate, HWND hWndParent)
{
    if (m_hWnd || !lpTemplate)
        return FALSE;
    HookWindowCreate();
    HWND hWnd = ::CreateDialogIndirectParamW(AfxGetResourceHandle(), lpTemplate, hWndParent, PassiveDialogProc, 0);
    UnhookWindowCreate();
    return hWnd != nullptr && m_hWnd == hWnd;
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd)
{
    return Create(MAKEINTRESOURCEW(nIDTemplate), pParentWnd);
}

BOOL CDialog::Create(LPCTSTR lpszTemplateName, CWnd* pParentWnd)
{
    m_lpszTemplateName = lpszTemplateName;
    if (IS_INTRESOURCE(lpszTemplateName) && m_nIDHelp == 0)
        m_nIDHelp = (UINT)(UINT_PTR)lpszTemplateName;
    if (pParentWnd)
        m_pParentWnd = pParentWnd;
    return CreateFromTemplate(LoadTemplate(), m_pParentWnd->GetSafeHwnd());
}

INT_PTR CDialog::DoModal()
{
    if (g_modalLoopsRefused)
        return IDCANCEL;
    LPCDLGTEMPLATE dialogTemplate = LoadTemplate();
    if (!dialogTemplate)
        return -1;
    // The owner is the top-level window of the parent (or the main window), or the modal dialog
    // running now; it is disabled meanwhile.
    HWND hWndOwner = ModalOwnerFor(m_pParentWnd ? m_pParentWnd->GetSafeHwnd() : AfxGetMainWnd()->GetSafeHwnd());
    bool enableOwner = false;
    if (hWndOwner && ::IsWindowEnabled(hWndOwner))
    {
        ::EnableWindow(hWndOwner, FALSE);
        enableOwner = true;
    }
    m_bEndModal = false;
    m_nModalResult = -1;
    m_bInModalLoop = true;
    g_modalLoops.push_back(this);
    if (CreateFromTemplate(dialogTemplate, hWndOwner))
    {
        if (!m_bEndModal)
            ::ShowWindow(m_hWnd, SW_SHOWNORMAL);
        // The loop also ends when the dialog is destroyed from outside (its owner went), since no
        // EndDialog will come then.
        while (!m_bEndModal && m_hWnd)
        {
            if (!AfxPumpMessage())
                break;   // WM_QUIT: posted again for the outer loop
        }
        if (m_hWnd)
            ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                           SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
    }
    m_bInModalLoop = false;
    g_modalLoops.erase(std::remove(g_modalLoops.begin(), g_modalLoops.end(), this), g_modalLoops.end());
    if (enableOwner)
        ::EnableWindow(hWndOwner, TRUE);
    if (hWndOwner && ::GetActiveWindow() == m_hWnd)
        ::SetActiveWindow(hWndOwner);
    DestroyWindow();
    return m_nModalResult;
}

void CDialog::EndDialog(int nResult)
{
    if (m_bInModalLoop)
    {
        m_nModalResult = nResult;
        m_bEndModal = true;
        ::PostMessageW(m_hWnd, WM_NULL, 0, 0);   // wakes the pump that waits for a message
    }
    else if (m_hWnd)
    {
        ::EndDialog(m_hWnd, nResult);
    }
}

bool CDialog::EndModalLoops()
{
    bool any = false;
    const std::vector<CDialog*> loops = g_modalLoops;   // a Cancel handler may change the list
    for (auto it = loops.rbegin(); it != loops.rend(); ++it)
    {
        CDialog* dialog = *it;
        if (!InModalLoop(dialog))
            continue;
        any = true;
        if (dialog->m_hWnd && !dialog->m_bEndModal)
            dialog->SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        if (InModalLoop(dialog) && !dialog->m_bEndModal)
            dialog->EndDialog(IDCANCEL);
    }
    std::vector<HWND> boxes;
    ::EnumThreadWindows(::GetCurrentThreadId(), CollectSystemDialog, (LPARAM)&boxes);
    for (HWND box : boxes)
    {
        if (!::IsWindow(box))
            continue;
        any = true;
        int id = IDCANCEL;
        for (int candidate : {IDCANCEL, IDNO, IDABORT, IDOK})
            if (::GetDlgItem(box, candidate))
            {
                id = candidate;
                break;
            }
        ::SendMessageW(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)::GetDlgItem(box, id));
    }
    return any;
}

void CDialog::RefuseModalLoops(bool refuse)
{
    g_modalLoopsRefused = refuse;
}

bool CDialog::ModalLoopsRefused()
{
    return g_modalLoopsRefused;
}

HWND CDialog::ModalOwnerFor(HWND hWndPreferred)
{
    HWND top = hWndPreferred;
    while (top && (::GetWindowLongPtrW(top, GWL_STYLE) & WS_CHILD))
        top = ::GetParent(top);
    for (auto it = g_modalLoops.rbegin(); it != g_modalLoops.rend(); ++it)
    {
        HWND dialog = (*it)->m_hWnd;
        if ((*it)->m_bEndModal || !dialog || ::GetWindowThreadProcessId(dialog, nullptr) != ::GetCurrentThreadId())
            continue;
        // A window the dialog owns (a message box over it, another of our dialogs) is as good.
        for (HWND owned = top; owned; owned = ::GetWindow(owned, GW_OWNER))
            if (owned == dialog)
                return top;
        return dialog;
    }
    return top;
}

int AfxCancelledAnswer(UINT nType)
{
    switch (nType & MB_TYPEMASK)
    {
    case MB_OKCANCEL:
    case MB_YESNOCANCEL:
    case MB_RETRYCANCEL:
    case MB_CANCELTRYCONTINUE:
        return IDCANCEL;
    case MB_YESNO:
        return IDNO;
    case MB_ABORTRETRYIGNORE:
        return IDABORT;
    default:
        return IDOK;
    }
}

BOOL CDialog::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message < WM_KEYFIRST || pMsg->message > WM_KEYLAST || !m_hWnd)
        return FALSE;
    if (pMsg->hwnd != m_hWnd && !::IsChild(m_hWnd, pMsg->hwnd))
        return FALSE;
    return ::IsDialogMessageW(m_hWnd, pMsg);
}

IMPLEMENT_DYNAMIC(CControlBar, CWnd)

CSize CControlBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz)
{
    return m_sizeDefault;
}

LRESULT CControlBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND || message == WM_NOTIFY)
    {
        LRESULT result = 0;
        if (OnWndMsg(message, wParam, lParam, &result))
            return result;
        if (CWnd* owner = GetOwner())
            return owner->SendMessage(message, wParam, lParam);
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

IMPLEMENT_DYNAMIC(CDialogBar, CControlBar)

BOOL CDialogBar::Create(CWnd* pParentWnd, UINT nIDTemplate, UINT nStyle, UINT nID)
{
    return Create(pParentWnd, MAKEINTRESOURCEW(nIDTemplate), nStyle, nID);
}

BOOL CDialogBar::Create(CWnd* pParentWnd, LPCTSTR lpszTemplateName, UINT nStyle, UINT nID)
{
    DWORD size = 0;
    LPCDLGTEMPLATE found = FindTemplate(lpszTemplateName, &size);
    if (!found || !pParentWnd || m_hWnd)
        return FALSE;
    // The bar is a visible child whatever the template says about frames and captions.
    std::vector<BYTE> copy((const BYTE*)found, (const BYTE*)found + size);
    DWORD* style = TemplateStyle(copy.data());
    *style = (*style & ~(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | DS_MODALFRAME)) | WS_CHILD | WS_VISIBLE;
    m_dwStyle = nStyle;
    HookWindowCreate();
    HWND hWnd = ::CreateDialogIndirectParamW(AfxGetResourceHandle(), (LPCDLGTEMPLATE)copy.data(), pParentWnd->m_hWnd,
                                             PassiveDialogProc, 0);
    UnhookWindowCreate();
    if (!hWnd || hWnd != m_hWnd)
        return FALSE;
    SetDlgCtrlID(nID);
    SetOwner(pParentWnd);
    CRect rect;
    GetWindowRect(&rect);
    m_sizeDefault = rect.Size();
    return TRUE;
}

CSize CDialogBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz)
{
    if (!bStretch)
        return m_sizeDefault;
    return bHorz ? CSize(32767, m_sizeDefault.cy) : CSize(m_sizeDefault.cx, 32767);
}

BOOL CDialogBar::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message < WM_KEYFIRST || pMsg->message > WM_KEYLAST || !m_hWnd)
        return FALSE;
    if (pMsg->hwnd != m_hWnd && !::IsChild(m_hWnd, pMsg->hwnd))
        return FALSE;
    return ::IsDialogMessageW(m_hWnd, pMsg);
}
