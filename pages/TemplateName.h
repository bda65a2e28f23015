// The dialog that asks for a new template's name; OK refuses an empty name.
#pragma once
#include <functional>

#include "framework/Dialog.h"

class CTemplateName : public CDialog
{
public:
    enum { IDD = 146 };
    explicit CTemplateName(CWnd* parent = nullptr) : CDialog(IDD, parent) {}

    CString m_strName;
    // Called when the dialog moves (the form page repaints what the dialog uncovered).
    std::function<void()> m_onMove;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    afx_msg void OnMove(int x, int y);
    DECLARE_MESSAGE_MAP()
};
