// The grid's in-place editor: opened by typing, F2 or a click on the focused cell, closed by Enter,
// Tab, Esc (which restores the text), an arrow key or losing the focus.
#include "grid/InPlaceEdit.h"
#include "grid/GridNotify.h"
#include "framework/Gdi.h"

BEGIN_MESSAGE_MAP(CInPlaceEdit, CEdit)
    ON_WM_KILLFOCUS()
    ON_WM_CHAR()
    ON_WM_KEYDOWN()
    ON_WM_GETDLGCODE()
    ON_WM_CREATE()
END_MESSAGE_MAP()

namespace {

bool g_endingEdit = false;   // one EndEdit at a time across all editors

} // namespace

CInPlaceEdit::CInPlaceEdit(CWnd* parent, CRect& rect, DWORD style, UINT id, int nRow, int nColumn,
                           CString initText, UINT firstChar)
    : m_nRow(nRow), m_nColumn(nColumn), m_sInitText(initText), m_nLastChar(0),
      m_bExitOnArrows(firstChar != VK_LBUTTON), m_Rect(rect)
{
    DWORD editStyle = WS_BORDER | WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL | style;
    if (!Create(editStyle, rect, parent, id))
        return;
    SetFont(parent->GetFont());
    SetWindowText(initText);
    SetFocus();

    switch (firstChar)
    {
    case VK_LBUTTON:
    case VK_RETURN:
        SetSel(initText.GetLength(), -1);
        return;
    case VK_BACK:
        SetSel(initText.GetLength(), -1);
        break;
    case VK_TAB:
    case VK_SPACE:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_END:
    case VK_HOME:
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
        SetSel(0, -1);
        return;
    default:
        SetSel(0, -1);
        break;
    }
    // The typed character replaces the selected text.
    PostMessage(firstChar >= 128 ? WM_IME_CHAR : WM_CHAR, firstChar, 0);
}

int CInPlaceEdit::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    return CEdit::OnCreate(lpCreateStruct);
}

UINT CInPlaceEdit::OnGetDlgCode()
{
    return DLGC_WANTALLKEYS;
}

BOOL CInPlaceEdit::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message == WM_SYSCHAR)
        return TRUE;
    return CEdit::PreTranslateMessage(pMsg);
}

void CInPlaceEdit::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    if ((nChar == VK_PRIOR || nChar == VK_NEXT || nChar == VK_DOWN || nChar == VK_UP || nChar == VK_RIGHT
         || nChar == VK_LEFT)
        && (m_bExitOnArrows || ::GetKeyState(VK_CONTROL) < 0))
    {
        m_nLastChar = nChar;
        GetParent()->SetFocus();
        return;
    }
    CEdit::OnKeyDown(nChar, nRepCnt, nFlags);
}

void CInPlaceEdit::OnChar(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    if (nChar == VK_TAB || nChar == VK_RETURN)
    {
        m_nLastChar = nChar;
        GetParent()->SetFocus();
        return;
    }
    if (nChar == VK_ESCAPE)
    {
        SetWindowText(m_sInitText);
        m_nLastChar = nChar;
        GetParent()->SetFocus();
        return;
    }
    CEdit::OnChar(nChar, nRepCnt, nFlags);

    // Grow to fit the text, up to the parent's right edge.
    CString text;
    GetWindowText(text);
    text += L"  ";
    HDC hdc = ::GetDC(m_hWnd);
    if (!hdc)
        return;
    HGDIOBJ old = ::SelectObject(hdc, reinterpret_cast<HGDIOBJ>(SendMessage(WM_GETFONT)));
    SIZE size = {0, 0};
    ::GetTextExtentPoint32W(hdc, text, text.GetLength(), &size);
    ::SelectObject(hdc, old);
    ::ReleaseDC(m_hWnd, hdc);
    if (size.cx > m_Rect.Width())
    {
        CRect parentRect;
        GetParent()->GetClientRect(parentRect);
        m_Rect.right = m_Rect.left + size.cx < parentRect.right ? m_Rect.left + size.cx : parentRect.right;
        MoveWindow(m_Rect);
    }
}

void CInPlaceEdit::OnKillFocus(CWnd* newWnd)
{
    CEdit::OnKillFocus(newWnd);
    EndEdit();
}

void CInPlaceEdit::EndEdit()
{
    if (g_endingEdit)
        return;
    g_endingEdit = true;
    CString text;
    GetWindowText(text);

    GridDispInfo info;
    info.hdr.hwndFrom = GetSafeHwnd();
    info.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID());
    info.hdr.code = static_cast<UINT>(GVN_ENDLABELEDIT);
    info.item.mask = LVIF_TEXT | LVIF_PARAM;
    info.item.row = m_nRow;
    info.item.col = m_nColumn;
    info.item.strText = text;
    info.item.lParam = static_cast<LPARAM>(m_nLastChar);
    CWnd* owner = GetOwner();
    if (owner && owner->GetSafeHwnd())
        ::SendMessageW(owner->GetSafeHwnd(), WM_NOTIFY, info.hdr.idFrom, reinterpret_cast<LPARAM>(&info));
    if (::IsWindow(GetSafeHwnd()))
        SendMessage(WM_CLOSE, 0, 0);
    g_endingEdit = false;
}

void CInPlaceEdit::PostNcDestroy()
{
    CEdit::PostNcDestroy();
    delete this;
}
