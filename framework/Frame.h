// The document/view architecture: CDocument, CView, CFrameWnd (a main window that docks control bars
// around one view) and the single-document template that creates the three together.
#pragma once
#include <vector>
#include "framework/Wnd.h"
#include "framework/Gdi.h"
#include "framework/Dialog.h"

class CDocument;
class CView;
class CFrameWnd;
class CDocTemplate;

// What a frame needs to create its view and attach it to the document.
struct CCreateContext
{
    const CRuntimeClass* m_pNewViewClass = nullptr;
    CDocument* m_pCurrentDoc = nullptr;
    CDocTemplate* m_pNewDocTemplate = nullptr;
    CFrameWnd* m_pCurrentFrame = nullptr;
};

// The state of one print job as the view's print overridables see it.
class CPrintInfo
{
public:
    CPrintInfo();
    ~CPrintInfo();
    CPrintInfo(const CPrintInfo&) = delete;
    CPrintInfo& operator=(const CPrintInfo&) = delete;

    void SetMaxPage(UINT nMaxPage) { m_nMaxPage = nMaxPage; }
    UINT GetMinPage() const { return m_nMinPage; }
    UINT GetMaxPage() const { return m_nMaxPage; }

    PRINTDLGW m_pd;           // the printer chosen by the print dialog (hDC when one was made)
    BOOL m_bPreview = FALSE;
    BOOL m_bDirect = FALSE;
    BOOL m_bContinuePrinting = TRUE;
    UINT m_nCurPage = 1;
    UINT m_nMinPage = 1;
    UINT m_nMaxPage = 0xFFFF;
    CRect m_rectDraw;
    CString m_strPageDesc;
};

class CDocument : public CCmdTarget
{
    DECLARE_DYNAMIC(CDocument)
public:
    CDocument() = default;
    ~CDocument() override;

    virtual BOOL OnNewDocument();
    virtual BOOL OnOpenDocument(LPCTSTR lpszPathName);
    virtual void DeleteContents() {}

    void AddView(CView* pView);
    void RemoveView(CView* pView);
    POSITION GetFirstViewPosition() const;
    void UpdateAllViews(CView* pSender, LPARAM lHint = 0, CObject* pHint = nullptr);

    BOOL IsModified() const { return m_bModified; }
    void SetModifiedFlag(BOOL bModified = TRUE) { m_bModified = bModified; }
    const CString& GetTitle() const { return m_strTitle; }
    virtual void SetTitle(LPCTSTR lpszTitle) { m_strTitle = lpszTitle; }
    const CString& GetPathName() const { return m_strPathName; }

    CDocTemplate* m_pDocTemplate = nullptr;

protected:
    std::vector<CView*> m_views;
    BOOL m_bModified = FALSE;
    CString m_strTitle;
    CString m_strPathName;
};

class CView : public CWnd
{
    DECLARE_DYNAMIC(CView)
public:
    CDocument* GetDocument() const { return m_pDocument; }
    CFrameWnd* GetParentFrame() const;

    virtual void OnInitialUpdate() { OnUpdate(nullptr, 0, nullptr); }
    virtual void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint) { Invalidate(TRUE); }
    virtual void OnDraw(CDC* pDC) = 0;
    virtual void OnPrepareDC(CDC* pDC, CPrintInfo* pInfo = nullptr) {}
    virtual BOOL OnPreparePrinting(CPrintInfo* pInfo) { return DoPreparePrinting(pInfo); }
    virtual void OnBeginPrinting(CDC* pDC, CPrintInfo* pInfo) {}
    virtual void OnPrint(CDC* pDC, CPrintInfo* pInfo) { OnDraw(pDC); }
    virtual void OnEndPrinting(CDC* pDC, CPrintInfo* pInfo) {}
    // Asks the user for a printer (the system print dialog); FALSE when cancelled.
    BOOL DoPreparePrinting(CPrintInfo* pInfo);

    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    void PostNcDestroy() override;
    ~CView() override;

protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpcs);
    afx_msg void OnDestroy();
    afx_msg void OnPaint();
    afx_msg int OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message);
    LRESULT OnInitialUpdateMessage(WPARAM, LPARAM) { OnInitialUpdate(); return 0; }
    // The print commands: print with the print dialog, print directly, and print preview (which
    // this framework prints directly as well).
    afx_msg void OnFilePrint();
    afx_msg void OnFilePrintDirect() { m_bDirectPrint = true; OnFilePrint(); m_bDirectPrint = false; }
    afx_msg void OnFilePrintPreview() { OnFilePrint(); }

    CDocument* m_pDocument = nullptr;
    bool m_bDirectPrint = false;
    friend class CDocument;
    DECLARE_MESSAGE_MAP()
};

// Frame-window style bits the framework reads.
const DWORD FWS_ADDTOTITLE = 0x00008000;
const DWORD FWS_PREFIXTITLE = 0x00004000;
const DWORD FWS_SNAPTOBARS = 0x00002000;

// The standard commands of the file menu and of printing.
const UINT ID_FILE_NEW = 0xE100;
const UINT ID_FILE_OPEN = 0xE101;
const UINT ID_FILE_PRINT = 0xE107;
const UINT ID_FILE_PRINT_DIRECT = 0xE108;
const UINT ID_FILE_PRINT_PREVIEW = 0xE109;
const UINT ID_APP_EXIT = 0xE141;

class CFrameWnd : public CWnd
{
    DECLARE_DYNCREATE(CFrameWnd)
public:
    static const CRect rectDefault;

    // Creates the frame with the title of string nIDResource (its first line) and the menu of the
    // same id when there is one.
    virtual BOOL LoadFrame(UINT nIDResource, DWORD dwDefaultStyle = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                           CWnd* pParentWnd = nullptr, CCreateContext* pContext = nullptr);
    BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle = WS_OVERLAPPEDWINDOW,
                const RECT& rect = rectDefault, CWnd* pParentWnd = nullptr, LPCTSTR lpszMenuName = nullptr,
                DWORD dwExStyle = 0, CCreateContext* pContext = nullptr);

    CView* GetActiveView() const { return m_pViewActive; }
    void SetActiveView(CView* pViewNew, BOOL bNotify = TRUE);
    virtual CDocument* GetActiveDocument();
    CControlBar* GetControlBar(UINT nID);
    // Places the docked bars along their edges and gives the rest of the client area to the view.
    virtual void RecalcLayout(BOOL bNotify = TRUE);
    virtual void ActivateFrame(int nCmdShow = -1);
    void InitialUpdateFrame(CDocument* pDoc, BOOL bMakeVisible);
    CWnd* CreateView(CCreateContext* pContext, UINT nID = AFX_IDW_PANE_FIRST);

    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    BOOL OnCmdMsg(UINT nID, UINT nMessage, UINT nCode, AFX_MSG_CALL& call) override;
    void PostNcDestroy() override { delete this; }

protected:
    virtual BOOL OnCreateClient(LPCREATESTRUCT lpcs, CCreateContext* pContext);
    afx_msg int OnCreate(LPCREATESTRUCT lpcs);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnClose();
    afx_msg void OnSetFocus(CWnd* pOldWnd);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);

    CView* m_pViewActive = nullptr;
    UINT m_nIDHelp = 0;
    CString m_strTitle;
    DECLARE_MESSAGE_MAP()
};

class CDocTemplate : public CCmdTarget
{
    DECLARE_DYNAMIC(CDocTemplate)
public:
    enum DocStringIndex { windowTitle, docName, fileNewName, filterName, filterExt, regFileTypeId, regFileTypeName };

    CDocTemplate(UINT nIDResource, const CRuntimeClass* pDocClass, const CRuntimeClass* pFrameClass,
                 const CRuntimeClass* pViewClass);
    ~CDocTemplate() override;

    // One line of the template's document string (resource string nIDResource, lines split by '\n').
    BOOL GetDocString(CString& rString, DocStringIndex index) const;
    virtual CDocument* OpenDocumentFile(LPCTSTR lpszPathName, BOOL bMakeVisible = TRUE) = 0;
    virtual CDocument* CreateNewDocument();
    virtual CFrameWnd* CreateNewFrame(CDocument* pDoc, CFrameWnd* pOther);
    virtual void InitialUpdateFrame(CFrameWnd* pFrame, CDocument* pDoc, BOOL bMakeVisible = TRUE);
    virtual void AddDocument(CDocument* pDoc) { pDoc->m_pDocTemplate = this; }
    virtual void RemoveDocument(CDocument* pDoc) { pDoc->m_pDocTemplate = nullptr; }

protected:
    UINT m_nIDResource;
    const CRuntimeClass* m_pDocClass;
    const CRuntimeClass* m_pFrameClass;
    const CRuntimeClass* m_pViewClass;
    CString m_strDocStrings;
};

class CSingleDocTemplate : public CDocTemplate
{
    DECLARE_DYNAMIC(CSingleDocTemplate)
public:
    CSingleDocTemplate(UINT nIDResource, const CRuntimeClass* pDocClass, const CRuntimeClass* pFrameClass,
                       const CRuntimeClass* pViewClass)
        : CDocTemplate(nIDResource, pDocClass, pFrameClass, pViewClass) {}
    ~CSingleDocTemplate() override;

    CDocument* OpenDocumentFile(LPCTSTR lpszPathName, BOOL bMakeVisible = TRUE) override;
    void AddDocument(CDocument* pDoc) override { CDocTemplate::AddDocument(pDoc); m_pOnlyDoc = pDoc; }
    void RemoveDocument(CDocument* pDoc) override { CDocTemplate::RemoveDocument(pDoc); if (m_pOnlyDoc == pDoc) m_pOnlyDoc = nullptr; }

protected:
    CDocument* m_pOnlyDoc = nullptr;
};
