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
#include <functional>

#include "framework/CString.h"
#include "viewer/HtmlView.h"

class AppCommandTarget;

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

    // The program's folders and the updates address. Commands run only from the program's own
    // documents (a PDF of the store folder, or the companion PDFs of the program folder); http and
    // https pages are shown only below the updates address (none when it is empty).
    void SetOwnPlaces(const CString& programFolder, const CString& storeFolder, const CString& updatesAddress);
    // What the "app:" commands act on; null (the default) runs nothing. The target outlives the control.
    void SetAppCommandTarget(AppCommandTarget* target) { m_target = target; }
    // Download mode: ".pdf" links below the updates address are saved into the store folder instead
    // of shown; closeOwner ends the owning dialog (with Cancel) after each try.
    void EnableFormDownloads(std::function<void()> closeOwner);

    // Every navigation passes here first: an "app:" address is a command of the page for the
    // program (OnAppCmd with the text after "app:", only from the program's own documents) and goes
    // no further; a web address outside the updates address is stopped; in download mode a ".pdf"
    // address is downloaded (when it lies below the updates address) instead of shown.
    void OnBeforeNavigate2(LPCTSTR lpszURL, DWORD nFlags, LPCTSTR lpszTargetFrameName, CArray<BYTE, BYTE>& baPostedData,
                           LPCTSTR lpszHeaders, BOOL* pbCancel) override;
    // Sets m_bLoaded (never cleared again).
    void OnDocumentComplete(LPCTSTR lpszURL) override;
    // A command of the page; the text after "app:". Runs the command's word on the target.
    virtual void OnAppCmd(LPCTSTR lpszCmd);
    // True when the document shown is one of the program's own (see SetOwnPlaces).
    bool ShowsOwnDocument() const;

    CString m_strText;                   // kept empty
    bool m_bLoaded = false;              // the page reported its document complete at least once
    int m_nStatementId = -1;             // record of the statement a companion PDF shows, -1 all
    bool m_bStatementRequested = false;  // a companion PDF is to be loaded

protected:
    void DownloadFormUpdate(const CString& address);
    void ShowProgramMessage(LPCTSTR text, LPCTSTR caption);

    afx_msg void OnDestroy();
    afx_msg int OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message);
    DECLARE_MESSAGE_MAP()

private:
    CString m_programFolder;
    CString m_storeFolder;
    CString m_updatesAddress;
    AppCommandTarget* m_target = nullptr;
    bool m_downloads = false;
    std::function<void()> m_closeOwner;
};
