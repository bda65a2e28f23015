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

protected:
    void OnOK() override {}
    void OnCancel() override {}

    FormPageHost* m_host;
};
