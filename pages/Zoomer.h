// The form page's zoom bar: two pictures that zoom the form in and out, and the "Can't see the
// Form?" link that opens the help page.
#pragma once
#include "framework/Dialog.h"

class CHTMLCtrl;

class CZoomer : public CDialog
{
public:
    enum { IDD = 157 };
    CZoomer() = default;

    void Attach(CHTMLCtrl* browser, const CString& programFolder)
    {
        m_browser = browser;
        m_programFolder = programFolder;
    }

protected:
    void OnOK() override {}
    void OnCancel() override {}
    afx_msg void OnZoomIn();
    afx_msg void OnZoomOut();
    afx_msg void OnHelpLink();
    afx_msg void OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT item);

    CHTMLCtrl* m_browser = nullptr;
    CString m_programFolder;

    DECLARE_MESSAGE_MAP()
};
