// CMainFrame: the single main window: no menu, the title from the master database, the step bar at
// the top, the empty bottom bar (CPRT) at the bottom, the view between them; its placement is kept in
// the profile section "Appearance".
#pragma once
#include "app/Navigator.h"
#include "framework/Framework.h"

class CPRT : public CDialogBar
{
    DECLARE_DYNAMIC(CPRT)
public:
    enum { IDD = 104 };

protected:
    afx_msg void OnSize(UINT nType, int cx, int cy);
    DECLARE_MESSAGE_MAP()
};

class CMainFrame : public CFrameWnd
{
    DECLARE_DYNCREATE(CMainFrame)
public:
    CString m_strUpdatesAddress;
    Navigator m_wndNavigator;
    CPRT m_wndPRT;

    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    BOOL LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd, CCreateContext* pContext) override;

    // The placement in "Appearance" (first-start values where nothing is stored; a minimised or
    // hidden window is shown as it was before) and back.
    static WINDOWPLACEMENT ReadPlacement(CWinApp& app);
    static void WritePlacement(CWinApp& app, const WINDOWPLACEMENT& placement);

    // That least size of the whole window (zero before the bars and the view exist).
    CSize GetMinimumWindowSize() const;

protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnClose();
    afx_msg void OnSetFocus(CWnd* pOldWnd);
    afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    // The window cannot be made smaller than the size at which the step panel and every page keep
    // their controls whole.
    afx_msg void OnGetMinMaxInfo(MINMAXINFO* lpMMI);
    // The windows it owns stay above it when it is activated or raised (the import dialog above all).
    afx_msg void OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized);
    afx_msg void OnWindowPosChanged(WINDOWPOS* pos);
    afx_msg LRESULT OnRaiseOwnedWindows(WPARAM, LPARAM);
    enum { kRaiseOwnedWindows = WM_APP + 0x40 };

    // Puts the window where the stored placement says, maximised where the system maximises it.
    void ApplyPlacement();

    WINDOWPLACEMENT m_restoredPlacement = {};
    DECLARE_MESSAGE_MAP()
};
