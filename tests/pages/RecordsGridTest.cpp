// The records grid on a real window over a real form database: filling (templates first, each row's
// record), the first column's order on a header click, deleting selected rows (adjacent rows, after a
// column moved, a failing delete, a locked file), the frozen count and the column order written back.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include "formdb/Database.h"
#include "formdb/DatabaseStatement.h"
#include "formdb/FormDatabase.h"
#include "grid/GridCtrl.h"
#include "pages/RecordsGrid.h"
#include "tests/pages/GridWindow.h"
#include "tests/pages/FormPageFixture.h"
#include "tests/pages/TextInk.h"
#include "tests/support/TempFolder.h"

namespace {

class GridHost : public TestHost
{
public:
    void ShowFormPage() override { ++formPageAsked; }
    int formPageAsked = 0;
};

// "NameSuffix" is listed first and holds "Name" right after its "j": only whole names may match.
const char kFieldList[] = "SUFjjjj3jNameSuffix|PATjjjj2jName|FIRSTjjjj1jFirstName";

struct RecordsGrid : ::testing::Test, GridWindow
{
    TempFolder store;
    GridHost host;
    std::vector<RecordedBox> boxes;

    std::wstring Path() const { return store.File(L"claim.gdb"); }

    void SetUp() override
    {
        AfxSetMessageBoxSink([this](HWND, const CString& text, const CString& caption, UINT) {
            boxes.push_back({text.GetString(), caption.GetString()});
            return IDOK;
        });
        host.storeFolder = store.Path().c_str();
        host.formName = L"claim";
        ASSERT_TRUE(CreateFormDatabase(Path(), kFieldList, "CMS-1500").ok);
        CreateGridWindow(L"records grid test");
    }
    void TearDown() override
    {
        DestroyGridWindow();
        AfxSetMessageBoxSink(nullptr);
    }
    void Exec(const char* sql)
    {
        Database db;
        ASSERT_TRUE(db.Open(Path().c_str())) << db.ErrorText();
        ASSERT_TRUE(db.Execute(sql)) << db.ErrorText();
    }
    std::string One(const char* sql)
    {
        Database db;
        EXPECT_TRUE(db.Open(Path().c_str())) << db.ErrorText();
        Statement query;
        EXPECT_TRUE(query.Prepare(db, sql)) << query.ErrorText();
        return query.Step() == StepResult::Row ? std::string(query.ColumnText(0)) : std::string();
    }
    // Three records and a template; the list shows FirstName, Name, NameSuffix.
    void FillFour()
    {
        Exec("INSERT INTO submissions ([FirstName],[Name],submdate) VALUES ('Ann','Jones','12/31/2025');"
             "INSERT INTO submissions ([FirstName],[Name],submdate) VALUES ('Bob','Brown','01/02/2026');"
             "INSERT INTO submissions ([FirstName],[Name],submdate) VALUES ('Cy','Adams','3/4/2025');"
             "INSERT INTO templates ([FirstName],[Name],RSRV_TEMPLATE_NAME) VALUES ('','Acme','Acme default');");
        ASSERT_EQ(0, LoadRecordGrids(grid, host));
    }
    std::vector<std::wstring> Column(int column)
    {
        std::vector<std::wstring> texts;
        for (int row = 1; row < grid.GetRowCount(); ++row)
            texts.push_back(grid.GetItemText(row, column).GetString());
        return texts;
    }
    std::string Records(int row)
    {
        RecordKey key;
        if (!GetRowRecord(grid, row, key))
            return "none";
        return (key.isTemplate ? "t" : "r") + std::to_string(key.id);
    }
    std::vector<std::string> AllRecords()
    {
        std::vector<std::string> keys;
        for (int row = 1; row < grid.GetRowCount(); ++row)
            keys.push_back(Records(row));
        return keys;
    }
    void SelectRows(int first, int last)
    {
        grid.SetSelectedRange(first, 0, last, grid.GetColumnCount() - 1, TRUE);
    }
    // Moves displayed columns as a header drag does: only the column order changes.
    void ShowStoredColumnsInOrder(const std::vector<DWORD>& order)
    {
        DWORD* layout = nullptr;
        const int words = grid.SaveColumnLayout(&layout);
        ASSERT_EQ(static_cast<int>(2 + 2 * order.size()), words);
        for (size_t i = 0; i < order.size(); ++i)
            layout[2 + i] = order[i];
        grid.RestoreColumnLayout(layout);
        delete[] layout;
    }
    void ClickHeader(int column)
    {
        CRect cell;
        ASSERT_TRUE(grid.GetCellRect(0, column, &cell));
        const LPARAM at = MAKELPARAM(cell.CenterPoint().x, cell.CenterPoint().y);
        grid.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, at);
        grid.SendMessage(WM_LBUTTONUP, 0, at);
    }
};

} // namespace

TEST_F(RecordsGrid, FillsTemplatesFirstAndEachRowKnowsItsRecord)
{
    Exec("UPDATE FormInfo SET frozen = '2'");
    FillFour();
    ASSERT_EQ(4, grid.GetColumnCount());
    EXPECT_EQ(L"Templates / Records", std::wstring(grid.GetItemText(0, 0).GetString()));
    EXPECT_EQ(L"FirstName", std::wstring(grid.GetItemText(0, 1).GetString()));
    EXPECT_EQ(L"Name", std::wstring(grid.GetItemText(0, 2).GetString()));
    EXPECT_EQ(L"NameSuffix", std::wstring(grid.GetItemText(0, 3).GetString()));
    EXPECT_EQ((std::vector<std::wstring>{L"Acme default", L"12/31/2025", L"01/02/2026", L"3/4/2025"}), Column(0));
    EXPECT_EQ((std::vector<std::wstring>{L"Acme", L"Jones", L"Brown", L"Adams"}), Column(2));
    EXPECT_EQ((std::vector<std::string>{"t1", "r1", "r2", "r3"}), AllRecords());
    EXPECT_EQ(2, grid.GetFixedColumnCount());
    EXPECT_EQ(1, grid.GetFixedRowCount());
    EXPECT_EQ(3, FindRowByRecord(0, 2, grid));
    EXPECT_EQ(1, FindRowByRecord(1, 1, grid));
    EXPECT_EQ(-1, FindRowByRecord(1, 2, grid));
    EXPECT_EQ("none", Records(0));
    EXPECT_TRUE(boxes.empty());
}

TEST_F(RecordsGrid, AFieldNameWithACommaIsOneColumnWithItsValues)
{
    const std::wstring other = store.File(L"comma.gdb");
    host.formName = L"comma";
    ASSERT_TRUE(CreateFormDatabase(other, "NMjjjj1jLast, First|AMTjjjj2jAmount", "CMS-1500").ok);
    Database db;
    ASSERT_TRUE(db.Open(other.c_str()));
    ASSERT_TRUE(db.Execute("INSERT INTO submissions ([Last, First],[Amount],submdate) VALUES ('Jones, Ann','12.50',"
                           "'1/2/2026')"));
    db.Close();
    ASSERT_EQ(0, LoadRecordGrids(grid, host));
    ASSERT_EQ(3, grid.GetColumnCount());
    EXPECT_EQ(L"Last, First", std::wstring(grid.GetItemText(0, 1).GetString()));
    EXPECT_EQ(L"Amount", std::wstring(grid.GetItemText(0, 2).GetString()));
    EXPECT_EQ((std::vector<std::wstring>{L"Jones, Ann"}), Column(1));
    EXPECT_EQ((std::vector<std::wstring>{L"12.50"}), Column(2));
    EXPECT_TRUE(boxes.empty());
}

TEST_F(RecordsGrid, AnUnregisteredFormAsksForTheFormPage)
{
    Exec("DROP TABLE FormInfo");
    EXPECT_EQ(1, LoadRecordGrids(grid, host));
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(L"Form is not registered correctly please check if it is valid for use in this application", boxes[0].text);
    EXPECT_EQ(L"Vantorels", boxes[0].caption);
    EXPECT_EQ(1, host.formPageAsked);
}

TEST_F(RecordsGrid, FrozenCountIsAtLeastOneAndAtMostTheColumns)
{
    Exec("UPDATE FormInfo SET frozen = '0'");
    FillFour();
    EXPECT_EQ(1, grid.GetFixedColumnCount());
    Exec("UPDATE FormInfo SET frozen = '99'");
    ASSERT_EQ(0, GetFrozenColumns(grid, host));
    EXPECT_EQ(4, grid.GetFixedColumnCount());
    EXPECT_EQ(4, grid.GetColumnCount());
    // Every column frozen: there is no first non-fixed column, so no row counts as selected.
    SelectRows(1, 1);
    EXPECT_EQ(-1, GetFirstSelectedRow(&grid));
    EXPECT_EQ(-1, GetFirstSelectedRow(nullptr));

    grid.SetFixedColumnCount(3);
    ASSERT_EQ(0, SetFrozenColumns(grid, host));
    EXPECT_EQ("3", One("SELECT frozen FROM FormInfo"));
}

TEST_F(RecordsGrid, DatesSortChronologicallyWhateverTheLocale)
{
    FillFour();
    const LCID saved = GetThreadLocale();
    SetThreadLocale(MAKELCID(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_UK), SORT_DEFAULT)); // day/month/year
    ClickHeader(0);   // the first click sorts descending: templates, then the latest record first
    EXPECT_EQ((std::vector<std::wstring>{L"Acme default", L"01/02/2026", L"12/31/2025", L"3/4/2025"}), Column(0));
    ClickHeader(0);
    EXPECT_EQ((std::vector<std::wstring>{L"3/4/2025", L"12/31/2025", L"01/02/2026", L"Acme default"}), Column(0));
    EXPECT_EQ((std::vector<std::string>{"r3", "r1", "r2", "t1"}), AllRecords());
    SetThreadLocale(saved);

    // Another column sorts by text in one pass.
    ClickHeader(2);
    EXPECT_EQ((std::vector<std::wstring>{L"Jones", L"Brown", L"Adams", L"Acme"}), Column(2));
    EXPECT_EQ((std::vector<std::string>{"r1", "r2", "r3", "t1"}), AllRecords());
}

TEST_F(RecordsGrid, ComparingTwoCellsLeavesTheRowsWhereTheyAre)
{
    FillFour();
    const std::vector<std::wstring> before = Column(2);
    CCellID clicked(0, 2);
    const int order = CompareRecordCells(reinterpret_cast<LPARAM>(grid.GetCell(2, 2)),
                                         reinterpret_cast<LPARAM>(grid.GetCell(3, 2)), reinterpret_cast<LPARAM>(&clicked));
    EXPECT_EQ(1, order);   // "Jones" after "Brown"
    EXPECT_EQ(before, Column(2));

    CCellID first(0, 0);
    const auto compare0 = [&](int row1, int row2) {
        return CompareRecordCells(reinterpret_cast<LPARAM>(grid.GetCell(row1, 0)),
                                  reinterpret_cast<LPARAM>(grid.GetCell(row2, 0)), reinterpret_cast<LPARAM>(&first));
    };
    EXPECT_EQ(1, compare0(1, 2));   // a template after a record
    EXPECT_EQ(-1, compare0(2, 3));  // 12/31/2025 before 01/02/2026
    EXPECT_EQ(1, compare0(2, 4));   // 12/31/2025 after 3/4/2025
    EXPECT_EQ(0, compare0(2, 2));
}

TEST(RecordDates, MonthDayYearWithAnOptionalTime)
{
    long long a = 0, b = 0;
    ASSERT_TRUE(ParseMonthDayYear(L"12/31/2025", &a));
    ASSERT_TRUE(ParseMonthDayYear(L"1/1/2026", &b));
    EXPECT_EQ(86400, b - a);
    ASSERT_TRUE(ParseMonthDayYear(L"2/29/2024", &a));
    ASSERT_TRUE(ParseMonthDayYear(L"3/1/2024", &b));
    EXPECT_EQ(86400, b - a);
    ASSERT_TRUE(ParseMonthDayYear(L" 3/1/2024 1:30 PM ", &b));
    ASSERT_TRUE(ParseMonthDayYear(L"3/1/2024 13:30:00", &a));
    EXPECT_EQ(a, b);
    ASSERT_TRUE(ParseMonthDayYear(L"03-01-24", &a));
    ASSERT_TRUE(ParseMonthDayYear(L"3/1/2024", &b));
    EXPECT_EQ(a, b);
    for (const wchar_t* text : {L"31/12/2025", L"2/29/2025", L"13/1/2025", L"0/1/2025", L"1/1/202", L"Acme",
                                L"", L"1/1/2025 25:00", L"1/1/2025x", L"1/1-2025"})
        EXPECT_FALSE(ParseMonthDayYear(text, &a)) << std::string(text, text + wcslen(text));
}

TEST_F(RecordsGrid, DeletesThreeAdjacentSelectedRows)
{
    Exec("INSERT INTO submissions ([Name],submdate) VALUES ('Last','5/5/2025')");
    FillFour();
    ASSERT_EQ((std::vector<std::string>{"t1", "r1", "r2", "r3", "r4"}), AllRecords());
    SelectRows(2, 4);
    EXPECT_EQ(2, GetFirstSelectedRow(&grid));
    EXPECT_EQ(0, DeleteSelectedRows(grid, host));
    EXPECT_EQ((std::vector<std::string>{"t1", "r4"}), AllRecords());
    EXPECT_EQ("4", One("SELECT group_concat(_ROWID_) FROM submissions"));
    EXPECT_EQ("1", One("SELECT count(*) FROM templates"));
    EXPECT_TRUE(boxes.empty());

    grid.SetSelectedRange(-1, -1, -1, -1);
    EXPECT_EQ(1, DeleteSelectedRows(grid, host));
}

TEST_F(RecordsGrid, AfterAColumnMovedTheSelectedRowsAreStillTheOnesDeleted)
{
    FillFour();
    // Template 1 and record 1 share a row id; the kind decides which table loses it.
    ShowStoredColumnsInOrder({0, 2, 1, 3});
    EXPECT_EQ(L"Name", std::wstring(grid.GetItemText(0, 1).GetString()));
    EXPECT_EQ((std::vector<std::string>{"t1", "r1", "r2", "r3"}), AllRecords());
    SelectRows(1, 1);
    EXPECT_EQ(0, DeleteSelectedRows(grid, host));
    EXPECT_EQ("0", One("SELECT count(*) FROM templates"));
    EXPECT_EQ("1,2,3", One("SELECT group_concat(_ROWID_) FROM submissions"));
    EXPECT_EQ((std::vector<std::string>{"r1", "r2", "r3"}), AllRecords());
}

TEST_F(RecordsGrid, AFailingDeleteKeepsTheListAndTheFileInStep)
{
    FillFour();
    host.recordId = 1;
    host.templateFlag = 0;
    Exec("CREATE TRIGGER keep_brown BEFORE DELETE ON submissions WHEN old.[Name]='Brown' "
         "BEGIN SELECT RAISE(ABORT, 'Brown stays'); END;");
    SelectRows(2, 4);
    EXPECT_EQ(2, DeleteSelectedRows(grid, host));
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(L"SQL error: Brown stays\nDeleted before the failure: 1 of 3.", boxes[0].text);
    EXPECT_EQ(L"db", boxes[0].caption);
    EXPECT_EQ((std::vector<std::string>{"t1", "r2", "r3"}), AllRecords());
    EXPECT_EQ("2,3", One("SELECT group_concat(_ROWID_) FROM submissions"));
    EXPECT_EQ(-1, host.recordId);   // the current record is gone
}

TEST_F(RecordsGrid, ALockedFileDeletesNothingAndSaysWhy)
{
    FillFour();
    sqlite3* other = nullptr;
    const std::wstring path = Path();
    ASSERT_EQ(SQLITE_OK, sqlite3_open_v2(std::string(path.begin(), path.end()).c_str(), &other, SQLITE_OPEN_READWRITE, nullptr));
    ASSERT_EQ(SQLITE_OK, sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr));
    SelectRows(1, 2);
    EXPECT_EQ(2, DeleteSelectedRows(grid, host));
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(L"Can't open database: database is locked\n", boxes[0].text);
    EXPECT_EQ((std::vector<std::string>{"t1", "r1", "r2", "r3"}), AllRecords());
    EXPECT_EQ("3", One("SELECT count(*) FROM submissions"));
    EXPECT_EQ("1", One("SELECT count(*) FROM templates"));
}

TEST_F(RecordsGrid, ColumnOrderIsWrittenByWholeNames)
{
    FillFour();
    // Shown: Name, FirstName, NameSuffix.
    ShowStoredColumnsInOrder({0, 2, 1, 3});
    EXPECT_EQ(0, UpdateFormColumns(grid, 1, host));
    EXPECT_EQ("SUFjjjj3jNameSuffix|PATjjjj1jName|FIRSTjjjj2jFirstName", One("SELECT formcolumns FROM FormInfo"));

    // The next fill shows the stored order.
    grid.DeleteAllItems();
    ASSERT_EQ(0, LoadRecordGrids(grid, host));
    EXPECT_EQ(L"Name", std::wstring(grid.GetItemText(0, 1).GetString()));
    EXPECT_EQ(L"FirstName", std::wstring(grid.GetItemText(0, 2).GetString()));

    // A heading that is no field of the list writes nothing.
    grid.SetItemText(0, 2, L"First");
    EXPECT_EQ(1, UpdateFormColumns(grid, 1, host));
    EXPECT_EQ("SUFjjjj3jNameSuffix|PATjjjj1jName|FIRSTjjjj2jFirstName", One("SELECT formcolumns FROM FormInfo"));
}

TEST_F(RecordsGrid, EscapeMarksAreClearedAndStatementsRunOnTheForm)
{
    FillFour();
    grid.SetItemBkColour(2, 1, RGB(255, 255, 0));
    grid.SetItemBkColour(3, 3, RGB(255, 255, 0));
    ClearGridHighlight(&grid);
    ClearGridHighlight(nullptr);
    for (int row = 0; row < grid.GetRowCount(); ++row)
        for (int column = 0; column < grid.GetColumnCount(); ++column)
            EXPECT_EQ(CLR_DEFAULT, grid.GetCell(row, column)->GetBackClr()) << row << "," << column;

    EXPECT_EQ(0, ExecuteSqlWithText(host, "UPDATE FormInfo SET zoomfactor = ?", L"3,4'; --"));
    EXPECT_EQ("3,4'; --", One("SELECT zoomfactor FROM FormInfo"));
    EXPECT_EQ(0, ExecuteSql(host, "UPDATE FormInfo SET formtype = 'x'"));
    EXPECT_EQ("x", One("SELECT formtype FROM FormInfo"));
    EXPECT_EQ(2, ExecuteSql(host, "UPDATE NoTable SET a = 1"));
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(L"no such table: NoTable", boxes[0].text);
    EXPECT_EQ(0, DeleteSubmission(host, 2));
    EXPECT_EQ("1,3", One("SELECT group_concat(_ROWID_) FROM submissions"));
}

TEST_F(RecordsGrid, AFrozenCountThatCannotBeReadLeavesTheFillComplete)
{
    FillFour();
    Exec("ALTER TABLE FormInfo RENAME COLUMN frozen TO frozen_elsewhere");
    grid.DeleteAllItems();
    bool frozenRead = true;
    EXPECT_EQ(0, LoadRecordGrids(grid, host, &frozenRead));
    EXPECT_FALSE(frozenRead);
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(L"prepare failure", boxes[0].text);
    EXPECT_EQ(L"db", boxes[0].caption);
    EXPECT_EQ((std::vector<std::string>{"t1", "r1", "r2", "r3"}), AllRecords());
}

TEST_F(RecordsGrid, HeadingsAndValuesAreDrawnWholeInTheGridFont)
{
    // The claim form's own field names: their underscores are the lowest pixels of the text.
    const std::wstring heading = L"_1_MEDICARE----0-_1_MEDICARE";
    const std::wstring value = L"gjpq_\u00c9\u00c5 M\u00fcller";
    ASSERT_TRUE(::DeleteFileW(Path().c_str()));
    ASSERT_TRUE(CreateFormDatabase(Path(), "MEDjjjj1j_1_MEDICARE----0-_1_MEDICARE|PATjjjj2jName", "CMS-1500").ok);
    Exec("INSERT INTO submissions ([_1_MEDICARE----0-_1_MEDICARE],[Name],submdate) "
         "VALUES ('gjpq_\xc3\x89\xc3\x85 M\xc3\xbcller','Jones','12/31/2025')");
    ASSERT_EQ(0, LoadRecordGrids(grid, host));
    ASSERT_EQ(heading, std::wstring(grid.GetItemText(0, 1).GetString()));
    ASSERT_EQ(value, std::wstring(grid.GetItemText(1, 1).GetString()));
    grid.AutoSizeColumns(3);

    const HFONT font = reinterpret_cast<HFONT>(grid.SendMessage(WM_GETFONT));
    ASSERT_NE(nullptr, font);
    CRect headingCell, valueCell;
    ASSERT_TRUE(grid.GetCellRect(0, 1, &headingCell));
    ASSERT_TRUE(grid.GetCellRect(1, 1, &valueCell));
    // Inside the cells' edges (the header's dark edge line would pass for an underscore).
    headingCell.DeflateRect(1, 1);
    valueCell.DeflateRect(1, 1);
    EXPECT_TRUE(ContainsInk(GridInk(grid, headingCell), TextInk(font, heading)))
        << "header row " << grid.GetRowHeight(0) << " pixels high";
    EXPECT_TRUE(ContainsInk(GridInk(grid, valueCell), TextInk(font, value)))
        << "record row " << grid.GetRowHeight(1) << " pixels high";

    // An underscore alone: its pixels are all there, in the heading cell and nowhere cut.
    grid.SetItemText(0, 2, L"_");
    CRect underscoreCell;
    ASSERT_TRUE(grid.GetCellRect(0, 2, &underscoreCell));
    underscoreCell.DeflateRect(1, 1);
    const InkPicture underscore = TextInk(font, L"_");
    ASSERT_GT(underscore.Count(), 0);
    EXPECT_TRUE(ContainsInk(GridInk(grid, underscoreCell), underscore));
}
