// CFormsteadView: fills the frame's client area and owns the pages. Its first update fixes the
// program folder, the form store folder and the current form (the first PDF of the store) and
// creates the pages; later updates show the page of the current step. It also holds the current record.
#pragma once
#include "framework/Framework.h"

class CFormsteadView : public CView
{
    DECLARE_DYNCREATE(CFormsteadView)
public:
    enum { kRecordsPage = 0, kFormPage = 1, kPagePlaces = 4 };
    ~CFormsteadView() override;

    void OnInitialUpdate() override;
    void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint) override;
    void OnDraw(CDC*) override {}
    BOOL OnPreparePrinting(CPrintInfo* pInfo) override { return DoPreparePrinting(pInfo); }

    // Folders and the current form, fixed by the first update.
    const CString& GetProgramFolder() const { return m_strProgramFolder; }   // with its final backslash
    const CString& GetStoreFolder() const { return m_strStoreFolder; }
    const CString& GetFormName() const { return m_strFormName; }             // empty without a form
    // <store>\<form name><extension>, e.g. ".pdf" or ".gdb".
    CString GetFormFile(const wchar_t* extension) const;

    // The current record: a row id (0 or less for none) and whether it is a template.
    int GetRecordId() const { return m_nRecordId; }
    void SetRecordId(int id) { m_nRecordId = id; }
    int GetTemplateFlag() const { return m_bIsTemplate; }
    void SetTemplateFlag(int flag) { m_bIsTemplate = flag; }
    BOOL IsFormLoaded() const { return m_bFormLoaded; }
    void SetFormLoaded(BOOL loaded) { m_bFormLoaded = loaded; }

    CDialog* GetFormPage() const { return m_pPages[kFormPage]; }
    CDialog* GetRecordsPage() const { return m_pPages[kRecordsPage]; }
    CDialog* GetRegisterForm() const { return m_pRegisterForm; }
    void HideRecordsPage();

protected:
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnDestroy();
    bool IsTestMode() const;
    void ShowPage(int place, bool show);

    int m_bIsTemplate = 0;
    int m_nRecordId = -1;
    CDialog* m_pPages[kPagePlaces] = {};
    BOOL m_bFormLoaded = 0;
    CString m_strFormName;
    CString m_strProgramFolder;
    CString m_strStoreFolder;
    CDialog* m_pRegisterForm = nullptr;

    DECLARE_MESSAGE_MAP()
};
