// Template-name dialog: edit 1023 holds the name.
#include "pages/TemplateName.h"

namespace {
const int kNameEdit = 1023;
}

BEGIN_MESSAGE_MAP(CTemplateName, CDialog)
    ON_WM_MOVE()
END_MESSAGE_MAP()

BOOL CTemplateName::OnInitDialog()
{
    CDialog::OnInitDialog();
    CenterWindow();
    return TRUE; // the focus goes to the name
}

void CTemplateName::OnOK()
{
    CString name;
    GetDlgItemText(kNameEdit, name);
    if (name.IsEmpty())
        return;
    m_strName = name;
    CDialog::OnOK();
}

void CTemplateName::OnMove(int x, int y)
{
    Default();
    if (m_onMove)
        m_onMove();
}
