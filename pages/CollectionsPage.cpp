// The collections page: loading the companion PDF, building and sending the collection data with
// its running totals, storing a statement's changes, and the list and statement views.
#include "pages/CollectionsPage.h"

#include "bridge/BridgeProtocol.h"
#include "export/CollectionValues.h"
#include "export/CollectionsSort.h"
#include "export/HeaderSettings.h"
#include "framework/Seams.h"
#include "pages/CollectionsLayout.h"
#include "pages/CollectionsStore.h"
#include "pages/FormPageHost.h"
#include "pages/RecordsGrid.h"
#include "pages/StatementHeader.h"

#include <algorithm>

namespace {
const UINT kBrowserPlace = 1022;
const UINT kChangeAddress = 1031;
const UINT kPatient = 1024, kInsured = 1025, kPastDue = 1026, kInsuredId = 1027, kPolicy = 1028, kPhone = 1029,
           kSortBy = 1030;
// What the statement view disables on the page and hides on the totals panel; the list view enables
// and shows them again. Ids the panel does not have find nothing.
const UINT kDisabledWithStatement[] = {1017, 1024, 1025, 1026, 1027, 1028, 1029, 1030};
const UINT kHiddenWithStatement[] = {1045, 1046, 1047, 1048, 1049, 1051, 1053, 1054, 1055, 1056, 1057, 1058, 1060};
// The buttons of both templates that carry no behaviour: disabled whatever the view, so that none
// invites a click that does nothing.
const UINT kInertPageButtons[] = {1017, 1018, 1019, 1020, 1021};
const UINT kInertTotalsButtons[] = {1053, 1054, 1055, 1056, 1057};
// The page's controls with their labels, in the order they flow.
const LabelledControl kPageGroups[] = {{1032, kPatient}, {1033, kInsured}, {1034, kInsuredId}, {1035, kPolicy},
                                       {1036, kPhone},   {1037, kPastDue}, {1038, kSortBy},    {0, 1017},
                                       {0, 1018},        {0, 1019},        {0, 1020},          {0, 1021},
                                       {0, kChangeAddress}};
const LabelledControl kTotalsGroups[] = {{1039, 1045}, {1040, 1046}, {1041, 1047}, {1042, 1048}, {1043, 1049},
                                         {1050, 1051}, {0, 1053},    {0, 1054},    {0, 1055},    {0, 1056},
                                         {0, 1057}};
const int kMargin = 4; // around the controls, inside the page and the totals panel
const int kLeastListHeight = 120; // the strip of the list kept below the controls
const size_t kPageGroupCount = sizeof kPageGroups / sizeof kPageGroups[0];
const size_t kTotalsGroupCount = sizeof kTotalsGroups / sizeof kTotalsGroups[0];

const wchar_t* const kPastDueItems[] = {L"30 Days", L"45 Days", L"60 Days", L"90 Days", L"Less Than 30 Days",
                                        L"Any Balance", L"All Records", L"PAID IN FULL"};
const wchar_t* const kSortItems[] = {L"OLDEST", L"NEWEST", L"PATIENT (A-Z)", L"PATIENT (Z-A)"};

std::wstring Today()
{
    const SYSTEMTIME now = AfxGetLocalTime();
    return FormatMonthDayYear(now.wYear, now.wMonth, now.wDay);
}
} // namespace

BEGIN_MESSAGE_MAP(CCollectionsPage, CDialog)
    ON_WM_SIZE()
END_MESSAGE_MAP()

BOOL CCollectionsPage::OnInitDialog()
{
    CDialog::OnInitDialog();
    for (const wchar_t* item : kPastDueItems) ::SendDlgItemMessageW(m_hWnd, kPastDue, CB_ADDSTRING, 0, (LPARAM)item);
    for (const wchar_t* item : kSortItems) ::SendDlgItemMessageW(m_hWnd, kSortBy, CB_ADDSTRING, 0, (LPARAM)item);
    ::SendDlgItemMessageW(m_hWnd, kPastDue, CB_SETCURSEL, kPastDueAll, 0);
    ::SendDlgItemMessageW(m_hWnd, kSortBy, CB_SETCURSEL, kSortOldest, 0);

    if (m_totals.Create(CCollectionsTotals::IDD, this)) {
        // Placed below the filters by Layout.
        m_totals.SetTotals(m_running);
        m_totals.ShowWindow(SW_SHOW);
    }
    m_browser.CreateFromStatic(kBrowserPlace, this);
    m_browser.SetOwnPlaces(m_host->GetProgramFolder(), m_host->GetStoreFolder(), m_host->GetUpdatesAddress());
    m_browser.SetAppCommandTarget(this);
    m_browser.Navigate2(L"file:///" + m_host->GetProgramFolder() + L"container.htm");
    Layout();
    return TRUE;
}

void CCollectionsPage::OnSize(UINT nType, int cx, int cy)
{
    CDialog::OnSize(nType, cx, cy);
    Layout();
}

// The filters flow into as many rows as the width needs, the totals panel (list view only) below
// them, and the browser takes the rest of the page.
void CCollectionsPage::Layout()
{
    if (!m_hWnd) return;
    CRect client;
    GetClientRect(&client);
    const int width = std::max(0, static_cast<int>(client.Width()) - 2 * kMargin);
    int bottom = FlowLabelledControls(m_hWnd, kPageGroups, kPageGroupCount, kMargin, kMargin, width);
    if (m_totals.m_hWnd && (m_totals.GetStyle() & WS_VISIBLE)) {
        const int inner = FlowLabelledControls(m_totals.m_hWnd, kTotalsGroups, kTotalsGroupCount, kMargin, kMargin, width);
        m_totals.SetWindowPos(nullptr, 0, bottom, client.Width(), inner + kMargin, SWP_NOZORDER | SWP_NOACTIVATE);
        bottom += inner + kMargin;
    }
    const int browserTop = bottom + kMargin;
    if (m_browser.m_hWnd)
        m_browser.MoveWindow(0, browserTop, client.Width(), std::max(0, static_cast<int>(client.bottom) - browserTop), TRUE);
}

int CCollectionsPage::MinimumWidth() const
{
    if (!m_hWnd) return 0;
    int widest = WidestLabelledControl(m_hWnd, kPageGroups, kPageGroupCount);
    if (m_totals.m_hWnd) widest = std::max(widest, WidestLabelledControl(m_totals.m_hWnd, kTotalsGroups, kTotalsGroupCount));
    return widest + 2 * kMargin;
}

int CCollectionsPage::MinimumHeight(int width) const
{
    if (!m_hWnd) return 0;
    const int inner = std::max(width, MinimumWidth()) - 2 * kMargin;
    int bottom = LabelledRowsBottom(m_hWnd, kPageGroups, kPageGroupCount, kMargin, inner);
    if (m_totals.m_hWnd && (m_totals.GetStyle() & WS_VISIBLE))
        bottom += LabelledRowsBottom(m_totals.m_hWnd, kTotalsGroups, kTotalsGroupCount, kMargin, inner) + kMargin;
    return bottom + kMargin + kLeastListHeight;
}

void CCollectionsPage::OpenList()
{
    m_browser.m_bStatementRequested = true;
    m_browser.m_nStatementId = -1;
    ShowStatementView(false);
    LoadStatementPdf();
    BuildAndSendCollections();
}

CollectionFilters CCollectionsPage::ReadFilters() const
{
    CollectionFilters filters;
    CString text;
    GetDlgItemText(kPatient, text);
    filters.patient = text.GetString();
    GetDlgItemText(kInsured, text);
    filters.insured = text.GetString();
    GetDlgItemText(kInsuredId, text);
    filters.insuredId = text.GetString();
    GetDlgItemText(kPolicy, text);
    filters.policy = text.GetString();
    GetDlgItemText(kPhone, text);
    filters.phone = text.GetString();
    filters.pastDue = static_cast<int>(::SendDlgItemMessageW(m_hWnd, kPastDue, CB_GETCURSEL, 0, 0));
    return filters;
}

void CCollectionsPage::LoadStatementPdf()
{
    if (!m_browser.m_bStatementRequested) return;
    const CString address = L"file:///" + m_host->GetProgramFolder() +
                            (m_browser.m_nStatementId >= 0 ? L"statement.pdf" : L"collections.pdf");
    const HWND browser = m_browser.m_hWnd;
    WaitForPageLoad(m_browser); // not loaded after the bound: the address is set all the same
    if (::IsWindow(browser)) LoadPdfIntoPage(m_browser, address);
}

void CCollectionsPage::BuildAndSendCollections()
{
    m_running = CollectionTotals();
    CollectionsContext context;
    context.filters = ReadFilters();
    context.statementId = m_browser.m_nStatementId;
    context.changeAddress = IsDlgButtonChecked(kChangeAddress) == BST_CHECKED;
    const SYSTEMTIME now = AfxGetLocalTime();
    context.year = now.wYear;
    context.month = now.wMonth;
    context.day = now.wDay;
    // The letterhead is read once for the whole build.
    const HeaderSettings header;
    context.letterhead.textHeader = header.IsTextHeader();
    context.letterhead.text = header.m_strText.GetString();
    context.letterhead.fontName = header.m_strFontName.GetString();
    context.letterhead.fontSize = header.m_strSize.GetString();
    context.letterhead.imageSize = header.GetImageSize().GetString();
    context.letterhead.imagez2Size = header.GetImagez2Size().GetString();
    if (context.statementId >= 0) context.letterhead.logo = HeaderSettings::ReadLogoFile().GetString();

    std::wstring data;
    std::string error;
    const std::wstring dbPath = FormFilePath(*m_host, L".gdb").GetString();
    const CollectionsReadResult read = ReadCollectionRows(
        dbPath, context.statementId,
        [&](const CollectionRow& row) { data += WrapCollections(BuildRecordCollectionsXml(row, context, m_running)); },
        &error);
    if (read != CollectionsReadResult::Done) {
        m_running = CollectionTotals();
        m_totals.SetTotals(m_running);
        CString text;
        if (read == CollectionsReadResult::OpenFailed) text.Format(L"Can't open database: %s\n", CString(error.c_str()).GetString());
        else text = L"prepare failure";
        AfxShowMessageBox(m_hWnd, text, L"db", MB_OK);
        return;
    }
    const int sortBy = static_cast<int>(::SendDlgItemMessageW(m_hWnd, kSortBy, CB_GETCURSEL, 0, 0));
    m_lastSent = SortCollections(WrapXfaData(data), sortBy);
    SendBridgeCommand(m_browser, (L"FieldSet|" + m_lastSent).c_str());
    m_totals.SetTotals(m_running);
}

void CCollectionsPage::ShowStatementView(bool statement)
{
    if (!m_hWnd) return;
    if (m_totals.m_hWnd) {
        for (UINT id : kHiddenWithStatement)
            if (CWnd* control = m_totals.GetDlgItem(id)) control->ShowWindow(statement ? SW_HIDE : SW_SHOW);
        for (UINT id : kInertTotalsButtons)
            if (CWnd* button = m_totals.GetDlgItem(id)) button->EnableWindow(FALSE);
        // The panel's labels go with it.
        m_totals.ShowWindow(statement ? SW_HIDE : SW_SHOW);
    }
    for (UINT id : kDisabledWithStatement)
        if (CWnd* control = GetDlgItem(id)) control->EnableWindow(!statement);
    for (UINT id : kInertPageButtons)
        if (CWnd* button = GetDlgItem(id)) button->EnableWindow(FALSE);
    if (CWnd* check = GetDlgItem(kChangeAddress)) check->ShowWindow(statement ? SW_SHOW : SW_HIDE);
    Layout();
}

bool CCollectionsPage::SaveCollectionsXml(const CString& text)
{
    return SaveStatementChanges(FormFilePath(*m_host, L".gdb").GetString(), text.GetString(), Today());
}

bool CCollectionsPage::DeleteRecord(int id)
{
    return DeleteSubmission(*m_host, id) == 0;
}

void CCollectionsPage::RunStatementHeader()
{
    StatementHeader dialog(this);
    dialog.DoModal();
}
