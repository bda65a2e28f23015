// Import of completed files end to end on real windows with the viewer: a filled copy of the claim
// form becomes exactly one record; an empty copy, a foreign form, an unreadable file and a refused
// store keep the database as it was and say why; the file name's percent escapes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "formdb/Database.h"
#include "pages/FormExchange.h"
#include "pages/ImportCompletedFiles.h"
#include "tests/pages/DialogDriver.h"
#include "tests/pages/FilledPdf.h"
#include "tests/pages/FormWithRecordsFixture.h"
#include "tests/pages/NamedFieldsPdf.h"
#include "viewer/ViewerTestControl.h"

namespace {

const int kImportThisForm = 1040;
const wchar_t kSuccess[] = L"The form has been imported successfully";

BOOL CALLBACK FindImportingPopup(HWND window, LPARAM found)
{
    wchar_t text[32] = {};
    for (HWND child = ::GetWindow(window, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        if (::GetWindowTextW(child, text, 32) > 0 && std::wstring(text) == L"Importing.....")
        {
            *reinterpret_cast<bool*>(found) = true;
            return FALSE;
        }
    return TRUE;
}

// Whether the "Importing....." popup of this thread exists (shown or not).
bool ImportingPopupExists()
{
    bool found = false;
    ::EnumThreadWindows(::GetCurrentThreadId(), FindImportingPopup, reinterpret_cast<LPARAM>(&found));
    return found;
}

int CountOf(const std::vector<std::string>& row, const std::string& value)
{
    int count = 0;
    for (const std::string& cell : row)
        count += cell == value ? 1 : 0;
    return count;
}

class ImportTest : public FormWithRecordsTest
{
protected:
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

    // Nothing was stored and the user was told why (and not told of success).
    void ExpectNothingStored(const std::wstring& why)
    {
        EXPECT_TRUE(Query(DatabasePath(), "SELECT * FROM submissions").empty());
        EXPECT_FALSE(Said(kSuccess));
        EXPECT_TRUE(Said(why)) << boxes.size();
        EXPECT_EQ(0, host.recordsReloaded);
    }
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

    const Rows records = Query(DatabasePath(), "SELECT _ROWID_, * FROM submissions");
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

TEST_F(ImportTest, ForeignFormStoresNothingAndSaysWhy)
{
    // A filled statement: a form whose fields are not the registered claim fields.
    const std::string statement = SampleBytes(L"statement.pdf");
    const std::string filled = FillTextFields(statement, {{"ID", "S-1"}, {"PatientName", "Foreign, Fay"}});
    ASSERT_FALSE(filled.empty());
    ASSERT_TRUE(WriteWholeFile(files.File(L"statement copy.pdf"), filled));
    Import(files.File(L"statement copy.pdf"));
    ExpectNothingStored(L"The file is not a copy of the current form; nothing was imported.");
}

TEST_F(ImportTest, AFormWithNamesOutsideTheCodePageKnowsItsOwnCopy)
{
    // The form of the store becomes one whose names hold full-width separators, registered anew.
    const std::string form = FormWithFields({L"Name\uFF5CX", L"\uFF3BA\uFF3D", L"\uFF4A\uFF4A\uFF4A\uFF4A"});
    ASSERT_TRUE(WriteWholeFile(store.File(L"claim.pdf"), form));
    ASSERT_TRUE(::DeleteFileW(DatabasePath().c_str()));
    {
        DialogDriver driver;
        driver.OnDialog(L"New Forms Registration", [](HWND window) { ClickButton(window, IDOK); });
        ASSERT_EQ(IDOK, RunRegisterFormModal(host, &frame));
    }
    ASSERT_TRUE(boxes.empty());

    // A blank copy names the same columns: it is taken as a copy and stores nothing because it is
    // empty, not refused as another form.
    ASSERT_TRUE(WriteWholeFile(files.File(L"copy.pdf"), form));
    Import(files.File(L"copy.pdf"));
    ExpectNothingStored(L"The document data is not compatible with the DB structure or is empty");
    EXPECT_FALSE(Said(L"The file is not a copy of the current form; nothing was imported."));
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
        Database db;
        ASSERT_TRUE(db.Open(DatabasePath().c_str()));
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

TEST_F(ImportTest, ClosingTheImportWindowWhileTheFormIsAskedAbandonsTheImport)
{
    const std::string blank = SampleBytes(L"cms1500.pdf");
    const std::string filled = FillTextFields(blank, {{TextFieldNames(blank).at(0), "INS-5"}});
    ASSERT_TRUE(WriteWholeFile(files.File(L"completed.pdf"), filled));
    const std::wstring path = files.File(L"completed.pdf");
    AfxSetFileChooser([path](OPENFILENAMEW& ofn, bool) {
        lstrcpynW(ofn.lpstrFile, path.c_str(), ofn.nMaxFile);
        return TRUE;
    });
    ImportCompletedFiles(host, &frame);
    ASSERT_TRUE(dialog.IsWindowVisible());
    const HWND window = dialog.GetSafeHwnd();
    host.recordId = 7;

    // The form keeps the field list to itself, so the import waits on it while the window goes
    // (as the main window's closing takes it along).
    viewer::TestControl().neverReply = true;
    viewer::TestControl().commands.clear();
    DialogDriver driver;
    bool closedWhileAsking = false;
    driver.Then([&] {
        if (!IsExchangeRunning() || !ImportingPopupExists())
            return false;
        const std::vector<std::wstring>& commands = viewer::TestControl().commands;
        closedWhileAsking = !commands.empty() && commands.back() == L"FieldList";
        dialog.DestroyWindow();
        return true;
    });
    ::PostMessageW(::GetDlgItem(window, kImportThisForm), BM_CLICK, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return driver.Idle() && !IsExchangeRunning() && !ImportingPopupExists(); }));

    EXPECT_TRUE(closedWhileAsking);
    EXPECT_FALSE(::IsWindow(window));
    EXPECT_TRUE(Query(DatabasePath(), "SELECT * FROM submissions").empty());
    EXPECT_TRUE(boxes.empty()) << "nothing is said to a window that is gone";
    EXPECT_EQ(0, host.recordsReloaded);
    EXPECT_EQ(7, host.recordId);
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
