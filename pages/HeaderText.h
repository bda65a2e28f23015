// "Text Header Setup" (template 168): the letterhead line, its font and its size.
#pragma once
#include "framework/Controls.h"
#include "framework/Dialog.h"

class HeaderText : public CDialog
{
public:
    enum { IDD = 168 };
    explicit HeaderText(CWnd* parent = nullptr) : CDialog(IDD, parent) {}

    CComboBox m_sizes; // combo 1026

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
};
