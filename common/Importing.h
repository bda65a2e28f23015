// CImporting: the small popup (template 101) that says "Importing....." while completed files are
// imported; the import creates it modeless, shows it and destroys it.
#pragma once
#include "framework/Dialog.h"

class CImporting : public CDialog
{
public:
    enum { IDD = 101 };
    explicit CImporting(CWnd* pParent) : CDialog(IDD, pParent) {}

    // Creates the hidden popup from its template.
    BOOL Create() { return CDialog::Create(IDD, m_pParentWnd); }

protected:
    // Enter and Escape must not end a popup that only shows progress.
    void OnOK() override {}
    void OnCancel() override {}
};
