// The program on the sample claim form for the records page's tests.
#include "RecordsProgram.h"

#include "formdb/Database.h"
#include "formdb/DatabaseStatement.h"
#include "formdb/FormDatabase.h"
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
} // namespace

std::vector<HWND> VisibleEdits(HWND parent)
{
    std::vector<HWND> edits;
    if (parent)
        EnumChildWindows(parent, CollectEdits, reinterpret_cast<LPARAM>(&edits));
    return edits;
}

std::wstring TextOf(HWND window)
{
    wchar_t text[256] = {};
    GetWindowTextW(window, text, 256);
    return text;
}

void RecordsProgram::SetUp()
{
    viewer::TestControl().Reset();
}

void RecordsProgram::TearDown()
{
    run.reset();
    viewer::TestControl().Reset();
}

void RecordsProgram::Start(bool keepDatabase)
{
    static std::string registered;
    if (!keepDatabase && !registered.empty())
    {
        ASSERT_TRUE(WriteWholeFile(Database(), registered));
    }
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

std::vector<HWND> RecordsProgram::FormEdits()
{
    CPage3* page = dynamic_cast<CPage3*>(run->View()->GetFormPage());
    return VisibleEdits(page ? page->m_browser.GetSafeHwnd() : nullptr);
}

void RecordsProgram::Exec(const char* sql)
{
    ::Database db;
    ASSERT_TRUE(db.Open(Database().c_str())) << db.ErrorText();
    ASSERT_TRUE(db.Execute(sql)) << db.ErrorText();
}

std::string RecordsProgram::One(const char* sql)
{
    ::Database db;
    EXPECT_TRUE(db.Open(Database().c_str())) << db.ErrorText();
    Statement query;
    EXPECT_TRUE(query.Prepare(db, sql)) << query.ErrorText();
    return query.Step() == StepResult::Row ? std::string(query.ColumnText(0)) : std::string();
}

void RecordsProgram::SaveRecord(const wchar_t* value)
{
    if (Steps().GetCurrentStep() != 0)
        Steps().SetStep(0);
    ASSERT_TRUE(PumpUntil([&] { return FormEdits().size() >= 2; }));
    SetWindowTextW(FormEdits()[0], value);
    ::PostMessageW(FormPage().m_buttons.GetDlgItem(kSaveAsNew)->GetSafeHwnd(), BM_CLICK, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return Steps().GetCurrentStep() == 1 && Page().IsWindowVisible(); }));
}

void RecordsProgram::StartWithRecords(std::initializer_list<const wchar_t*> names)
{
    Start();
    for (const wchar_t* name : names)
        SaveRecord(name);
    ASSERT_EQ(static_cast<int>(names.size()) + 1, Grid().GetRowCount());
}

std::vector<std::wstring> RecordsProgram::Column(int column)
{
    std::vector<std::wstring> texts;
    for (int row = 1; row < Grid().GetRowCount(); ++row)
        texts.push_back(Grid().GetItemText(row, column).GetString());
    return texts;
}

void RecordsProgram::DoubleClickRow(int row, int column)
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
