// The record bar's search on a real records grid: the rows it marks agree with a plain reference
// (trim the cell, then look for the text), the last column of the heading is searched, the earlier
// marks go, and marking every cell of a large list takes no memory beyond the cells themselves,
// counted through the grid's own accounting of attribute blocks and pooled cells.
#include <gtest/gtest.h>
#include "tests/pages/GridWindow.h"

#include <string>
#include <vector>

#include "grid/GridCell.h"
#include "grid/GridCtrl.h"
#include "pages/RecordsGrid.h"

namespace {

const COLORREF kMark = RGB(255, 255, 0);

struct SearchMarks : ::testing::Test, GridWindow
{

    void SetUp() override
    {
        CreateGridWindow(L"search marks test");
    }
    void TearDown() override
    {
        DestroyGridWindow();
    }
    // A grid of the headings and rows given (row 0 is the header).
    void Fill(const std::vector<std::vector<std::wstring>>& rows)
    {
        ASSERT_TRUE(grid.SetRowCount(static_cast<int>(rows.size())));
        ASSERT_TRUE(grid.SetColumnCount(static_cast<int>(rows[0].size())));
        grid.SetFixedRowCount(1);
        for (size_t row = 0; row < rows.size(); ++row)
            for (size_t col = 0; col < rows[row].size(); ++col)
                grid.SetItemText(static_cast<int>(row), static_cast<int>(col), rows[row][col].c_str());
    }
    // The rows whose every cell carries the mark; fails on a row marked only in part.
    std::vector<int> MarkedRows()
    {
        std::vector<int> marked;
        for (int row = 0; row < grid.GetRowCount(); ++row)
        {
            int cells = 0;
            for (int col = 0; col < grid.GetColumnCount(); ++col)
                cells += grid.GetCell(row, col)->GetBackClr() == kMark;
            EXPECT_TRUE(cells == 0 || cells == grid.GetColumnCount()) << "row " << row << " is marked in part";
            if (cells)
                marked.push_back(row);
        }
        return marked;
    }
};

} // namespace

TEST_F(SearchMarks, RowsMarkedAgreeWithTrimmingTheCellThenSearchingIt)
{
    const std::vector<std::wstring> cells = {L"Smith",  L"  Smith  ", L"\tSmith\t", L"Smi th", L"smith",
                                             L"Smit",   L"xSmithx",   L"",          L" ",      L"Smith Jr",
                                             L"A B",    L"A  B",      L" A B ",     L"AB",     L"Müller A B"};
    const std::vector<std::wstring> texts = {L"Smith", L"A B", L"B", L"Smith Jr", L"mi", L"Müller"};
    std::vector<std::vector<std::wstring>> rows = {{L"Templates / Records", L"Name", L"Other"}};
    for (const std::wstring& cell : cells)
        rows.push_back({L"1/2/2026", cell, L"A B Smith"});
    Fill(rows);
    for (const std::wstring& text : texts)
    {
        // The reference: the cell's text trimmed as the framework trims, then searched.
        std::vector<int> expected;
        for (size_t i = 0; i < cells.size(); ++i)
        {
            CString trimmed(cells[i].c_str());
            trimmed.Trim();
            if (trimmed.Find(text.c_str()) >= 0)
                expected.push_back(static_cast<int>(i) + 1);
        }
        EXPECT_EQ(static_cast<int>(expected.size()), MarkRowsContaining(grid, L"Name", text.c_str(), kMark))
            << CStringA(text.c_str()).GetString();
        EXPECT_EQ(expected, MarkedRows()) << CStringA(text.c_str()).GetString();
    }
    EXPECT_FALSE(MarkedRows().empty());
    // An unknown heading marks nothing and takes the earlier marks away.
    EXPECT_EQ(0, MarkRowsContaining(grid, L"Nothing", L"Smith", kMark));
    EXPECT_TRUE(MarkedRows().empty());
}

TEST_F(SearchMarks, TheLastColumnOfTheHeadingIsSearched)
{
    Fill({{L"Templates / Records", L"Name", L"Name"},
          {L"1/2/2026", L"Jones", L"Smith"},
          {L"1/3/2026", L"Smith", L"Jones"}});
    EXPECT_EQ(1, MarkRowsContaining(grid, L"Name", L"Smith", kMark));
    EXPECT_EQ(std::vector<int>{1}, MarkedRows());
}

TEST_F(SearchMarks, MarkingEveryCellOfALargeListTakesNoMemoryBeyondTheCells)
{
    const int rows = 3000, columns = 60;
    ASSERT_TRUE(grid.SetRowCount(rows + 1));
    ASSERT_TRUE(grid.SetColumnCount(columns));
    grid.SetFixedRowCount(1);
    for (int col = 0; col < columns; ++col)
        grid.SetItemText(0, col, col == 0 ? L"Templates / Records" : L"Field");
    for (int row = 1; row <= rows; ++row)
        grid.SetItemText(row, 0, row % 2 ? L"1/2/2026" : L"12/30/2025");
    // One cell keeps a colour of its own text beside the mark.
    grid.SetItemFgColour(7, 3, RGB(0, 0, 255));

    const size_t blocks = CGridCell::LiveAttributeBlocks();
    EXPECT_EQ(rows, MarkRowsContaining(grid, L"Templates / Records", L"20", kMark));
    EXPECT_EQ(blocks, CGridCell::LiveAttributeBlocks()) << "the marks of " << rows * columns << " cells";
    EXPECT_EQ(static_cast<size_t>(rows), MarkedRows().size());
    EXPECT_EQ(RGB(0, 0, 255), grid.GetCell(7, 3)->GetTextClr());
    EXPECT_EQ(kMark, grid.GetCell(7, 3)->GetBackClr());

    // Half the rows: the other half's marks go.
    EXPECT_EQ(rows / 2, MarkRowsContaining(grid, L"Templates / Records", L"2026", kMark));
    EXPECT_EQ(static_cast<size_t>(rows / 2), MarkedRows().size());
    ClearGridHighlight(&grid);
    EXPECT_TRUE(MarkedRows().empty());
    EXPECT_EQ(blocks, CGridCell::LiveAttributeBlocks());
    EXPECT_EQ(RGB(0, 0, 255), grid.GetCell(7, 3)->GetTextClr());
}
