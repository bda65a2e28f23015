// The message dialog: caption and text set when it opens, its size taken from the text, closed by OK.
#include "common/MessageBox.h"

#include <algorithm>

#include "framework/Seams.h"

namespace {
const int kTextId = 1035;
// How the text static draws (centred, wrapped at word ends, words longer than a line broken, no
// "&" prefixes): the measure must use the same flags.
const UINT kTextFormat = DT_CENTER | DT_WORDBREAK | DT_EDITCONTROL | DT_EXPANDTABS | DT_NOPREFIX;
// A text wraps at this share of the work area's width, as a system message box does.
const int kWrapShareNumerator = 3;
const int kWrapShareDenominator = 4;

CRect ChildRect(HWND child, HWND parent)
{
    CRect rect;
    ::GetWindowRect(child, &rect);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

CRect WorkAreaOf(HWND window)
{
    MONITORINFO monitor = {sizeof(monitor)};
    if (::GetMonitorInfoW(::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor))
        return CRect(monitor.rcWork);
    CRect area;
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    return area;
}

// The rectangle the text needs when its lines may be at most maxWidth wide, in the static's font.
CSize MeasureText(HWND textControl, const CString& text, int maxWidth)
{
    HDC dc = ::GetDC(textControl);
    HGDIOBJ previous = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(textControl, WM_GETFONT, 0, 0)));
    RECT rect = {0, 0, std::max(1, maxWidth), 0};
    ::DrawTextW(dc, text, text.GetLength(), &rect, kTextFormat | DT_CALCRECT);
    ::SelectObject(dc, previous);
    ::ReleaseDC(textControl, dc);
    return CSize(rect.right - rect.left, rect.bottom - rect.top);
}
} // namespace

CMessageBox::CMessageBox(CString caption, CString text, CWnd* pParent)
    : CDialog(IDD, pParent), m_strCaption(caption), m_strText(text)
{
}

INT_PTR CMessageBox::DoModal()
{
    if (AfxHasMessageBoxSink())
        return AfxShowMessageBox(m_pParentWnd->GetSafeHwnd(), m_strText, m_strCaption, MB_OK);
    return CDialog::DoModal();
}

BOOL CMessageBox::OnInitDialog()
{
    CDialog::OnInitDialog();
    SetWindowText(m_strCaption);
    SetDlgItemText(kTextId, m_strText);
    FitToText();
    PlaceOnScreen();
    return TRUE;
}

void CMessageBox::FitToText()
{
    HWND text = ::GetDlgItem(m_hWnd, kTextId);
    HWND ok = ::GetDlgItem(m_hWnd, IDOK);
    if (!text || !ok)
        return;
    CRect client, window;
    GetClientRect(&client);
    GetWindowRect(&window);
    const CSize frame(window.Width() - client.Width(), window.Height() - client.Height());
    const CRect textRect = ChildRect(text, m_hWnd);
    const CRect okRect = ChildRect(ok, m_hWnd);
    // The template's spacing: beside the text, between text and button, below the button.
    CRect margins(0, 0, 14, 0);   // 7 on each side
    MapDialogRect(&margins);
    const int side = std::max<int>(margins.Width(), client.Width() - textRect.Width());
    const int gapBelowText = okRect.top - textRect.bottom;
    const int belowButton = client.Height() - okRect.bottom;
    const int fixedHeight = frame.cy + textRect.top + gapBelowText + okRect.Height() + belowButton;

    const CRect work = WorkAreaOf(m_hWnd);
    const int widest = work.Width() - frame.cx - side;
    const int tallest = std::max<int>(textRect.Height(), work.Height() - fixedHeight);
    CSize needed = MeasureText(text, m_strText, widest * kWrapShareNumerator / kWrapShareDenominator);
    if (needed.cy > tallest)
        needed = MeasureText(text, m_strText, widest);   // very long: the whole width first
    if (needed.cy > tallest)
    {
        // Longer than the screen holds even so: the text scrolls in a read-only edit of the same place.
        text = ReplaceWithScrollingText(text);
        needed = CSize(widest, tallest);
    }

    const int textWidth = std::max<int>(textRect.Width(), needed.cx + side);
    const int textHeight = std::min(tallest, std::max<int>(textRect.Height(), needed.cy));
    const int clientWidth = std::max<int>(client.Width(), textWidth);
    const int okTop = textRect.top + textHeight + gapBelowText;
    const int clientHeight = okTop + okRect.Height() + belowButton;
    const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    ::SetWindowPos(text, nullptr, (clientWidth - textWidth) / 2, textRect.top, textWidth, textHeight, flags);
    ::SetWindowPos(ok, nullptr, (clientWidth - okRect.Width()) / 2, okTop, 0, 0, flags | SWP_NOSIZE);
    SetWindowPos(nullptr, 0, 0, clientWidth + frame.cx, clientHeight + frame.cy, flags | SWP_NOMOVE);
}

HWND CMessageBox::ReplaceWithScrollingText(HWND textStatic)
{
    const CRect place = ChildRect(textStatic, m_hWnd);
    const HFONT font = reinterpret_cast<HFONT>(::SendMessageW(textStatic, WM_GETFONT, 0, 0));
    ::DestroyWindow(textStatic);
    // An edit breaks lines only at "\r\n".
    CString lines;
    for (int i = 0; i < m_strText.GetLength(); ++i)
    {
        if (m_strText[i] == L'\n' && (i == 0 || m_strText[i - 1] != L'\r'))
            lines += L'\r';
        lines += m_strText[i];
    }
    HWND edit = ::CreateWindowExW(0, L"Edit", lines,
                                  WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_CENTER,
                                  place.left, place.top, place.Width(), place.Height(), m_hWnd,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(kTextId)), nullptr, nullptr);
    ::SendMessageW(edit, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return edit;
}

void CMessageBox::PlaceOnScreen()
{
    CenterWindow();
    const CRect work = WorkAreaOf(m_hWnd);
    CRect rect;
    GetWindowRect(&rect);
    const int x = std::max<int>(work.left, std::min<int>(rect.left, work.right - rect.Width()));
    const int y = std::max<int>(work.top, std::min<int>(rect.top, work.bottom - rect.Height()));
    SetWindowPos(nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
