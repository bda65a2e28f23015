// The records page's button bar on a real grid in a real window: the search and its yellow marks,
// the column menu driven by real key messages, the frozen-column count, and Delete.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <string>
#include <vector>

#include "formdb/Database.h"
#include "formdb/DatabaseStatement.h"
#include "formdb/FormDatabase.h"
#include "grid/GridCtrl.h"
#include "pages/RecordButtons.h"
#include "tests/pages/RecordsTestHost.h"
#include "tests/support/TempFolder.h"

namespace {

const int kSearchText = 1008;
const int kSearchColumn = 1009;
const int kColumnMenuButton = 1034;
const int kFrozenCount = 1010;
const int kDelete = 1011;
const COLORREF kYellow = RGB(255, 255, 0);

using Table = std::vector<std::vector<std::wstring>>;

// Headings in row 0, then the data rows; column 0 carries the row id, column 1 the kind (0, record).
const Table kRecords = {
    {L"Templates / Records", L"Name", L"City", L"Phone"},
    {L"4/1/2024", L"Müller", L"  日本  ", L"555-0101"},
    {L"4/2/2024", L"müller", L"Ελλάδα", L"555-0102"},
    {L"4/3/2024", L"Jones", L"Berlin", L"555-0103"},
};

class RecordButtonsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        AfxSetMessageBoxSink([this](HWND, const CString& text, const CString& caption, UINT) {
            boxes.push_back({text.GetString(), caption.GetString()});
            return IDOK;
        });
        ASSERT_TRUE(frame.CreateEx(0, nullptr, L"Records test frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 900,
                                   600, nullptr, nullptr));
        ASSERT_TRUE(grid.Create(CRect(0, 60, 880, 500), &frame, 778));
        Fill(kRecords);
        host.frame = &frame;
        host.grid = &grid;
        host.storeFolder = store.Path().c_str();
        host.formName = L"claim";
        ASSERT_TRUE(bar.Create(RecordButtons::IDD, &frame));
        bar.ShowWindow(SW_SHOW);
    }

    void TearDown() override
    {
        if (bar.GetSafeHwnd())
            bar.DestroyWindow();
        if (grid.GetSafeHwnd())
            grid.DestroyWindow();
        if (frame.GetSafeHwnd())
            frame.DestroyWindow();
        AfxSetMessageBoxSink(nullptr);
    }

    void Fill(const Table& table)
    {
        grid.SetListMode(TRUE);
        grid.SetRowCount(static_cast<int>(table.size()));
        grid.SetColumnCount(static_cast<int>(table[0].size()));
        grid.SetFixedRowCount(1);
        grid.SetFixedColumnCount(1);
        for (int row = 0; row < static_cast<int>(table.size()); ++row)
        {
            for (int col = 0; col < static_cast<int>(table[row].size()); ++col)
                grid.SetItemText(row, col, table[row][col].c_str());
            if (row > 0)
            {
                grid.SetItemData(row, 0, row);
                grid.SetItemData(row, 1, 0);
            }
        }
    }

    HWND Item(int id) const { return ::GetDlgItem(bar.m_hWnd, id); }
    void Click(int id) { ::SendMessageW(Item(id), BM_CLICK, 0, 0); }
    std::wstring Text(int id) const
    {
        wchar_t text[256] = {};
        ::GetWindowTextW(Item(id), text, 256);
        return text;
    }
    void Search(const wchar_t* column, const wchar_t* text)
    {
        ::SetWindowTextW(Item(kSearchColumn), column);
        ::SetWindowTextW(Item(kSearchText), text);
        Click(kSearchColumn);
    }
    // Rows whose every cell is yellow; fails the test when a row is only partly marked.
    std::vector<int> MarkedRows() const
    {
        std::vector<int> marked;
        for (int row = 0; row < grid.GetRowCount(); ++row)
        {
            int yellow = 0;
            for (int col = 0; col < grid.GetColumnCount(); ++col)
                yellow += grid.GetCell(row, col)->GetBackClr() == kYellow ? 1 : 0;
            EXPECT_TRUE(yellow == 0 || yellow == grid.GetColumnCount()) << "row " << row;
            if (yellow)
                marked.push_back(row);
        }
        return marked;
    }

    TempFolder store;
    RecordsTestHost host;
    CWnd frame;
    CGridCtrl grid;
    RecordButtons bar{&host};
    std::vector<RecordedBox> boxes;
};

} // namespace

TEST_F(RecordButtonsTest, SearchMarksMatchingRowsYellowCaseSensitive)
{
    grid.SetSelectedRange(3, 0, 3, 3);
    Search(L"Name", L"  Müller ");
    EXPECT_EQ(std::vector<int>{1}, MarkedRows());
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(L"Found 1 record(s)", boxes[0].text);
    EXPECT_EQ(L"Formstead", boxes[0].caption);
    EXPECT_EQ(0, grid.GetSelectedCount());

    // A lower-case search does not find the capitalised name; the earlier marks go.
    Search(L"Name", L"müller");
    EXPECT_EQ(std::vector<int>{2}, MarkedRows());
    Search(L"Phone", L"555-01");
    EXPECT_EQ((std::vector<int>{1, 2, 3}), MarkedRows());
    EXPECT_EQ(L"Found 3 record(s)", boxes.back().text);
}

TEST_F(RecordButtonsTest, SearchComparesTextsBeyondTheAnsiCodePage)
{
    // As ANSI both "日本" and "Ελλάδα" become question marks and would match each other.
    Search(L"City", L"日本");
    EXPECT_EQ(std::vector<int>{1}, MarkedRows());
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(L"Found 1 record(s)", boxes[0].text);
    Search(L"City", L"λά");
    EXPECT_EQ(std::vector<int>{2}, MarkedRows());
}

TEST_F(RecordButtonsTest, NothingFoundBlankTextAndUnknownColumn)
{
    // The template's own caption names no column here.
    EXPECT_EQ(L"Name|DT", Text(kSearchColumn));
    ::SetWindowTextW(Item(kSearchText), L"Jones");
    Click(kSearchColumn);
    EXPECT_TRUE(MarkedRows().empty());
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(L"No records found", boxes[0].text);
    EXPECT_EQ(L"Formstead", boxes[0].caption);

    Search(L"Name", L"Smith");
    EXPECT_TRUE(MarkedRows().empty());
    EXPECT_EQ(L"No records found", boxes.back().text);

    // Blanks only: asks for a text and leaves the marks of the last search alone.
    Search(L"Name", L"Jones");
    EXPECT_EQ(std::vector<int>{3}, MarkedRows());
    const size_t before = boxes.size();
    Search(L"Name", L" \t  ");
    ASSERT_EQ(before + 1, boxes.size());
    EXPECT_EQ(L"Please, input a search text", boxes.back().text);
    EXPECT_EQ(L"Formstead", boxes.back().caption);
    EXPECT_EQ(std::vector<int>{3}, MarkedRows());
}

TEST_F(RecordButtonsTest, ColumnMenuChoosesAHeadingAndCancelKeepsTheCaption)
{
    // Key messages queued before the click are read by the menu's own loop, as the user's keys are.
    const HWND frameWindow = frame.GetSafeHwnd();
    for (UINT key : {VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN})
        ASSERT_TRUE(::PostMessageW(frameWindow, WM_KEYDOWN, key, 0));
    Click(kColumnMenuButton);
    EXPECT_EQ(L"City", Text(kSearchColumn));

    ASSERT_TRUE(::PostMessageW(frameWindow, WM_KEYDOWN, VK_ESCAPE, 0));
    Click(kColumnMenuButton);
    EXPECT_EQ(L"City", Text(kSearchColumn));
    // The menu's own loop used up the keys.
    MSG left;
    EXPECT_FALSE(::PeekMessageW(&left, frameWindow, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE));
}

TEST_F(RecordButtonsTest, FrozenCountIsKeptWithinTheColumns)
{
    EXPECT_EQ(L"1", Text(kFrozenCount));
    ::SetWindowTextW(Item(kFrozenCount), L"2");
    EXPECT_EQ(2, grid.GetFixedColumnCount());
    ::SetWindowTextW(Item(kFrozenCount), L"0");
    EXPECT_EQ(L"1", Text(kFrozenCount));
    EXPECT_EQ(1, grid.GetFixedColumnCount());
    ::SetWindowTextW(Item(kFrozenCount), L"99");
    EXPECT_EQ(L"4", Text(kFrozenCount));
    EXPECT_EQ(4, grid.GetFixedColumnCount());

    // While the bar is hidden (another page is shown) the count is not applied.
    bar.ShowWindow(SW_HIDE);
    ::SetWindowTextW(Item(kFrozenCount), L"2");
    EXPECT_EQ(4, grid.GetFixedColumnCount());
}

TEST_F(RecordButtonsTest, DeleteWithoutSelectionAsksForOne)
{
    const RegistrationResult made =
        CreateFormDatabase(store.File(L"claim.gdb"), "Namejjjj1jName|Cityjjjj2jCity|Phonejjjj3jPhone", "CMS-1500");
    ASSERT_TRUE(made.ok) << made.message;
    Click(kDelete);
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(L"Please, select a record to delete", boxes[0].text);
    EXPECT_EQ(L"Formstead", boxes[0].caption);
    EXPECT_EQ(4, grid.GetRowCount());
}

TEST_F(RecordButtonsTest, DeleteRemovesTheSelectedRecordWhateverTheColumnOrder)
{
    ASSERT_TRUE(CreateFormDatabase(store.File(L"claim.gdb"), "Namejjjj1jName|Cityjjjj2jCity|Phonejjjj3jPhone", "CMS-1500").ok);
    Database db;
    ASSERT_TRUE(db.Open(store.File(L"claim.gdb").c_str()));
    std::vector<int> ids;
    for (const char* name : {"Keep", "Drop", "Also kept"})
    {
        ASSERT_TRUE(db.Execute((std::string("INSERT INTO submissions (Name) VALUES ('") + name + "')").c_str()));
        ids.push_back(static_cast<int>(sqlite3_last_insert_rowid(db.Handle())));
    }
    for (int row = 1; row <= 3; ++row)
        grid.SetItemData(row, 0, ids[row - 1]);
    // "Phone" dragged to the front of the field columns: the kind is no longer shown in column 1.
    DWORD* layout = nullptr;
    ASSERT_EQ(10, grid.SaveColumnLayout(&layout));
    std::swap(layout[3], layout[5]);
    grid.RestoreColumnLayout(layout);
    delete[] layout;

    grid.SetSelectedRange(2, 1, 2, 3);
    Click(kDelete);
    EXPECT_TRUE(boxes.empty());
    ASSERT_EQ(3, grid.GetRowCount());
    EXPECT_EQ(L"Jones", std::wstring(grid.GetItemText(2, 3).GetString()));

    Statement names;
    ASSERT_TRUE(names.Prepare(db, "SELECT Name FROM submissions ORDER BY _ROWID_"));
    std::vector<std::string> left;
    while (names.Step() == StepResult::Row)
        left.push_back(names.ColumnText(0));
    EXPECT_EQ((std::vector<std::string>{"Keep", "Also kept"}), left);
}
