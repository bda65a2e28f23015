// The view: folders, current form, the pages as child windows and the switch between them.
#include "app/FormsteadView.h"
#include "app/FormStore.h"
#include "app/FormsteadApp.h"
#include "app/MainFrame.h"
#include "app/ViewPages.h"
#include "bridge/BridgeProtocol.h"
#include "pages/CollectionsPage.h"
#include "pages/PageMinimum.h"
#include "pages/FormPage.h"
#include "pages/RecordsPage.h"
#include "pages/RegisterForm.h"
#include "resources/resource.h"
#include <shlwapi.h>
#include <algorithm>

IMPLEMENT_DYNCREATE(CFormsteadView, CView)

namespace
{
const UINT kShowFormPageStep = WM_APP + 0x31;
const UINT kShowCollectionsPage = WM_APP + 0x32;
// Makes the next window that start-up leaves for later (wParam, lParam unused).
const UINT kMakeLaterWindows = WM_APP + 0x33;
}

BEGIN_MESSAGE_MAP(CFormsteadView, CView)
    ON_WM_SIZE()
    ON_WM_KEYDOWN()
    ON_WM_DESTROY()
    ON_MESSAGE(kShowFormPageStep, OnShowFormPageStep)
    ON_MESSAGE(kShowCollectionsPage, OnShowCollectionsPage)
    ON_MESSAGE(kMakeLaterWindows, OnMakeLaterWindows)
END_MESSAGE_MAP()

CFormsteadView::~CFormsteadView()
{
    for (CDialog*& page : m_pPages)
    {
        delete page;
        page = nullptr;
    }
    delete m_pRegisterForm;
}

bool CFormsteadView::IsTestMode() const
{
    CWinApp* app = AfxGetApp();
    return app && app->IsKindOf(RUNTIME_CLASS(CFormsteadApp)) &&
           static_cast<CFormsteadApp*>(app)->m_cmdInfo.m_bTestMode;
}

CString CFormsteadView::GetUpdatesAddress() const
{
    CFrameWnd* frame = GetParentFrame();
    return frame && frame->IsKindOf(RUNTIME_CLASS(CMainFrame)) ? static_cast<CMainFrame*>(frame)->m_strUpdatesAddress
                                                                 : CString();
}

void CFormsteadView::SetStep(int step)
{
    CFrameWnd* frame = GetParentFrame();
    CControlBar* bar = frame ? frame->GetControlBar(Navigator::IDD) : nullptr;
    if (bar && bar->IsKindOf(RUNTIME_CLASS(Navigator)))
        static_cast<Navigator*>(bar)->SetStep(step);
}

void CFormsteadView::ShowRecordsPage()
{
    SetStep(1);
}

void CFormsteadView::ShowFormPage()
{
    if (m_hWnd)
        PostMessage(kShowFormPageStep);
}

LRESULT CFormsteadView::OnShowFormPageStep(WPARAM, LPARAM)
{
    SetStep(0);
    return 0;
}

CGridCtrl* CFormsteadView::GetRecordsGrid() const
{
    CPage2* page = dynamic_cast<CPage2*>(m_pPages[kRecordsPage]);
    return page && page->m_grid.GetSafeHwnd() ? &page->m_grid : nullptr;
}

RegisterForm* CFormsteadView::GetImportDialog() const
{
    return dynamic_cast<RegisterForm*>(MakeRegisterForm());
}

CPdfButtons* CFormsteadView::GetFormButtons() const
{
    CPage3* page = dynamic_cast<CPage3*>(m_pPages[kFormPage]);
    return page && page->m_buttons.GetSafeHwnd() ? &page->m_buttons : nullptr;
}

CHTMLCtrl* CFormsteadView::GetFormBrowser() const
{
    CPage3* page = dynamic_cast<CPage3*>(m_pPages[kFormPage]);
    return page && page->m_browser.GetSafeHwnd() ? &page->m_browser : nullptr;
}

void CFormsteadView::RecordDeleted(int id, int isTemplate)
{
    if (id <= 0 || id != m_nRecordId || isTemplate != m_bIsTemplate)
        return;
    m_nRecordId = -1;
    m_bCurrentRecordDeleted = true;
    // The form keeps the values it was last given: an empty data set clears every field, so the
    // deleted record is not shown (or saved again as if it were current).
    if (CHTMLCtrl* browser = GetFormBrowser())
        if (m_bFormLoaded)
            SendBridgeCommand(*browser, L"FieldSet|");
}

void CFormsteadView::ReloadRecordsPage()
{
    CDialog* page = m_pPages[kRecordsPage];
    if (!page || !page->m_hWnd || !page->IsWindowVisible())
        return;
    page->ShowWindow(SW_HIDE);
    page->ShowWindow(SW_SHOW);
}

void CFormsteadView::OnInitialUpdate()
{
    wchar_t modulePath[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, modulePath, MAX_PATH);
    m_strProgramFolder = ProgramFolderOf(modulePath);
    m_strStoreFolder = PrepareStoreFolder(IsTestMode(), m_strProgramFolder);

    if (::PathIsDirectoryEmptyW(m_strStoreFolder))
    {
        CString text;
        text.Format(L"The form store folder is empty.\r\nMaybe your installation is corrupted.\r\n"
                    L"Try to reinstall the application or contact your supplier.\r\nDetails: Error Code 1001. [%s]",
                    m_strStoreFolder.GetString());
        // No owner and no caption of its own: the program's name stands as the caption.
        AfxShowMessageBox(nullptr, text, nullptr, MB_OK);
    }

    CRect client;
    GetClientRect(&client);
    m_strFormName = FirstFormIn(m_strStoreFolder);

    const ViewPageFactory& pages = CurrentViewPages();
    m_pPages[kFormPage] = pages.makeFormPage(*this);
    if (m_pPages[kFormPage]->Create(IDD_FORM_PAGE, this))
    {
        m_pPages[kFormPage]->MoveWindow(&client);
        m_pPages[kFormPage]->SetParent(this);
    }
    ShowPage(kFormPage, true);

    // The records page and the registration dialog start hidden: they are made once the main window
    // answers (or as soon as something needs one), so that the form page is ready sooner.
    PostMessage(kMakeLaterWindows);

    OnSize(SIZE_RESTORED, client.Width(), client.Height());
}

LRESULT CFormsteadView::OnMakeLaterWindows(WPARAM, LPARAM)
{
    // One window a message: input waiting meanwhile is handled between them.
    if (!m_pPages[kRecordsPage])
    {
        MakeRecordsPage();
        PostMessage(kMakeLaterWindows);
    }
    else
        MakeRegisterForm();
    return 0;
}

CDialog* CFormsteadView::MakeRecordsPage()
{
    CDialog*& page = m_pPages[kRecordsPage];
    if (page)
        return page;
    page = CurrentViewPages().makeRecordsPage(*this);
    if (page->Create(IDD_RECORDS_PAGE, this))
    {
        CRect client;
        GetClientRect(&client);
        page->MoveWindow(&client);
        page->SetParent(this);
    }
    return page;
}

CDialog* CFormsteadView::MakeRegisterForm() const
{
    if (m_pRegisterForm || !m_hWnd)
        return m_pRegisterForm;
    // The dialog is made hidden, but its first control may take the focus and with it the activation;
    // the user stays in the window they were in.
    const HWND active = ::GetActiveWindow();
    const HWND focus = ::GetFocus();
    m_pRegisterForm = CurrentViewPages().makeRegisterForm(*const_cast<CFormsteadView*>(this));
    // Owned by the main window: it stays above it and is centred on it.
    m_pRegisterForm->Create(IDD_REGISTER_FORM, GetParentFrame());
    if (focus && ::GetFocus() != focus && ::IsWindow(focus))
        ::SetFocus(focus);
    else if (active && ::GetActiveWindow() != active && ::IsWindow(active))
        ::SetActiveWindow(active);
    return m_pRegisterForm;
}

void CFormsteadView::ShowPage(int place, bool show)
{
    if (place == kRecordsPage && show)
        MakeRecordsPage();
    CDialog* page = m_pPages[place];
    if (page && page->m_hWnd)
        page->ShowWindow(show ? SW_SHOW : SW_HIDE);
}

void CFormsteadView::OnUpdate(CView*, LPARAM, CObject*)
{
    CFrameWnd* frame = GetParentFrame();
    CControlBar* bar = frame ? frame->GetControlBar(Navigator::IDD) : nullptr;
    if (!bar || !bar->IsKindOf(RUNTIME_CLASS(Navigator)))
        return;
    UINT step = static_cast<Navigator*>(bar)->GetCurrentStepId();
    if (step == IDC_STEP_CREATE_RECORD)
    {
        ShowPage(kRecordsPage, false);
        for (int place = 2; place < kPagePlaces; ++place)
            ShowPage(place, false);
        ShowPage(kFormPage, true);
    }
    else if (step == IDC_STEP_VIEW_DATABASE)
    {
        ShowPage(kRecordsPage, true);
        ShowPage(kFormPage, false);
        for (int place = 2; place < kPagePlaces; ++place)
            ShowPage(place, false);
    }
}

void CFormsteadView::ShowStatementView(bool statement)
{
    if (!statement && m_hWnd)
        PostMessage(kShowCollectionsPage);
}

LRESULT CFormsteadView::OnShowCollectionsPage(WPARAM, LPARAM)
{
    ShowCollectionsPage();
    return 0;
}

void CFormsteadView::ShowCollectionsPage()
{
    CDialog*& page = m_pPages[kCollectionsPage];
    if (!page)
    {
        const ViewPageFactory& pages = CurrentViewPages();
        if (!pages.makeCollectionsPage)
            return;
        page = pages.makeCollectionsPage(*this);
        if (!page->Create(CCollectionsPage::IDD, this))
            return;
        CRect client;
        GetClientRect(&client);
        page->MoveWindow(&client);
        page->SetParent(this);
    }
    if (!page->m_hWnd)
        return;
    ShowPage(kFormPage, false);
    ShowPage(kRecordsPage, false);
    ShowPage(kCollectionsPage, true);
    if (CCollectionsPage* collections = dynamic_cast<CCollectionsPage*>(page))
        collections->OpenList();
}

void CFormsteadView::HideRecordsPage()
{
    ShowPage(kRecordsPage, false);
}

void CFormsteadView::OnSize(UINT nType, int cx, int cy)
{
    CView::OnSize(nType, cx, cy);
    CRect client;
    GetClientRect(&client);
    for (CDialog* page : m_pPages)
        if (page && page->m_hWnd)
            page->MoveWindow(&client, TRUE);
}

CSize CFormsteadView::GetMinimumSize(int leastWidth) const
{
    CSize least(leastWidth, 0);
    for (CDialog* page : m_pPages)
        if (const PageMinimum* minimum = dynamic_cast<const PageMinimum*>(page))
            if (page->m_hWnd)
                least.cx = std::max(least.cx, static_cast<LONG>(minimum->MinimumWidth()));
    for (CDialog* page : m_pPages)
        if (const PageMinimum* minimum = dynamic_cast<const PageMinimum*>(page))
            if (page->m_hWnd)
                least.cy = std::max(least.cy, static_cast<LONG>(minimum->MinimumHeight(least.cx)));
    return least;
}

void CFormsteadView::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    if (nChar == VK_F2)
    {
        CString text;
        text.Format(L"The current project assembly: %d", 3);
        MessageBox(text, AfxGetAppName(), MB_OK);
        return;
    }
    CView::OnKeyDown(nChar, nRepCnt, nFlags);
}

void CFormsteadView::OnDestroy()
{
    if (m_pRegisterForm && m_pRegisterForm->m_hWnd)
        m_pRegisterForm->DestroyWindow();
    CView::OnDestroy();
}
