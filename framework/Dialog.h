// Dialogs built from resource templates (modal with their own message pump, or modeless), and the
// control bars a frame docks: CControlBar and the template-built CDialogBar.
#pragma once
#include "framework/Wnd.h"
#include "framework/Gdi.h"

class CDialog : public CWnd
{
    DECLARE_DYNAMIC(CDialog)
public:
    CDialog() = default;
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    explicit CDialog(LPCTSTR lpszTemplateName, CWnd* pParentWnd = nullptr);

    // Modeless: creates the dialog from its template; it shows itself when the template says so.
    BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    BOOL Create(LPCTSTR lpszTemplateName, CWnd* pParentWnd = nullptr);
    // Modal: creates the dialog, disables its owner and pumps messages until EndDialog.
    virtual INT_PTR DoModal();
    void EndDialog(int nResult);

    virtual BOOL OnInitDialog() { return TRUE; }
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }
    BOOL PreTranslateMessage(MSG* pMsg) override;

    // The modal loops of the program (its own dialogs, and the system's message boxes and dialogs):
    // each is ended as its Cancel button would end it (else "No", "Abort" or "OK"); one of ours that ignores
    // Cancel is ended as cancelled all the same. True when any loop was running.
    static bool EndModalLoops();
    // While refused, DoModal and CWnd::MessageBox answer as cancelled at once, opening nothing: the
    // program is closing and no new loop may start under it.
    static void RefuseModalLoops(bool refuse);
    static bool ModalLoopsRefused();
    // The window that must own a window opened now: while one of our modal dialogs runs, the
    // innermost of them (unless the preferred owner lies inside it), so that closing the new window
    // gives the input back to that dialog and not to a window it keeps disabled; else the preferred
    // owner's top-level window.
    static HWND ModalOwnerFor(HWND hWndPreferred);

    void MapDialogRect(LPRECT lpRect) const { ::MapDialogRect(m_hWnd, lpRect); }

    UINT m_nIDHelp = 0;

protected:
    // Finds the template in the resources; null when there is none.
    LPCDLGTEMPLATE LoadTemplate() const;
    // Creates the window from a template, bound to this object from its first message on.
    BOOL CreateFromTemplate(LPCDLGTEMPLATE lpTemplate, HWND hWndParent);
    LRESULT HandleInitDialog(WPARAM, LPARAM);

    LPCTSTR m_lpszTemplateName = nullptr;
    CWnd* m_pParentWnd = nullptr;
    bool m_bInModalLoop = false;
    bool m_bEndModal = false;
    int m_nModalResult = -1;

    DECLARE_MESSAGE_MAP()
};

// The answer of a message box of this type that is cancelled: IDCANCEL when it has a Cancel
// button, else IDNO when it has a No button, IDABORT for Abort/Retry/Ignore, else IDOK.
int AfxCancelledAnswer(UINT nType);

// Control-bar styles: where a frame docks the bar and which edge has a border.
const DWORD CBRS_BORDER_LEFT = 0x0100;
const DWORD CBRS_BORDER_TOP = 0x0200;
const DWORD CBRS_BORDER_RIGHT = 0x0400;
const DWORD CBRS_BORDER_BOTTOM = 0x0800;
const DWORD CBRS_ALIGN_LEFT = 0x1000;
const DWORD CBRS_ALIGN_TOP = 0x2000;
const DWORD CBRS_ALIGN_RIGHT = 0x4000;
const DWORD CBRS_ALIGN_BOTTOM = 0x8000;
const DWORD CBRS_TOP = CBRS_ALIGN_TOP | CBRS_BORDER_BOTTOM;
const DWORD CBRS_BOTTOM = CBRS_ALIGN_BOTTOM | CBRS_BORDER_TOP;

// A bar docked along an edge of a frame. Commands and notifications its map leaves alone go to
// its owner (the frame).
class CControlBar : public CWnd
{
    DECLARE_DYNAMIC(CControlBar)
public:
    DWORD GetBarStyle() const { return m_dwStyle; }
    // The bar's height (docked at top or bottom) or width (left or right).
    virtual CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz);
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    DWORD m_dwStyle = 0;
    CSize m_sizeDefault;
};

class CDialogBar : public CControlBar
{
    DECLARE_DYNAMIC(CDialogBar)
public:
    // Creates the bar as a child of the frame from a dialog template; the template's size is the
    // bar's size along its docking edge.
    BOOL Create(CWnd* pParentWnd, UINT nIDTemplate, UINT nStyle, UINT nID);
    BOOL Create(CWnd* pParentWnd, LPCTSTR lpszTemplateName, UINT nStyle, UINT nID);
    CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
    // A dialog bar keeps its controls' keyboard handling (tab, arrows) like a dialog.
    BOOL PreTranslateMessage(MSG* pMsg) override;
};
