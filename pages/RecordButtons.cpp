// The records page's button bar: search with yellow marks, the column menu, the frozen-column count
// and deletion of the selected rows, all on the view's records grid.
#include "pages/RecordButtons.h"

#include <cstdlib>
#include <string>

#include "common/MessageBox.h"
#include "framework/App.h"
#include "grid/GridCtrl.h"
#include "pages/FormPageHost.h"
#include "pages/RecordsGrid.h"

namespace {
const int kSearchLabel = 1013;
const int kSearchText = 1008;
const int kSearchColumn = 1009;
const int kColumnMenuButton = 1034;
const int kFrozenLabel = 1014;
const int kFrozenCount = 1010;
const int kFrozenSpin = 1032;
const int kDelete = 1011;
const UINT kColumnMenu = 152;
const UINT kColumnMenuIcon = 155;
const int kMenuIconSide = 8;
const int kMaxFrozenSpin = 256;
const wchar_t kCaption[] = L"Formstead";
const int kCaptionInset = 4; // pixels between the column button's edge and its caption
const int kFocusInset = 3;

void ShowItems(CWnd& bar, std::initializer_list<int> ids, bool show)
{
    for (int id : ids)
        if (HWND item = ::GetDlgItem(bar.m_hWnd, id))
            ::ShowWindow(item, show ? SW_SHOW : SW_HIDE);
}
} // namespace

BEGIN_MESSAGE_MAP(RecordButtons, CDialog)
    ON_WM_SHOWWINDOW()
    ON_WM_CTLCOLOR()
    ON_WM_DRAWITEM()
    ON_BN_CLICKED(kSearchColumn, OnSearch)
    ON_BN_CLICKED(kColumnMenuButton, OnColumnMenu)
    ON_BN_CLICKED(kDelete, OnDelete)
    ON_EN_CHANGE(kFrozenCount, OnFrozenEditChange)
    ON_EN_KILLFOCUS(kFrozenCount, OnFrozenEditKillFocus)
END_MESSAGE_MAP()

BOOL RecordButtons::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_label.SubclassDlgItem(kSearchLabel, this);
    m_frozenEdit.SubclassDlgItem(kFrozenCount, this);
    m_frozenSpin.SubclassDlgItem(kFrozenSpin, this);
    // The template's spin takes the edit before it as its buddy already; setting a right-aligned
    // spin's buddy again would narrow the edit by the spin's width a second time.
    if (m_frozenSpin.GetBuddy() == nullptr || m_frozenSpin.GetBuddy()->GetSafeHwnd() != m_frozenEdit.GetSafeHwnd())
        m_frozenSpin.SetBuddy(&m_frozenEdit);
    m_columnMenu.LoadMenu(kColumnMenu);
    m_frozenSpin.SetRange32(0, kMaxFrozenSpin);
    // Without the icon the button keeps its ">" text.
    if (HANDLE icon = ::LoadImageW(AfxGetResourceHandle(), MAKEINTRESOURCEW(kColumnMenuIcon), IMAGE_ICON,
                                   kMenuIconSide, kMenuIconSide, 0))
    {
        HWND button = ::GetDlgItem(m_hWnd, kColumnMenuButton);
        ::SetWindowLongPtrW(button, GWL_STYLE, ::GetWindowLongPtrW(button, GWL_STYLE) | BS_ICON);
        ::SendMessageW(button, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
    }
    return TRUE;
}

void RecordButtons::ShowSearchControls(bool show)
{
    ShowItems(*this, {kSearchLabel, kSearchText, kSearchColumn, kColumnMenuButton}, show);
}

void RecordButtons::ShowFrozenControls(bool show)
{
    ShowItems(*this, {kFrozenLabel, kFrozenCount, kFrozenSpin}, show);
}

void RecordButtons::OnShowWindow(BOOL bShow, UINT nStatus)
{
    Default();
    CGridCtrl* grid = m_host ? m_host->GetRecordsGrid() : nullptr;
    if (!bShow || !grid)
        return;
    CString count;
    count.Format(L"%d", grid->GetFixedColumnCount());
    SetDlgItemText(kFrozenCount, count);
    RebuildColumnMenu();
}

void RecordButtons::RebuildColumnMenu()
{
    CGridCtrl* grid = m_host ? m_host->GetRecordsGrid() : nullptr;
    HMENU popup = ::GetSubMenu(m_columnMenu.GetSafeHmenu(), 0);
    if (!grid || !popup)
        return;
    while (::GetMenuItemCount(popup) > 0)
        if (!::DeleteMenu(popup, 0, MF_BYPOSITION))
            break;
    // Ids start at 1: TrackPopupMenu answers 0 when the user cancels.
    for (int column = 0; column < grid->GetColumnCount(); ++column)
        ::AppendMenuW(popup, MF_STRING, column + 1, grid->GetItemText(0, column));
}

void RecordButtons::OnColumnMenu()
{
    HMENU popup = ::GetSubMenu(m_columnMenu.GetSafeHmenu(), 0);
    HWND button = ::GetDlgItem(m_hWnd, kSearchColumn);
    if (!popup || !button)
        return;
    RECT place;
    ::GetWindowRect(button, &place);
    CWnd* frame = m_host ? m_host->GetMainFrame() : nullptr;
    HWND owner = frame && frame->GetSafeHwnd() ? frame->GetSafeHwnd() : m_hWnd;
    const UINT chosen = static_cast<UINT>(::TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_RETURNCMD | TPM_NONOTIFY,
                                                            place.left, place.bottom, 0, owner, nullptr));
    if (chosen == 0)
        return;
    wchar_t heading[512] = {};
    if (::GetMenuStringW(popup, chosen, heading, 512, MF_BYCOMMAND) > 0)
        ::SetWindowTextW(button, heading);
}

void RecordButtons::OnSearch()
{
    CString column, text;
    GetDlgItemText(kSearchColumn, column);
    GetDlgItemText(kSearchText, text);
    text.Trim();
    if (text.IsEmpty())
    {
        Tell(L"Please, input a search text");
        return;
    }
    CGridCtrl* grid = m_host ? m_host->GetRecordsGrid() : nullptr;
    if (!grid)
        return;

    // Texts are compared as stored (UTF-16), case-sensitive, as a substring of the trimmed cell.
    const int found = MarkRowsContaining(*grid, column, text, kMatchColour);

    if (found == 0)
    {
        Tell(L"No records found");
    }
    else
    {
        grid->SetSelectedRange(-1, -1, -1, -1, TRUE);
        CString message;
        message.Format(L"Found %d record(s)", found);
        Tell(message);
    }
    if (grid->GetSafeHwnd())
        grid->Invalidate();
}

void RecordButtons::OnFrozenColumnsChange()
{
    // The bar is shown only while the records page is the current step.
    if (!GetSafeHwnd() || !(GetStyle() & WS_VISIBLE))
        return;
    CGridCtrl* grid = m_host ? m_host->GetRecordsGrid() : nullptr;
    if (!grid || !m_frozenEdit.GetSafeHwnd())
        return;
    CString typed;
    m_frozenEdit.GetWindowText(typed);
    int count = std::atoi(CStringA(typed).GetString());
    const int limit = grid->GetColumnCount();
    const int corrected = count < 1 ? 1 : (count > limit ? limit : count);
    if (corrected < 1)
        return; // a grid without columns has nothing to freeze
    // An emptied edit is the user between two numbers: the grid keeps one fixed column and the edit
    // stays empty for the next digits until it loses the focus.
    const bool emptied = typed.Trim().IsEmpty() && ::GetFocus() == m_frozenEdit.GetSafeHwnd();
    if (corrected != count && !emptied)
        ShowFrozenCount(corrected);
    grid->SetFixedColumnCount(corrected);
}

void RecordButtons::OnFrozenEditKillFocus()
{
    CGridCtrl* grid = m_host ? m_host->GetRecordsGrid() : nullptr;
    CString typed;
    m_frozenEdit.GetWindowText(typed);
    if (grid && typed.Trim().IsEmpty())
        ShowFrozenCount(grid->GetFixedColumnCount());
}

void RecordButtons::ShowFrozenCount(int count)
{
    CString text;
    text.Format(L"%d", count);
    m_frozenEdit.SetWindowText(text);
    // Selected, so that the next digit typed replaces the corrected count.
    m_frozenEdit.SetSel(0, -1);
}

void RecordButtons::OnDelete()
{
    CGridCtrl* grid = m_host ? m_host->GetRecordsGrid() : nullptr;
    if (!grid)
        return;
    if (DeleteSelectedRows(*grid, *m_host) == 1)
        Tell(L"Please, select a record to delete");
}

HBRUSH RecordButtons::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    HBRUSH brush = CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
    pDC->SetTextColor(RGB(0, 0, 0));
    return brush;
}

// The column button is a push button whose caption, the whole heading searched, is drawn on one line
// with an ellipsis where it is cut: a long heading shows its start, not a middle cut at both ends.
void RecordButtons::OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct)
{
    if (nIDCtl != kSearchColumn)
    {
        CDialog::OnDrawItem(nIDCtl, lpDrawItemStruct);
        return;
    }
    const HDC dc = lpDrawItemStruct->hDC;
    const HWND button = lpDrawItemStruct->hwndItem;
    const UINT state = lpDrawItemStruct->itemState;
    RECT face = lpDrawItemStruct->rcItem;
    ::DrawFrameControl(dc, &face, DFC_BUTTON, DFCS_BUTTONPUSH | ((state & ODS_SELECTED) ? DFCS_PUSHED : 0));

    std::wstring caption(static_cast<size_t>(::GetWindowTextLengthW(button)) + 1, L'\0');
    caption.resize(static_cast<size_t>(::GetWindowTextW(button, &caption[0], static_cast<int>(caption.size()))));
    RECT text = face;
    ::InflateRect(&text, -kCaptionInset, -kCaptionInset);
    if (state & ODS_SELECTED)
        ::OffsetRect(&text, 1, 1);
    const HGDIOBJ oldFont = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(button, WM_GETFONT, 0, 0)));
    const int oldMode = ::SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColour =
        ::SetTextColor(dc, ::GetSysColor((state & ODS_DISABLED) ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
    ::DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &text,
                DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    ::SetTextColor(dc, oldColour);
    ::SetBkMode(dc, oldMode);
    if (oldFont)
        ::SelectObject(dc, oldFont);
    if (state & ODS_FOCUS)
    {
        RECT focus = face;
        ::InflateRect(&focus, -kFocusInset, -kFocusInset);
        ::DrawFocusRect(dc, &focus);
    }
}

void RecordButtons::Tell(const CString& text)
{
    CMessageBox(kCaption, text, this).DoModal();
}
