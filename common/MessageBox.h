// CMessageBox: the program's own one-line message dialog with an OK button (template 156). Like every
// message box it goes through the framework's message-box sink when one is installed.
#pragma once
#include "framework/Dialog.h"

class CMessageBox : public CDialog
{
public:
    enum { IDD = 156 };
    CMessageBox(CString caption, CString text, CWnd* pParent);

    INT_PTR DoModal() override;
    const CString& GetCaption() const { return m_strCaption; }
    const CString& GetText() const { return m_strText; }

protected:
    BOOL OnInitDialog() override;

    CString m_strCaption;
    CString m_strText;
};
