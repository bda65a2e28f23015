// Form page: registration check, PDF loading, record loading, layout.
#include "pages/FormPage.h"
#include "bridge/AppCommandTarget.h"

#include <algorithm>

#include "bridge/BridgeProtocol.h"
#include "common/Diagnostics.h"
#include "formdb/FormDatabase.h"
#include "pages/FormExchange.h"
#include "pages/BarLayout.h"
#include "pages/FormPageHost.h"
#include "pages/RegisterForm.h"

namespace {
const int kTabs = 1012;
const int kBrowserPlace = 1022;
const int kSaveAsNew = 1015;
const int kSaveAsTemplate = 1016;
const int kUpdateAndSave = 1022;
const int kBarTop = 22;    // the bars start below the tab strip's (empty) row of tabs
const int kBarGap = 2;    // between the bars, and between them and the form
const int kPageMargin = 2;
const int kLeastFormHeight = 120; // of the form below the bars, for a small window
} // namespace

BEGIN_MESSAGE_MAP(CPage3, CDialog)
    ON_WM_SHOWWINDOW()
    ON_WM_SIZE()
    ON_NOTIFY(TCN_SELCHANGE, kTabs, OnTabChange)
END_MESSAGE_MAP()

BOOL CPage3::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_tabs.SubclassDlgItem(kTabs, this);
    m_tabs.SetupFonts(900, 0, 1, 500, 0, 0);
    m_tabs.SetColours(RGB(255, 255, 255), RGB(255, 255, 255));

    m_buttons.Attach(m_host, &m_browser);
    m_buttons.Create(CPdfButtons::IDD, this);
    if (!m_zoomer.Create(CZoomer::IDD, this))
        MessageBox(L"Could not init zoom buttons");
    m_zoomer.Attach(&m_browser, m_host->GetProgramFolder());
    m_buttons.ShowWindow(SW_SHOW);
    m_zoomer.ShowWindow(SW_SHOW);

    m_browser.CreateFromStatic(kBrowserPlace, this);
    // The tab strip is the bars' background: drawn under them (it clips itself around them) and
    // below them when a click is placed.
    m_tabs.SetWindowPos(HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    CRect client;
    GetClientRect(&client);
    LayOut(client.Width(), client.Height());
    m_browser.SetOwnPlaces(m_host->GetProgramFolder(), m_host->GetStoreFolder(), m_host->GetUpdatesAddress());
    // The claim form's "Patient Statements" (app:toStatements) reaches the host that shows the
    // collections page; a host without that page runs no command.
    m_browser.SetAppCommandTarget(dynamic_cast<AppCommandTarget*>(m_host));
    m_browser.Navigate2(L"file:///" + m_host->GetProgramFolder() + L"container.htm");
    return TRUE;
}

void CPage3::RefuseForm(const CString& why)
{
    m_usable = false;
    for (int id : {kSaveAsNew, kSaveAsTemplate, kUpdateAndSave})
        if (CWnd* button = m_buttons.GetDlgItem(id))
            button->EnableWindow(FALSE);
    MessageBox(why);
}

CPage3::FormState CPage3::EnsureRegistered()
{
    if (m_host->GetFormName().IsEmpty())
    {
        RefuseForm(L"The form store holds no form, so there is nothing to fill in.\r\n"
                   L"Put the form's PDF file into the folder " + m_host->GetStoreFolder() +
                   L" and start Formstead again.");
        return FormState::Refused;
    }
    const std::wstring dbPath(FormFilePath(*m_host, L".gdb").GetString());
    std::string unreadable;
    FormRegistration state = CheckFormRegistration(dbPath, &unreadable);
    if (state == FormRegistration::Missing || state == FormRegistration::Unregistered)
    {
        // The registration dialog runs its own message loop: the main window may close meanwhile.
        const HWND self = m_hWnd;
        RunRegisterFormModal(*m_host, this);
        if (!::IsWindow(self))
            return FormState::Gone;
        state = CheckFormRegistration(dbPath, &unreadable);
    }
    if (state == FormRegistration::Registered)
        return FormState::Usable;
    if (state == FormRegistration::Unreadable)
        RefuseForm(L"The database of the form \"" + m_host->GetFormName() + L"\" cannot be read now: " +
                   CString(unreadable.c_str()) + L"\r\nIf another program is using it, close that program, "
                   L"then switch to the Database step and back to Create New Record.");
    else
        RefuseForm(L"The form \"" + m_host->GetFormName() + L"\" is not registered, so its records cannot be saved.\r\n"
                   L"To register it, switch to the Database step and back to Create New Record, "
                   L"then press \"Register this form\" at the top of the registration window.");
    return FormState::Refused;
}

void CPage3::OnShowWindow(BOOL bShow, UINT nStatus)
{
    Default();
    if (!bShow || !m_host)
        return;
    DebugTraceA("CPage3::OnShowWindow", TRUE);
    const FormState state = EnsureRegistered();
    if (state == FormState::Gone)
        return;
    m_usable = state == FormState::Usable;
    if (!m_usable)
        return;

    for (int id : {kSaveAsNew, kSaveAsTemplate})
        if (CWnd* button = m_buttons.GetDlgItem(id))
            button->EnableWindow(TRUE);
    if (!m_host->IsFormLoaded())
    {
        // The load wait pumps messages: the main window may close meanwhile.
        const HWND self = m_hWnd;
        WaitForPageLoad(m_browser);
        if (!::IsWindow(self))
            return;
        LoadPdfIntoPage(m_browser, FormFilePath(*m_host, L".pdf"));
        m_host->SetFormLoaded(TRUE);
    }
    else
        m_browser.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);

    const int record = m_host->GetCurrentRecordId();
    if (record > 0)
        LoadRecordIntoPdf();
    if (CWnd* update = m_buttons.GetDlgItem(kUpdateAndSave))
        update->EnableWindow(record > 0);
    m_tabs.SetCurSel(m_host->GetTemplateFlag());
}

void CPage3::LoadRecordIntoPdf()
{
    DebugTraceA("CPage3::LoadRecordIntoPdf", TRUE);
    const RowText row = ReadRecordXml(std::wstring(FormFilePath(*m_host, L".gdb").GetString()),
                                      m_host->GetTemplateFlag() != 0, m_host->GetCurrentRecordId());
    if (!row.ok)
    {
        MessageBox(CString(row.message.c_str()), CString(row.caption.c_str()));
        return;
    }
    CStringA message("FieldSet|");
    message += row.text.c_str();
    DebugTraceA(row.found ? "CPage3::LoadRecordIntoPdf: sending the record" : "CPage3::LoadRecordIntoPdf: no row",
                TRUE);
    SendBridgeCommand(m_browser, CString(message.GetString(), message.GetLength()));
}

void CPage3::OnSize(UINT nType, int cx, int cy)
{
    Default();
    LayOut(cx, cy);
}

// The bars sit on the tab strip from kBarTop down: the zoom bar at the right, the button bar centred
// in the room left of it, each wrapping into more rows when the page is too narrow for one. The form
// takes the rest of the page below them.
CPage3::BarsPlan CPage3::PlanBars(int cx) const
{
    BarsPlan plan;
    plan.bottom = kBarTop;
    if (!m_buttons.GetSafeHwnd() || !m_zoomer.GetSafeHwnd())
        return plan;
    plan.room = std::max(cx - 2 * kPageMargin, 0);
    const SIZE zoom = MeasureBarFlow(m_zoomer.m_hWnd, plan.room);
    const int besideZoom = plan.room - zoom.cx - kBarGap;
    plan.buttonsTop = kBarTop;
    plan.buttonsRoom = besideZoom;
    plan.zoomLeft = cx - kPageMargin - zoom.cx;
    if (besideZoom < WidestBarControl(m_buttons.m_hWnd))
    {
        // Too narrow to share a row: the zoom bar goes first, the buttons below it.
        plan.zoomLeft = kPageMargin;
        plan.buttonsTop = kBarTop + zoom.cy + kBarGap;
        plan.buttonsRoom = plan.room;
    }
    const SIZE bar = MeasureBarFlow(m_buttons.m_hWnd, plan.buttonsRoom);
    const int rightmost = plan.buttonsTop == kBarTop ? plan.zoomLeft - kBarGap - bar.cx : cx - kPageMargin - bar.cx;
    const int centred = cx / 2 - bar.cx / 2 + bar.cx / 10;
    plan.buttonsLeft = std::max(static_cast<int>(kPageMargin), std::min(centred, rightmost));
    plan.bottom = std::max(kBarTop + zoom.cy, plan.buttonsTop + bar.cy);
    return plan;
}

void CPage3::LayOut(int cx, int cy)
{
    const BarsPlan plan = PlanBars(cx);
    if (m_buttons.GetSafeHwnd() && m_zoomer.GetSafeHwnd())
    {
        FlowBarControls(m_zoomer, plan.room);
        m_zoomer.SetWindowPos(nullptr, plan.zoomLeft, kBarTop, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        FlowBarControls(m_buttons, plan.buttonsRoom);
        m_buttons.SetWindowPos(nullptr, plan.buttonsLeft, plan.buttonsTop, 0, 0,
                               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    const int browserTop = plan.bottom + kBarGap;
    if (m_tabs.GetSafeHwnd())
        m_tabs.MoveWindow(0, 0, cx, browserTop - kBarGap);
    if (m_browser.GetSafeHwnd())
        m_browser.MoveWindow(0, browserTop, cx, std::max(cy - browserTop, 0));
}

int CPage3::MinimumWidth() const
{
    if (!m_buttons.GetSafeHwnd() || !m_zoomer.GetSafeHwnd())
        return 0;
    return std::max(WidestBarControl(m_buttons.m_hWnd), WidestBarControl(m_zoomer.m_hWnd)) + 2 * kPageMargin;
}

int CPage3::MinimumHeight(int width) const
{
    return PlanBars(std::max(width, MinimumWidth())).bottom + kBarGap + kLeastFormHeight;
}

void CPage3::OnTabChange(NMHDR* header, LRESULT* result)
{
    *result = -1;
}
