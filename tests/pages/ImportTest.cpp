// Import of completed files end to end on real windows with the viewer: a filled copy of the claim
// form becomes exactly one record; an empty copy, a foreign form, an unreadable file and a refused
// store keep the database as it was and say why; the file name's percent escapes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "formdb/Database.h"
#include "formdb/DatabaseStatement.h"
#include "formdb/FormDatabase.h"
#include "pages/FormPage.h"
#include "pages/ImportCompletedFiles.h"
#include "pages/RegisterForm.h"
#include "tests/pages/DialogDriver.h"
#include "tests/pages/FilledPdf.h"
#include "tests/pages/RecordsTestHost.h"
#include "viewer/ViewerTestControl.h"

namespace {

const int kImportThisForm = 1040;
const wchar_t kSuccess[] = L"The form has been imported successfully";

using Rows = std::vector<std::vector<std::string>>;

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

int CountOf(const std::vector<std::string>& row, const std::string& value)
{
    int count = 0;
    for (const std::string& cell : row)
        count += cell == value ? 1 : 0;
    return count;
}

BOOL CALLBACK CollectEdit(HWND window, LPARAM param)
{
    wchar_t className[16] = {};
    GetClassNameW(window, className, 16);
    if (lstrcmpiW(className, L"Edit") == 0 && IsWindowVisible(window))
        reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
    return TRUE;
}

// The visible edit controls of the form a browser control shows.
std::vector<HWND> FormEdits(CWnd& browser)
{
    std::vector<HWND> edits;
    EnumChildWindows(browser.GetSafeHwnd(), CollectEdit, reinterpret_cast<LPARAM>(&edits));
    return edits;
}

std::string SampleBytes(const wchar_t* name)
{
    return ReadWholeFile(std::wstring(FORMSTEAD_SAMPLES_DIR) + name);
}

// The form page and the view's modeless import dialog on a main window, with the claim form
// registered in the store and shown on the form page.
class ImportTest : public ::testing::Test
{
protected:
    void SetUp() override
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

        // The form page shows the blank form: a save on its browser would store nothing.
        page->ShowWindow(SW_SHOW);
        ASSERT_TRUE(PumpUntil([&] { return FormEdits(page->m_browser).size() >= 2; }));
    }

    void TearDown() override
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

    // Registers the claim form through the registration dialog once; later tests copy that database.
    void Register()
    {
        static std::string registered;
        if (registered.empty())
        {
            DialogDriver driver;
            driver.OnDialog(L"New Forms Registration", [](HWND window) { ClickButton(window, IDOK); });
            ASSERT_EQ(IDOK, RunRegisterFormModal(host, &frame));
            registered = ReadWholeFile(Database());
        }
        ASSERT_FALSE(registered.empty());
        ASSERT_TRUE(WriteWholeFile(Database(), registered));
    }

    std::wstring Database() const { return store.File(L"claim.gdb"); }

    // Chooses the file in the records page's import, then presses "Import this form".
    void Import(const std::wstring& path)
    {
        AfxSetFileChooser([path](OPENFILENAMEW& ofn, bool open) {
            EXPECT_TRUE(open);
            EXPECT_STREQ(L"PDF Documents (*.pdf)", ofn.lpstrFilter);
            EXPECT_TRUE(ofn.Flags & OFN_FILEMUSTEXIST);
            lstrcpynW(ofn.lpstrFile, path.c_str(), ofn.nMaxFile);
            return TRUE;
        });
        ImportCompletedFiles(host, &frame);
        ASSERT_TRUE(dialog.IsWindowVisible());
        CString caption;
        dialog.GetWindowText(caption);
        EXPECT_STREQ(L"Import Completed Files", caption.GetString());
        EXPECT_EQ(RegisterForm::kModeImport, dialog.m_nMode);
        EXPECT_STREQ(path.c_str(), dialog.m_szImportPath.GetString());
        ASSERT_TRUE(::IsWindowVisible(::GetDlgItem(dialog.m_hWnd, kImportThisForm)));
        ASSERT_FALSE(::IsWindowVisible(::GetDlgItem(dialog.m_hWnd, IDOK)));

        ::PostMessageW(::GetDlgItem(dialog.m_hWnd, kImportThisForm), BM_CLICK, 0, 0);
        ASSERT_TRUE(PumpUntil([&] { return !dialog.IsWindowVisible(); }, 60000));
        EXPECT_TRUE(dialog.IsWindowEnabled());
    }

    bool Said(const std::wstring& text) const
    {
        for (const RecordedBox& box : boxes)
            if (box.text == text)
                return true;
        return false;
    }

    // Nothing was stored and the user was told why (and not told of success).
    void ExpectNothingStored(const std::wstring& why)
    {
        EXPECT_TRUE(Query(Database(), "SELECT * FROM submissions").empty());
        EXPECT_FALSE(Said(kSuccess));
        EXPECT_TRUE(Said(why)) << boxes.size();
        EXPECT_EQ(0, host.recordsReloaded);
    }

    TempFolder program;
    TempFolder store;
    TempFolder files;
    RecordsTestHost host;
    CWnd frame;
    CPage3* page = nullptr;
    RegisterForm dialog{&host};
    std::vector<RecordedBox> boxes;
};

} // namespace

TEST_F(ImportTest, FilledCopyBecomesExactlyOneRecordWithItsValues)
{
    const std::string blank = SampleBytes(L"cms1500.pdf");
    const std::vector<std::string> fields = TextFieldNames(blank);
    ASSERT_GE(fields.size(), 2u);
    const std::string filled = FillTextFields(blank, {{fields[0], "INS-77031"}, {fields[1], "Imported, Ada"}});
    ASSERT_FALSE(filled.empty());
    ASSERT_TRUE(WriteWholeFile(files.File(L"completed claim.pdf"), filled));

    Import(files.File(L"completed claim.pdf"));

    const Rows records = Query(Database(), "SELECT _ROWID_, * FROM submissions");
    ASSERT_EQ(1u, records.size());
    EXPECT_EQ(1, CountOf(records[0], "INS-77031"));
    EXPECT_EQ(1, CountOf(records[0], "Imported, Ada"));
    const std::string xml = records[0].back();
    EXPECT_NE(std::string::npos, xml.find("INS-77031"));
    EXPECT_NE(std::string::npos, xml.find("Imported, Ada"));
    EXPECT_EQ(records[0][0], std::to_string(host.recordId));
    EXPECT_EQ(0, host.templateFlag);
    EXPECT_TRUE(Said(kSuccess));
    EXPECT_EQ(1u, boxes.size());
    EXPECT_EQ(1, host.recordsReloaded);
}

TEST_F(ImportTest, EmptyCopyStoresNothing)
{
    ASSERT_TRUE(WriteWholeFile(files.File(L"blank.pdf"), SampleBytes(L"cms1500.pdf")));
    Import(files.File(L"blank.pdf"));
    ExpectNothingStored(L"The document data is not compatible with the DB structure or is empty");
}

TEST_F(ImportTest, ForeignFormStoresNothingEvenWhenAFieldMatches)
{
    // The statement form's fields are not the claim form's; one value named like a claim field
    // would otherwise be found in its reply.
    const std::string statement = SampleBytes(L"statement.pdf");
    const std::string filled = FillTextFields(statement, {{"ID", "S-1"}, {"PatientName", "Foreign, Fay"}});
    ASSERT_FALSE(filled.empty());
    ASSERT_TRUE(WriteWholeFile(files.File(L"statement copy.pdf"), filled));
    Import(files.File(L"statement copy.pdf"));
    ExpectNothingStored(L"The file is not a copy of the current form; nothing was imported.");
}

TEST_F(ImportTest, UnreadableFileStoresNothing)
{
    ASSERT_TRUE(WriteWholeFile(files.File(L"broken.pdf"), "%PDF-1.6\nthis is no PDF at all\n"));
    Import(files.File(L"broken.pdf"));
    ExpectNothingStored(L"The file could not be read as a form; nothing was imported.");
}

TEST_F(ImportTest, RefusedStoreIsNotReportedAsSuccess)
{
    const std::string blank = SampleBytes(L"cms1500.pdf");
    const std::string filled = FillTextFields(blank, {{TextFieldNames(blank).at(0), "INS-1"}});
    ASSERT_TRUE(WriteWholeFile(files.File(L"completed.pdf"), filled));
    {
        ::Database db;
        ASSERT_TRUE(db.Open(Database().c_str()));
        ASSERT_TRUE(db.Execute("DROP TABLE submissions"));
    }
    Import(files.File(L"completed.pdf"));
    EXPECT_FALSE(Said(kSuccess));
    EXPECT_FALSE(boxes.empty());
    EXPECT_EQ(0, host.recordsReloaded);
}

TEST_F(ImportTest, CancelledChoiceChangesNothing)
{
    AfxSetFileChooser([](OPENFILENAMEW&, bool) { return FALSE; });
    ImportCompletedFiles(host, &frame);
    EXPECT_FALSE(dialog.IsWindowVisible());
    EXPECT_EQ(RegisterForm::kModeNone, dialog.m_nMode);
    EXPECT_TRUE(boxes.empty());
}

TEST(PercentDecode, EscapesBecomeBytesAndEverythingElseStays)
{
    const struct
    {
        const char* in;
        std::string out;
    } cases[] = {
        {"", ""},
        {"plain name", "plain name"},
        {"%41%42c", "ABc"},
        {"%4a%4A", "JJ"},
        {"claim%20form%2Epdf", "claim form.pdf"},
        {"%ff%00x", std::string("\xff\0x", 3)},
        {"%%41", "%A"},
        {"%G1%1G%-1", "%G1%1G%-1"},
        {"end%", "end%"},
        {"end%4", "end%4"},
        {"x%41", "xA"},
        {"%", "%"},
        {"100%25", "100%"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.out, PercentDecode(c.in)) << c.in;
}
