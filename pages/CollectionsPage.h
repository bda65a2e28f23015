// The collections page: its own browser control shows collections.pdf (the outstanding records) or
// statement.pdf (one patient statement); the filters and "Sort By" choose what the list holds. The
// companion PDFs act on the page through "app:" commands, for which the page is the target.
#pragma once
#include <string>

#include "bridge/AppCommandTarget.h"
#include "bridge/HTMLCtrl.h"
#include "export/CollectionsRecord.h"
#include "framework/Dialog.h"
#include "pages/CollectionsTotals.h"
#include "pages/PageMinimum.h"

class FormPageHost;

class CCollectionsPage : public CDialog, public AppCommandTarget, public PageMinimum
{
public:
    enum { IDD = 158 };
    explicit CCollectionsPage(FormPageHost* host) : CDialog(IDD), m_host(host) {}

    // Shows the list of all records, as "toStatements" does.
    void OpenList();

    // AppCommandTarget
    bool DeleteRecord(int id) override;
    void BuildAndSendCollections() override;
    void LoadStatementPdf() override;
    void ShowStatementView(bool statement) override;
    bool SaveCollectionsXml(const CString& text) override;
    void RunStatementHeader() override;

    // PageMinimum: every control whole, and a strip of the list below them.
    int MinimumWidth() const override;
    int MinimumHeight(int width) const override;

    // The filters as the controls hold them now.
    CollectionFilters ReadFilters() const;

    CHTMLCtrl m_browser;
    CCollectionsTotals m_totals;
    CollectionTotals m_running;   // the running totals of the last build
    std::wstring m_lastSent;      // the last text sent after "FieldSet|"

protected:
    BOOL OnInitDialog() override;
    void OnOK() override {}
    void OnCancel() override {}
    afx_msg void OnSize(UINT nType, int cx, int cy);
    void Layout();

    FormPageHost* m_host;

    DECLARE_MESSAGE_MAP()
};
