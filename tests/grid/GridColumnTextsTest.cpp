// Texts filled through the column text fill: equal texts of a column share one block, and every
// later change, sort, deletion and measure treats each cell as holding its own text.
#include <gtest/gtest.h>
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>
#include "GridTestSupport.h"
#include "grid/GridCell.h"
#include "grid/GridColumnTexts.h"

namespace {

std::wstring TextAt(const CGridCtrl& grid, int row, int col)
{
    return std::wstring(grid.GetItemText(row, col).GetString());
}

bool Shared(CGridCtrl& grid, int row, int col)
{
    return static_cast<CGridCell*>(grid.GetCell(row, col))->HasSharedText();
}

// A kind of cell that counts the texts given to it.
struct CountingCell : CGridCell
{
    int texts = 0;
    void SetText(LPCTSTR text) override
    {
        texts++;
        CGridCell::SetText(text);
    }
};

} // namespace

TEST(GridColumnTexts, EqualTextsOfAColumnShareOneBlock)
{
    const size_t before = CGridCell::LiveTextBlocks();
    {
        CGridCtrl grid(7, 3, 1, 1);
        GridColumnTexts texts(grid);
        const char* column1[] = {"YES", "NO", "YES", "YES", "NO", "maybe"};
        for (int row = 1; row <= 6; row++)
        {
            ASSERT_TRUE(texts.SetItemText(row, 1, column1[row - 1], std::strlen(column1[row - 1])));
            ASSERT_TRUE(texts.SetItemText(row, 2, L"YES", 3));
        }
        EXPECT_EQ(L"YES", TextAt(grid, 1, 1));
        EXPECT_EQ(L"NO", TextAt(grid, 2, 1));
        EXPECT_EQ(L"maybe", TextAt(grid, 6, 1));
        EXPECT_EQ(L"YES", TextAt(grid, 4, 2));
        EXPECT_TRUE(Shared(grid, 1, 1));
        EXPECT_TRUE(Shared(grid, 5, 1));
        EXPECT_FALSE(Shared(grid, 6, 1)) << "a text met once keeps its own copy";
        // One block for each distinct text of each column: YES, NO, maybe; YES again in column 2.
        EXPECT_EQ(before + 4, CGridCell::LiveTextBlocks());
        // As SetItemText does: the cell and the grid are marked modified.
        EXPECT_TRUE(grid.GetModified(3, 1));
        EXPECT_TRUE(grid.GetModified());
        // Cells out of the grid are refused, as by SetItemText.
        EXPECT_FALSE(texts.SetItemText(7, 1, "YES", 3));
        EXPECT_FALSE(texts.SetItemText(1, 3, L"YES", 3));
    }
    EXPECT_EQ(before, CGridCell::LiveTextBlocks()) << "every block goes with its last cell";
}

TEST(GridColumnTexts, ACellChangedOrClearedLeavesTheOthersTheirText)
{
    const size_t before = CGridCell::LiveTextBlocks();
    {
        CGridCtrl grid(5, 2, 1, 1);
        GridColumnTexts texts(grid);
        for (int row = 1; row <= 4; row++)
            ASSERT_TRUE(texts.SetItemText(row, 1, "YES", 3));
        // A text of the same length is not written into the shared block.
        ASSERT_TRUE(grid.SetItemText(2, 1, L"NO!"));
        // Setting a cell's own text again, from the shared block itself.
        CGridCellBase* third = grid.GetCell(3, 1);
        third->SetText(third->GetText());
        ASSERT_TRUE(grid.SetItemText(4, 1, L""));
        EXPECT_EQ(L"YES", TextAt(grid, 1, 1));
        EXPECT_EQ(L"NO!", TextAt(grid, 2, 1));
        EXPECT_EQ(L"YES", TextAt(grid, 3, 1));
        EXPECT_EQ(L"", TextAt(grid, 4, 1));
        EXPECT_FALSE(Shared(grid, 2, 1));
        EXPECT_FALSE(Shared(grid, 3, 1));
        // Copying a cell copies its text; resetting it drops it.
        CGridCell copy;
        copy = *static_cast<CGridCell*>(grid.GetCell(1, 1));
        grid.GetCell(1, 1)->Reset();
        EXPECT_EQ(L"YES", std::wstring(copy.GetText()));
        EXPECT_EQ(L"", std::wstring(grid.GetCell(1, 1)->GetText()));
    }
    EXPECT_EQ(before, CGridCell::LiveTextBlocks());
}

TEST(GridColumnTexts, SortAndDeletedRowsKeepEachRowsText)
{
    const size_t before = CGridCell::LiveTextBlocks();
    {
        CGridCtrl grid(9, 3, 1, 1);
        GridColumnTexts texts(grid);
        const char* values[] = {"b", "a", "c", "a", "b", "a", "c", "b"};
        for (int row = 1; row <= 8; row++)
        {
            ASSERT_TRUE(texts.SetItemText(row, 1, values[row - 1], 1));
            const std::string label = "row " + std::to_string(row);
            ASSERT_TRUE(texts.SetItemText(row, 2, label.data(), label.size()));
        }
        ASSERT_TRUE(grid.SortTextItems(1, TRUE));
        const wchar_t* sorted[] = {L"a", L"a", L"a", L"b", L"b", L"b", L"c", L"c"};
        for (int row = 1; row <= 8; row++)
            EXPECT_EQ(sorted[row - 1], TextAt(grid, row, 1)) << row;
        // Each row's label moved with it: the rows of "a" were 2, 4 and 6.
        EXPECT_EQ(L"a", TextAt(grid, 1, 1));
        std::vector<std::wstring> labelsOfA = {TextAt(grid, 1, 2), TextAt(grid, 2, 2), TextAt(grid, 3, 2)};
        std::sort(labelsOfA.begin(), labelsOfA.end());
        EXPECT_EQ((std::vector<std::wstring>{L"row 2", L"row 4", L"row 6"}), labelsOfA);

        ASSERT_TRUE(grid.DeleteRow(2));
        ASSERT_TRUE(grid.DeleteRow(1));
        EXPECT_EQ(7, grid.GetRowCount());
        EXPECT_EQ(L"a", TextAt(grid, 1, 1));
        EXPECT_EQ(L"b", TextAt(grid, 2, 1));
        ASSERT_TRUE(grid.SetItemText(2, 1, L"z"));
        EXPECT_EQ(L"b", TextAt(grid, 3, 1));
        EXPECT_EQ(L"b", TextAt(grid, 4, 1));
        ASSERT_TRUE(grid.DeleteAllItems());
    }
    EXPECT_EQ(before, CGridCell::LiveTextBlocks());
}

TEST(GridColumnTexts, BytesAreWidenedAndOtherKindsOfCellGetTheirOwnSetText)
{
    CGridCtrl grid(4, 2, 1, 1);
    GridColumnTexts texts(grid);
    // Bytes widen one to a character; a length stops the text before the end of the buffer.
    ASSERT_TRUE(texts.SetItemText(1, 1, "caf\xE9 au lait", 4));
    EXPECT_EQ(std::wstring(L"caf\u00E9"), TextAt(grid, 1, 1));
    ASSERT_TRUE(texts.SetItemText(2, 1, L"x\u20ACyz", 2));
    EXPECT_EQ(std::wstring(L"x\u20AC"), TextAt(grid, 2, 1));

    // A NUL within the given length ends the text, for the cell and for its block's size: a block
    // freed by the size of a shorter text would go back into the wrong size class.
    const size_t before = CGridCell::LiveTextBlocks();
    const size_t bytesBefore = CGridCell::LiveTextBytes();
    ASSERT_TRUE(texts.SetItemText(3, 0, "ab\0cd", 5));
    EXPECT_EQ(L"ab", TextAt(grid, 3, 0));
    ASSERT_TRUE(grid.SetItemText(3, 0, L""));
    EXPECT_EQ(bytesBefore, CGridCell::LiveTextBytes());
    ASSERT_TRUE(texts.SetItemText(1, 0, "ab\0cdefghijklmnopqrstuvwxyz0123456789", 38));
    EXPECT_EQ(L"ab", TextAt(grid, 1, 0));
    ASSERT_TRUE(texts.SetItemText(2, 0, L"ab\0cdefghijklmnopqrstuvwxyz0123456789", 38));
    EXPECT_EQ(L"ab", TextAt(grid, 2, 0));
    EXPECT_TRUE(Shared(grid, 1, 0) && Shared(grid, 2, 0)) << "both hold the text \"ab\"";
    ASSERT_TRUE(grid.SetItemText(1, 0, L"xyz"));
    ASSERT_TRUE(grid.SetItemText(2, 0, L"xyz"));
    EXPECT_EQ(before + 2, CGridCell::LiveTextBlocks());
    EXPECT_EQ(bytesBefore + 2 * 8, CGridCell::LiveTextBytes()) << "two texts of 3 characters and the end";

    CountingCell* counting = new CountingCell;
    ASSERT_TRUE(grid.SetCell(3, 1, counting));
    ASSERT_TRUE(texts.SetItemText(3, 1, "caf\xE9", 4));
    EXPECT_EQ(1, counting->texts);
    EXPECT_EQ(std::wstring(L"caf\u00E9"), TextAt(grid, 3, 1));
    EXPECT_FALSE(counting->HasSharedText());
}

TEST(GridColumnTexts, AutoSizingMeasuresSharedTextsAsEachCellWould)
{
    TestGrid t(12, 3, 1, 1, true);
    GridColumnTexts texts(t.grid);
    // The heading and the values share the longest text, though the heading is a fixed cell (one
    // pixel wider) and one value has a margin of its own.
    const char longest[] = "A value shared by the heading";
    for (int row = 0; row < 12; row++)
        ASSERT_TRUE(texts.SetItemText(row, 1, row % 3 ? "short" : longest, row % 3 ? 5 : sizeof longest - 1));
    for (int row = 0; row < 12; row++)
        ASSERT_TRUE(texts.SetItemText(row, 2, "ii", 2));
    t.grid.GetCell(6, 2)->SetMargin(17);
    ASSERT_TRUE(Shared(t.grid, 6, 2));

    std::vector<int> expected(3, 0);
    HDC hdc = ::GetDC(t.grid.GetSafeHwnd());
    ASSERT_NE(nullptr, hdc);
    CDC dc;
    dc.Attach(hdc);
    for (int col = 1; col < 3; col++)
        for (int row = 0; row < 12; row++)
            expected[col] = std::max(expected[col], static_cast<int>(t.grid.GetCell(row, col)->GetCellExtent(&dc).cx));
    dc.Detach();
    ::ReleaseDC(t.grid.GetSafeHwnd(), hdc);

    t.grid.AutoSizeColumns(GVS_BOTH);
    EXPECT_EQ(expected[1], t.grid.GetColumnWidth(1));
    EXPECT_EQ(expected[2], t.grid.GetColumnWidth(2));
    // The own margin widens its column beyond the plain cells sharing its text.
    t.grid.GetCell(6, 2)->SetMargin(static_cast<UINT>(-1));
    t.grid.AutoSizeColumns(GVS_BOTH);
    EXPECT_LT(t.grid.GetColumnWidth(2), expected[2]);
}
