// Zoom bar: pictures 1042 (in) and 1043 (out), owner-drawn link button 1015.
#include "pages/Zoomer.h"

#include "framework/Seams.h"
#include "bridge/BridgeProtocol.h"
#include "pages/FormExchange.h"
#include "bridge/HTMLCtrl.h"

namespace {
const UINT kHelpLink = 1015;
const UINT kZoomInPicture = 1042;
const UINT kZoomOutPicture = 1043;
}

BEGIN_MESSAGE_MAP(CZoomer, CDialog)
    ON_STN_CLICKED(kZoomInPicture, OnZoomIn)
    ON_STN_CLICKED(kZoomOutPicture, OnZoomOut)
    ON_BN_CLICKED(kHelpLink, OnHelpLink)
    ON_WM_DRAWITEM()
END_MESSAGE_MAP()

void CZoomer::OnZoomIn()
{
    if (m_browser)
        SendBridgeCommand(*m_browser, L"ZoomIn");
}

void CZoomer::OnZoomOut()
{
    if (m_browser)
        SendBridgeCommand(*m_browser, L"ZoomOut");
}

void CZoomer::OnHelpLink()
{
    const CString help = m_programFolder + L"acrohelp.htm";
    if (!AfxShellOpen(m_hWnd, L"open", help, nullptr, nullptr, SW_SHOWMAXIMIZED))
        AfxShowMessageBox(m_hWnd, L"The help page " + help + L" could not be opened.", nullptr, MB_OK);
}

void CZoomer::OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT item)
{
    if (nIDCtl != static_cast<int>(kHelpLink))
    {
        CDialog::OnDrawItem(nIDCtl, item);
        return;
    }
    HFONT font = ::CreateFontW(16, 0, 0, 0, FW_NORMAL, FALSE, TRUE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                               CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"Arial");
    HGDIOBJ oldFont = ::SelectObject(item->hDC, font);
    ::FillRect(item->hDC, &item->rcItem, ::GetSysColorBrush(COLOR_BTNFACE));
    ::SetBkMode(item->hDC, TRANSPARENT);
    ::SetTextColor(item->hDC, RGB(192, 0, 0));
    ::TextOutW(item->hDC, item->rcItem.left, item->rcItem.top, L"Can't see the Form?", 19);
    ::SelectObject(item->hDC, oldFont);
    ::DeleteObject(font);
}
