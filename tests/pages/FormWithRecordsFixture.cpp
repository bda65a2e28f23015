// The registered form page fixture: folders, main window, form page, import dialog, recorded boxes.
#include "tests/pages/FormWithRecordsFixture.h"

#include "formdb/Database.h"
#include "formdb/DatabaseStatement.h"
#include "tests/pages/DialogDriver.h"
#include "viewer/ViewerTestControl.h"

namespace {
BOOL CALLBACK CollectEdit(HWND window, LPARAM param)
{
    wchar_t className[16] = {};
    GetClassNameW(window, className, 16);
    if (lstrcmpiW(className, L"Edit") == 0 && IsWindowVisible(window))
        reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
    return TRUE;
}
} // namespace

Rows Query(const std::wstring& path, const char* sql)
{
    Rows rows;
    Database db;
    EXPECT_TRUE(db.Open(path.c_str())) << db.ErrorText();
    Statement statement;
    EXPECT_TRUE(statement.Prepare(db, sql)) << statement.ErrorText();
    while (statement.Step() == StepResult::Row)
    {
        std::vector<std::string> row;
        for (int i = 0; i < statement.ColumnCount(); ++i)
            row.push_back(statement.ColumnText(i));
        rows.push_back(row);
    }
    return rows;
}

std::string SampleBytes(const wchar_t* name)
{
    return ReadWholeFile(std::wstring(FORMSTEAD_SAMPLES_DIR) + name);
}

std::vector<HWND> FormEdits(CWnd& browser)
{
    std::vector<HWND> edits;
    EnumChildWindows(browser.GetSafeHwnd(), CollectEdit, reinterpret_cast<LPARAM>(&edits));
    return edits;
}

void FormWithRecordsTest::SetUp()
{
    viewer::TestControl().Reset();
    AfxSetMessageBoxSink([this](HWND, const CString& text, const CString& caption, UINT) {
        boxes.push_back({text.GetString(), caption.GetString()});
        return IDOK;
    });
    ASSERT_TRUE(CopyFileW(FORMSTEAD_CONTAINER_PAGE, program.File(L"container.htm").c_str(), FALSE));
    ASSERT_TRUE(WriteWholeFile(store.File(L"claim.pdf"), SampleBytes(L"cms1500.pdf")));
    host.programFolder = program.Path().c_str();
    host.storeFolder = store.Path().c_str();
    host.formName = L"claim";
    ASSERT_TRUE(frame.CreateEx(0, nullptr, L"Formstead test frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 1000,
                               700, nullptr, nullptr));
    host.frame = &frame;
    Register();

    page = new CPage3(&host);
    ASSERT_TRUE(page->Create(CPage3::IDD, &frame));
    CRect client;
    frame.GetClientRect(&client);
    page->MoveWindow(&client);
    host.formButtons = &page->m_buttons;
    ASSERT_TRUE(dialog.Create(RegisterForm::IDD, &frame));
    host.importDialog = &dialog;

    // The form page shows the blank form (so a save on its browser would store nothing).
    page->ShowWindow(SW_SHOW);
    ASSERT_TRUE(PumpUntil([&] { return FormEdits(page->m_browser).size() >= 2; }));
}

void FormWithRecordsTest::TearDown()
{
    AfxSetFileChooser(nullptr);
    if (dialog.GetSafeHwnd())
        dialog.DestroyWindow();
    if (page && page->GetSafeHwnd())
        page->DestroyWindow();
    delete page;
    if (frame.GetSafeHwnd())
        frame.DestroyWindow();
    AfxSetMessageBoxSink(nullptr);
    viewer::TestControl().Reset();
}

void FormWithRecordsTest::Register()
{
    static std::string registered;
    if (registered.empty())
    {
        DialogDriver driver;
        driver.OnDialog(L"New Forms Registration", [](HWND window) { ClickButton(window, IDOK); });
        ASSERT_EQ(IDOK, RunRegisterFormModal(host, &frame));
        registered = ReadWholeFile(DatabasePath());
    }
    ASSERT_FALSE(registered.empty());
    ASSERT_TRUE(WriteWholeFile(DatabasePath(), registered));
}

bool FormWithRecordsTest::Said(const std::wstring& text) const
{
    for (const RecordedBox& box : boxes)
        if (box.text == text)
            return true;
    return false;
}
