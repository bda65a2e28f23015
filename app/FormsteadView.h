// CFormsteadView: fills the frame's client area and owns the pages. Its first update fixes the
// program folder, the form store folder and the current form (the first PDF of the store) and
// creates the pages; later updates show the page of the current step. It also holds the current record.
#pragma once
#include "framework/Framework.h"
#include "bridge/AppCommandTarget.h"
#include "pages/FormPageHost.h"

class CFormsteadView : public CView, public FormPageHost, public AppCommandTarget
{
    DECLARE_DYNCREATE(CFormsteadView)
public:
    enum { kRecordsPage = 0, kFormPage = 1, kCollectionsPage = 2, kPagePlaces = 4 };
    ~CFormsteadView() override;

    void OnInitialUpdate() override;
    void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint) override;
    void OnDraw(CDC*) override {}
    BOOL OnPreparePrinting(CPrintInfo* pInfo) override { return DoPreparePrinting(pInfo); }

    // Folders and the current form, fixed by the first update.
    CString GetProgramFolder() const override { return m_strProgramFolder; }   // with its final backslash
    CString GetStoreFolder() const override { return m_strStoreFolder; }
    CString GetFormName() const override { return m_strFormName; }             // empty without a form
    CString GetUpdatesAddress() const override;
    // <store>\<form name><extension>, e.g. ".pdf" or ".gdb".
    CString GetFormFile(const wchar_t* extension) const { return FormFilePath(*this, extension); }

    // The current record: a row id (0 or less for none) and whether it is a template.
    int GetCurrentRecordId() const override { return m_nRecordId; }
    void SetCurrentRecordId(int id) override
    {
        m_nRecordId = id;
        m_bCurrentRecordDeleted = false;
    }
    int GetTemplateFlag() const override { return m_bIsTemplate; }
    void SetTemplateFlag(int flag) override { m_bIsTemplate = flag; }
    void SetLastTemplateName(const CString& name) override { m_strLastTemplateName = name; }
    // The current record deleted: none is current, and the form page's fields are emptied.
    void RecordDeleted(int id, int isTemplate) override;
    bool IsCurrentRecordDeleted() const override { return m_bCurrentRecordDeleted; }
    const CString& GetLastTemplateName() const { return m_strLastTemplateName; }
    BOOL IsFormLoaded() const override { return m_bFormLoaded; }
    void SetFormLoaded(BOOL loaded) override { m_bFormLoaded = loaded; }

    // The step bar moves to the records page.
    void ShowRecordsPage() override;
    CWnd* GetMainFrame() const override { return GetParentFrame(); }
    // The step bar moves to the form page. Posted: a page that asks while it is being shown (or
    // inside a grid's mouse handling) finishes first, and the step bar and the shown page agree.
    void ShowFormPage() override;
    CGridCtrl* GetRecordsGrid() const override;
    RegisterForm* GetImportDialog() const override;
    CPdfButtons* GetFormButtons() const override;
    CHTMLCtrl* GetFormBrowser() const override;
    void ReloadRecordsPage() override;

    CDialog* GetFormPage() const { return m_pPages[kFormPage]; }
    // Null until made: once the main window answers after start-up, or when first shown.
    CDialog* GetRecordsPage() const { return m_pPages[kRecordsPage]; }
    // Null until made: once the main window answers after start-up, or when first used.
    CDialog* GetRegisterForm() const { return m_pRegisterForm; }
    // Null until the claim form first asks for the patient statements.
    CDialog* GetCollectionsPage() const { return m_pPages[kCollectionsPage]; }
    void HideRecordsPage();
    // The least client size of the view at which every page keeps its controls whole, no narrower
    // than leastWidth.
    CSize GetMinimumSize(int leastWidth) const;
    // Creates the collections page when there is none yet and shows it in place of the current page,
    // with the list of all records.
    void ShowCollectionsPage();

    // The claim form's "app:" commands: only "toStatements" (the list view) does anything here; it
    // shows the collections page once the command's navigation is over.
    bool DeleteRecord(int) override { return false; }
    void BuildAndSendCollections() override {}
    void LoadStatementPdf() override {}
    void ShowStatementView(bool statement) override;
    bool SaveCollectionsXml(const CString&) override { return false; }
    void RunStatementHeader() override {}

protected:
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnDestroy();
    afx_msg LRESULT OnShowFormPageStep(WPARAM, LPARAM);
    afx_msg LRESULT OnShowCollectionsPage(WPARAM, LPARAM);
    afx_msg LRESULT OnMakeLaterWindows(WPARAM, LPARAM);
    // The records page and the registration dialog, made when missing.
    CDialog* MakeRecordsPage();
    CDialog* MakeRegisterForm() const;
    bool IsTestMode() const;
    void SetStep(int step);
    void ShowPage(int place, bool show);

    int m_bIsTemplate = 0;
    int m_nRecordId = -1;
    bool m_bCurrentRecordDeleted = false;         // none is current since the current record was deleted
    CDialog* m_pPages[kPagePlaces] = {};
    BOOL m_bFormLoaded = 0;
    CString m_strFormName;
    CString m_strProgramFolder;
    CString m_strStoreFolder;
    mutable CDialog* m_pRegisterForm = nullptr;   // made on first use, see MakeRegisterForm
    CString m_strLastTemplateName;

    DECLARE_MESSAGE_MAP()
};
