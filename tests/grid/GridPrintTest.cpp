// Grid printing, page by page on enhanced metafiles: the texts each page draws (read back from the
// metafile's text records) show how rows and columns are split into pages, that headings and the
// "Page k of N" footer are on every page, and what the header says.
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>
#include "GridTestSupport.h"
#include "framework/Frame.h"
#include "framework/ImageList.h"
#include "framework/Seams.h"

namespace {

// The grid with the print state a test needs to lay out pages to the unit.
class PrintableGrid : public CGridCtrl
{
public:
    using CGridCtrl::CGridCtrl;
    void SetWysiwyg(BOOL on) { m_bWysiwygPrinting = on; }
    int PageHeight() const { return m_nPageHeight; }
    int PageWidth() const { return m_nPageWidth; }
};

// A grid of rows x cols with one fixed row and column on a captioned owner; cell (r, c) holds
// "r,c", rows are 20 high and columns 60 wide.
struct PrintFixture
{
    PrintFixture(int rows, int cols) : grid(rows, cols, 1, 1)
    {
        ::SetWindowTextW(owner.Hwnd(), L"Claims list");
        grid.Create(CRect(0, 0, 400, 300), owner.Wnd(), 1234, WS_CHILD | WS_VISIBLE);
        for (int row = 0; row < rows; row++)
        {
            grid.SetRowHeight(row, 20);
            for (int col = 0; col < cols; col++)
            {
                CString text;
                text.Format(L"%d,%d", row, col);
                grid.SetItemText(row, col, text);
            }
        }
        for (int col = 0; col < cols; col++)
            grid.SetColumnWidth(col, 60);
    }
    ~PrintFixture() { PumpMessages(); }

    GridOwner owner;
    PrintableGrid grid;
};

struct DrawnText
{
    std::wstring text;
    POINT at; // the text's top left corner on the page, in device units
};
using Page = std::vector<DrawnText>;

// Reads a metafile's texts, placing each through the mapping recorded before it.
struct PageReader
{
    Page page;
    POINT windowOrg = {0, 0}, viewportOrg = {0, 0};
    SIZE windowExt = {1, 1}, viewportExt = {1, 1};
    int mapMode = MM_TEXT;

    POINT ToDevice(POINTL p) const
    {
        if (mapMode == MM_TEXT)
            return {p.x - windowOrg.x + viewportOrg.x, p.y - windowOrg.y + viewportOrg.y};
        return {static_cast<LONG>(MulDiv(p.x - windowOrg.x, viewportExt.cx, windowExt.cx) + viewportOrg.x),
                static_cast<LONG>(MulDiv(p.y - windowOrg.y, viewportExt.cy, windowExt.cy) + viewportOrg.y)};
    }
};

int CALLBACK CollectText(HDC, HANDLETABLE*, const ENHMETARECORD* record, int, LPARAM data)
{
    PageReader& reader = *reinterpret_cast<PageReader*>(data);
    switch (record->iType)
    {
    case EMR_SETMAPMODE:
        reader.mapMode = static_cast<int>(reinterpret_cast<const EMRSETMAPMODE*>(record)->iMode);
        break;
    case EMR_SETWINDOWORGEX:
    {
        POINTL p = reinterpret_cast<const EMRSETWINDOWORGEX*>(record)->ptlOrigin;
        reader.windowOrg = {p.x, p.y};
        break;
    }
    case EMR_SETVIEWPORTORGEX:
    {
        POINTL p = reinterpret_cast<const EMRSETVIEWPORTORGEX*>(record)->ptlOrigin;
        reader.viewportOrg = {p.x, p.y};
        break;
    }
    case EMR_SETWINDOWEXTEX:
        reader.windowExt = reinterpret_cast<const EMRSETWINDOWEXTEX*>(record)->szlExtent;
        break;
    case EMR_SETVIEWPORTEXTEX:
        reader.viewportExt = reinterpret_cast<const EMRSETVIEWPORTEXTEX*>(record)->szlExtent;
        break;
    case EMR_EXTTEXTOUTW:
    {
        const auto* text = reinterpret_cast<const EMREXTTEXTOUTW*>(record);
        const auto* chars = reinterpret_cast<const wchar_t*>(reinterpret_cast<const BYTE*>(record) + text->emrtext.offString);
        reader.page.push_back(DrawnText{std::wstring(chars, text->emrtext.nChars), reader.ToDevice(text->emrtext.ptlReference)});
        break;
    }
    default:
        break;
    }
    return 1;
}

// Closes a metafile DC and reads back the texts drawn on it.
Page TextsOf(HDC metafileDC)
{
    HENHMETAFILE metafile = ::CloseEnhMetaFile(metafileDC);
    PageReader reader;
    EXPECT_NE(nullptr, metafile);
    if (!metafile)
        return reader.page;
    EXPECT_TRUE(::EnumEnhMetaFile(nullptr, metafile, CollectText, &reader, nullptr));
    ::DeleteEnhMetaFile(metafile);
    return reader.page;
}

// Runs the print protocol with each page recorded on a metafile of its own (the screen is the
// reference device); pageCount gets the page count the grid reported.
std::vector<Page> PrintPages(CGridCtrl& grid, UINT& pageCount)
{
    std::vector<Page> pages;
    CPrintInfo info;
    CDC begin;
    EXPECT_TRUE(begin.Attach(::CreateEnhMetaFileW(nullptr, nullptr, nullptr, nullptr)));
    grid.OnBeginPrinting(&begin, &info);
    pageCount = info.GetMaxPage();
    EXPECT_EQ(1u, info.m_nCurPage);
    EXPECT_LT(pageCount, 1000u) << "the page count was never set";
    for (UINT number = 1; number <= pageCount && pageCount < 1000u; number++)
    {
        CDC dc;
        EXPECT_TRUE(dc.Attach(::CreateEnhMetaFileW(nullptr, nullptr, nullptr, nullptr)));
        info.m_nCurPage = number;
        grid.OnPrint(&dc, &info);
        pages.push_back(TextsOf(dc.Detach()));
    }
    grid.OnEndPrinting(&begin, &info);
    TextsOf(begin.Detach());
    return pages;
}

int CountOf(const Page& page, const std::wstring& text)
{
    int count = 0;
    for (const DrawnText& drawn : page)
        if (drawn.text == text)
            count++;
    return count;
}

const DrawnText* Find(const Page& page, const std::wstring& text)
{
    for (const DrawnText& drawn : page)
        if (drawn.text == text)
            return &drawn;
    return nullptr;
}

std::wstring Cell(int row, int col)
{
    return std::to_wstring(row) + L"," + std::to_wstring(col);
}

std::wstring PageOf(int k, int n)
{
    return L"Page " + std::to_wstring(k) + L" of " + std::to_wstring(n);
}

// The page number (0-based) of every body cell text of a column, from all pages; -1 when a text
// appears more than once.
std::map<int, int> PagesOfRows(const std::vector<Page>& pages, int rows, int col)
{
    std::map<int, int> pageOfRow;
    for (size_t p = 0; p < pages.size(); p++)
        for (int row = 1; row < rows; row++)
        {
            int count = CountOf(pages[p], Cell(row, col));
            if (count == 0)
                continue;
            pageOfRow[row] = pageOfRow.count(row) || count > 1 ? -1 : static_cast<int>(p);
        }
    return pageOfRow;
}

} // namespace

TEST(GridPrint, ASmallGridPrintsOnePageWithHeaderHeadingsAndFooter)
{
    PrintFixture f(5, 3);
    UINT count = 0;
    std::vector<Page> pages = PrintPages(f.grid, count);
    ASSERT_EQ(1u, count);
    ASSERT_EQ(1u, pages.size());
    const Page& page = pages[0];
    for (int row = 0; row < 5; row++)
        for (int col = 0; col < 3; col++)
            EXPECT_EQ(1, CountOf(page, Cell(row, col))) << "cell " << row << "," << col;
    EXPECT_EQ(1, CountOf(page, L"Claims list")); // the owner's caption in the centre
    EXPECT_EQ(1, CountOf(page, L"Formstead"));   // the program's name on the right
    EXPECT_EQ(1, CountOf(page, L"Page 1 of 1"));

    // Top to bottom: header, headings, body rows in order, footer.
    const DrawnText* caption = Find(page, L"Claims list");
    const DrawnText* heading = Find(page, L"0,1");
    const DrawnText* first = Find(page, L"1,1");
    const DrawnText* last = Find(page, L"4,1");
    const DrawnText* footer = Find(page, L"Page 1 of 1");
    ASSERT_TRUE(caption && heading && first && last && footer);
    EXPECT_LT(caption->at.y, heading->at.y);
    EXPECT_LT(heading->at.y, first->at.y);
    EXPECT_LT(first->at.y, last->at.y);
    EXPECT_LT(last->at.y, footer->at.y);
    // The fixed column left of the body, the caption centred left of the right-aligned name.
    EXPECT_LT(Find(page, L"1,0")->at.x, first->at.x);
    EXPECT_EQ(Find(page, L"1,0")->at.y, first->at.y);
    EXPECT_LT(caption->at.x, Find(page, L"Formstead")->at.x);
}

TEST(GridPrint, RowsSplitIntoPagesEachWithHeadingsAndPageNumber)
{
    const int rows = 201; // 200 body rows under the heading row
    PrintFixture f(rows, 4);
    UINT count = 0;
    std::vector<Page> pages = PrintPages(f.grid, count);
    ASSERT_GT(count, 1u);
    ASSERT_EQ(count, pages.size());
    for (UINT k = 1; k <= count; k++)
    {
        const Page& page = pages[k - 1];
        EXPECT_EQ(1, CountOf(page, PageOf(k, count))) << "page " << k;
        for (int col = 0; col < 4; col++)
            EXPECT_EQ(1, CountOf(page, Cell(0, col))) << "heading " << col << " on page " << k;
        EXPECT_EQ(1, CountOf(page, L"Claims list")) << "page " << k;
    }
    // Every row once, on non-decreasing pages, its fixed cell on the same page as its body.
    std::map<int, int> body = PagesOfRows(pages, rows, 1);
    std::map<int, int> buttons = PagesOfRows(pages, rows, 0);
    ASSERT_EQ(static_cast<size_t>(rows - 1), body.size());
    int previous = 0;
    for (int row = 1; row < rows; row++)
    {
        ASSERT_GE(body[row], previous) << "row " << row;
        EXPECT_EQ(body[row], buttons[row]) << "row " << row;
        EXPECT_EQ(body[row], PagesOfRows(pages, rows, 3)[row]) << "row " << row;
        previous = body[row];
    }
    EXPECT_EQ(static_cast<int>(count) - 1, previous) << "the last page holds the last rows";
}

TEST(GridPrint, ARowThatOverrunsThePageByOneUnitIsPrintedOnlyOnTheNext)
{
    PrintFixture f(6, 3);
    UINT count = 0;
    PrintPages(f.grid, count);
    const int room = f.grid.PageHeight();
    ASSERT_GT(room, 40);
    // Rows 1 and 2 fill the page exactly; row 3 would overrun it by one unit with row 4.
    f.grid.SetRowHeight(1, room / 2);
    f.grid.SetRowHeight(2, room - room / 2);
    f.grid.SetRowHeight(3, room - 1);
    f.grid.SetRowHeight(4, 2);
    f.grid.SetRowHeight(5, 10);
    std::vector<Page> pages = PrintPages(f.grid, count);
    ASSERT_EQ(room, f.grid.PageHeight()) << "row heights do not change the page";
    ASSERT_EQ(3u, count);
    std::map<int, int> body = PagesOfRows(pages, 6, 1);
    EXPECT_EQ(0, body[1]);
    EXPECT_EQ(0, body[2]);
    EXPECT_EQ(1, body[3]);
    EXPECT_EQ(2, body[4]) << "printed once, where the page count put it";
    EXPECT_EQ(2, body[5]);
    // A row that opens a page is its first row.
    const DrawnText* opener = Find(pages[2], L"4,1");
    const DrawnText* next = Find(pages[2], L"5,1");
    ASSERT_TRUE(opener && next);
    EXPECT_LT(opener->at.y, next->at.y);
}

TEST(GridPrint, ARowTallerThanAPageGetsAPageOfItsOwn)
{
    PrintFixture f(4, 3);
    UINT count = 0;
    PrintPages(f.grid, count);
    const int room = f.grid.PageHeight();
    f.grid.SetRowHeight(2, room * 2);
    std::vector<Page> pages = PrintPages(f.grid, count);
    ASSERT_EQ(3u, count);
    std::map<int, int> body = PagesOfRows(pages, 4, 1);
    EXPECT_EQ(0, body[1]);
    EXPECT_EQ(1, body[2]);
    EXPECT_EQ(2, body[3]);
}

TEST(GridPrint, WithoutWysiwygAWideGridStaysOneHorizontalPage)
{
    PrintFixture f(3, 40); // 2400 units wide, wider than the screen that stands for the paper
    UINT count = 0;
    std::vector<Page> pages = PrintPages(f.grid, count);
    ASSERT_EQ(1u, count);
    for (int col = 0; col < 40; col++)
        EXPECT_EQ(1, CountOf(pages[0], Cell(2, col))) << "column " << col;
}

TEST(GridPrint, WysiwygPagesRunAcrossBeforeDown)
{
    PrintFixture f(5, 5);
    f.grid.SetWysiwyg(TRUE);
    UINT count = 0;
    PrintPages(f.grid, count);
    const int width = f.grid.PageWidth();
    const int height = f.grid.PageHeight();
    ASSERT_GT(width, 40);
    // Columns 1-2 fill one page across, 3-4 the next; rows 1-2 one page down, 3-4 the next.
    for (int i = 1; i < 5; i++)
    {
        f.grid.SetColumnWidth(i, i % 2 ? width / 2 : width - width / 2);
        f.grid.SetRowHeight(i, i % 2 ? height / 2 : height - height / 2);
    }
    std::vector<Page> pages = PrintPages(f.grid, count);
    ASSERT_EQ(4u, count);
    // Page 3: the second vertical page's first horizontal page.
    const Page& third = pages[2];
    for (int col : {0, 1, 2})
        EXPECT_EQ(1, CountOf(third, Cell(0, col))) << "heading " << col;
    EXPECT_EQ(0, CountOf(third, Cell(0, 3)));
    EXPECT_EQ(1, CountOf(third, Cell(3, 0)));
    EXPECT_EQ(1, CountOf(third, Cell(3, 1)));
    EXPECT_EQ(1, CountOf(third, Cell(4, 2)));
    EXPECT_EQ(0, CountOf(third, Cell(1, 1)));
    EXPECT_EQ(0, CountOf(third, Cell(3, 3)));
    EXPECT_EQ(1, CountOf(third, L"Page 3 of 4"));
    // Page 2: the fixed column and the corner again, with the columns of the second page across.
    const Page& second = pages[1];
    for (int col : {0, 3, 4})
        EXPECT_EQ(1, CountOf(second, Cell(0, col))) << "heading " << col;
    EXPECT_EQ(0, CountOf(second, Cell(0, 1)));
    EXPECT_EQ(1, CountOf(second, Cell(2, 0)));
    EXPECT_EQ(1, CountOf(second, Cell(1, 4)));
    EXPECT_EQ(0, CountOf(second, Cell(3, 4)));
    // The corner heading sits left of the page's first column heading.
    EXPECT_LT(Find(second, L"0,0")->at.x, Find(second, L"0,3")->at.x);
    EXPECT_LT(Find(second, L"0,3")->at.x, Find(second, L"0,4")->at.x);
    // Every body cell exactly once across the four pages.
    for (int row = 1; row < 5; row++)
        for (int col = 1; col < 5; col++)
        {
            int seen = 0;
            for (const Page& page : pages)
                seen += CountOf(page, Cell(row, col));
            EXPECT_EQ(1, seen) << "cell " << row << "," << col;
        }
}

TEST(GridPrint, NoCaptionAboveTheGridPrintsNoCentreText)
{
    PrintFixture f(3, 3);
    ::SetWindowTextW(f.owner.Hwnd(), L"");
    UINT count = 0;
    std::vector<Page> pages = PrintPages(f.grid, count);
    ASSERT_EQ(1u, pages.size());
    EXPECT_EQ(0, CountOf(pages[0], L"Claims list"));
    // Header and footer texts only besides the cells: the name, the page and the date.
    int others = 0;
    for (const DrawnText& drawn : pages[0])
        if (drawn.text.find(L',') == std::wstring::npos)
            others++;
    EXPECT_EQ(3, others);
    EXPECT_EQ(1, CountOf(pages[0], L"Page 1 of 1"));
}

TEST(GridPrint, TheFooterDatesThePageWithTheClock)
{
    PrintFixture f(3, 3);
    AfxSetClock([] {
        SYSTEMTIME t = {};
        t.wYear = 2024;
        t.wMonth = 3;
        t.wDay = 15;
        t.wDayOfWeek = 5;
        t.wHour = 9;
        t.wMinute = 30;
        t.wSecond = 5;
        return t;
    });
    UINT count = 0;
    std::vector<Page> pages = PrintPages(f.grid, count);
    AfxSetClock(nullptr);
    ASSERT_EQ(1u, pages.size());
    EXPECT_EQ(1, CountOf(pages[0], L"03/15/24 09:30:05"));
}

TEST(GridPrint, LargerMarginsLeaveRoomForFewerRows)
{
    PrintFixture f(101, 10);
    UINT normal = 0, unchanged = 0, tall = 0;
    PrintPages(f.grid, normal);
    f.grid.SetPrintMarginInfo(-1, -1, -1, -1, -1, -1, -1);
    PrintPages(f.grid, unchanged);
    EXPECT_EQ(normal, unchanged);
    f.grid.SetPrintMarginInfo(10, 10, -1, -1, -1, -1, 3);
    std::vector<Page> pages = PrintPages(f.grid, tall);
    EXPECT_GT(tall, normal);
    EXPECT_EQ(100u, PagesOfRows(pages, 101, 2).size());
}

TEST(GridPrint, NothingIsLaidOutWithoutAGridWindow)
{
    PrintableGrid grid(3, 3, 1, 1);
    CPrintInfo info;
    CDC dc;
    ASSERT_TRUE(dc.Attach(::CreateEnhMetaFileW(nullptr, nullptr, nullptr, nullptr)));
    grid.OnBeginPrinting(&dc, &info);
    EXPECT_EQ(0xFFFFu, info.GetMaxPage()) << "untouched";
    grid.OnPrint(&dc, &info);
    EXPECT_TRUE(TextsOf(dc.Detach()).empty());
    CDC printer;
    ASSERT_TRUE(printer.Attach(::CreateEnhMetaFileW(nullptr, nullptr, nullptr, nullptr)));
    EXPECT_FALSE(grid.Print(&printer));
    EXPECT_TRUE(TextsOf(printer.Detach()).empty());
}

TEST(GridPrint, TheDragImageIsTheFocusCell)
{
    PrintFixture f(4, 4);
    CPoint hotSpot(7, 7);
    EXPECT_EQ(nullptr, f.grid.CreateDragImage(&hotSpot)) << "no focus cell";
    f.grid.SetColumnWidth(2, 75);
    f.grid.SetRowHeight(1, 23);
    f.grid.SetFocusCell(1, 2);
    CImageList* image = f.grid.CreateDragImage(&hotSpot);
    ASSERT_NE(nullptr, image);
    EXPECT_EQ(1, image->GetImageCount());
    IMAGEINFO info = {};
    ASSERT_TRUE(image->GetImageInfo(0, &info));
    EXPECT_EQ(75, info.rcImage.right - info.rcImage.left);
    EXPECT_EQ(23, info.rcImage.bottom - info.rcImage.top);
    EXPECT_EQ(CPoint(0, 0), hotSpot);
    delete image;
}
