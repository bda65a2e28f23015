// The bar above the records grid: a column search that marks matching rows in yellow, the column
// to search in, the number of frozen columns, and deletion of the selected rows.
#pragma once
#include "framework/Controls.h"
#include "framework/Dialog.h"

class FormPageHost;

class RecordButtons : public CDialog
{
public:
    enum { IDD = 149 };
    explicit RecordButtons(FormPageHost* host) : m_host(host) {}

    // Shows or hides the search controls (label, text, column button, menu button) together.
    void ShowSearchControls(bool show);
    // Shows or hides the frozen-column controls (label, count, spin) together.
    void ShowFrozenControls(bool show);
    // Applies the typed frozen-column count to the records grid (while the records page is shown).
    void OnFrozenColumnsChange();

    // The search marks: a matching row's background in every column.
    static const COLORREF kMatchColour = RGB(255, 255, 0);

protected:
    BOOL OnInitDialog() override;
    void OnOK() override {}
    void OnCancel() override {}
    afx_msg void OnShowWindow(BOOL bShow, UINT nStatus);
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    afx_msg void OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct);
    afx_msg void OnSearch();
    afx_msg void OnColumnMenu();
    afx_msg void OnDelete();
    afx_msg void OnFrozenEditChange() { OnFrozenColumnsChange(); }
    // An edit left empty shows the count the grid has.
    afx_msg void OnFrozenEditKillFocus();
    // Writes the count into the edit, selected.
    void ShowFrozenCount(int count);

    // Fills the column menu with one item per grid column: command id column + 1, text its heading.
    void RebuildColumnMenu();
    // The program's one-line message box.
    void Tell(const CString& text);

    FormPageHost* m_host;
    CMenu m_columnMenu;
    CEdit m_frozenEdit;
    CSpinButtonCtrl m_frozenSpin;
    CStatic m_label;

    DECLARE_MESSAGE_MAP()
};
