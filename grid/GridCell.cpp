// The ordinary grid cell and the default cell of a kind of cell.
#include "grid/GridCell.h"
#include "grid/GridCtrl.h"
#include "grid/InPlaceEdit.h"

IMPLEMENT_DYNCREATE(CGridCell, CGridCellBase)
IMPLEMENT_DYNCREATE(CGridDefaultCell, CGridCell)

namespace {

// One font object serves every cell that has a font of its own; it is made anew for each request.
CFont& SharedCellFont()
{
    static CFont font;
    return font;
}

} // namespace

CGridCell::CGridCell() : m_plfFont(nullptr)
{
    CGridCell::Reset();
}

CGridCell::~CGridCell()
{
    delete m_plfFont;
}

void CGridCell::Reset()
{
    CGridCellBase::Reset();
    m_strText.Empty();
    m_lParam = 0;
    m_nImage = -1;
    m_nFormat = static_cast<DWORD>(-1);
    m_crFgClr = CLR_DEFAULT;
    m_crBkClr = CLR_DEFAULT;
    delete m_plfFont;
    m_plfFont = nullptr;
    m_nMargin = static_cast<UINT>(-1);
    m_bEditing = FALSE;
    m_pGrid = nullptr;
    m_pEditWnd = nullptr;
}

void CGridCell::SetFont(const LOGFONT* font)
{
    if (!font)
    {
        delete m_plfFont;
        m_plfFont = nullptr;
        return;
    }
    if (!m_plfFont)
        m_plfFont = new LOGFONT;
    *m_plfFont = *font;
}

DWORD CGridCell::GetFormat() const
{
    if (m_nFormat != static_cast<DWORD>(-1))
        return m_nFormat;
    CGridCellBase* def = GetDefaultCell();
    return def ? def->GetFormat() : 0;
}

UINT CGridCell::GetMargin() const
{
    if (m_nMargin != static_cast<UINT>(-1))
        return m_nMargin;
    CGridCellBase* def = GetDefaultCell();
    return def ? def->GetMargin() : 0;
}

LOGFONT* CGridCell::GetFont() const
{
    if (m_plfFont)
        return m_plfFont;
    CGridCellBase* def = GetDefaultCell();
    return def ? def->GetFont() : nullptr;
}

CFont* CGridCell::GetFontObject() const
{
    if (m_plfFont)
    {
        CFont& font = SharedCellFont();
        font.DeleteObject();
        font.CreateFontIndirect(m_plfFont);
        return &font;
    }
    CGridCellBase* def = GetDefaultCell();
    return def ? def->GetFontObject() : nullptr;
}

BOOL CGridCell::Edit(int row, int col, CRect rect, CPoint point, UINT id, UINT ch)
{
    if (m_bEditing)
    {
        if (m_pEditWnd && m_pEditWnd->GetSafeHwnd())
            ::SendMessage(m_pEditWnd->GetSafeHwnd(), WM_CHAR, ch, 0);
        return TRUE;
    }
    DWORD format = GetFormat();
    DWORD style = ES_LEFT;
    if (format & DT_RIGHT)
        style = ES_RIGHT;
    else if (format & DT_CENTER)
        style = ES_CENTER;
    m_bEditing = TRUE;
    m_pEditWnd = new CInPlaceEdit(GetGrid(), rect, style, id, row, col, GetText(), ch);
    if (!m_pEditWnd->GetSafeHwnd())
    {
        // No window, so nothing will ever end this edit: the cell is not left editing.
        delete m_pEditWnd;
        OnEndEdit();
    }
    return TRUE;
}

void CGridCell::EndEdit()
{
    if (m_pEditWnd)
        static_cast<CInPlaceEdit*>(m_pEditWnd)->EndEdit();
}

void CGridCell::OnEndEdit()
{
    m_bEditing = FALSE;
    m_pEditWnd = nullptr;
}

CGridDefaultCell::CGridDefaultCell() : m_Size(30, 10), m_dwStyle(0)
{
    m_nFormat = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS;
    m_crFgClr = CLR_DEFAULT;
    m_crBkClr = CLR_DEFAULT;

    // The metrics record is asked for without its last field, as older systems know it.
    union
    {
        NONCLIENTMETRICSW metrics;
        BYTE bytes[504];
    } buffer;
    ZeroMemory(&buffer, sizeof(buffer));
    buffer.metrics.cbSize = 500;
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, 500, &buffer.metrics, 0))
        SetFont(&buffer.metrics.lfMessageFont);
}

CGridDefaultCell::~CGridDefaultCell()
{
    m_Font.DeleteObject();
}

void CGridDefaultCell::SetFont(const LOGFONT* font)
{
    if (!font)
        return;
    m_Font.DeleteObject();
    m_Font.CreateFontIndirect(font);
    CGridCell::SetFont(font);

    HDC hdc = ::GetDC(nullptr);
    if (!hdc)
    {
        SetMargin(3);
        m_Size = CSize(40, 16);
        return;
    }
    HGDIOBJ old = SelectObject(hdc, m_Font.GetSafeHandle());
    SIZE space = {0, 0};
    GetTextExtentPoint32W(hdc, L" ", 1, &space);
    SetMargin(space.cx);
    SIZE sample = {0, 0};
    GetTextExtentPoint32W(hdc, L" XXXXXXXXXXXX ", 14, &sample);
    m_Size = CSize(sample.cx, sample.cy * 3 / 2);
    SelectObject(hdc, old);
    ::ReleaseDC(nullptr, hdc);
}
