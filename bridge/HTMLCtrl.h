// CHTMLCtrl: the browser view used as an ordinary child control of a dialog. It takes the place of
// a dialog static, loads the container page and is the program's only road to the page: it writes
// and reads the page's hidden inputs, calls page functions by name, reports when the page has
// loaded, and sees every navigation before it happens.
//
// Typical use (the owning dialog keeps the control as a member; it never deletes itself):
//     m_browser.CreateFromStatic(1022, this);
//     m_browser.Navigate2(L"file:///" + programFolder + L"container.htm");
//     WaitForPageLoad(m_browser);                   // bridge/BridgeProtocol.h
//     LoadPdfIntoPage(m_browser, pdfPath);
//     m_browser.SetInputValue(L"MsgRsp1", L"--");
//     SendBridgeCommand(m_browser, L"Save");
//     WaitForPageReply(m_browser, reply);
#pragma once
#include "framework/CString.h"
#include "viewer/HtmlView.h"

class CHTMLCtrl : public CHtmlView
{
    DECLARE_DYNAMIC(CHTMLCtrl)
public:
    CHTMLCtrl();

    // Takes over the place of the parent's static of that id: same rectangle (in the parent's client
    // coordinates), the static's style less WS_VSCROLL, same parent and id; the static is destroyed.
    // False only when there is no such static; otherwise the result of the creation.
    BOOL CreateFromStatic(UINT nID, CWnd* pParent);

    // Sets a hidden input of the page. Without a page or such an input nothing happens.
    void SetInputValue(LPCTSTR lpszId, LPCTSTR lpszValue);
    // Reads a hidden input of the page, whole. When the input is empty or cannot be reached, value
    // is left exactly as it was: callers that must tell an empty answer from none preset it.
    void GetInputValue(LPCTSTR lpszId, CString& value);
    // Calls a page function without arguments; a function the page lacks does nothing.
    void CallScript(LPCTSTR lpszFunction);

    // Every navigation passes here first: an "app:" address is a command of the page for the
    // program (OnAppCmd with the text after "app:") and goes no further.
    void OnBeforeNavigate2(LPCTSTR lpszURL, DWORD nFlags, LPCTSTR lpszTargetFrameName, CArray<BYTE, BYTE>& baPostedData,
                           LPCTSTR lpszHeaders, BOOL* pbCancel) override;
    // Sets m_bLoaded (never cleared again).
    void OnDocumentComplete(LPCTSTR lpszURL) override;
    // A command of the page; the text after "app:". Owners that act on commands derive from this.
    virtual void OnAppCmd(LPCTSTR lpszCmd);

    CString m_strText;                   // kept empty
    bool m_bLoaded = false;              // the page reported its document complete at least once
    int m_nStatementId = -1;             // record of the statement a companion PDF shows, -1 all
    bool m_bStatementRequested = false;  // a companion PDF is to be loaded

protected:
    afx_msg void OnDestroy();
    afx_msg int OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message);
    DECLARE_MESSAGE_MAP()
};
