// The records page in the whole program on the sample claim form: records saved through the form
// page's buttons and a template written with SQLite are listed (templates first), a double-click at a
// row opens it in the form, the frozen count and column order survive a restart, a failed fill
// writes nothing back, with no current record the form keeps what the user typed, and drags with the real
// mouse: a header dropped on another moves that column, a press dragged down the rows selects them and
// moves none, text dropped in from elsewhere is refused.
#include <gtest/gtest.h>

#include "RecordsProgram.h"
#include "tests/support/ScopedState.h"
#include "formdb/Database.h"
#include "formdb/DatabaseStatement.h"
#include "formdb/FormDatabase.h"
#include "grid/GridNotify.h"
#include "pages/FormPage.h"
#include "pages/RecordsGrid.h"
#include "pages/RecordsPage.h"
#include "tests/pages/DialogDriver.h"
#include "tests/pages/TextInk.h"
#include "tests/support/RealInput.h"
#include "viewer/ViewerTestControl.h"

TEST_F(RecordsProgram, SavedRecordsAreListedAndADoubleClickOpensOne)
{
    Start();
    SaveRecord(L"Jones");
    SaveRecord(L"Brown");
    SaveRecord(L"Adams");
    const std::string column = CStringA(Grid().GetItemText(0, 1)).GetString();
    const std::string insert = "INSERT INTO templates ([" + column + "], submdate, fxml, RSRV_TEMPLATE_NAME) "
                               "VALUES ('Acme', '1/1/2026', '', 'Acme default')";
    Exec(insert.c_str());

    // The list is filled anew each time it is shown: the template first, then the records.
    Steps().SetStep(0);
    PumpPending();
    Steps().SetStep(1);
    PumpPending();
    ASSERT_EQ(5, Grid().GetRowCount());
    EXPECT_EQ(L"Acme default", Column(0)[0]);
    // Whichever column the first edit fills holds the three values in the order saved.
    bool found = false;
    for (int c = 1; c < Grid().GetColumnCount() && !found; ++c)
    {
        const std::vector<std::wstring> texts = Column(c);
        found = texts[1] == L"Jones" && texts[2] == L"Brown" && texts[3] == L"Adams";
    }
    EXPECT_TRUE(found);
    EXPECT_TRUE(Page().GetDlgItem(1043)->IsWindowVisible());

    // The last record saved is current and selected.
    RecordKey key;
    ASSERT_TRUE(GetRowRecord(Grid(), GetFirstSelectedRow(&Grid()), key));
    EXPECT_EQ(run->View()->GetCurrentRecordId(), key.id);
    EXPECT_EQ(4, GetFirstSelectedRow(&Grid()));

    // A double-click on "Brown" opens it in the form.
    DoubleClickRow(3, 0);
    ASSERT_TRUE(PumpUntil([&] { return Steps().GetCurrentStep() == 0 && FormPage().IsWindowVisible(); }));
    EXPECT_FALSE(Page().IsWindowVisible());
    EXPECT_EQ(0, run->View()->GetTemplateFlag());
    ASSERT_TRUE(PumpUntil([&] { return !FormEdits().empty() && TextOf(FormEdits()[0]) == L"Brown"; }));
}

TEST_F(RecordsProgram, FrozenCountAndColumnOrderSurviveARestart)
{
    Start();
    Steps().SetStep(1);
    PumpPending();
    ASSERT_GE(Grid().GetColumnCount(), 4);
    const CString second = Grid().GetItemText(0, 2);
    const CString first = Grid().GetItemText(0, 1);
    // Columns 1 and 2 change places as a header drag would make them; two columns frozen.
    DWORD* layout = nullptr;
    const int words = Grid().SaveColumnLayout(&layout);
    ASSERT_GT(words, 6);
    std::swap(layout[3], layout[4]);
    Grid().RestoreColumnLayout(layout);
    delete[] layout;
    Grid().SetFixedColumnCount(2);
    run->Close();
    EXPECT_EQ("2", One("SELECT frozen FROM FormInfo"));
    run.reset();

    Start(true);
    Steps().SetStep(1);
    PumpPending();
    EXPECT_EQ(2, Grid().GetFixedColumnCount());
    EXPECT_EQ(second, Grid().GetItemText(0, 1));
    EXPECT_EQ(first, Grid().GetItemText(0, 2));
}

TEST_F(RecordsProgram, AFailedFillWritesNothingBack)
{
    Start();
    Exec("UPDATE FormInfo SET frozen = '3'");
    const std::string columns = One("SELECT formcolumns FROM FormInfo");
    Exec("ALTER TABLE templates RENAME TO templates_elsewhere");
    Steps().SetStep(1);
    PumpPending();
    ASSERT_FALSE(run->messages.empty());
    EXPECT_EQ(CString(L"prepare failure"), run->messages.back().text);
    EXPECT_FALSE(Page().HoldsCurrentForm());
    Steps().SetStep(0);
    PumpPending();
    EXPECT_EQ("3", One("SELECT frozen FROM FormInfo"));
    EXPECT_EQ(columns, One("SELECT formcolumns FROM FormInfo"));
}

TEST_F(RecordsProgram, WithNoCurrentRecordTheFormKeepsWhatWasTyped)
{
    Start();
    SaveRecord(L"Jones");
    run->View()->SetCurrentRecordId(-1);
    Steps().SetStep(0);
    PumpPending();
    SetWindowTextW(FormEdits()[0], L"typed but not saved");
    Steps().SetStep(1);
    PumpPending();
    EXPECT_EQ(1, GetFirstSelectedRow(&Grid()));   // row 1 is offered
    EXPECT_EQ(-1, run->View()->GetCurrentRecordId());
    viewer::TestControl().commands.clear();
    Steps().SetStep(0);
    PumpPending();
    for (const std::wstring& command : viewer::TestControl().commands)
        EXPECT_NE(0u, command.find(L"FieldSet|")) << "the form was overwritten";
    EXPECT_EQ(L"typed but not saved", TextOf(FormEdits()[0]));
}

// Drags on the records grid, with real mouse input and the system's drag and drop.
namespace
{
POINT CellCentre(CGridCtrl& grid, int row, int col)
{
    CRect cell;
    EXPECT_TRUE(grid.GetCellRect(row, col, &cell));
    return {cell.CenterPoint().x, cell.CenterPoint().y};
}

// The first column where some row holds the text.
int ColumnHolding(CGridCtrl& grid, const wchar_t* text)
{
    for (int col = 0; col < grid.GetColumnCount(); col++)
        for (int row = 1; row < grid.GetRowCount(); row++)
            if (grid.GetItemText(row, col) == text)
                return col;
    return -1;
}

// Every text of a column, the header's first.
std::vector<std::wstring> WholeColumn(CGridCtrl& grid, int col)
{
    std::vector<std::wstring> texts;
    for (int row = 0; row < grid.GetRowCount(); row++)
        texts.push_back(grid.GetItemText(row, col).GetString());
    return texts;
}

std::vector<int> SelectedRows(CGridCtrl& grid, int col)
{
    std::vector<int> rows;
    for (int row = 1; row < grid.GetRowCount(); row++)
        if (grid.IsCellSelected(row, col))
            rows.push_back(row);
    return rows;
}

int DropHighlighted(CGridCtrl& grid)
{
    int cells = 0;
    for (int row = 0; row < grid.GetRowCount(); row++)
        for (int col = 0; col < grid.GetColumnCount(); col++)
            if (grid.GetItemState(row, col) & GVIS_DROPHILITED)
                cells++;
    return cells;
}

POINT g_releaseAt;
bool g_released = false;

// Moves to g_releaseAt and releases the left button, once.
void CALLBACK ReleaseLeftButton(HWND, UINT, UINT_PTR, DWORD)
{
    if (g_released)
        return;
    g_released = true;
    ReleaseLeftButtonAt(g_releaseAt);
}
} // namespace

TEST_F(RecordsProgram, AHeaderDroppedOnAnotherHeaderMovesThatColumn)
{
    StartWithRecords({L"Adams", L"Baker"});
    const int first = Grid().GetFixedColumnCount();
    ASSERT_LT(first + 2, Grid().GetColumnCount());
    CRect client;
    Grid().GetClientRect(client);
    ASSERT_LT(CellCentre(Grid(), 0, first + 2).x, client.right) << "the target header is in view";
    std::vector<std::vector<std::wstring>> before;
    for (int col = 0; col < Grid().GetColumnCount(); col++)
        before.push_back(WholeColumn(Grid(), col));

    const POINT from = CellCentre(Grid(), 0, first), to = CellCentre(Grid(), 0, first + 2);
    ASSERT_TRUE(MouseDragThrough(Grid().GetSafeHwnd(), {from, {from.x + 8, from.y}, to}));
    PumpPending();

    // The press sorted the rows by the dragged column; row by row, the moved column's headers and values
    // now stand two places to the right and the two it passed one place to the left.
    EXPECT_EQ(before[first][0], WholeColumn(Grid(), first + 2)[0]);
    EXPECT_EQ(before[first + 1][0], WholeColumn(Grid(), first)[0]);
    EXPECT_EQ(before[first + 2][0], WholeColumn(Grid(), first + 1)[0]);
    for (int col = 0; col < first; col++)
        EXPECT_EQ(before[col][0], WholeColumn(Grid(), col)[0]) << "the frozen columns stay";
    const int names = ColumnHolding(Grid(), L"Adams");
    ASSERT_GE(names, 0);
    std::vector<std::wstring> sorted = WholeColumn(Grid(), names);
    EXPECT_TRUE((sorted[1] == L"Adams" && sorted[2] == L"Baker") || (sorted[1] == L"Baker" && sorted[2] == L"Adams"));
    EXPECT_EQ(0, DropHighlighted(Grid()));
    EXPECT_EQ(CGridCtrl::MOUSE_NOTHING, Grid().GetMouseMode());
}

TEST_F(RecordsProgram, ARowDraggedDownTheListSelectsTheRowsItPassesAndMovesNone)
{
    StartWithRecords({L"Adams", L"Baker", L"Clark", L"Dunn"});
    const int names = ColumnHolding(Grid(), L"Adams");
    ASSERT_GE(names, Grid().GetFixedColumnCount());
    const std::vector<std::wstring> before = WholeColumn(Grid(), names);
    // A press on a selected row changes nothing: start on a row that is not selected.
    const int start = Grid().IsCellSelected(1, names) ? 2 : 1;
    ASSERT_FALSE(Grid().IsCellSelected(start, names));

    // Whole rows are selected: the press may be on any column in view.
    const int col = Grid().GetFixedColumnCount();
    ASSERT_TRUE(MouseDragThrough(Grid().GetSafeHwnd(),
                                 {CellCentre(Grid(), start, col), CellCentre(Grid(), start + 1, col), CellCentre(Grid(), start + 2, col)}));
    PumpPending();

    EXPECT_EQ(before, WholeColumn(Grid(), names)) << "no row moved";
    EXPECT_EQ((std::vector<int>{start, start + 1, start + 2}), SelectedRows(Grid(), names));
    EXPECT_EQ((std::vector<int>{start, start + 1, start + 2}), SelectedRows(Grid(), Grid().GetColumnCount() - 1))
        << "whole rows";
    // The click made the first selected row the current record.
    RecordKey key;
    ASSERT_TRUE(GetRowRecord(Grid(), start, key));
    EXPECT_EQ(run->View()->GetCurrentRecordId(), key.id);
    EXPECT_EQ(0, DropHighlighted(Grid()));
}

TEST_F(RecordsProgram, TextDroppedOnARecordFromElsewhereIsRefused)
{
    StartWithRecords({L"Adams", L"Baker"});
    const int names = ColumnHolding(Grid(), L"Adams");
    ASSERT_GE(names, Grid().GetFixedColumnCount());
    const std::vector<std::wstring> before = WholeColumn(Grid(), names);
    const std::vector<int> selected = SelectedRows(Grid(), names);

    // Text another program drags over the second record: the button goes down there before the system's
    // drag loop starts, and the loop's first timer message releases it a little further on.
    const char text[] = "dropped";
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, sizeof text);
    ASSERT_NE(nullptr, memory);
    memcpy(::GlobalLock(memory), text, sizeof text);
    ::GlobalUnlock(memory);
    COleDataSource source;
    source.CacheGlobalData(CF_TEXT, memory);
    POINT over = CellCentre(Grid(), 2, Grid().GetFixedColumnCount());
    ::ClientToScreen(Grid().GetSafeHwnd(), &over);
    ::SetForegroundWindow(run->Frame()->GetSafeHwnd());
    ASSERT_TRUE(::SetCursorPos(over.x, over.y));
    PumpPending();
    ASSERT_EQ(Grid().GetSafeHwnd(), ::WindowFromPoint(over));
    ASSERT_TRUE(PressLeftButton(over));
    g_releaseAt = {over.x + 6, over.y};
    g_released = false;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 1, ReleaseLeftButton);
    const DROPEFFECT effect = source.DoDragDrop(DROPEFFECT_COPY | DROPEFFECT_MOVE);
    ::KillTimer(nullptr, timer);
    ASSERT_TRUE(g_released) << "the drag loop ended before its first timer message";
    PumpPending();

    // Refused: the source is not told to remove what it dragged, and nothing here changed.
    EXPECT_EQ(static_cast<DROPEFFECT>(DROPEFFECT_NONE), effect);
    EXPECT_EQ(before, WholeColumn(Grid(), names));
    EXPECT_EQ(selected, SelectedRows(Grid(), names));
    EXPECT_EQ(0, DropHighlighted(Grid()));
    EXPECT_EQ(CGridCtrl::MOUSE_NOTHING, Grid().GetMouseMode());
}

namespace
{
struct PlacedControl
{
    int id;
    CRect screen;
};

// The page's own visible controls (the record bar as one) with their screen rectangles; the grids
// and the tab strip under everything are left out.
std::vector<PlacedControl> PageControls(CPage2& page)
{
    std::vector<PlacedControl> controls;
    for (HWND child = ::GetWindow(page.m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
    {
        if (!::IsWindowVisible(child) || child == page.m_grid.m_hWnd || child == page.m_hiddenGrid.m_hWnd ||
            child == page.m_tabs.m_hWnd)
            continue;
        CRect rect;
        ::GetWindowRect(child, &rect);
        controls.push_back({::GetDlgCtrlID(child), rect});
    }
    return controls;
}
} // namespace

TEST_F(RecordsProgram, EveryPageControlIsWholeAndClearOfTheListAtEveryWidth)
{
    Start();
    Exec("INSERT INTO submissions (submdate, fxml) VALUES ('12/6/2026', '')");
    Steps().SetStep(1);
    PumpPending();
    ASSERT_EQ(2, Grid().GetRowCount());
    ASSERT_TRUE(Page().GetDlgItem(1043)->IsWindowVisible());

    for (int width : {1280, 1024, 850, 640})
    {
        SCOPED_TRACE("main window width " + std::to_string(width));
        run->Frame()->SetWindowPos(nullptr, 0, 0, width, 600, SWP_NOZORDER | SWP_NOACTIVATE);
        PumpPending();
        CRect page;
        Page().GetClientRect(&page);
        Page().ClientToScreen(&page);
        CRect grid;
        Grid().GetWindowRect(&grid);
        const std::vector<PlacedControl> controls = PageControls(Page());
        // The hint, the record bar, the two page buttons, the red button and its hint.
        ASSERT_EQ(6u, controls.size());
        for (size_t i = 0; i < controls.size(); ++i)
        {
            const CRect& one = controls[i].screen;
            EXPECT_GE(one.left, page.left) << "control " << controls[i].id;
            EXPECT_LE(one.right, page.right) << "control " << controls[i].id;
            EXPECT_GE(one.top, page.top) << "control " << controls[i].id;
            EXPECT_LE(one.bottom, page.bottom) << "control " << controls[i].id;
            CRect common;
            EXPECT_FALSE(common.IntersectRect(&one, &grid)) << "control " << controls[i].id << " under the list";
            for (size_t j = i + 1; j < controls.size(); ++j)
            {
                EXPECT_FALSE(common.IntersectRect(&one, &controls[j].screen))
                    << "controls " << controls[i].id << " and " << controls[j].id << " overlap";
            }
        }
        EXPECT_GT(grid.Height(), 100);
    }
}

TEST_F(RecordsProgram, ADoubleClickOnTheHeaderRowOpensTheFormPageButOneOnADividerSizesTheColumn)
{
    Start();
    SaveRecord(L"Jones");
    SaveRecord(L"Brown");
    const int current = run->View()->GetCurrentRecordId();
    ASSERT_GT(current, 0);

    // A double-click on a column's divider in the header sizes the column and stays on the page.
    const int widthBefore = Grid().GetColumnWidth(1);
    CRect heading;
    ASSERT_TRUE(Grid().GetCellRect(0, 1, &heading));
    const LPARAM divider = MAKELPARAM(heading.right, heading.CenterPoint().y);
    const HWND grid = Grid().GetSafeHwnd();
    for (UINT message : {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_MOUSEMOVE, WM_LBUTTONDBLCLK, WM_LBUTTONUP})
        ::PostMessageW(grid, message, message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK ? MK_LBUTTON : 0,
                       divider);
    PumpPending();
    EXPECT_NE(widthBefore, Grid().GetColumnWidth(1));
    EXPECT_EQ(1, Steps().GetCurrentStep());
    EXPECT_TRUE(Page().IsWindowVisible());

    // The header row picks no record (its click sorts the list), but the form page opens.
    DoubleClickRow(0, 1);
    ASSERT_TRUE(PumpUntil([&] { return Steps().GetCurrentStep() == 0 && FormPage().IsWindowVisible(); }));
    EXPECT_EQ(current, run->View()->GetCurrentRecordId());
    EXPECT_EQ(0, run->View()->GetTemplateFlag());
    ASSERT_TRUE(PumpUntil([&] { return !FormEdits().empty() && TextOf(FormEdits()[0]) == L"Brown"; }));
}

TEST_F(RecordsProgram, AFrozenCountThatCannotBeReadIsNotOverwrittenButTheColumnOrderIsKept)
{
    Start();
    SaveRecord(L"Jones");
    Steps().SetStep(0);
    PumpPending();
    Exec("ALTER TABLE FormInfo RENAME COLUMN frozen TO frozen_kept");
    Exec("UPDATE FormInfo SET frozen_kept = '3'");
    const size_t before = run->messages.size();
    Steps().SetStep(1);
    PumpPending();
    ASSERT_EQ(before + 1, run->messages.size());
    EXPECT_EQ(CString(L"prepare failure"), run->messages.back().text);
    EXPECT_EQ(CString(L"db"), run->messages.back().caption);
    // Every row is in: the list counts as this form's.
    ASSERT_EQ(2, Grid().GetRowCount());
    EXPECT_TRUE(Page().HoldsCurrentForm());

    const std::string first = CStringA(Grid().GetItemText(0, 1)).GetString();
    const std::string second = CStringA(Grid().GetItemText(0, 2)).GetString();
    DWORD* layout = nullptr;
    ASSERT_GT(Grid().SaveColumnLayout(&layout), 6);
    std::swap(layout[3], layout[4]);
    Grid().RestoreColumnLayout(layout);
    delete[] layout;
    Steps().SetStep(0);
    PumpPending();
    // Hiding wrote the column order without a word and left the stored count alone.
    EXPECT_EQ(before + 1, run->messages.size());
    EXPECT_EQ("3", One("SELECT frozen_kept FROM FormInfo"));
    const std::string columns = One("SELECT formcolumns FROM FormInfo");
    EXPECT_NE(std::string::npos, columns.find("jjjj1j" + second)) << columns.substr(0, 300);
    EXPECT_NE(std::string::npos, columns.find("jjjj2j" + first)) << columns.substr(0, 300);
}

TEST_F(RecordsProgram, ValuesBeyondTheAnsiCodePageAreStoredAndShownWhole)
{
    const std::wstring value = L"M\u00fcller \u65e5\u672c";
    Start();
    SaveRecord(value.c_str());
    ASSERT_EQ(2, Grid().GetRowCount());
    int column = -1;
    for (int c = 1; c < Grid().GetColumnCount() && column < 0; ++c)
        if (value == Grid().GetItemText(1, c).GetString())
            column = c;
    ASSERT_GE(column, 1) << "the value is not in the list";

    // Stored as UTF-8 under the field's name.
    const std::string name = CStringA(Grid().GetItemText(0, column)).GetString();
    EXPECT_EQ("M\xc3\xbcller \xe6\x97\xa5\xe6\x9c\xac", One(("SELECT [" + name + "] FROM submissions").c_str()));

    // Drawn in its cell as GDI draws it in the list's font (unselected: dark text on white).
    Grid().SetSelectedRange(-1, -1, -1, -1, TRUE);
    Grid().EnsureVisible(1, column);
    CRect cell;
    ASSERT_TRUE(Grid().GetCellRect(1, column, &cell));
    cell.DeflateRect(1, 1);
    const HFONT font = reinterpret_cast<HFONT>(Grid().SendMessage(WM_GETFONT));
    EXPECT_TRUE(ContainsInk(GridInk(Grid(), cell), TextInk(font, value)));
}

namespace
{
// Form XML whose patient name the clearinghouse page shows on its ninth line from the second column.
std::string PatientXml(const std::string& name)
{
    const std::string field = "_2_PATIENT_S_NAME_Last_First_Middle_Initial----8-_2_PATIENT_S_NAME_Last_First_Middle_Initial";
    return "<fields><topmostSubform><" + field + ">" + name + "</" + field + "></topmostSubform></fields>";
}

void ClickCell(CGridCtrl& grid, int row, int column, WPARAM keys = 0)
{
    CRect cell;
    ASSERT_TRUE(grid.GetCellRect(row, column, &cell));
    const LPARAM at = MAKELPARAM(cell.CenterPoint().x, cell.CenterPoint().y);
    ::PostMessageW(grid.GetSafeHwnd(), WM_LBUTTONDOWN, MK_LBUTTON | keys, at);
    ::PostMessageW(grid.GetSafeHwnd(), WM_LBUTTONUP, keys, at);
    PumpPending();
}
} // namespace

TEST_F(RecordsProgram, TheRedButtonExportsTheRowsSelectedInTheOrderShownAfterASortAndAColumnMove)
{
    Start();
    Steps().SetStep(1);
    PumpPending();
    ASSERT_GE(Grid().GetColumnCount(), 4);
    const std::string sortField = CStringA(Grid().GetItemText(0, 1)).GetString();
    // Saved in the order B, C, A, D of the sorted field; each record's patient is named after it.
    for (const char* pair : {"B Baker", "C Cole", "A Adams", "D Dunn"})
    {
        const std::string key(pair, 1), name(pair + 2);
        Exec(("INSERT INTO submissions (submdate, fxml, [" + sortField + "]) VALUES ('12/6/2026', '" +
              PatientXml(name) + "', '" + key + "')").c_str());
    }
    Steps().SetStep(0);
    PumpPending();
    Steps().SetStep(1);
    PumpPending();
    ASSERT_EQ(5, Grid().GetRowCount());

    // A click on the field's heading sorts the list by it (the first click in descending order).
    ClickCell(Grid(), 0, 1);
    ASSERT_EQ((std::vector<std::wstring>{L"D", L"C", L"B", L"A"}), Column(1));
    // The field's column moved two places to the right, as a header drag moves it: the first
    // column after the frozen one is now another field.
    DWORD* layout = nullptr;
    ASSERT_GT(Grid().SaveColumnLayout(&layout), 8);
    std::swap(layout[3], layout[5]);
    Grid().RestoreColumnLayout(layout);
    delete[] layout;
    ASSERT_EQ((std::vector<std::wstring>{L"D", L"C", L"B", L"A"}), Column(3));

    // "A" and then "C" picked with the mouse (the second with Ctrl); in "B" only a later cell.
    ClickCell(Grid(), 4, 1);
    ClickCell(Grid(), 2, 1, MK_CONTROL);
    Grid().SetItemState(3, 3, Grid().GetItemState(3, 3) | GVIS_SELECTED);
    ASSERT_TRUE(Grid().IsCellSelected(4, 1));
    ASSERT_TRUE(Grid().IsCellSelected(2, 1));
    ASSERT_FALSE(Grid().IsCellSelected(3, 1));
    ASSERT_FALSE(Grid().IsCellSelected(1, 1));

    TempFolder out;
    const std::wstring chosen = out.File(L"batch");
    AfxSetFileChooser([chosen](OPENFILENAMEW& ofn, bool) {
        lstrcpynW(ofn.lpstrFile, chosen.c_str(), ofn.nMaxFile);
        return TRUE;
    });
    const size_t before = run->messages.size();
    ::PostMessageW(Page().GetDlgItem(1043)->GetSafeHwnd(), BM_CLICK, 0, 0);
    const bool saved = PumpUntil([&] { return run->messages.size() > before; });
    AfxSetFileChooser(nullptr);
    ASSERT_TRUE(saved);
    EXPECT_EQ(CString(L"File Saved"), run->messages.back().text);

    // Pages of 61 lines of 92 characters and four empty lines, the name at line 9, column 2: in the
    // list's order, "C" before "A", whatever the order of the clicks.
    const std::string file = ReadWholeFile(out.File(L"batch.txt"));
    ASSERT_EQ(2u * 5620, file.size());
    EXPECT_EQ("Cole ", file.substr(8 * 92 + 1, 5));
    EXPECT_EQ("Adams ", file.substr(5620 + 8 * 92 + 1, 6));
}
