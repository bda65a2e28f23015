// Sorting rows by a column: order with empty texts, fixed rows, row heights and item data moving
// with their rows, a comparison that sorts the same grid again, and what sorting resets.
#include <gtest/gtest.h>
#include "GridTestSupport.h"

namespace {

std::vector<CString> Column(const CGridCtrl& grid, int col)
{
    std::vector<CString> texts;
    for (int row = 0; row < grid.GetRowCount(); row++)
        texts.push_back(grid.GetItemText(row, col));
    return texts;
}

void Fill(CGridCtrl& grid, int col, const std::vector<const wchar_t*>& texts)
{
    for (size_t i = 0; i < texts.size(); i++)
        grid.SetItemText(static_cast<int>(i) + grid.GetFixedRowCount(), col, texts[i]);
}

CGridCtrl* g_reentrantGrid = nullptr;
int g_outerCalls = 0;

// What the records page installs: any column but 0 is handed to the grid's own text sort, and the
// two cells are reported equal.
int CALLBACK SortAgainByText(LPARAM, LPARAM, LPARAM data)
{
    g_outerCalls++;
    const CCellID* clicked = reinterpret_cast<const CCellID*>(data);
    g_reentrantGrid->SortTextItems(clicked->col, g_reentrantGrid->GetSortAscending(), data);
    return 0;
}

long g_innerCalls = 0;
int g_changeAtCall = 0;

int CALLBACK CountingText(LPARAM first, LPARAM second, LPARAM data)
{
    g_innerCalls++;
    return CGridCtrl::CompareCellText(first, second, data);
}

// Like SortAgainByText, through a comparison that counts its calls; on one chosen call it first
// changes the text of the first data row.
int CALLBACK SortAgainCounting(LPARAM, LPARAM, LPARAM data)
{
    g_outerCalls++;
    if (g_outerCalls == g_changeAtCall)
        g_reentrantGrid->SetItemText(1, 2, L"zzz");
    const CCellID* clicked = reinterpret_cast<const CCellID*>(data);
    g_reentrantGrid->SortItems(CountingText, clicked->col, g_reentrantGrid->GetSortAscending(), data);
    return 0;
}

void FillScrambled(CGridCtrl& grid, int rows)
{
    for (int row = 1; row < rows; row++)
    {
        CString text;
        text.Format(L"%04d", (row * 7919) % 10007);
        grid.SetItemText(row, 2, text);
    }
}

bool ColumnIsAscending(const CGridCtrl& grid, int col)
{
    for (int row = grid.GetFixedRowCount() + 1; row < grid.GetRowCount(); row++)
        if (grid.GetItemText(row - 1, col).Compare(grid.GetItemText(row, col)) > 0)
            return false;
    return true;
}

} // namespace

TEST(GridSort, AscendingAndDescendingPutEmptyTextsLast)
{
    CGridCtrl grid(5, 2, 1, 1);
    grid.SetItemText(0, 1, L"header");
    Fill(grid, 1, {L"b", L"", L"A", L"a"});
    EXPECT_TRUE(grid.SortTextItems(1, TRUE));
    EXPECT_EQ((std::vector<CString>{L"header", L"A", L"a", L"b", L""}), Column(grid, 1));
    EXPECT_TRUE(grid.SortTextItems(1, FALSE));
    EXPECT_EQ((std::vector<CString>{L"header", L"b", L"a", L"A", L""}), Column(grid, 1));
    EXPECT_EQ(1, grid.GetSortColumn());
    EXPECT_FALSE(grid.GetSortAscending());
}

TEST(GridSort, RowsMoveWholeWithTheirHeightsAndData)
{
    TestGrid t(5, 3);
    CGridCtrl& grid = t.grid;
    Fill(grid, 2, {L"d", L"b", L"c", L"a"});
    for (int row = 1; row < 5; row++)
    {
        grid.SetRowHeight(row, 10 + row);
        grid.SetItemData(row, 0, row);
    }
    ASSERT_TRUE(grid.SortTextItems(2, TRUE));
    EXPECT_EQ(L"0,2", grid.GetItemText(0, 2)) << "the fixed row stays";
    EXPECT_EQ(20, grid.GetRowHeight(0));
    const int originalRow[] = {0, 4, 2, 3, 1};
    for (int row = 1; row < 5; row++)
    {
        EXPECT_EQ(originalRow[row], grid.GetItemData(row, 0)) << row;
        EXPECT_EQ(10 + originalRow[row], grid.GetRowHeight(row)) << row;
        CString expected;
        expected.Format(L"%d,1", originalRow[row]);
        EXPECT_EQ(expected, grid.GetItemText(row, 1)) << row;
    }
}

TEST(GridSort, EqualTextsAreNeverExchanged)
{
    CGridCtrl grid(6, 2, 1, 0);
    for (int row = 1; row < 6; row++)
    {
        grid.SetItemText(row, 0, L"same");
        grid.SetItemData(row, 1, row);
    }
    grid.SortTextItems(0, TRUE);
    for (int row = 1; row < 6; row++)
        EXPECT_EQ(row, grid.GetItemData(row, 1));
}

TEST(GridSort, RefusesOneRowAndBadColumns)
{
    CGridCtrl grid(2, 2, 1, 0);
    grid.SetItemText(1, 0, L"x");
    EXPECT_FALSE(grid.SortTextItems(0, TRUE));
    EXPECT_FALSE(grid.SortTextItems(2, TRUE));
    EXPECT_EQ(L"x", grid.GetItemText(1, 0));
}

TEST(GridSort, SortingClearsSelectionAndFocus)
{
    TestGrid t(5, 3);
    t.grid.SetFocusCell(2, 1);
    t.grid.SetSelectedRange(1, 1, 3, 2);
    ASSERT_GT(t.grid.GetSelectedCount(), 0);
    t.grid.SortTextItems(1, FALSE);
    EXPECT_EQ(0, t.grid.GetSelectedCount());
    EXPECT_FALSE(t.grid.GetFocusCell().IsValid());
}

TEST(GridSort, InstalledComparisonMaySortTheSameGridAgain)
{
    CGridCtrl grid(41, 3, 1, 1);
    // A scrambled column: 17 * i mod 41 visits every value once.
    for (int row = 1; row < 41; row++)
    {
        CString text;
        text.Format(L"%03d", (row * 17) % 41);
        grid.SetItemText(row, 2, text);
        grid.SetItemData(row, 1, (row * 17) % 41);
    }
    g_reentrantGrid = &grid;
    g_outerCalls = 0;
    grid.SetCompareFunction(SortAgainByText);
    CCellID clicked(0, 2);
    EXPECT_TRUE(grid.SortItems(2, FALSE, reinterpret_cast<LPARAM>(&clicked)));
    EXPECT_GT(g_outerCalls, 0);
    EXPECT_EQ(41, grid.GetRowCount());
    for (int row = 1; row < 41; row++)
    {
        CString expected;
        expected.Format(L"%03d", 41 - row);
        EXPECT_EQ(expected, grid.GetItemText(row, 2)) << row;
        EXPECT_EQ(41 - row, grid.GetItemData(row, 1)) << "data moved with its row";
    }
}

TEST(GridSort, HeaderClickSortsOppositeToTheCurrentDirection)
{
    TestGrid t(4, 3);
    CGridCtrl& grid = t.grid;
    grid.SetSortOnClick(TRUE);
    Fill(grid, 2, {L"b", L"c", L"a"});
    EXPECT_TRUE(grid.GetSortAscending());
    t.Click(t.Centre(0, 2));
    EXPECT_EQ((std::vector<CString>{L"0,2", L"c", L"b", L"a"}), Column(grid, 2)) << "first click sorts descending";
    t.Click(t.Centre(0, 2));
    EXPECT_EQ((std::vector<CString>{L"0,2", L"a", L"b", L"c"}), Column(grid, 2));
    EXPECT_EQ(2, grid.GetSortColumn());
}

namespace {

// Sorts a scrambled grid of the given rows ascending by column 2 through SortAgainCounting, which
// changes a text on its call number changeAtCall (-1: never).
void SortScrambledAgainAndAgain(CGridCtrl& grid, int rows, int changeAtCall)
{
    FillScrambled(grid, rows);
    g_reentrantGrid = &grid;
    g_outerCalls = 0;
    g_innerCalls = 0;
    g_changeAtCall = changeAtCall;
    grid.SetCompareFunction(SortAgainCounting);
    CCellID clicked(0, 2);
    EXPECT_TRUE(grid.SortItems(2, TRUE, reinterpret_cast<LPARAM>(&clicked)));
    EXPECT_TRUE(ColumnIsAscending(grid, 2));
}

} // namespace

TEST(GridSort, AComparisonThatSortsAgainCostsOneNestedSort)
{
    CGridCtrl grid(201, 3, 1, 1);
    SortScrambledAgainAndAgain(grid, 201, -1);
    EXPECT_GT(g_outerCalls, 201);
    // One sort of 200 rows takes a few thousand comparisons; one per outer comparison would take
    // hundreds of thousands.
    EXPECT_LT(g_innerCalls, 20000) << g_outerCalls << " outer comparisons";
}

TEST(GridSort, ANestedSortIsRepeatedAfterTheTextsChanged)
{
    CGridCtrl grid(41, 3, 1, 1);
    SortScrambledAgainAndAgain(grid, 41, 30);   // well after the first nested sort
    ASSERT_GT(g_outerCalls, 30);
    EXPECT_EQ(L"zzz", grid.GetItemText(40, 2)) << "the changed text went to the end";
}
