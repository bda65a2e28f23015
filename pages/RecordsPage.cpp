// The records page: filling and showing the list, the current record, the page buttons and layout.
#include "pages/RecordsPage.h"

#include <algorithm>
#include <vector>

#include "bridge/BridgeProtocol.h"
#include "common/Diagnostics.h"
#include "pages/ClearinghouseExport.h"
#include "pages/FormPageHost.h"
#include "pages/ImportCompletedFiles.h"
#include "pages/RecordsGrid.h"

namespace {
const int kTabs = 1012;
const int kImportCompletedFiles = 1039;
const int kEmailBlankForm = 1041;
const int kClearinghouseFile = 1043;
const int kClearinghouseHint = 1051;
const int kDoubleClickHint = 1046;
const int kGridTop = 60;
const int kBarTop = 22;
const int kBarLeastLeft = 310;
const int kWidthAllowance = 20;
const UINT kSendEmailCommand = WM_APP + 0x21;
} // namespace

BEGIN_MESSAGE_MAP(CPage2, CDialog)
    ON_WM_SHOWWINDOW()
    ON_WM_SIZE()
    ON_WM_DRAWITEM()
    ON_WM_CTLCOLOR()
    ON_NOTIFY(NM_CLICK, CPage2::kRecordsGridId, OnGridClick)
    ON_NOTIFY(NM_DBLCLK, CPage2::kRecordsGridId, OnGridDblClk)
    ON_NOTIFY(TCN_SELCHANGING, kTabs, OnTabSelChanging)
    ON_NOTIFY(TCN_SELCHANGE, kTabs, OnTabSelChange)
    ON_BN_CLICKED(kImportCompletedFiles, OnImportCompletedFiles)
    ON_BN_CLICKED(kEmailBlankForm, OnEmailBlankForm)
    ON_BN_CLICKED(kClearinghouseFile, OnCreateClearinghouseFile)
    ON_MESSAGE(kSendEmailCommand, OnSendEmailCommand)
END_MESSAGE_MAP()

BOOL CPage2::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_tabs.SubclassDlgItem(kTabs, this);
    m_tabs.SetupFonts(900, 0, 1, 500, 0, 0);
    m_tabs.SetColours(RGB(255, 255, 255), RGB(255, 255, 255));

    const DWORD style = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP;
    const CRect place(0, kGridTop, 0, 0);
    if (!m_grid.Create(place, this, kRecordsGridId, style) || !m_hiddenGrid.Create(place, this, kHiddenGridId, style))
        DebugTraceA("CPage2::OnInitDialog: a grid could not be created", TRUE);

    TCITEMW item = {};
    item.mask = TCIF_TEXT | TCIF_PARAM;
    item.pszText = const_cast<LPWSTR>(L"Records");
    item.lParam = reinterpret_cast<LPARAM>(&m_grid);
    m_tabs.InsertItem(0, &item);
    m_hiddenGrid.ShowWindow(SW_HIDE);
    item.pszText = const_cast<LPWSTR>(L"Templates");
    item.lParam = reinterpret_cast<LPARAM>(&m_hiddenGrid);
    m_tabs.InsertItem(1, &item);
    m_tabs.ShowWindow(SW_HIDE);

    if (!m_buttons.Create(RecordButtons::IDD, this))
        DebugTraceA("CPage2::OnInitDialog: the record button bar could not be created", TRUE);

    for (int id : {kImportCompletedFiles, kEmailBlankForm})
        if (CWnd* button = GetDlgItem(id))
            button->ShowWindow(SW_SHOW);
    return TRUE;
}

bool CPage2::HoldsCurrentForm() const
{
    return m_filled && m_host && !m_filledForm.IsEmpty() && m_filledForm == m_host->GetFormName();
}

void CPage2::OnShowWindow(BOOL bShow, UINT nStatus)
{
    Default();
    if (!m_host || !m_grid.GetSafeHwnd())
        return;
    if (bShow)
        ShowList();
    else
        HideList();
}

void CPage2::ShowList()
{
    // The user's widths stay while the list shows the same form.
    if (HoldsCurrentForm() && m_grid.GetRowCount() > 0)
    {
        m_widths.clear();
        for (int column = 0; column < m_grid.GetColumnCount(); ++column)
            m_widths[std::wstring(m_grid.GetItemText(0, column).GetString())] = m_grid.GetColumnWidth(column);
    }
    else
        m_widths.clear();

    m_filled = false;
    m_frozenRead = false;
    m_filledForm.Empty();
    m_grid.DeleteAllItems();
    m_hiddenGrid.DeleteAllItems();

    // A form whose registration was cancelled has no database yet: it is reported as not registered
    // (opening never creates the file), rather than as a file that cannot be opened. An empty store
    // has no form and shows an empty list.
    const CString form = m_host->GetFormName();
    if (!form.IsEmpty() && ::GetFileAttributesW(FormFilePath(*m_host, L".gdb")) == INVALID_FILE_ATTRIBUTES)
        ReportFormNotRegistered(*m_host);
    else if (!form.IsEmpty())
    {
        bool frozenRead = false;
        if (LoadRecordGrids(m_grid, *m_host, &frozenRead) == 0)
        {
            m_frozenRead = frozenRead;
            m_filled = true;
            m_filledForm = form;
        }
    }

    m_grid.AutoSizeColumns(3);
    for (int column = 0; column < m_grid.GetColumnCount(); ++column)
    {
        const auto kept = m_widths.find(std::wstring(m_grid.GetItemText(0, column).GetString()));
        m_grid.SetColumnWidth(column, kept != m_widths.end() ? kept->second
                                                             : m_grid.GetColumnWidth(column) + kWidthAllowance);
    }

    const bool hasDataRows = m_grid.GetRowCount() > m_grid.GetFixedRowCount();
    for (int id : {kClearinghouseFile, kClearinghouseHint})
        if (CWnd* control = GetDlgItem(id))
            control->ShowWindow(hasDataRows ? SW_SHOW : SW_HIDE);
    LayOut();

    m_tabs.SetCurSel(0);
    if (m_buttons.GetSafeHwnd())
    {
        m_buttons.ShowWindow(SW_SHOW);
        m_buttons.ShowSearchControls(true);
    }
    LRESULT ignored = 0;
    OnTabSelChange(nullptr, &ignored);

    m_grid.EnableDragAndDrop(TRUE);
    m_grid.SetColumnReorder(TRUE);
    m_hiddenGrid.EnableDragAndDrop(FALSE);
    m_hiddenGrid.SetColumnReorder(FALSE);
    m_hiddenGrid.SetColumnResize(FALSE);
}

void CPage2::HideList()
{
    m_grid.SetColumnReorder(FALSE);
    m_hiddenGrid.SetColumnReorder(FALSE);
    if (m_buttons.GetSafeHwnd())
        m_buttons.ShowWindow(SW_HIDE);
    // Only a complete fill of this form may speak for its stored order and frozen count.
    if (!HoldsCurrentForm())
        return;
    // A count that could not be read is not overwritten with the list's default.
    if (m_frozenRead)
        SetFrozenColumns(m_grid, *m_host);
    UpdateFormColumns(m_grid, 1, *m_host);
}

void CPage2::OnTabSelChanging(NMHDR*, LRESULT* result)
{
    *result = FALSE;
}

void CPage2::OnTabSelChange(NMHDR*, LRESULT* result)
{
    *result = 0;
    m_hiddenGrid.ShowWindow(SW_HIDE);
    m_grid.ShowWindow(SW_SHOW);
    if (m_buttons.GetSafeHwnd())
    {
        m_buttons.ShowSearchControls(true);
        m_buttons.ShowFrozenControls(true);
    }
    if (CWnd* import = GetDlgItem(kImportCompletedFiles))
        import->ShowWindow(SW_SHOW);
    SelectCurrentRecord();
    if (m_buttons.GetSafeHwnd())
        m_buttons.OnFrozenColumnsChange();
}

void CPage2::SelectCurrentRecord()
{
    const int lastRow = m_grid.GetRowCount() - 1;
    if (lastRow < m_grid.GetFixedRowCount())
    {
        m_host->SetCurrentRecordId(0);
        m_host->SetTemplateFlag(0);
        return;
    }
    int row = FindRowByRecord(m_host->GetTemplateFlag(), m_host->GetCurrentRecordId(), m_grid);
    if (row < 0)
    {
        row = m_grid.GetFixedRowCount();
        // The current record's row is gone (deleted here, on the statements list or elsewhere): row 1
        // takes its place. With none picked, row 1 is only offered: nothing is current until the
        // user picks a row, and the form page keeps what the user had typed.
        RecordKey key;
        if ((m_host->GetCurrentRecordId() > 0 || m_host->IsCurrentRecordDeleted()) && GetRowRecord(m_grid, row, key))
        {
            m_host->SetCurrentRecordId(key.id);
            m_host->SetTemplateFlag(key.isTemplate);
        }
        else
            m_host->SetCurrentRecordId(-1);
    }
    row = std::min(row, lastRow);
    m_grid.SetSelectedRange(row, 0, row, m_grid.GetColumnCount() - 1, TRUE);
    m_grid.EnsureVisible(row, 0);
}

void CPage2::TakeSelectedRecord()
{
    RecordKey key;
    if (GetRowRecord(m_grid, GetFirstSelectedRow(&m_grid), key))
    {
        m_host->SetCurrentRecordId(key.id);
        m_host->SetTemplateFlag(key.isTemplate);
    }
    else
        m_host->SetCurrentRecordId(-1);
}

void CPage2::OnGridClick(NMHDR* header, LRESULT* result)
{
    *result = 0;
    const GridCellNotify* cell = reinterpret_cast<const GridCellNotify*>(header);
    if (!m_host || cell->iRow < m_grid.GetFixedRowCount())
        return;
    TakeSelectedRecord();
}

void CPage2::OnGridDblClk(NMHDR* header, LRESULT* result)
{
    *result = 0;
    if (!m_host)
        return;
    // As a click (the header row picks no record), then the form page. A double-click on a column
    // divider sizes the column and is not reported.
    OnGridClick(header, result);
    m_host->ShowFormPage();
}

BOOL CPage2::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_ESCAPE)
        ClearGridHighlight(&m_grid);
    return CDialog::PreTranslateMessage(pMsg);
}

void CPage2::OnImportCompletedFiles()
{
    if (m_host)
        ImportCompletedFiles(*m_host, this);
}

void CPage2::OnEmailBlankForm()
{
    if (!m_host || m_host->GetFormName().IsEmpty())
        return;
    m_host->ShowFormPage();
    // Sent once the form page has been shown (the step change is posted before this).
    PostMessage(kSendEmailCommand);
}

LRESULT CPage2::OnSendEmailCommand(WPARAM, LPARAM)
{
    if (CHTMLCtrl* browser = m_host ? m_host->GetFormBrowser() : nullptr)
        if (browser->GetSafeHwnd())
            SendBridgeCommand(*browser, L"EmailForm");
    return 0;
}

void CPage2::OnSize(UINT nType, int cx, int cy)
{
    CDialog::OnSize(nType, cx, cy);
    LayOut();
}

namespace {
CRect RectIn(const CWnd& control, const CWnd& parent)
{
    CRect rect;
    control.GetWindowRect(&rect);
    parent.ScreenToClient(&rect);
    return rect;
}

bool Shown(const CWnd* control)
{
    return control && (control->GetStyle() & WS_VISIBLE);
}

const int kGap = 4;
const int kLeastGridHeight = 100; // rows of the list that stay in view in a small window
} // namespace

// The band above the grid holds the hint, the record bar and the page buttons; the bar stands
// centred (but not left of 310) while everything fits beside the hint, and the bar and buttons move
// to rows of their own when it does not, so that no control lies off the page or under another.
CPage2::BandPlan CPage2::PlanBand(int width) const
{
    BandPlan plan;
    plan.bottom = kGridTop;
    if (!m_buttons.GetSafeHwnd())
        return plan;
    const CRect bar = RectIn(m_buttons, *this);
    CWnd* hint = GetDlgItem(kDoubleClickHint);
    for (int id : {kEmailBlankForm, kImportCompletedFiles})
        if (CWnd* button = GetDlgItem(id))
            if (Shown(button))
                plan.buttons.push_back({button, CRect()});
    int trailing = 0;
    for (const Placed& button : plan.buttons)
        trailing += kGap + RectIn(*button.control, *this).Width();
    const int hintRight = hint ? RectIn(*hint, *this).right : 0;

    int left = std::max(width / 2 - bar.Width() / 2, kBarLeastLeft);
    int top = kBarTop;
    if (left + bar.Width() + trailing > width - kGap)
        left = width - kGap - bar.Width() - trailing;
    if (left < hintRight + kGap)
    {
        left = kGap;
        top = (hint ? RectIn(*hint, *this).bottom : kBarTop) + kGap;
    }
    plan.bar = CRect(CPoint(left, top), bar.Size());
    int x = left + bar.Width() + kGap;
    int y = top;
    int rowBottom = top + bar.Height();
    for (Placed& button : plan.buttons)
    {
        const CRect rect = RectIn(*button.control, *this);
        if (x + rect.Width() > width - kGap && x > kGap)
        {
            x = kGap;
            y = rowBottom + kGap;
        }
        const int buttonTop = y + std::max(0, (bar.Height() - rect.Height()) / 2);
        button.rect = CRect(CPoint(x, buttonTop), rect.Size());
        rowBottom = std::max(rowBottom, buttonTop + rect.Height());
        x += rect.Width() + kGap;
    }
    plan.bottom = std::max(kGridTop, rowBottom + kGap);
    return plan;
}

// The height of the strip below the grid that holds the red export button and its hint.
int CPage2::StripHeight() const
{
    CWnd* exportButton = GetDlgItem(kClearinghouseFile);
    return exportButton ? RectIn(*exportButton, *this).Height() + 2 * kGap : 0;
}

// The red export button and its hint stand in a strip below the grid while they are shown.
void CPage2::LayOut()
{
    CRect client;
    GetClientRect(&client);
    const BandPlan band = PlanBand(client.Width());
    if (m_buttons.GetSafeHwnd())
    {
        m_buttons.SetWindowPos(nullptr, band.bar.left, band.bar.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        CWnd* previous = &m_buttons;
        for (const Placed& button : band.buttons)
        {
            button.control->SetWindowPos(previous, button.rect.left, button.rect.top, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
            previous = button.control;
        }
    }

    int stripHeight = 0;
    CWnd* exportButton = GetDlgItem(kClearinghouseFile);
    CWnd* exportHint = GetDlgItem(kClearinghouseHint);
    if (Shown(exportButton))
    {
        const CRect button = RectIn(*exportButton, *this);
        stripHeight = StripHeight();
        const int stripTop = client.bottom - stripHeight;
        int x = kGap;
        if (Shown(exportHint))
        {
            const CRect hint = RectIn(*exportHint, *this);
            exportHint->SetWindowPos(nullptr, x, stripTop + (stripHeight - hint.Height()) / 2, 0, 0,
                                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            x += hint.Width() + 2 * kGap;
        }
        x = std::max(kGap, std::min(x, client.Width() - kGap - button.Width()));
        exportButton->SetWindowPos(nullptr, x, stripTop + kGap, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    if (m_tabs.GetSafeHwnd())
        m_tabs.MoveWindow(&client);
    for (CGridCtrl* grid : {&m_grid, &m_hiddenGrid})
        if (grid->GetSafeHwnd())
            grid->MoveWindow(client.left, client.top + band.bottom, client.Width(),
                             std::max(0, client.Height() - band.bottom - stripHeight));
}

// Wide enough for the red button beside its hint, the record bar and each page button; high enough
// for the band, a few rows of the list and the strip (counted also while it is hidden, as the list
// may gain rows at any time).
int CPage2::MinimumWidth() const
{
    int width = 0;
    CWnd* exportButton = GetDlgItem(kClearinghouseFile);
    CWnd* exportHint = GetDlgItem(kClearinghouseHint);
    if (exportButton && exportHint)
        width = RectIn(*exportHint, *this).Width() + RectIn(*exportButton, *this).Width() + 4 * kGap;
    if (m_buttons.GetSafeHwnd())
        width = std::max(width, RectIn(m_buttons, *this).Width() + 2 * kGap);
    for (int id : {kDoubleClickHint, kEmailBlankForm, kImportCompletedFiles})
        if (CWnd* control = GetDlgItem(id))
            width = std::max(width, RectIn(*control, *this).Width() + 2 * kGap);
    return width;
}

int CPage2::MinimumHeight(int width) const
{
    return PlanBand(std::max(width, MinimumWidth())).bottom + kLeastGridHeight + StripHeight();
}

HBRUSH CPage2::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    HBRUSH brush = CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
    pDC->SetTextColor(RGB(0, 0, 0));
    return brush;
}

void CPage2::OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct)
{
    if (nIDCtl != kClearinghouseFile)
    {
        CDialog::OnDrawItem(nIDCtl, lpDrawItemStruct);
        return;
    }
    const HDC dc = lpDrawItemStruct->hDC;
    RECT face = lpDrawItemStruct->rcItem;
    const COLORREF red = RGB(255, 0, 0);
    const HBRUSH brush = ::CreateSolidBrush(red);
    ::FillRect(dc, &face, brush);
    ::DeleteObject(brush);
    const bool pressed = (lpDrawItemStruct->itemState & ODS_SELECTED) != 0;
    ::DrawEdge(dc, &face, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    wchar_t caption[261] = {};
    ::GetWindowTextW(lpDrawItemStruct->hwndItem, caption, 261);
    const int oldMode = ::SetBkMode(dc, OPAQUE);
    const COLORREF oldBack = ::SetBkColor(dc, red);
    const COLORREF oldText = ::SetTextColor(dc, RGB(255, 255, 255));
    ::DrawTextW(dc, caption, -1, &face, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    ::SetTextColor(dc, oldText);
    ::SetBkColor(dc, oldBack);
    ::SetBkMode(dc, oldMode);
}

void CPage2::OnCreateClearinghouseFile()
{
    if (!m_host)
        return;
    // Every data row whose first non-fixed cell is selected, in the order the list shows them.
    std::vector<RecordKey> records;
    const int column = m_grid.GetFixedColumnCount();
    if (column < m_grid.GetColumnCount())
        for (int row = m_grid.GetFixedRowCount(); row < m_grid.GetRowCount(); ++row)
        {
            RecordKey key;
            if (m_grid.IsCellSelected(row, column) && GetRowRecord(m_grid, row, key))
                records.push_back(key);
        }
    ExportClearinghouseFile(*m_host, records, this);
}
