// CHtmlView: the web-browser view of the framework, standing in for the browser control. It
// navigates, raises the before-navigate and document-complete events, and shows the container
// page with its embedded form (see viewer/BrowserCore.h for what it shows and how).
#pragma once
#include "framework/Collections.h"
#include "framework/Wnd.h"
#include "viewer/BrowserCore.h"

class CHtmlView : public CWnd, private viewer::BrowserEvents
{
    DECLARE_DYNAMIC(CHtmlView)
public:
    CHtmlView();
    ~CHtmlView() override;

    // Creates the view as a child window of its own class.
    BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
                UINT nID, void* pContext = nullptr);

    // Navigation: OnBeforeNavigate2 runs first and may cancel; OnDocumentComplete arrives later,
    // through the message queue. Headers and post data are not used by any page shown here.
    void Navigate2(LPCTSTR lpszURL, DWORD dwFlags = 0, LPCTSTR lpszTargetFrameName = nullptr,
                   LPCTSTR lpszHeaders = nullptr, LPVOID lpvPostData = nullptr, DWORD dwPostDataLen = 0);
    CString GetLocationURL() const;

    // The document shown (hidden inputs and page functions); null while there is none.
    viewer::HtmlDocument* GetHtmlDocument() const;
    // The window of the embedded form; null when no form is shown.
    viewer::FormWindow* GetFormWindow() const;

    // Events, for derived classes.
    virtual void OnBeforeNavigate2(LPCTSTR lpszURL, DWORD nFlags, LPCTSTR lpszTargetFrameName,
                                   CArray<BYTE, BYTE>& baPostedData, LPCTSTR lpszHeaders, BOOL* pbCancel);
    virtual void OnDocumentComplete(LPCTSTR lpszURL);

    // Tab and Shift+Tab move between the fields of the form shown; Ctrl+P prints it wherever the focus
    // is in the view; a click on the page's background gives the page the focus.
    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void BeforeNavigate(const std::wstring& address, bool& cancel) override;
    void DocumentComplete(const std::wstring& address) override;
    bool OpenAddress(const std::wstring& address) override;
    void ShowMessage(const std::wstring& text) override;

    mutable viewer::BrowserCore m_browser;
};
