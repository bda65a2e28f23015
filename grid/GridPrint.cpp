// Printing the grid through the print protocol: pages of rows (and, with WYSIWYG printing, of
// columns) with the fixed rows and columns repeated on each, a header and a "Page k of N" footer.
#include <cwchar>
#include <ctime>
#include "grid/GridCtrl.h"
#include "framework/App.h"
#include "framework/Frame.h"
#include "framework/ImageList.h"
#include "framework/Seams.h"

namespace {

const UINT kAppTitleString = 57344;
const wchar_t kMeasureLetters[] = L"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSATUVWXYZ";
const int kMeasureCount = 52;

// From `start`, the end (exclusive) of the page that begins there when the sizes are laid out in
// pages of `room`. Every page takes at least one item, so an item larger than a page gets a page
// of its own instead of being lost. The page count and every page's contents come from this one
// rule, so no item is printed on two pages or on none.
template <class SizeOf>
int PageEnd(int start, int end, int room, SizeOf sizeOf)
{
    int used = 0;
    int index = start;
    for (; index < end; index++)
    {
        int size = sizeOf(index);
        if (size <= 0)
            continue;
        if (used > 0 && used + size > room)
            break;
        used += size;
    }
    return index;
}

template <class SizeOf>
int PageCount(int first, int end, int room, SizeOf sizeOf)
{
    int pages = 1;
    for (int start = PageEnd(first, end, room, sizeOf); start < end; start = PageEnd(start, end, room, sizeOf))
        pages++;
    return pages;
}

// The first item of page `page` (1-based); `end` when there is no such page.
template <class SizeOf>
int PageStart(int page, int first, int end, int room, SizeOf sizeOf)
{
    int start = first;
    for (int k = 1; k < page && start < end; k++)
        start = PageEnd(start, end, room, sizeOf);
    return start;
}

// The first non-empty caption from the window upwards through its parents.
CString CaptionAbove(CWnd* wnd)
{
    CString caption;
    for (HWND hwnd = wnd ? wnd->GetSafeHwnd() : nullptr; hwnd; hwnd = ::GetParent(hwnd))
    {
        int length = ::GetWindowTextLengthW(hwnd);
        if (length <= 0)
            continue;
        std::wstring text(static_cast<size_t>(length) + 1, L'\0');
        int read = ::GetWindowTextW(hwnd, &text[0], length + 1);
        if (read > 0)
            return CString(text.substr(0, static_cast<size_t>(read)).c_str());
    }
    return caption;
}

// The program's name: its title string when the resources hold one, else the application's name.
CString ApplicationTitle()
{
    CString title;
    if (!title.LoadString(kAppTitleString) || title.IsEmpty())
        title = AfxGetAppName();
    return title;
}

// The local date and time in the C runtime's "%c" form.
CString DateAndTimeNow()
{
    SYSTEMTIME now = AfxGetLocalTime();
    std::tm when = {};
    when.tm_year = now.wYear - 1900;
    when.tm_mon = now.wMonth - 1;
    when.tm_mday = now.wDay;
    when.tm_hour = now.wHour;
    when.tm_min = now.wMinute;
    when.tm_sec = now.wSecond;
    when.tm_wday = now.wDayOfWeek;
    when.tm_isdst = -1;
    wchar_t text[128] = {};
    if (std::wcsftime(text, 128, L"%c", &when) == 0)
        return CString();
    return CString(text);
}

// A cell larger than the page (the only one on its page) is cut at the page's edge; on a page with
// no room at all it is left whole rather than lost.
CRect CutAtPageEdge(const CRect& rect, int pageWidth, int pageHeight)
{
    CRect cut = rect;
    if (cut.right >= pageWidth && pageWidth > cut.left)
        cut.right = pageWidth - 1;
    if (cut.bottom >= pageHeight && pageHeight > cut.top)
        cut.bottom = pageHeight - 1;
    return cut;
}

// A bold copy of a font.
BOOL CreateBoldCopy(const CFont& font, CFont& bold)
{
    LOGFONT lf;
    if (!font.GetLogFont(&lf))
        return FALSE;
    lf.lfWeight = FW_BOLD;
    return bold.CreateFontIndirect(&lf);
}

// The grid lines of one printed cell: horizontal under it (and over it in row 0), vertical right
// of it (and left of it in column 0). Lines reach one unit back to close the corners they meet.
void DrawCellLines(CDC* pDC, int gridLines, const CRect& rect, int row, int col, bool firstRowOnPage)
{
    if (gridLines == GVL_HORZ || gridLines == GVL_BOTH)
    {
        pDC->MoveTo(col == 0 ? rect.left : rect.left - 1, rect.bottom);
        pDC->LineTo(rect.right, rect.bottom);
        if (row == 0)
        {
            pDC->MoveTo(col == 0 ? rect.left : rect.left - 1, rect.top);
            pDC->LineTo(rect.right, rect.top);
        }
    }
    if (gridLines == GVL_VERT || gridLines == GVL_BOTH)
    {
        pDC->MoveTo(rect.right, firstRowOnPage ? rect.top : rect.top - 1);
        pDC->LineTo(rect.right, rect.bottom);
        if (col == 0)
        {
            pDC->MoveTo(rect.left, firstRowOnPage ? rect.top : rect.top - 1);
            pDC->LineTo(rect.left, rect.bottom);
        }
    }
}

} // namespace

void CGridCtrl::SetPrintMarginInfo(int nHeaderHeight, int nFooterHeight, int nLeftMargin, int nRightMargin,
                                   int nTopMargin, int nBottomMargin, int nGap)
{
    if (nHeaderHeight > -1)
        m_nHeaderHeight = nHeaderHeight;
    if (nFooterHeight > -1)
        m_nFooterHeight = nFooterHeight;
    if (nLeftMargin > -1)
        m_nLeftMargin = nLeftMargin;
    if (nRightMargin > -1)
        m_nRightMargin = nRightMargin;
    if (nTopMargin > -1)
        m_nTopMargin = nTopMargin;
    if (nBottomMargin > -1)
        m_nBottomMargin = nBottomMargin;
    if (nGap > -1)
        m_nGap = nGap;
}

void CGridCtrl::OnBeginPrinting(CDC* pDC, CPrintInfo* pInfo)
{
    if (!pDC || !pDC->GetSafeHdc() || !pInfo)
        return;
    m_PrinterFont.DeleteObject(); // a job that never ended leaves its font
    CDC* screen = ::IsWindow(GetSafeHwnd()) ? GetDC() : nullptr;
    if (!screen)
        return;
    if (!m_PrinterFont.CreateFont(-10, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_CHARACTER_PRECIS,
                                  CLIP_CHARACTER_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"Arial"))
    {
        ReleaseDC(screen);
        return;
    }
    CFont* oldFont = pDC->SelectObject(&m_PrinterFont);
    m_CharSize = pDC->GetTextExtent(kMeasureLetters, kMeasureCount);
    m_CharSize.cx /= kMeasureCount;
    int marginWidth = (m_nLeftMargin + m_nRightMargin) * m_CharSize.cx;

    m_PaperSize = CSize(pDC->GetDeviceCaps(HORZRES), pDC->GetDeviceCaps(VERTRES));
    int printerDpiX = pDC->GetDeviceCaps(LOGPIXELSX), printerDpiY = pDC->GetDeviceCaps(LOGPIXELSY);
    if (m_bWysiwygPrinting && printerDpiX > 0 && printerDpiY > 0)
    {
        m_LogicalPageSize.cx = screen->GetDeviceCaps(LOGPIXELSX) * m_PaperSize.cx / printerDpiX * 3 / 4;
        m_LogicalPageSize.cy = screen->GetDeviceCaps(LOGPIXELSY) * m_PaperSize.cy / printerDpiY * 3 / 4;
    }
    else
    {
        m_LogicalPageSize.cx = GetVirtualWidth() + marginWidth;
        m_LogicalPageSize.cy = m_PaperSize.cx > 0 ? MulDiv(m_LogicalPageSize.cx, m_PaperSize.cy, m_PaperSize.cx) : 0;
    }

    m_nPageHeight = m_LogicalPageSize.cy - GetFixedRowHeight() -
                    (m_nHeaderHeight + m_nFooterHeight + 2 * m_nGap) * m_CharSize.cy;
    int verticalPages = PageCount(m_nFixedRows, m_nRows, m_nPageHeight, [this](int row) { return GetRowHeight(row); });
    m_nPageWidth = m_LogicalPageSize.cx - GetFixedColumnWidth() - marginWidth;
    m_nPageMultiplier = 1;
    if (m_bWysiwygPrinting)
        m_nPageMultiplier = PageCount(m_nFixedCols, m_nCols, m_nPageWidth, [this](int col) { return GetColumnWidth(col); });

    m_nNumPages = verticalPages * m_nPageMultiplier;
    pInfo->SetMaxPage(m_nNumPages);
    pInfo->m_nCurPage = 1;

    ReleaseDC(screen);
    pDC->SelectObject(oldFont);
}

void CGridCtrl::OnPrint(CDC* pDC, CPrintInfo* pInfo)
{
    if (!pDC || !pDC->GetSafeHdc() || !pInfo || !m_PrinterFont.GetSafeHandle())
        return;
    CFont* oldFont = pDC->SelectObject(&m_PrinterFont);
    pDC->SetMapMode(MM_ANISOTROPIC);
    pDC->SetWindowExt(m_LogicalPageSize.cx, m_LogicalPageSize.cy);
    pDC->SetViewportExt(m_PaperSize.cx, m_PaperSize.cy);
    const int left = -m_nLeftMargin * m_CharSize.cx;
    pDC->SetWindowOrg(left, 0);

    pInfo->m_rectDraw.SetRect(0, 0, m_LogicalPageSize.cx - (m_nLeftMargin + m_nRightMargin) * m_CharSize.cx,
                              m_nHeaderHeight * m_CharSize.cy);
    PrintHeader(pDC, pInfo);

    // The grid starts below the header and the gap; its body below the fixed rows.
    const int gridTop = (m_nHeaderHeight + m_nGap) * m_CharSize.cy;
    const int bodyTop = gridTop + GetFixedRowHeight();
    pDC->SetWindowOrg(left, -bodyTop);

    const int pageCount = static_cast<int>(pInfo->m_nCurPage);
    const int multiplier = m_nPageMultiplier > 0 ? m_nPageMultiplier : 1;
    const int verticalPage = pageCount / multiplier + (pageCount % multiplier > 0 ? 1 : 0);
    const int horizontalIndex = (pageCount % multiplier ? pageCount % multiplier : multiplier) - 1;
    auto rowHeight = [this](int row) { return GetRowHeight(row); };
    auto colWidth = [this](int col) { return GetColumnWidth(col); };
    m_nCurrPrintRow = PageStart(verticalPage, m_nFixedRows, m_nRows, m_nPageHeight, rowHeight);
    m_nPrintColumn = PageStart(horizontalIndex + 1, m_nFixedCols, m_nCols, m_nPageWidth, colWidth);
    const int rowEnd = PageEnd(m_nCurrPrintRow, m_nRows, m_nPageHeight, rowHeight);
    const int colEnd = PageEnd(m_nPrintColumn, m_nCols, m_nPageWidth, colWidth);

    PrintRowButtons(pDC, pInfo);

    pInfo->m_rectDraw.bottom = GetFixedRowHeight();
    pDC->SetWindowOrg(left, -gridTop);
    PrintColumnHeadings(pDC, pInfo);

    // The body: the page's rows and columns, right of the fixed columns and below the fixed rows.
    pDC->SetWindowOrg(left - GetFixedColumnWidth(), -bodyTop);
    CPen linePen(PS_SOLID, 0, m_crGridLineColour);
    CPen* oldPen = pDC->SelectObject(&linePen);
    CRect rect;
    rect.bottom = -1;
    bool firstRow = true;
    for (int row = m_nCurrPrintRow; row < rowEnd; row++)
    {
        if (GetRowHeight(row) <= 0)
            continue;
        rect.top = rect.bottom + 1;
        rect.bottom = rect.top + GetRowHeight(row) - 1;
        rect.right = -1;
        for (int col = m_nPrintColumn; col < colEnd; col++)
        {
            if (GetColumnWidth(col) <= 0)
                continue;
            rect.left = rect.right + 1;
            rect.right = rect.left + GetColumnWidth(col) - 1;
            CRect cellRect = CutAtPageEdge(rect, m_nPageWidth, m_nPageHeight);
            if (CGridCellBase* cell = GetCell(row, col))
            {
                cell->SetCoords(row, col);
                cell->PrintCell(pDC, row, col, cellRect);
            }
            DrawCellLines(pDC, m_nGridLines, cellRect, row, col, firstRow);
        }
        firstRow = false;
    }
    pDC->SelectObject(oldPen);

    pInfo->m_rectDraw.bottom = m_nFooterHeight * m_CharSize.cy;
    pDC->SetWindowOrg(left, m_nFooterHeight * m_CharSize.cy - m_LogicalPageSize.cy);
    PrintFooter(pDC, pInfo);
    pDC->SetWindowOrg(0, 0);
    pDC->SelectObject(oldFont);
}

void CGridCtrl::PrintRowButtons(CDC* pDC, CPrintInfo* pInfo)
{
    if (!pDC || !m_PrinterFont.GetSafeHandle())
        return;
    CFont* oldFont = pDC->SelectObject(&m_PrinterFont);
    CPen linePen(PS_SOLID, 0, m_crGridLineColour);
    CPen* oldPen = pDC->SelectObject(&linePen);
    const int rowEnd = PageEnd(m_nCurrPrintRow, m_nRows, m_nPageHeight, [this](int row) { return GetRowHeight(row); });
    int x = 0;
    for (int col = 0; col < m_nFixedCols; col++)
    {
        if (GetColumnWidth(col) <= 0)
            continue;
        CRect rect;
        rect.left = x;
        rect.right = x + GetColumnWidth(col) - 1;
        x = rect.right + 1;
        rect.bottom = -1;
        bool firstRow = true;
        for (int row = m_nCurrPrintRow; row < rowEnd; row++)
        {
            if (GetRowHeight(row) <= 0)
                continue;
            rect.top = rect.bottom + 1;
            rect.bottom = rect.top + GetRowHeight(row) - 1;
            CRect cellRect = CutAtPageEdge(rect, rect.right + 1, m_nPageHeight);
            if (CGridCellBase* cell = GetCell(row, col))
            {
                cell->SetCoords(row, col);
                cell->PrintCell(pDC, row, col, cellRect);
            }
            DrawCellLines(pDC, m_nGridLines, cellRect, row, col, firstRow);
            if (firstRow && (m_nGridLines == GVL_HORZ || m_nGridLines == GVL_BOTH))
            {
                pDC->MoveTo(cellRect.left, cellRect.top);
                pDC->LineTo(cellRect.right, cellRect.top);
            }
            firstRow = false;
        }
    }
    pDC->SelectObject(oldPen);
    pDC->SelectObject(oldFont);
}

void CGridCtrl::PrintColumnHeadings(CDC* pDC, CPrintInfo* pInfo)
{
    if (!pDC || !m_PrinterFont.GetSafeHandle())
        return;
    CFont* oldFont = pDC->SelectObject(&m_PrinterFont);
    CPen linePen(PS_SOLID, 0, m_crGridLineColour);
    CPen* oldPen = pDC->SelectObject(&linePen);
    // The page width widened by the fixed columns, which the headings print as well.
    const int pageWidth = m_nPageWidth;
    m_nPageWidth += GetFixedColumnWidth();
    const int startColumn = m_nPrintColumn;
    // On the first horizontal page every column from 0 is printed in one run.
    if (m_nPrintColumn == m_nFixedCols)
        m_nPrintColumn = 0;
    CRect rect;
    rect.bottom = -1;
    for (int row = 0; row < m_nFixedRows; row++)
    {
        if (GetRowHeight(row) <= 0)
            continue;
        rect.top = rect.bottom + 1;
        rect.bottom = rect.top + GetRowHeight(row) - 1;
        rect.right = -1;
        BOOL first = TRUE;
        if (m_nPrintColumn >= m_nFixedCols)
            PrintFixedRowCells(0, m_nFixedCols, row, rect, pDC, first);
        PrintFixedRowCells(m_nPrintColumn, m_nCols, row, rect, pDC, first);
    }
    m_nPrintColumn = startColumn;
    m_nPageWidth = pageWidth;
    pDC->SelectObject(oldPen);
    pDC->SelectObject(oldFont);
}

void CGridCtrl::PrintFixedRowCells(int nStartColumn, int nStopColumn, int& row, CRect& rect, CDC* pDC, BOOL& bFirst)
{
    // The non-fixed columns of the page end where the body's do; the widened page width holds them.
    const int bodyStart = nStartColumn < m_nFixedCols ? m_nFixedCols : nStartColumn;
    const int pageWidth = m_nPageWidth - GetFixedColumnWidth();
    const int bodyEnd = PageEnd(bodyStart, m_nCols, pageWidth, [this](int col) { return GetColumnWidth(col); });
    for (int col = nStartColumn; col < nStopColumn; col++)
    {
        if (col >= m_nFixedCols && col >= bodyEnd)
            break;
        if (GetColumnWidth(col) <= 0)
            continue;
        rect.left = rect.right + 1;
        rect.right = rect.left + GetColumnWidth(col) - 1;
        CRect cellRect = CutAtPageEdge(rect, m_nPageWidth, rect.bottom + 1);
        if (CGridCellBase* cell = GetCell(row, col))
        {
            cell->SetCoords(row, col);
            cell->PrintCell(pDC, row, col, cellRect);
        }
        if (m_nGridLines == GVL_HORZ || m_nGridLines == GVL_BOTH)
        {
            pDC->MoveTo(cellRect.left, cellRect.bottom);
            pDC->LineTo(cellRect.right, cellRect.bottom);
            if (row == 0)
            {
                pDC->MoveTo(cellRect.left, cellRect.top);
                pDC->LineTo(cellRect.right, cellRect.top);
            }
        }
        if (m_nGridLines == GVL_VERT || m_nGridLines == GVL_BOTH)
        {
            pDC->MoveTo(cellRect.right, row == 0 ? cellRect.top : cellRect.top - 1);
            pDC->LineTo(cellRect.right, cellRect.bottom);
            if (bFirst)
            {
                pDC->MoveTo(cellRect.left, row == 0 ? cellRect.top : cellRect.top - 1);
                pDC->LineTo(cellRect.left, cellRect.bottom);
                bFirst = FALSE;
            }
        }
    }
}

void CGridCtrl::PrintHeader(CDC* pDC, CPrintInfo* pInfo)
{
    if (!pDC || !pInfo)
        return;
    const CString rightText = ApplicationTitle();
    const CString centreText = CaptionAbove(GetParent());
    CFont bold;
    if (!CreateBoldCopy(m_PrinterFont, bold))
        return;
    CFont* oldFont = pDC->SelectObject(&bold);
    int oldMode = pDC->SetBkMode(TRANSPARENT);
    CRect rect = pInfo->m_rectDraw;
    if (!centreText.IsEmpty())
        pDC->DrawText(centreText, rect, DT_CENTER | DT_SINGLELINE | DT_NOPREFIX | DT_VCENTER);
    if (!rightText.IsEmpty())
        pDC->DrawText(rightText, rect, DT_RIGHT | DT_SINGLELINE | DT_NOPREFIX | DT_VCENTER);
    pDC->SetBkMode(oldMode);
    CGdiObject* oldPen = pDC->SelectStockObject(BLACK_PEN);
    pDC->MoveTo(rect.left, rect.bottom);
    pDC->LineTo(rect.right, rect.bottom);
    pDC->SelectObject(oldPen->GetSafeHandle());
    pDC->SelectObject(oldFont);
}

void CGridCtrl::PrintFooter(CDC* pDC, CPrintInfo* pInfo)
{
    if (!pDC || !pInfo)
        return;
    CString leftText;
    leftText.Format(L"Page %d of %d", static_cast<int>(pInfo->m_nCurPage), m_nNumPages);
    const CString rightText = DateAndTimeNow();
    CRect rect = pInfo->m_rectDraw;
    CGdiObject* oldPen = pDC->SelectStockObject(BLACK_PEN);
    pDC->MoveTo(rect.left, rect.top);
    pDC->LineTo(rect.right, rect.top);
    pDC->SelectObject(oldPen->GetSafeHandle());
    CFont bold;
    if (!CreateBoldCopy(m_PrinterFont, bold))
        return;
    CFont* oldFont = pDC->SelectObject(&bold);
    COLORREF oldColour = pDC->SetTextColor(RGB(0, 0, 0));
    int oldMode = pDC->SetBkMode(TRANSPARENT);
    if (!leftText.IsEmpty())
        pDC->DrawText(leftText, rect, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX | DT_VCENTER);
    if (!rightText.IsEmpty())
        pDC->DrawText(rightText, rect, DT_RIGHT | DT_SINGLELINE | DT_NOPREFIX | DT_VCENTER);
    pDC->SetBkMode(oldMode);
    pDC->SetTextColor(oldColour);
    pDC->SelectObject(oldFont);
}

void CGridCtrl::OnEndPrinting(CDC* pDC, CPrintInfo* pInfo)
{
    m_PrinterFont.DeleteObject();
}

BOOL CGridCtrl::Print(CDC* pPrinterDC)
{
    CDC defaultPrinter;
    CDC* dc = pPrinterDC;
    if (!dc)
    {
        PRINTDLGW pd;
        ZeroMemory(&pd, sizeof(pd));
        pd.lStructSize = sizeof(pd);
        pd.Flags = PD_RETURNDEFAULT | PD_RETURNDC;
        if (!::PrintDlgW(&pd))
            return FALSE;
        if (pd.hDevMode)
            ::GlobalFree(pd.hDevMode);
        if (pd.hDevNames)
            ::GlobalFree(pd.hDevNames);
        if (!defaultPrinter.Attach(pd.hDC))
            return FALSE;
        dc = &defaultPrinter;
    }
    if (!dc->GetSafeHdc())
        return FALSE;

    const BOOL wasPrinting = dc->m_bPrinting;
    dc->m_bPrinting = TRUE;
    CPrintInfo info;
    info.m_bDirect = TRUE;
    m_nNumPages = 0;
    OnBeginPrinting(dc, &info);
    bool ok = m_PrinterFont.GetSafeHandle() != nullptr && m_nNumPages > 0;

    CString title = CaptionAbove(this);
    if (title.IsEmpty())
        title = ApplicationTitle();
    DOCINFOW doc;
    ZeroMemory(&doc, sizeof(doc));
    doc.cbSize = sizeof(doc);
    doc.lpszDocName = title;
    if (ok)
        ok = dc->StartDoc(&doc) > 0;
    if (ok)
    {
        for (UINT page = info.GetMinPage(); ok && page <= info.GetMaxPage(); page++)
        {
            info.m_nCurPage = page;
            info.m_rectDraw.SetRect(0, 0, dc->GetDeviceCaps(HORZRES), dc->GetDeviceCaps(VERTRES));
            ok = dc->StartPage() > 0;
            if (ok)
                OnPrint(dc, &info);
            ok = ok && dc->EndPage() > 0;
        }
        if (ok)
            ok = dc->EndDoc() > 0;
        else
            dc->AbortDoc();
    }
    OnEndPrinting(dc, &info);
    dc->m_bPrinting = wasPrinting;
    return ok ? TRUE : FALSE;
}

CImageList* CGridCtrl::CreateDragImage(CPoint* pHotSpot)
{
    CDC* screen = GetDC();
    if (!screen)
        return nullptr;
    CCellID focus = GetFocusCell();
    CGridCellBase* cell = GetCell(focus.row, focus.col);
    CRect rect;
    if (!cell || !GetCellRect(focus.row, focus.col, rect))
    {
        ReleaseDC(screen);
        return nullptr;
    }
    const int width = GetColumnWidth(focus.col), height = GetRowHeight(focus.row);
    CImageList* list = new CImageList;
    CDC memDC;
    CBitmap bitmap;
    bool ok = width > 0 && height > 0 && list->Create(width, height, ILC_MASK, 1, 1) &&
              memDC.CreateCompatibleDC(screen) && bitmap.CreateCompatibleBitmap(screen, width, height);
    if (ok)
    {
        CBitmap* oldBitmap = memDC.SelectObject(&bitmap);
        cell->Draw(&memDC, focus.row, focus.col, CRect(0, 0, width - 1, height - 1), TRUE);
        memDC.SelectObject(oldBitmap);
        ok = list->Add(&bitmap, GetDefaultCell(FALSE, FALSE)->GetBackClr()) >= 0;
    }
    ReleaseDC(screen);
    if (!ok)
    {
        delete list;
        return nullptr;
    }
    if (pHotSpot)
        *pHotSpot = CPoint(0, 0);
    return list;
}
