// The title tip of the grid: shown over a cell whose text does not fit, hidden on any click, key or
// move out of the cell, passing each of them on to the window beneath.
#include "grid/TitleTip.h"
#include "framework/Gdi.h"

BEGIN_MESSAGE_MAP(CTitleTip, CWnd)
    ON_WM_MOUSEMOVE()
END_MESSAGE_MAP()

CTitleTip::CTitleTip()
    : m_pParentWnd(nullptr), m_dwLastLButtonDown(0xFFFFFFFF), m_dwDblClickMsecs(::GetDoubleClickTime()),
      m_bCreated(FALSE)
{
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSW wc;
    if (!::GetClassInfoW(instance, TITLETIP_CLASSNAME, &wc))
    {
        ZeroMemory(&wc, sizeof(wc));
        wc.style = CS_SAVEBITS;
        wc.lpfnWndProc = ::DefWindowProcW;
        wc.hInstance = instance;
        wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_INFOBK + 1);
        wc.lpszClassName = TITLETIP_CLASSNAME;
        AfxRegisterClass(&wc);   // without the class Create fails, and no tip shows
    }
}

CTitleTip::~CTitleTip()
{
    if (GetSafeHwnd())
        DestroyWindow();
}

BOOL CTitleTip::Create(CWnd* parent)
{
    if (m_bCreated)
        return TRUE;
    m_pParentWnd = parent;
    m_bCreated = CreateEx(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, TITLETIP_CLASSNAME, nullptr, WS_BORDER | WS_POPUP,
                          CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, nullptr);
    return m_bCreated;
}

BOOL CTitleTip::DestroyWindow()
{
    m_bCreated = FALSE;
    return CWnd::DestroyWindow();
}

void CTitleTip::Show(CRect titleRect, LPCTSTR text, int xOffset, LPRECT hoverRect, const LOGFONT* font,
                     COLORREF textClr, COLORREF backClr)
{
    if (!::IsWindow(GetSafeHwnd()) && !Create(m_pParentWnd))
        return;
    if (titleRect.IsRectEmpty() || ::IsWindowVisible(m_hWnd) || !m_pParentWnd)
        return;

    // The hover area goes to the tip's coordinates once the tip stands where it is shown.
    CRect hoverOnScreen = hoverRect ? CRect(*hoverRect) : titleRect;
    hoverOnScreen.right++;
    hoverOnScreen.bottom++;
    m_pParentWnd->ClientToScreen(hoverOnScreen);

    if (!::GetFocus())
        return;

    m_rectTitle = CRect(-1 - xOffset, -1, titleRect.Width() - xOffset, titleRect.Height() + 1);
    m_pParentWnd->ClientToScreen(titleRect);

    HDC hdc = ::GetDC(m_hWnd);
    if (!hdc)
        return;
    HFONT madeFont = font ? ::CreateFontIndirectW(font) : nullptr;
    HFONT useFont = madeFont ? madeFont
                             : reinterpret_cast<HFONT>(::SendMessageW(m_pParentWnd->GetSafeHwnd(), WM_GETFONT, 0, 0));
    HGDIOBJ oldFont = useFont ? ::SelectObject(hdc, useFont) : nullptr;

    CString shown = CString(L" ") + text + L" ";
    SIZE size = {0, 0};
    ::GetTextExtentPoint32W(hdc, shown, shown.GetLength(), &size);
    TEXTMETRICW metrics;
    ::GetTextMetricsW(hdc, &metrics);
    size.cx += metrics.tmOverhang;

    CRect display = titleRect;
    display.left += xOffset;
    display.right = display.left + size.cx + xOffset;

    if (display.right > titleRect.right - xOffset)
    {
        SetWindowPos(HWND_TOPMOST, display.left, display.top, display.Width(), display.Height(),
                     SWP_SHOWWINDOW | SWP_NOACTIVATE);
        m_rectHover = hoverOnScreen;
        ScreenToClient(m_rectHover);
        CRect clip;
        ::GetClipBox(hdc, &clip);
        if (backClr != CLR_DEFAULT)
        {
            HBRUSH brush = ::CreateSolidBrush(backClr);
            HGDIOBJ oldBrush = ::SelectObject(hdc, brush);
            ::PatBlt(hdc, clip.left, clip.top, clip.Width(), clip.Height(), PATCOPY);
            ::SelectObject(hdc, oldBrush);
            ::DeleteObject(brush);
        }
        if (textClr != CLR_DEFAULT)
            ::SetTextColor(hdc, textClr);
        ::SetBkMode(hdc, TRANSPARENT);
        ::TextOutW(hdc, 0, 0, shown, shown.GetLength());
        SetCapture();
    }
    if (oldFont)
        ::SelectObject(hdc, oldFont);
    if (madeFont)
        ::DeleteObject(madeFont);
    ::ReleaseDC(m_hWnd, hdc);
}

void CTitleTip::Hide()
{
    if (!::IsWindow(GetSafeHwnd()))
        return;
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
    ShowWindow(SW_HIDE);
}

void CTitleTip::OnMouseMove(UINT nFlags, CPoint point)
{
    if (m_rectHover.PtInRect(point))
        return;
    Hide();
    CPoint screen = point;
    ClientToScreen(&screen);
    HWND beneath = ::WindowFromPoint(screen);
    if (beneath == m_hWnd && m_pParentWnd)
        beneath = m_pParentWnd->GetSafeHwnd();
    if (!beneath)
        return;
    LRESULT hit = ::SendMessageW(beneath, WM_NCHITTEST, 0, MAKELPARAM(screen.x, screen.y));
    if (hit == HTCLIENT)
    {
        CPoint client = screen;
        ::ScreenToClient(beneath, &client);
        ::PostMessageW(beneath, WM_MOUSEMOVE, nFlags, MAKELPARAM(client.x, client.y));
    }
    else
    {
        ::PostMessageW(beneath, WM_NCMOUSEMOVE, static_cast<WPARAM>(hit), MAKELPARAM(screen.x, screen.y));
    }
}

void CTitleTip::ForwardClick(UINT message, WPARAM wParam, POINT screenPoint)
{
    HWND beneath = ::WindowFromPoint(screenPoint);
    if (beneath == m_hWnd && m_pParentWnd)
        beneath = m_pParentWnd->GetSafeHwnd();
    LRESULT hit = ::SendMessageW(beneath, WM_NCHITTEST, 0, MAKELPARAM(screenPoint.x, screenPoint.y));
    if (hit == HTCLIENT)
    {
        POINT client = screenPoint;
        ::ScreenToClient(beneath, &client);
        ::PostMessageW(beneath, message, wParam, MAKELPARAM(client.x, client.y));
    }
    else
    {
        UINT ncMessage = message == WM_RBUTTONDOWN ? WM_NCRBUTTONDOWN
                         : message == WM_MBUTTONDOWN ? WM_NCMBUTTONDOWN : WM_NCLBUTTONDOWN;
        ::PostMessageW(beneath, ncMessage, static_cast<WPARAM>(hit), MAKELPARAM(screenPoint.x, screenPoint.y));
    }
}

BOOL CTitleTip::PreTranslateMessage(MSG* pMsg)
{
    switch (pMsg->message)
    {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        {
            UINT message = pMsg->message;
            if (message == WM_LBUTTONDOWN)
            {
                DWORD now = ::GetTickCount();
                bool doubleClick = m_dwLastLButtonDown != 0xFFFFFFFF && now - m_dwLastLButtonDown <= m_dwDblClickMsecs;
                m_dwLastLButtonDown = now;
                if (doubleClick)
                    message = WM_LBUTTONDBLCLK;
            }
            POINT screen = {static_cast<short>(LOWORD(pMsg->lParam)), static_cast<short>(HIWORD(pMsg->lParam))};
            ::ClientToScreen(pMsg->hwnd, &screen);
            if (!::WindowFromPoint(screen))
                return CWnd::PreTranslateMessage(pMsg);
            Hide();
            ForwardClick(message, pMsg->wParam, screen);
            return TRUE;
        }
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        Hide();
        if (m_pParentWnd)
            ::PostMessageW(m_pParentWnd->GetSafeHwnd(), pMsg->message, pMsg->wParam, pMsg->lParam);
        return TRUE;
    default:
        break;
    }
    if (::GetFocus())
        return CWnd::PreTranslateMessage(pMsg);
    Hide();
    return TRUE;
}
