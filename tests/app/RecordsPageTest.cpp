// The records page in the whole program on the sample claim form: records saved through the form
// page's buttons and a template written with SQLite are listed (templates first), a double-click at a
// row opens it in the form, the frozen count and column order survive a restart, a failed fill
// writes nothing back, and with no current record the form keeps what the user typed.
#include <gtest/gtest.h>

#include "ClaimFormProgram.h"
#include "tests/support/ScopedState.h"
#include "formdb/Database.h"
#include "formdb/DatabaseStatement.h"
#include "formdb/FormDatabase.h"
#include "pages/FormPage.h"
#include "pages/RecordsGrid.h"
#include "pages/RecordsPage.h"
#include "tests/pages/DialogDriver.h"
#include "viewer/ViewerTestControl.h"

namespace
{
const int kSaveAsNew = 1015;

BOOL CALLBACK CollectEdits(HWND window, LPARAM param)
{
    wchar_t className[16] = {};
    GetClassNameW(window, className, 16);
    if (lstrcmpiW(className, L"Edit") == 0 && IsWindowVisible(window))
        reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
    return TRUE;
}

std::wstring TextOf(HWND window)
{
    wchar_t text[256] = {};
    GetWindowTextW(window, text, 256);
    return text;
}

// The program in test mode: its folder (the test executable's) holds the claim form and the real
// container page while the test runs.
struct RecordsProgram : ::testing::Test
{
    // What the test puts beside the executable, put back as it was even when the test fails.
    ClaimFormFolder files;
    const std::wstring folder = files.folder;
    std::unique_ptr<ProgramRun> run;

    void SetUp() override { viewer::TestControl().Reset(); }
    void TearDown() override
    {
        run.reset();
        viewer::TestControl().Reset();
    }
    std::wstring Database() const { return folder + L"claim.gdb"; }

    // Starts the program; the first start registers the form through its dialog, later ones start
    // from a copy of that registered database.
    void Start(bool keepDatabase = false)
    {
        static std::string registered;
        if (!keepDatabase && !registered.empty())
            ASSERT_TRUE(WriteWholeFile(Database(), registered));
        run.reset(new ProgramRun(true));
        ASSERT_TRUE(MakeMasterDatabase(run->folder.File(L"Vantorel.gdb"), MasterContent()));
        DialogDriver driver;
        driver.OnDialog(L"New Forms Registration", [](HWND dialog) { ClickButton(dialog, IDOK); });
        ASSERT_TRUE(run->Start());
        ASSERT_EQ(FormRegistration::Registered, CheckFormRegistration(Database()));
        if (registered.empty())
            registered = ReadWholeFile(Database());
        ASSERT_TRUE(PumpUntil([&] { return FormEdits().size() >= 2; }));
    }
    Navigator& Steps() { return run->Frame()->m_wndNavigator; }
    CPage2& Page() { return *dynamic_cast<CPage2*>(run->View()->GetRecordsPage()); }
    CPage3& FormPage() { return *dynamic_cast<CPage3*>(run->View()->GetFormPage()); }
    CGridCtrl& Grid() { return Page().m_grid; }
    std::vector<HWND> FormEdits()
    {
        std::vector<HWND> edits;
        CPage3* page = dynamic_cast<CPage3*>(run->View()->GetFormPage());
        if (page && page->m_browser.GetSafeHwnd())
            EnumChildWindows(page->m_browser.GetSafeHwnd(), CollectEdits, reinterpret_cast<LPARAM>(&edits));
        return edits;
    }
    void Exec(const char* sql)
    {
        ::Database db;
        ASSERT_TRUE(db.Open(Database().c_str())) << db.ErrorText();
        ASSERT_TRUE(db.Execute(sql)) << db.ErrorText();
    }
    std::string One(const char* sql)
    {
        ::Database db;
        EXPECT_TRUE(db.Open(Database().c_str())) << db.ErrorText();
        Statement query;
        EXPECT_TRUE(query.Prepare(db, sql)) << query.ErrorText();
        return query.Step() == StepResult::Row ? std::string(query.ColumnText(0)) : std::string();
    }
    void SaveRecord(const wchar_t* value)
    {
        if (Steps().GetCurrentStep() != 0)
            Steps().SetStep(0);
        ASSERT_TRUE(PumpUntil([&] { return FormEdits().size() >= 2; }));
        SetWindowTextW(FormEdits()[0], value);
        ::PostMessageW(FormPage().m_buttons.GetDlgItem(kSaveAsNew)->GetSafeHwnd(), BM_CLICK, 0, 0);
        ASSERT_TRUE(PumpUntil([&] { return Steps().GetCurrentStep() == 1 && Page().IsWindowVisible(); }));
    }
    std::vector<std::wstring> Column(int column)
    {
        std::vector<std::wstring> texts;
        for (int row = 1; row < Grid().GetRowCount(); ++row)
            texts.push_back(Grid().GetItemText(row, column).GetString());
        return texts;
    }
    void DoubleClickRow(int row, int column)
    {
        CRect cell;
        ASSERT_TRUE(Grid().GetCellRect(row, column, &cell));
        const LPARAM at = MAKELPARAM(cell.CenterPoint().x, cell.CenterPoint().y);
        HWND grid = Grid().GetSafeHwnd();
        ::PostMessageW(grid, WM_LBUTTONDOWN, MK_LBUTTON, at);
        ::PostMessageW(grid, WM_LBUTTONUP, 0, at);
        ::PostMessageW(grid, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
        ::PostMessageW(grid, WM_LBUTTONUP, 0, at);
    }
};
} // namespace

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
