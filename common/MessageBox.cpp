// The one-line message dialog: caption and text set when it opens, closed by OK.
#include "common/MessageBox.h"
#include "framework/Seams.h"

CMessageBox::CMessageBox(CString caption, CString text, CWnd* pParent)
    : CDialog(IDD, pParent), m_strCaption(caption), m_strText(text)
{
}

INT_PTR CMessageBox::DoModal()
{
    if (AfxHasMessageBoxSink())
        return AfxShowMessageBox(m_pParentWnd->GetSafeHwnd(), m_strText, m_strCaption, MB_OK);
    return CDialog::DoModal();
}

BOOL CMessageBox::OnInitDialog()
{
    CDialog::OnInitDialog();
    SetWindowText(m_strCaption);
    SetDlgItemText(1035, m_strText);
    CenterWindow();
    return TRUE;
}
