// CMessageBox: the program's own message dialog with an OK button (template 156). It sizes itself to
// its text as a system message box does: short texts on one centred line, longer ones wrapped, the
// whole dialog kept inside the work area of its monitor (a text longer than the screen holds scrolls). Like every message box it goes through the
// framework's message-box sink when one is installed.
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
    // Grows the text, the dialog and the OK button's place from the template's sizes to the text's.
    void FitToText();
    // Puts a read-only scrolling edit with the text in the static's place; answers the edit.
    HWND ReplaceWithScrollingText(HWND textStatic);
    // Centres the dialog on its owner and moves it inside its monitor's work area.
    void PlaceOnScreen();

    CString m_strCaption;
    CString m_strText;
};
