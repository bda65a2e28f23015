// CPage2: the records page (step "Database"). One grid lists the current form's templates and records;
// the record button bar sits above it. Each showing refills the list and selects the current record;
// a click picks a record, a double-click opens it in the form page. Hiding stores the frozen-column
// count and the column order in the form's database.
#pragma once
#include <map>
#include <string>
#include <vector>

#include "common/TabCtrlEx.h"
#include "framework/Dialog.h"
#include "grid/GridCtrl.h"
#include "pages/PageMinimum.h"
#include "pages/RecordButtons.h"

class FormPageHost;

class CPage2 : public CDialog, public PageMinimum
{
public:
    enum { IDD = 143, kRecordsGridId = 778, kHiddenGridId = 779 };
    explicit CPage2(FormPageHost* host) : m_buttons(host), m_host(host) {}

    CGridCtrl& RecordsGrid() { return m_grid; }
    // Whether the list holds a complete fill for the current form, so that its column order and
    // frozen count may be written back.
    bool HoldsCurrentForm() const;

    // Every page control whole beside the others, and a few rows of the list.
    int MinimumWidth() const override;
    int MinimumHeight(int width) const override;

    CGridCtrl m_grid;
    CGridCtrl m_hiddenGrid;
    RecordButtons m_buttons;
    CTabCtrlEx m_tabs;

protected:
    BOOL OnInitDialog() override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    void OnOK() override {}
    void OnCancel() override {}
    afx_msg void OnShowWindow(BOOL bShow, UINT nStatus);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    // Places the page's controls for its current size and the controls shown.
    void LayOut();
    // Where the record bar and the page buttons go in a page this wide, and where the band ends.
    struct Placed
    {
        CWnd* control;
        CRect rect;
    };
    struct BandPlan
    {
        CRect bar;
        std::vector<Placed> buttons;
        int bottom = 0;
    };
    BandPlan PlanBand(int width) const;
    int StripHeight() const;
    afx_msg void OnGridClick(NMHDR* header, LRESULT* result);
    afx_msg void OnGridDblClk(NMHDR* header, LRESULT* result);
    afx_msg void OnTabSelChanging(NMHDR* header, LRESULT* result);
    afx_msg void OnTabSelChange(NMHDR* header, LRESULT* result);
    afx_msg void OnImportCompletedFiles();
    afx_msg void OnEmailBlankForm();
    afx_msg void OnCreateClearinghouseFile();
    afx_msg LRESULT OnSendEmailCommand(WPARAM, LPARAM);
    afx_msg void OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct);
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);

    void ShowList();
    void HideList();
    void SelectCurrentRecord();
    // The record of the first selected row becomes the view's current record.
    void TakeSelectedRecord();

    FormPageHost* m_host;
    bool m_filled = false;            // the last fill read every row
    bool m_frozenRead = false;        // and the stored frozen count
    CString m_filledForm;             // the form that fill was for
    std::map<std::wstring, int> m_widths; // column widths by heading, kept between showings of one form

    DECLARE_MESSAGE_MAP()
};
