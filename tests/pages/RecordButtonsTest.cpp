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
#include "tests/pages/DialogDriver.h"
#include "tests/pages/RecordsTestHost.h"
#include "tests/pages/TextInk.h"
#include "tests/support/TempFolder.h"

namespace {

const int kSearchText = 1008;
const int kSearchColumn = 1009;
const int kColumnMenuButton = 1034;
const int kFrozenCount = 1010;
const int kFrozenSpin = 1032;
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
    // Key presses as the keyboard sends them to the focused window; the pump's translation makes the
    // characters.
    void Press(UINT key)
    {
        const HWND focus = ::GetFocus();
        const LPARAM scan = static_cast<LPARAM>(::MapVirtualKeyW(key, MAPVK_VK_TO_VSC)) << 16;
        ::PostMessageW(focus, WM_KEYDOWN, key, 1 | scan);
        ::PostMessageW(focus, WM_KEYUP, key, 1 | scan | (1u << 30) | (1u << 31));
        DrainMessages();
    }
    void Type(const wchar_t* keys)
    {
        for (const wchar_t* key = keys; *key; ++key)
            Press(static_cast<UINT>(*key));
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

TEST_F(RecordButtonsTest, FrozenCountTakesTwoDigitsFromTheKeyboard)
{
    Table wide(2, std::vector<std::wstring>(14));
    for (int col = 0; col < 14; ++col)
        wide[0][col] = L"F" + std::to_wstring(col);
    Fill(wide);
    ::SetFocus(Item(kFrozenCount));
    ASSERT_EQ(Item(kFrozenCount), ::GetFocus());

    // The digit deleted: the edit stays empty for the next one.
    Press(VK_END);
    Press(VK_BACK);
    EXPECT_EQ(L"", Text(kFrozenCount));
    EXPECT_EQ(1, grid.GetFixedColumnCount());
    Type(L"12");
    EXPECT_EQ(L"12", Text(kFrozenCount));
    EXPECT_EQ(12, grid.GetFixedColumnCount());
    // More than the grid's 14 columns is brought back to them.
    Press(VK_END);
    Press(VK_BACK);
    Type(L"9");
    EXPECT_EQ(L"14", Text(kFrozenCount));
    EXPECT_EQ(14, grid.GetFixedColumnCount());

    // Left empty, the edit shows the count the grid has once it loses the focus.
    ::SendMessageW(Item(kFrozenCount), EM_SETSEL, 0, -1);
    Press(VK_BACK);
    EXPECT_EQ(L"", Text(kFrozenCount));
    ::SetFocus(grid.GetSafeHwnd());
    EXPECT_EQ(L"1", Text(kFrozenCount));
    EXPECT_EQ(1, grid.GetFixedColumnCount());
}

TEST_F(RecordButtonsTest, FrozenCountIsReadableBesideItsSpin)
{
    const HWND edit = Item(kFrozenCount);
    RECT textArea = {};
    ::SendMessageW(edit, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&textArea));
    CRect onScreen(textArea);
    ::MapWindowPoints(edit, nullptr, reinterpret_cast<POINT*>(&onScreen), 2);
    CRect spinRect;
    ::GetWindowRect(Item(kFrozenSpin), &spinRect);
    CRect common;
    EXPECT_FALSE(common.IntersectRect(&onScreen, &spinRect)) << "the spin covers the count";

    // The edit's text area holds the spin's largest count in the edit's own font.
    HDC dc = ::GetDC(edit);
    const HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(edit, WM_GETFONT, 0, 0)));
    SIZE widest = {};
    ::GetTextExtentPoint32W(dc, L"256", 3, &widest);
    ::SelectObject(dc, old);
    ::ReleaseDC(edit, dc);
    EXPECT_GE(textArea.right - textArea.left, widest.cx);
}

TEST_F(RecordButtonsTest, ColumnButtonShowsTheStartOfALongHeading)
{
    const std::wstring heading = L"_1_MEDICARE----0-_1_MEDICARE";
    grid.SetItemText(0, 1, heading.c_str());
    // Shown again, the bar rebuilds its column menu from the headings.
    bar.ShowWindow(SW_HIDE);
    bar.ShowWindow(SW_SHOW);
    const HWND frameWindow = frame.GetSafeHwnd();
    for (UINT key : {VK_DOWN, VK_DOWN, VK_RETURN})
        ASSERT_TRUE(::PostMessageW(frameWindow, WM_KEYDOWN, key, 0));
    Click(kColumnMenuButton);
    ASSERT_EQ(heading, Text(kSearchColumn));

    const HWND button = Item(kSearchColumn);
    const HFONT font = reinterpret_cast<HFONT>(::SendMessageW(button, WM_GETFONT, 0, 0));
    EXPECT_TRUE(ContainsInk(ClientInk(button), TextInk(font, L"_1_MEDICARE")))
        << "the heading's start is not drawn whole";
    // The caption is still the whole heading, which the search looks for.
    Search(heading.c_str(), L"Müller");
    EXPECT_EQ(std::vector<int>{1}, MarkedRows());

    // A heading that fits is drawn whole.
    ::SetWindowTextW(button, L"City");
    EXPECT_TRUE(ContainsInk(ClientInk(button), TextInk(font, L"City")));
}
