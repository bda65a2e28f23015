// The main frame: creation of its bars and steps, title, placement, closing.
#include "app/MainFrame.h"

#include <algorithm>
#include <vector>

#include "app/FormsteadApp.h"
#include "app/FormsteadView.h"
#include "formdb/MasterDatabase.h"
#include "pages/FormPage.h"
#include "pages/RecordsGrid.h"
#include "pages/RecordsPage.h"
#include "resources/resource.h"

namespace
{
const wchar_t kAppearance[] = L"Appearance";
const DWORD kFrameStyleBitsRemoved = FWS_ADDTOTITLE | 0x8;
}

IMPLEMENT_DYNAMIC(CPRT, CDialogBar)

BEGIN_MESSAGE_MAP(CPRT, CDialogBar)
    ON_WM_SIZE()
END_MESSAGE_MAP()

void CPRT::OnSize(UINT nType, int cx, int cy)
{
    CDialogBar::OnSize(nType, cx, cy);
    if (CWnd* text = GetDlgItem(IDC_PRT_TEXT))
        text->CenterWindow();
}

IMPLEMENT_DYNCREATE(CMainFrame, CFrameWnd)

BEGIN_MESSAGE_MAP(CMainFrame, CFrameWnd)
    ON_WM_CREATE()
    ON_WM_CLOSE()
    ON_WM_SETFOCUS()
    ON_WM_KEYDOWN()
    ON_WM_GETMINMAXINFO()
    ON_WM_ACTIVATE()
    ON_WM_WINDOWPOSCHANGED()
    ON_MESSAGE(kRaiseOwnedWindows, OnRaiseOwnedWindows)
END_MESSAGE_MAP()

BOOL CMainFrame::PreCreateWindow(CREATESTRUCT& cs)
{
    if (!CFrameWnd::PreCreateWindow(cs))
        return FALSE;
    if (cs.hMenu)
    {
        ::DestroyMenu(cs.hMenu);
        cs.hMenu = nullptr;
    }
    m_strTitle = ReadMasterTitle();
    cs.lpszName = m_strTitle;
    cs.style &= ~kFrameStyleBitsRemoved;
    return TRUE;
}

int CMainFrame::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CFrameWnd::OnCreate(lpCreateStruct) == -1)
        return -1;
    if (!m_wndPRT.Create(this, CPRT::IDD, CBRS_BOTTOM, CPRT::IDD))
        return -1;
    m_wndNavigator.AddStep(IDC_STEP_CREATE_RECORD);
    m_wndNavigator.AddStep(IDC_STEP_VIEW_DATABASE);
    if (!m_wndNavigator.Create(this, Navigator::IDD, CBRS_TOP, Navigator::IDD))
        return -1;
    if (!m_wndNavigator.m_buttons.Create(CNavButtons::IDD, &m_wndNavigator))
        return -1;
    m_wndNavigator.m_buttons.ShowWindow(SW_SHOW);
    CRect bar;
    m_wndNavigator.GetClientRect(&bar);
    m_wndNavigator.SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(bar.Width(), bar.Height()));

    CWinApp* app = AfxGetApp();
    if (app && app->IsKindOf(RUNTIME_CLASS(CFormsteadApp)))
        m_strUpdatesAddress = static_cast<CFormsteadApp*>(app)->m_strUpdatesAddress;
    RecalcLayout();
    if (app)
    {
        m_restoredPlacement = ReadPlacement(*app);
        ApplyPlacement();
    }
    return 0;
}

// The normal rectangle and flags come from the stored placement; a maximised window is maximised by
// the system, which puts its frame edges beyond the work area of its monitor (a stored maximised
// position would put them inside, the caption buttons and scroll bar partly off the screen).
void CMainFrame::ApplyPlacement()
{
    WINDOWPLACEMENT normal = m_restoredPlacement;
    const bool maximised = normal.showCmd == SW_SHOWMAXIMIZED || normal.showCmd == SW_MAXIMIZE;
    normal.flags &= ~WPF_SETMINPOSITION;
    normal.ptMaxPosition = {-1, -1};
    if (maximised)
        normal.showCmd = SW_SHOWNORMAL;
    SetWindowPlacement(&normal);
    if (maximised)
        ShowWindow(SW_SHOWMAXIMIZED);
}

BOOL CMainFrame::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd, CCreateContext* pContext)
{
    if (!CFrameWnd::LoadFrame(nIDResource, dwDefaultStyle, pParentWnd, pContext))
        return FALSE;
    // Some window managers take the creation rectangle as the normal position once creation ends,
    // which would lose a maximised window's normal rectangle: the placement is applied once more.
    if (m_restoredPlacement.length)
        ApplyPlacement();
    return TRUE;
}

WINDOWPLACEMENT CMainFrame::ReadPlacement(CWinApp& app)
{
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof(placement);
    placement.flags = app.GetProfileInt(kAppearance, L"Flags", 0);
    placement.showCmd = app.GetProfileInt(kAppearance, L"ShowCmd", 5);
    placement.ptMinPosition.x = (int)app.GetProfileInt(kAppearance, L"MinPosX", 0);
    placement.ptMinPosition.y = (int)app.GetProfileInt(kAppearance, L"MinPosY", 0);
    placement.ptMaxPosition.x = (int)app.GetProfileInt(kAppearance, L"MaxPosX", 0);
    placement.ptMaxPosition.y = (int)app.GetProfileInt(kAppearance, L"MaxPosY", 0);
    placement.rcNormalPosition.left = (int)app.GetProfileInt(kAppearance, L"Left", 50);
    placement.rcNormalPosition.top = (int)app.GetProfileInt(kAppearance, L"Top", 50);
    placement.rcNormalPosition.right = (int)app.GetProfileInt(kAppearance, L"Right", 900);
    placement.rcNormalPosition.bottom = (int)app.GetProfileInt(kAppearance, L"Bottom", 600);
    // A window closed while minimised (or hidden) would start where the user cannot see it: it comes
    // back as it was before it was minimised.
    switch (placement.showCmd)
    {
    case SW_HIDE:
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE:
    case SW_SHOWMINNOACTIVE:
    case SW_FORCEMINIMIZE:
        placement.showCmd = (placement.flags & WPF_RESTORETOMAXIMIZED) ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL;
        break;
    }
    return placement;
}

void CMainFrame::WritePlacement(CWinApp& app, const WINDOWPLACEMENT& placement)
{
    app.WriteProfileInt(kAppearance, L"Flags", placement.flags);
    app.WriteProfileInt(kAppearance, L"ShowCmd", placement.showCmd);
    app.WriteProfileInt(kAppearance, L"MinPosX", placement.ptMinPosition.x);
    app.WriteProfileInt(kAppearance, L"MinPosY", placement.ptMinPosition.y);
    app.WriteProfileInt(kAppearance, L"MaxPosX", placement.ptMaxPosition.x);
    app.WriteProfileInt(kAppearance, L"MaxPosY", placement.ptMaxPosition.y);
    app.WriteProfileInt(kAppearance, L"Left", placement.rcNormalPosition.left);
    app.WriteProfileInt(kAppearance, L"Top", placement.rcNormalPosition.top);
    app.WriteProfileInt(kAppearance, L"Right", placement.rcNormalPosition.right);
    app.WriteProfileInt(kAppearance, L"Bottom", placement.rcNormalPosition.bottom);
}

void CMainFrame::OnClose()
{
    // A modal dialog or message box runs its own message loop further down the stack, with the
    // objects that opened it still in use: those loops end first (as cancelled, with nothing new
    // opening meanwhile) and the close comes again once the stack has unwound.
    CDialog::RefuseModalLoops(true);
    if (CDialog::EndModalLoops())
    {
        PostMessage(WM_CLOSE);
        return;
    }
    CDialog::RefuseModalLoops(false);
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof(placement);
    if (CWinApp* app = AfxGetApp())
        if (GetWindowPlacement(&placement))
            WritePlacement(*app, placement);
    CView* active = GetActiveView();
    if (active && active->IsKindOf(RUNTIME_CLASS(CFormsteadView)))
    {
        CFormsteadView* view = static_cast<CFormsteadView*>(active);
        view->HideRecordsPage();
        // The column order is saved only from a list that holds every row of the current form.
        CPage2* records = dynamic_cast<CPage2*>(view->GetRecordsPage());
        if (records && records->HoldsCurrentForm() && records->m_grid.GetRowCount() > 0)
            UpdateFormColumns(records->m_grid, 1, *view);
        view->DestroyWindow();   // the view and its pages go before the frame
    }
    CFrameWnd::OnClose();
}

// An owned window lies above its owner; some systems raise the owner alone when it is activated or
// brought to the top, so once that is over, the shown windows it owns that it now covers are put
// back just above it, in their order.
void CMainFrame::OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized)
{
    Default();
    if (nState != WA_INACTIVE)
        PostMessage(kRaiseOwnedWindows);
}

void CMainFrame::OnWindowPosChanged(WINDOWPOS* pos)
{
    Default();
    if (!(pos->flags & SWP_NOZORDER))
        PostMessage(kRaiseOwnedWindows);
}

LRESULT CMainFrame::OnRaiseOwnedWindows(WPARAM, LPARAM)
{
    std::vector<HWND> covered;
    for (HWND below = ::GetWindow(m_hWnd, GW_HWNDNEXT); below; below = ::GetWindow(below, GW_HWNDNEXT))
        if (::GetWindow(below, GW_OWNER) == m_hWnd && ::IsWindowVisible(below))
            covered.push_back(below);
    for (HWND owned : covered)
    {
        const HWND above = ::GetWindow(m_hWnd, GW_HWNDPREV);
        ::SetWindowPos(owned, above ? above : HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    return 0;
}

void CMainFrame::OnSetFocus(CWnd* pOldWnd)
{
    CFrameWnd::OnSetFocus(pOldWnd);
    CView* active = GetActiveView();
    if (active && active->IsKindOf(RUNTIME_CLASS(CFormsteadView)))
    {
        CPage3* formPage = dynamic_cast<CPage3*>(static_cast<CFormsteadView*>(active)->GetFormPage());
        if (formPage && formPage->m_browser.m_hWnd)
            formPage->m_browser.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    }
}

void CMainFrame::OnKeyDown(UINT, UINT, UINT)
{
    MessageBox(L"", AfxGetAppName(), MB_OK);
}

CSize CMainFrame::GetMinimumWindowSize() const
{
    CView* active = GetActiveView();
    CFormsteadView* view = active && active->IsKindOf(RUNTIME_CLASS(CFormsteadView)) ? static_cast<CFormsteadView*>(active)
                                                                                      : nullptr;
    if (!view || !view->m_hWnd || !m_wndNavigator.m_hWnd || !m_wndNavigator.m_buttons.m_hWnd || !m_wndPRT.m_hWnd)
        return CSize(0, 0);
    CRect panel, navigator, bottomBar, viewWindow, viewClient;
    m_wndNavigator.m_buttons.GetWindowRect(&panel);
    m_wndNavigator.GetWindowRect(&navigator);
    m_wndPRT.GetWindowRect(&bottomBar);
    view->GetWindowRect(&viewWindow);
    view->GetClientRect(&viewClient);
    // The step panel lies inside the step bar's edge; the view's pages inside the view's edge.
    CRect barClient;
    m_wndNavigator.GetClientRect(&barClient);
    const int panelWidth = panel.Width() + navigator.Width() - barClient.Width();
    const CSize viewEdges(viewWindow.Width() - viewClient.Width(), viewWindow.Height() - viewClient.Height());
    const CSize pages = view->GetMinimumSize(panelWidth - viewEdges.cx);
    CRect window(0, 0, std::max<int>(panelWidth, pages.cx + viewEdges.cx),
                 navigator.Height() + bottomBar.Height() + pages.cy + viewEdges.cy);
    ::AdjustWindowRectEx(&window, GetStyle(), FALSE, GetExStyle());
    return window.Size();
}

void CMainFrame::OnGetMinMaxInfo(MINMAXINFO* lpMMI)
{
    CFrameWnd::OnGetMinMaxInfo(lpMMI);
    const CSize least = GetMinimumWindowSize();
    lpMMI->ptMinTrackSize.x = std::max(lpMMI->ptMinTrackSize.x, static_cast<LONG>(least.cx));
    lpMMI->ptMinTrackSize.y = std::max(lpMMI->ptMinTrackSize.y, static_cast<LONG>(least.cy));
}
