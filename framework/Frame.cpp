// Documents, views, the frame that lays out its bars around the view, and the single-document
// template that creates document, frame and view on the new-file command.
#include "framework/Frame.h"
#include "framework/App.h"
#include "framework/Dialog.h"
#include <algorithm>
#include <commdlg.h>

CPrintInfo::CPrintInfo()
{
    ZeroMemory(&m_pd, sizeof(m_pd));
    m_pd.lStructSize = sizeof(m_pd);
    m_pd.nFromPage = 1;
    m_pd.nToPage = 0xFFFF;
    m_pd.nMinPage = 1;
    m_pd.nMaxPage = 0xFFFF;
}

CPrintInfo::~CPrintInfo()
{
    if (m_pd.hDC)
        ::DeleteDC(m_pd.hDC);
    if (m_pd.hDevMode)
        ::GlobalFree(m_pd.hDevMode);
    if (m_pd.hDevNames)
        ::GlobalFree(m_pd.hDevNames);
}

IMPLEMENT_DYNAMIC(CDocument, CCmdTarget)

CDocument::~CDocument()
{
    for (CView* view : m_views)
        view->m_pDocument = nullptr;
    if (m_pDocTemplate)
        m_pDocTemplate->RemoveDocument(this);
}

BOOL CDocument::OnNewDocument()
{
    DeleteContents();
    m_strPathName.Empty();
    SetModifiedFlag(FALSE);
    return TRUE;
}

BOOL CDocument::OnOpenDocument(LPCTSTR lpszPathName)
{
    DeleteContents();
    m_strPathName = lpszPathName;
    SetModifiedFlag(FALSE);
    return TRUE;
}

void CDocument::AddView(CView* pView)
{
    if (std::find(m_views.begin(), m_views.end(), pView) == m_views.end())
        m_views.push_back(pView);
    pView->m_pDocument = this;
}

void CDocument::RemoveView(CView* pView)
{
    m_views.erase(std::remove(m_views.begin(), m_views.end(), pView), m_views.end());
    pView->m_pDocument = nullptr;
}

// A position is the index of the next view plus one; null when there is none.
POSITION CDocument::GetFirstViewPosition() const
{
    return m_views.empty() ? nullptr : (POSITION)(INT_PTR)1;
}

void CDocument::UpdateAllViews(CView* pSender, LPARAM lHint, CObject* pHint)
{
    std::vector<CView*> views = m_views;
    for (CView* view : views)
        if (view != pSender)
            view->OnUpdate(pSender, lHint, pHint);
}

IMPLEMENT_DYNAMIC(CView, CWnd)

BEGIN_MESSAGE_MAP(CView, CWnd)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_PAINT()
    ON_WM_MOUSEACTIVATE()
    ON_MESSAGE(WM_INITIALUPDATE, OnInitialUpdateMessage)
    ON_COMMAND(ID_FILE_PRINT, OnFilePrint)
    ON_COMMAND(ID_FILE_PRINT_DIRECT, OnFilePrintDirect)
    ON_COMMAND(ID_FILE_PRINT_PREVIEW, OnFilePrintPreview)
END_MESSAGE_MAP()

CView::~CView()
{
    if (m_pDocument)
        m_pDocument->RemoveView(this);
}

BOOL CView::PreCreateWindow(CREATESTRUCT& cs)
{
    if (!cs.lpszClass)
        cs.lpszClass = AfxRegisterWndClass(CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, ::LoadCursorW(nullptr, IDC_ARROW),
                                           (HBRUSH)(COLOR_WINDOW + 1));
    return TRUE;
}

void CView::PostNcDestroy()
{
    // The frame must not keep pointing at a view that is gone.
    CWnd* mainWnd = AfxGetMainWnd();
    if (mainWnd && mainWnd->IsKindOf(RUNTIME_CLASS(CFrameWnd)))
    {
        CFrameWnd* frame = static_cast<CFrameWnd*>(mainWnd);
        if (frame->GetActiveView() == this)
            frame->SetActiveView(nullptr, FALSE);
    }
    delete this;
}

CFrameWnd* CView::GetParentFrame() const
{
    for (CWnd* wnd = GetParent(); wnd; wnd = wnd->GetParent())
        if (wnd->IsKindOf(RUNTIME_CLASS(CFrameWnd)))
            return static_cast<CFrameWnd*>(wnd);
    return nullptr;
}

int CView::OnCreate(LPCREATESTRUCT lpcs)
{
    if (CWnd::OnCreate(lpcs) == -1)
        return -1;
    CCreateContext* context = (CCreateContext*)lpcs->lpCreateParams;
    if (context && context->m_pCurrentDoc)
        context->m_pCurrentDoc->AddView(this);
    return 0;
}

void CView::OnDestroy()
{
    CFrameWnd* frame = GetParentFrame();
    if (frame && frame->GetActiveView() == this)
        frame->SetActiveView(nullptr, FALSE);
    CWnd::OnDestroy();
}

void CView::OnPaint()
{
    CPaintDC dc(this);
    OnPrepareDC(&dc);
    OnDraw(&dc);
}

int CView::OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message)
{
    int result = CWnd::OnMouseActivate(pDesktopWnd, nHitTest, message);
    if (result == MA_NOACTIVATE || result == MA_NOACTIVATEANDEAT)
        return result;
    CFrameWnd* frame = GetParentFrame();
    if (frame && frame->GetActiveView() != this)
        frame->SetActiveView(this);
    return result;
}

BOOL CView::DoPreparePrinting(CPrintInfo* pInfo)
{
    pInfo->m_pd.hwndOwner = CDialog::ModalOwnerFor(m_hWnd);
    pInfo->m_pd.Flags = PD_RETURNDC | PD_USEDEVMODECOPIESANDCOLLATE | PD_NOSELECTION;
    pInfo->m_pd.nMinPage = (WORD)pInfo->m_nMinPage;
    pInfo->m_pd.nMaxPage = (WORD)std::min<UINT>(pInfo->m_nMaxPage, 0xFFFF);
    if (pInfo->m_pd.nMinPage == pInfo->m_pd.nMaxPage)
        pInfo->m_pd.Flags |= PD_NOPAGENUMS;
    if (pInfo->m_bDirect)
        pInfo->m_pd.Flags |= PD_RETURNDEFAULT;
    return ::PrintDlgW(&pInfo->m_pd) && pInfo->m_pd.hDC != nullptr;
}

void CView::OnFilePrint()
{
    // One pass through the print overridables on the chosen printer, page by page.
    CPrintInfo info;
    info.m_bDirect = m_bDirectPrint;
    if (!OnPreparePrinting(&info))
        return;
    CDC dc;
    dc.Attach(info.m_pd.hDC);
    info.m_pd.hDC = nullptr;
    dc.m_bPrinting = TRUE;
    CString title;
    GetParentFrame()->GetWindowText(title);
    DOCINFOW doc = {};
    doc.cbSize = sizeof(doc);
    doc.lpszDocName = title;
    OnBeginPrinting(&dc, &info);
    if (dc.StartDoc(&doc) > 0)
    {
        for (info.m_nCurPage = info.GetMinPage(); info.m_nCurPage <= info.GetMaxPage() && info.m_bContinuePrinting;
             ++info.m_nCurPage)
        {
            info.m_rectDraw.SetRect(0, 0, dc.GetDeviceCaps(HORZRES), dc.GetDeviceCaps(VERTRES));
            OnPrepareDC(&dc, &info);
            if (!info.m_bContinuePrinting || dc.StartPage() <= 0)
                break;
            OnPrint(&dc, &info);
            dc.EndPage();
        }
        dc.EndDoc();
    }
    OnEndPrinting(&dc, &info);
}

IMPLEMENT_DYNCREATE(CFrameWnd, CWnd)

BEGIN_MESSAGE_MAP(CFrameWnd, CWnd)
    ON_WM_CREATE()
    ON_WM_SIZE()
    ON_WM_CLOSE()
    ON_WM_SETFOCUS()
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

const CRect CFrameWnd::rectDefault(CW_USEDEFAULT, CW_USEDEFAULT, 0, 0);

BOOL CFrameWnd::PreCreateWindow(CREATESTRUCT& cs)
{
    if (!cs.lpszClass)
    {
        HICON icon = ::LoadIconW(AfxGetResourceHandle(), MAKEINTRESOURCEW(m_nIDHelp));
        cs.lpszClass = AfxRegisterWndClass(CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, ::LoadCursorW(nullptr, IDC_ARROW),
                                           (HBRUSH)(COLOR_BTNFACE + 1), icon);
    }
    return TRUE;
}

BOOL CFrameWnd::Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                       CWnd* pParentWnd, LPCTSTR lpszMenuName, DWORD dwExStyle, CCreateContext* pContext)
{
    HMENU menu = lpszMenuName ? ::LoadMenuW(AfxGetResourceHandle(), lpszMenuName) : nullptr;
    m_strTitle = lpszWindowName;
    bool useDefault = CRect(rect) == rectDefault;
    int x = useDefault ? CW_USEDEFAULT : rect.left;
    int y = useDefault ? CW_USEDEFAULT : rect.top;
    int cx = useDefault ? CW_USEDEFAULT : rect.right - rect.left;
    int cy = useDefault ? CW_USEDEFAULT : rect.bottom - rect.top;
    if (!CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, x, y, cx, cy, pParentWnd->GetSafeHwnd(), menu, pContext))
    {
        if (menu)
            ::DestroyMenu(menu);
        return FALSE;
    }
    return TRUE;
}

BOOL CFrameWnd::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd, CCreateContext* pContext)
{
    m_nIDHelp = nIDResource;
    CString title;
    title.LoadString(AfxGetResourceHandle(), nIDResource);
    int lineEnd = title.Find(L'\n');
    if (lineEnd >= 0)
        title = title.Left(lineEnd);
    HINSTANCE module = AfxGetResourceHandle();
    LPCTSTR menuName = ::FindResourceW(module, MAKEINTRESOURCEW(nIDResource), (LPCWSTR)RT_MENU) ? MAKEINTRESOURCEW(nIDResource) : nullptr;
    return Create(nullptr, title, dwDefaultStyle, rectDefault, pParentWnd, menuName, 0, pContext);
}

int CFrameWnd::OnCreate(LPCREATESTRUCT lpcs)
{
    if (CWnd::OnCreate(lpcs) == -1)
        return -1;
    CCreateContext* context = (CCreateContext*)lpcs->lpCreateParams;
    if (!OnCreateClient(lpcs, context))
        return -1;
    RecalcLayout();
    return 0;
}

BOOL CFrameWnd::OnCreateClient(LPCREATESTRUCT, CCreateContext* pContext)
{
    if (pContext && pContext->m_pNewViewClass)
        return CreateView(pContext, AFX_IDW_PANE_FIRST) != nullptr;
    return TRUE;
}

CWnd* CFrameWnd::CreateView(CCreateContext* pContext, UINT nID)
{
    CObject* object = pContext->m_pNewViewClass->CreateObject();
    if (!object)
        return nullptr;
    if (!object->IsKindOf(RUNTIME_CLASS(CWnd)))
    {
        delete object;
        return nullptr;
    }
    CWnd* view = static_cast<CWnd*>(object);
    // A view that fails deletes itself when its window goes (PostNcDestroy); one that never got a
    // window is deleted here.
    if (!view->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 0, 0), this, nID, pContext))
        return nullptr;
    if (view->IsKindOf(RUNTIME_CLASS(CView)) && !m_pViewActive)
        m_pViewActive = static_cast<CView*>(view);
    return view;
}

void CFrameWnd::SetActiveView(CView* pViewNew, BOOL bNotify)
{
    m_pViewActive = pViewNew;
    if (bNotify && pViewNew && ::GetFocus() != pViewNew->m_hWnd && ::IsWindowVisible(m_hWnd))
        pViewNew->SetFocus();
}

CDocument* CFrameWnd::GetActiveDocument()
{
    return m_pViewActive ? m_pViewActive->GetDocument() : nullptr;
}

CControlBar* CFrameWnd::GetControlBar(UINT nID)
{
    CWnd* bar = FromHandlePermanent(::GetDlgItem(m_hWnd, nID));
    return bar && bar->IsKindOf(RUNTIME_CLASS(CControlBar)) ? static_cast<CControlBar*>(bar) : nullptr;
}

void CFrameWnd::RecalcLayout(BOOL)
{
    if (!m_hWnd)
        return;
    CRect client;
    GetClientRect(&client);
    for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
    {
        CWnd* wnd = FromHandlePermanent(child);
        if (!wnd || !wnd->IsKindOf(RUNTIME_CLASS(CControlBar)) || !(::GetWindowLongPtrW(child, GWL_STYLE) & WS_VISIBLE))
            continue;
        CControlBar* bar = static_cast<CControlBar*>(wnd);
        DWORD style = bar->GetBarStyle();
        if (style & (CBRS_ALIGN_TOP | CBRS_ALIGN_BOTTOM))
        {
            int height = std::min<int>(bar->CalcFixedLayout(TRUE, TRUE).cy, std::max<int>(client.Height(), 0));
            int top = (style & CBRS_ALIGN_TOP) ? client.top : client.bottom - height;
            bar->MoveWindow(client.left, top, client.Width(), height);
            if (style & CBRS_ALIGN_TOP)
                client.top += height;
            else
                client.bottom -= height;
        }
        else if (style & (CBRS_ALIGN_LEFT | CBRS_ALIGN_RIGHT))
        {
            int width = std::min<int>(bar->CalcFixedLayout(TRUE, FALSE).cx, std::max<int>(client.Width(), 0));
            int left = (style & CBRS_ALIGN_LEFT) ? client.left : client.right - width;
            bar->MoveWindow(left, client.top, width, client.Height());
            if (style & CBRS_ALIGN_LEFT)
                client.left += width;
            else
                client.right -= width;
        }
    }
    if (HWND pane = ::GetDlgItem(m_hWnd, AFX_IDW_PANE_FIRST))
        ::MoveWindow(pane, client.left, client.top, client.Width(), std::max<int>(client.Height(), 0), TRUE);
}

void CFrameWnd::ActivateFrame(int nCmdShow)
{
    if (nCmdShow == -1)
        nCmdShow = ::IsWindowVisible(m_hWnd) ? SW_SHOWNA : SW_SHOW;
    ShowWindow(nCmdShow);
    if (nCmdShow != SW_HIDE && nCmdShow != SW_SHOWNA)
        ::BringWindowToTop(m_hWnd);
}

void CFrameWnd::InitialUpdateFrame(CDocument* pDoc, BOOL bMakeVisible)
{
    if (!m_pViewActive)
    {
        CWnd* pane = FromHandlePermanent(::GetDlgItem(m_hWnd, AFX_IDW_PANE_FIRST));
        if (pane && pane->IsKindOf(RUNTIME_CLASS(CView)))
            m_pViewActive = static_cast<CView*>(pane);
    }
    RecalcLayout();
    // Each view of the frame gets its first update before the frame is shown.
    std::vector<HWND> views;
    for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
    {
        CWnd* wnd = FromHandlePermanent(child);
        if (wnd && wnd->IsKindOf(RUNTIME_CLASS(CView)))
            views.push_back(child);
    }
    for (HWND view : views)
        ::SendMessageW(view, WM_INITIALUPDATE, 0, 0);
    if (pDoc && (GetStyle() & FWS_ADDTOTITLE))
        SetWindowText(pDoc->GetTitle().IsEmpty() ? m_strTitle : pDoc->GetTitle() + L" - " + m_strTitle);
    if (bMakeVisible)
        ActivateFrame();
}

BOOL CFrameWnd::OnCmdMsg(UINT nID, UINT nMessage, UINT nCode, AFX_MSG_CALL& call)
{
    if (m_pViewActive && m_pViewActive->OnCmdMsg(nID, nMessage, nCode, call))
        return TRUE;
    if (CWnd::OnCmdMsg(nID, nMessage, nCode, call))
        return TRUE;
    CWinApp* app = AfxGetApp();
    return app && app->OnCmdMsg(nID, nMessage, nCode, call);
}

void CFrameWnd::OnSize(UINT nType, int cx, int cy)
{
    CWnd::OnSize(nType, cx, cy);
    if (nType != SIZE_MINIMIZED)
        RecalcLayout();
}

void CFrameWnd::OnClose()
{
    DestroyWindow();
}

void CFrameWnd::OnSetFocus(CWnd* pOldWnd)
{
    if (m_pViewActive && m_pViewActive->m_hWnd)
        m_pViewActive->SetFocus();
    else
        CWnd::OnSetFocus(pOldWnd);
}

BOOL CFrameWnd::OnEraseBkgnd(CDC* pDC)
{
    if (m_pViewActive && m_pViewActive->m_hWnd)
        return TRUE;   // the view and the bars cover the client area
    return CWnd::OnEraseBkgnd(pDC);
}

IMPLEMENT_DYNAMIC(CDocTemplate, CCmdTarget)

CDocTemplate::CDocTemplate(UINT nIDResource, const CRuntimeClass* pDocClass, const CRuntimeClass* pFrameClass,
                           const CRuntimeClass* pViewClass)
    : m_nIDResource(nIDResource), m_pDocClass(pDocClass), m_pFrameClass(pFrameClass), m_pViewClass(pViewClass)
{
    m_strDocStrings.LoadString(AfxGetResourceHandle(), nIDResource);
}

CDocTemplate::~CDocTemplate() = default;

BOOL CDocTemplate::GetDocString(CString& rString, DocStringIndex index) const
{
    rString.Empty();
    int start = 0;
    for (int line = 0; line < (int)index; ++line)
    {
        int end = m_strDocStrings.Find(L'\n', start);
        if (end < 0)
            return FALSE;
        start = end + 1;
    }
    int end = m_strDocStrings.Find(L'\n', start);
    rString = end < 0 ? m_strDocStrings.Mid(start) : m_strDocStrings.Mid(start, end - start);
    return TRUE;
}

CDocument* CDocTemplate::CreateNewDocument()
{
    if (!m_pDocClass)
        return nullptr;
    CObject* object = m_pDocClass->CreateObject();
    if (!object)
        return nullptr;
    if (!object->IsKindOf(RUNTIME_CLASS(CDocument)))
    {
        delete object;
        return nullptr;
    }
    CDocument* doc = static_cast<CDocument*>(object);
    AddDocument(doc);
    return doc;
}

CFrameWnd* CDocTemplate::CreateNewFrame(CDocument* pDoc, CFrameWnd* pOther)
{
    CCreateContext context;
    context.m_pCurrentFrame = pOther;
    context.m_pCurrentDoc = pDoc;
    context.m_pNewViewClass = m_pViewClass;
    context.m_pNewDocTemplate = this;
    CObject* object = m_pFrameClass ? m_pFrameClass->CreateObject() : nullptr;
    if (!object)
        return nullptr;
    if (!object->IsKindOf(RUNTIME_CLASS(CFrameWnd)))
    {
        delete object;
        return nullptr;
    }
    CFrameWnd* frame = static_cast<CFrameWnd*>(object);
    // A frame whose creation fails deletes itself (PostNcDestroy).
    if (!frame->LoadFrame(m_nIDResource, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, nullptr, &context))
        return nullptr;
    return frame;
}

void CDocTemplate::InitialUpdateFrame(CFrameWnd* pFrame, CDocument* pDoc, BOOL bMakeVisible)
{
    pFrame->InitialUpdateFrame(pDoc, bMakeVisible);
}

IMPLEMENT_DYNAMIC(CSingleDocTemplate, CDocTemplate)

CSingleDocTemplate::~CSingleDocTemplate()
{
    delete m_pOnlyDoc;
}

CDocument* CSingleDocTemplate::OpenDocumentFile(LPCTSTR lpszPathName, BOOL bMakeVisible)
{
    CDocument* doc = m_pOnlyDoc;
    bool created = false;
    if (!doc)
    {
        doc = CreateNewDocument();
        if (!doc)
            return nullptr;
        created = true;
    }
    CWinApp* app = AfxGetApp();
    CFrameWnd* frame = nullptr;
    if (created)
    {
        frame = CreateNewFrame(doc, nullptr);
        if (!frame)
        {
            delete doc;
            return nullptr;
        }
    }
    else if (app && app->m_pMainWnd && app->m_pMainWnd->IsKindOf(RUNTIME_CLASS(CFrameWnd)))
    {
        frame = static_cast<CFrameWnd*>(app->m_pMainWnd);
    }
    BOOL opened;
    if (lpszPathName)
    {
        opened = doc->OnOpenDocument(lpszPathName);
    }
    else
    {
        CString title;
        if (!GetDocString(title, docName) || title.IsEmpty())
            title = L"Untitled";
        doc->SetTitle(title);
        opened = doc->OnNewDocument();
    }
    if (!opened)
    {
        if (created)
        {
            frame->DestroyWindow();
            delete doc;
        }
        return nullptr;
    }
    if (created && app && !app->m_pMainWnd)
        app->m_pMainWnd = frame;
    if (frame)
        InitialUpdateFrame(frame, doc, bMakeVisible);
    return doc;
}
