// Owner-drawn tabs: style, colours, the two fonts and the drawing of one tab.
#include "common/TabCtrlEx.h"

BEGIN_MESSAGE_MAP(CTabCtrlEx, CTabCtrl)
    ON_WM_CREATE()
END_MESSAGE_MAP()

void CTabCtrlEx::PreSubclassWindow()
{
    CTabCtrl::PreSubclassWindow();
    ModifyStyle(0, TCS_OWNERDRAWFIXED);
}

int CTabCtrlEx::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CTabCtrl::OnCreate(lpCreateStruct) == -1)
        return -1;
    ModifyStyle(0, TCS_OWNERDRAWFIXED);
    return 0;
}

void CTabCtrlEx::SetColours(COLORREF selected, COLORREF normal)
{
    m_crSelected = selected;
    m_crNormal = normal;
    Invalidate();
}

void CTabCtrlEx::SetupFonts(int selectedWeight, BOOL selectedItalic, BOOL selectedUnderline,
                            int normalWeight, BOOL normalItalic, BOOL normalUnderline)
{
    // The base face is read before anything is deleted: the control's current font may be one of ours.
    LOGFONTW base = {};
    CFont* current = GetFont();
    if (!current || !current->GetLogFont(&base))
    {
        NONCLIENTMETRICSW metrics = {};
        metrics.cbSize = 504;   // the structure without the padded-border field
        ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0);
        base = metrics.lfMessageFont;
    }
    LOGFONTW selected = base;
    selected.lfWeight = selectedWeight;
    selected.lfItalic = (BYTE)selectedItalic;
    selected.lfUnderline = (BYTE)selectedUnderline;
    LOGFONTW normal = base;
    normal.lfWeight = normalWeight;
    normal.lfItalic = (BYTE)normalItalic;
    normal.lfUnderline = (BYTE)normalUnderline;

    // New fonts first, then the control switches to one of them, and only then do the old ones go.
    HFONT newSelected = ::CreateFontIndirectW(&selected);
    HFONT newNormal = ::CreateFontIndirectW(&normal);
    HFONT forControl = selectedWeight > normalWeight ? newSelected : newNormal;
    if (m_hWnd && forControl)
        SendMessage(WM_SETFONT, (WPARAM)forControl, TRUE);
    m_fontSelected.DeleteObject();
    m_fontNormal.DeleteObject();
    m_fontSelected.Attach(newSelected);
    m_fontNormal.Attach(newNormal);
}

void CTabCtrlEx::DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct)
{
    int index = (int)lpDrawItemStruct->itemID;
    if (index < 0)
        return;
    wchar_t text[121] = {};
    TCITEMW item = {};
    item.mask = TCIF_TEXT | TCIF_IMAGE;
    item.pszText = text;
    item.cchTextMax = 120;
    GetItem(index, &item);
    bool selected = index == GetCurSel();

    CDC* dc = CDC::FromHandle(lpDrawItemStruct->hDC);
    int saved = dc->SaveDC();
    CRect rect(lpDrawItemStruct->rcItem);
    rect.top += ::GetSystemMetrics(SM_CYEDGE);
    dc->SetBkMode(TRANSPARENT);

    if (selected)
    {
        dc->FillSolidRect(&rect, RGB(192, 0, 0));
        dc->SetTextColor(m_crSelected);
        if (m_fontSelected.m_hObject)
            dc->SelectObject(&m_fontSelected);
    }
    else
    {
        dc->FillSolidRect(&rect, RGB(190, 190, 190));
        dc->SetTextColor(m_crNormal);
        if (m_fontNormal.m_hObject)
            dc->SelectObject(&m_fontNormal);
    }

    HIMAGELIST images = GetImageList();
    if (images && item.iImage >= 0)
    {
        int blank = dc->GetTextExtent(L" ", 1).cx;
        int cx = 0, cy = 0;
        ::ImageList_GetIconSize(images, &cx, &cy);
        ::ImageList_Draw(images, item.iImage, dc->m_hDC, rect.left + blank, rect.top + (rect.Height() - cy) / 2, ILD_TRANSPARENT);
        rect.left += blank + cx;
    }

    dc->DrawText(text, -1, &rect, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    dc->RestoreDC(saved);
}
