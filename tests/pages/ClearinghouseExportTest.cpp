// The clearinghouse export against a real form database: records and templates in the order given,
// stored texts in UTF-8 or ANSI, vanished rows, the default name from the clock, the replace question,
// and every message the user sees.
#include <gtest/gtest.h>

#include "formdb/DatabaseStatement.h"
#include "framework/Seams.h"
#include "pages/ClearinghouseExport.h"
#include "tests/pages/FormPageFixture.h"

namespace {

std::string Record(const std::string& name)
{
    return "<fields><topmostSubform>"
           "<_2_PATIENT_S_NAME_Last_First_Middle_Initial----8-_2_PATIENT_S_NAME_Last_First_Middle_Initial>" + name +
           "</_2_PATIENT_S_NAME_Last_First_Middle_Initial----8-_2_PATIENT_S_NAME_Last_First_Middle_Initial>"
           "</topmostSubform></fields>";
}

// The patient's name on page k (from 0) of an export file.
std::string NameOnPage(const std::string& file, int page, size_t length)
{
    return file.substr(static_cast<size_t>(page) * 5620 + 8 * 92 + 1, length);
}

class ClearinghouseExportTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        host.storeFolder = store.Path().c_str();
        host.formName = L"claim";
        Database db;
        ASSERT_TRUE(db.Create(store.File(L"claim.gdb").c_str())) << db.ErrorText();
        ASSERT_TRUE(db.Execute("create table submissions(submdate text, fxml text);"
                               "create table templates(RSRV_TEMPLATE_NAME text, fxml text);"))
            << db.ErrorText();
        Insert(db, "insert into submissions values('1/1/2010', ?)", Record("Ann"));          // row 1
        Insert(db, "insert into submissions values('1/2/2010', ?)", Record("M\xc3\xbcller")); // row 2, UTF-8
        Insert(db, "insert into submissions values('1/3/2010', ?)", Record("K\xf6nig"));     // row 3, ANSI
        Insert(db, "insert into templates values('T', ?)", Record("Template"));              // row 1
        AfxSetMessageBoxSink([this](HWND, const CString& text, const CString& caption, UINT type) {
            boxes.push_back({text.GetString(), caption.GetString()});
            return (type & MB_YESNO) ? answer : IDOK;
        });
        AfxSetFileChooser([this](OPENFILENAMEW& ofn, bool open) {
            ++dialogs;
            offeredName = ofn.lpstrFile;
            offeredFilter.assign(ofn.lpstrFilter, ofn.lpstrFilter + 31);
            wasOpen = open;
            if (chosen.empty())
                return FALSE;
            lstrcpynW(ofn.lpstrFile, chosen.c_str(), ofn.nMaxFile);
            return TRUE;
        });
        AfxSetClock([] {
            SYSTEMTIME t = {};
            t.wYear = 2010;
            t.wMonth = 4;
            t.wDay = 29;
            t.wHour = 14;
            t.wMinute = 5;
            return t;
        });
    }
    void TearDown() override
    {
        AfxSetMessageBoxSink(nullptr);
        AfxSetFileChooser(nullptr);
        AfxSetClock(nullptr);
        CoUninitialize();
    }
    static void Insert(Database& db, const char* sql, const std::string& xml)
    {
        Statement statement;
        ASSERT_TRUE(statement.Prepare(db, sql)) << statement.ErrorText();
        ASSERT_TRUE(statement.BindText(1, xml.data(), static_cast<int>(xml.size())));
        ASSERT_TRUE(statement.Run()) << statement.ErrorText();
    }

    TempFolder store;
    TestHost host;
    std::vector<RecordedBox> boxes;
    std::wstring chosen, offeredName, offeredFilter;
    int dialogs = 0;
    bool wasOpen = true;
    int answer = IDYES;
};

} // namespace

TEST_F(ClearinghouseExportTest, WritesTheRecordsInTheOrderGiven)
{
    chosen = store.File(L"batch");
    ExportClearinghouseFile(host, {{3, 0}, {1, 1}, {2, 0}, {1, 0}}, nullptr);
    EXPECT_EQ(L"Clearinghouse_04-29-10_(02_05pm)", offeredName);
    EXPECT_EQ(std::wstring(L"Text Documents (*.txt)\0*.txt\0", 30), offeredFilter.substr(0, 30));
    EXPECT_FALSE(wasOpen);
    const std::string file = ReadWholeFile(store.File(L"batch.txt"));
    ASSERT_EQ(4u * 5620, file.size());
    EXPECT_EQ("K\xf6nig", NameOnPage(file, 0, 5));
    EXPECT_EQ("Template", NameOnPage(file, 1, 8));
    EXPECT_EQ("M\xfcller", NameOnPage(file, 2, 6));
    EXPECT_EQ("Ann ", NameOnPage(file, 3, 4));
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(L"File Saved", boxes[0].text);
    EXPECT_EQ(L"", boxes[0].caption);
}

TEST_F(ClearinghouseExportTest, NothingSelectedAsksForASelection)
{
    chosen = store.File(L"batch.txt");
    ExportClearinghouseFile(host, {}, nullptr);
    EXPECT_EQ(0, dialogs);
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(L"Please, select records to extract", boxes[0].text);
    EXPECT_EQ(L"", boxes[0].caption);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(store.File(L"batch.txt").c_str()));
}

TEST_F(ClearinghouseExportTest, CancelledDialogDoesNothing)
{
    ExportClearinghouseFile(host, {{1, 0}}, nullptr);
    EXPECT_EQ(1, dialogs);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(ClearinghouseExportTest, AVanishedRowGivesABlankPageAndIsCounted)
{
    chosen = store.File(L"out.TXT");
    ExportClearinghouseFile(host, {{1, 0}, {99, 0}}, nullptr);
    const std::string file = ReadWholeFile(store.File(L"out.TXT"));
    ASSERT_EQ(2u * 5620, file.size());
    EXPECT_EQ(std::string(5612 - 2 * 61, ' '), [&] {
        std::string blanks;
        for (char c : file.substr(5620, 5612))
            if (c != '\r' && c != '\n')
                blanks += c;
        return blanks;
    }());
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(L"File Saved\n1 of the 2 pages are blank: their records no longer exist or hold no form data.",
              boxes[0].text);
}

TEST_F(ClearinghouseExportTest, AnExistingFileIsReplacedOnlyOnYes)
{
    chosen = store.File(L"out.txt");
    ASSERT_TRUE(WriteWholeFile(chosen, "earlier"));
    answer = IDNO;
    ExportClearinghouseFile(host, {{1, 0}}, nullptr);
    EXPECT_EQ("earlier", ReadWholeFile(chosen));
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(L"The file already exists. Do you want to replace it?", boxes[0].text);
    EXPECT_EQ(L"Warning!", boxes[0].caption);

    answer = IDYES;
    ExportClearinghouseFile(host, {{1, 0}}, nullptr);
    EXPECT_EQ(5620u, ReadWholeFile(chosen).size());
    ASSERT_EQ(3u, boxes.size());
    EXPECT_EQ(L"File Saved", boxes[2].text);
}

TEST_F(ClearinghouseExportTest, AMissingDatabaseIsReportedAndNothingWritten)
{
    host.formName = L"other";
    chosen = store.File(L"out.txt");
    ExportClearinghouseFile(host, {{1, 0}}, nullptr);
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(0u, boxes[0].text.find(L"Can't open database: ")) << boxes[0].text;
    EXPECT_EQ(L"db", boxes[0].caption);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(chosen.c_str()));
}

TEST_F(ClearinghouseExportTest, ADatabaseFailureMidwayLeavesNoFile)
{
    {
        Database db;
        ASSERT_TRUE(db.Open(store.File(L"claim.gdb").c_str()));
        ASSERT_TRUE(db.Execute("drop table templates"));
    }
    chosen = store.File(L"out.txt");
    ExportClearinghouseFile(host, {{1, 0}, {1, 1}}, nullptr);
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(L"prepare failure", boxes[0].text);
    EXPECT_EQ(L"db", boxes[0].caption);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(chosen.c_str()));
}
