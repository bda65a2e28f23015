// Print options and the text dump on the real form page with the viewer and the sample claim form:
// the commands that reach the form, in order; the offsets read from and stored into FormInfo; typed
// offsets that are not numbers; dumps appended to one file.
#include <gtest/gtest.h>

#include "formdb/DatabaseStatement.h"
#include "formdb/FormDatabase.h"
#include "framework/Seams.h"
#include "tests/pages/DialogDriver.h"
#include "tests/pages/FormPageFixture.h"
#include "viewer/ViewerTestControl.h"

namespace {

const wchar_t kPrintCaption[] = L"Print Preferences";
const int kPrintOptions = 1017;
const int kClearingHouse = 1044;

std::string Zoomfactor(const std::wstring& path)
{
    Database db;
    EXPECT_TRUE(db.Open(path.c_str()));
    Statement statement;
    EXPECT_TRUE(statement.Prepare(db, "select zoomfactor from FormInfo"));
    EXPECT_EQ(StepResult::Row, statement.Step());
    return statement.ColumnText(0);
}

void SetZoomfactor(const std::wstring& path, const char* value)
{
    Database db;
    ASSERT_TRUE(db.Open(path.c_str()));
    Statement statement;
    ASSERT_TRUE(statement.Prepare(db, "update FormInfo set zoomfactor=?"));
    ASSERT_TRUE(statement.BindText(1, value));
    ASSERT_TRUE(statement.Run());
}

// A click handled before the call returns, so the test can look at its effect right away.
void Click(HWND dialog, int id)
{
    SendMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

std::wstring ItemText(HWND dialog, int id)
{
    wchar_t text[64] = {};
    GetDlgItemTextW(dialog, id, text, 64);
    return text;
}

// A form page with the registered claim form shown; printing goes to a metafile.
class PrintFormTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(fixture.ShowRegistered());
        metafile = CreateEnhMetaFileW(nullptr, nullptr, nullptr, nullptr);
        viewer::TestControl().printTarget = metafile;
    }
    void TearDown() override
    {
        viewer::TestControl().printTarget = nullptr;
        DeleteEnhMetaFile(CloseEnhMetaFile(metafile));
    }
    // Opens Print Options, runs the steps on the dialog, and waits until it has closed.
    void RunPrintOptions(std::function<void(HWND)> steps)
    {
        viewer::TestControl().commands.clear();
        DialogDriver driver;
        bool done = false;
        driver.OnDialog(kPrintCaption, [&](HWND dialog) {
            steps(dialog);
            done = true;
        });
        ::PostMessageW(fixture.Button(kPrintOptions), BM_CLICK, 0, 0);
        ASSERT_TRUE(PumpUntil([&] { return done && !FindThreadDialog(kPrintCaption); }));
    }

    FormPageFixture fixture;
    HDC metafile = nullptr;
};

using Commands = std::vector<std::wstring>;

} // namespace

TEST_F(PrintFormTest, StoredOffsetsStartThePrintAndShiftsAreStored)
{
    SetZoomfactor(fixture.Database(), "3,-2");
    std::wstring horizontal, vertical;
    RunPrintOptions([&](HWND dialog) {
        horizontal = ItemText(dialog, 1025);
        vertical = ItemText(dialog, 1024);
        EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(dialog, 1028));
        Click(dialog, IDCANCEL);
    });
    EXPECT_EQ(L"3", horizontal);
    EXPECT_EQ(L"-2", vertical);
    EXPECT_EQ((Commands{L"StartPrint=3,-2", L"CancelPrint"}), viewer::TestControl().commands);
    EXPECT_EQ("3,-2", Zoomfactor(fixture.Database())); // Cancel stores nothing

    SetZoomfactor(fixture.Database(), "0,0");
    RunPrintOptions([&](HWND dialog) {
        Click(dialog, 1018); // Shift Left
        Click(dialog, 1015); // Shift Up
        Click(dialog, 1015);
        Click(dialog, IDOK); // Print (the dialog stays)
        horizontal = ItemText(dialog, 1025);
        Click(dialog, 1029); // Filled Text Only
        Click(dialog, IDOK);
        Click(dialog, IDCANCEL);
    });
    EXPECT_EQ(L"-1", horizontal);
    EXPECT_EQ((Commands{L"StartPrint=0,0", L"Shift=-1,0", L"Shift=-1,1", L"Shift=-1,2", L"PrintAll",
                        L"PrintTextMode", L"PrintText", L"CancelPrint"}),
              viewer::TestControl().commands);
    EXPECT_EQ("-1,2", Zoomfactor(fixture.Database()));
    EXPECT_TRUE(fixture.boxes.empty());
}

TEST_F(PrintFormTest, TypedOffsetsThatAreNotNumbersAreRefused)
{
    SetZoomfactor(fixture.Database(), "4,5");
    RunPrintOptions([&](HWND dialog) {
        SetDlgItemTextW(dialog, 1025, L"7'); DROP TABLE FormInfo; --");
        Click(dialog, IDOK);
        EXPECT_EQ(L"4", ItemText(dialog, 1025)); // the old value is back
        SetDlgItemTextW(dialog, 1024, L"x");
        Click(dialog, 1016); // Shift Down
        EXPECT_EQ(L"5", ItemText(dialog, 1024));
        SetDlgItemTextW(dialog, 1025, L" -12 ");
        Click(dialog, IDOK);
        Click(dialog, IDCANCEL);
    });
    ASSERT_EQ(2u, fixture.boxes.size());
    EXPECT_EQ(L"The offsets must be whole numbers, for example 3 or -2.", fixture.boxes[0].text);
    EXPECT_EQ((Commands{L"StartPrint=4,5", L"PrintAll", L"CancelPrint"}), viewer::TestControl().commands);
    EXPECT_EQ("-12,5", Zoomfactor(fixture.Database()));
}

TEST_F(PrintFormTest, AStoredValueWithoutACommaReadsAsZero)
{
    SetZoomfactor(fixture.Database(), "17");
    RunPrintOptions([&](HWND dialog) { Click(dialog, IDCANCEL); });
    EXPECT_EQ((Commands{L"StartPrint=0,0", L"CancelPrint"}), viewer::TestControl().commands);
}

TEST_F(PrintFormTest, DumpsAreAppendedToOneFileThatIsThenOpened)
{
    std::vector<std::wstring> opened;
    AfxSetShellOpener([&](HWND, const CString& verb, const CString& file, const CString&, const CString&, int show) {
        opened.push_back(std::wstring(verb.GetString()) + L" " + file.GetString() + L" " + std::to_wstring(show));
        return TRUE;
    });
    std::wstring chosen = fixture.store.File(L"dump");
    std::wstring offered;
    AfxSetFileChooser([&](OPENFILENAMEW& ofn, bool) {
        offered = ofn.lpstrFile;
        lstrcpynW(ofn.lpstrFile, chosen.c_str(), ofn.nMaxFile);
        return TRUE;
    });
    SetWindowTextW(fixture.FormEdits()[0], L"Jones");
    for (int i = 0; i < 2; ++i)
    {
        const size_t before = opened.size();
        ::PostMessageW(fixture.Button(kClearingHouse), BM_CLICK, 0, 0);
        ASSERT_TRUE(PumpUntil([&] { return opened.size() > before; }));
    }
    chosen = fixture.store.File(L"a.txt");
    const size_t before = opened.size();
    ::PostMessageW(fixture.Button(kClearingHouse), BM_CLICK, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return opened.size() > before; }));
    AfxSetShellOpener(nullptr);
    AfxSetFileChooser(nullptr);

    EXPECT_EQ(L"dump", offered);
    const std::string one = ReadWholeFile(fixture.store.File(L"a.txt"));
    EXPECT_NE(std::string::npos, one.find("Jones")) << one;
    EXPECT_EQ(std::string::npos, one.find("WARNING")) << one;
    EXPECT_EQ(one + one, ReadWholeFile(fixture.store.File(L"dump.txt")));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(fixture.store.File(L"a.txt.txt").c_str()));
    ASSERT_EQ(3u, opened.size());
    EXPECT_EQ(L"open " + fixture.store.File(L"dump.txt") + L" 3", opened[0]);
    EXPECT_EQ(L"open " + fixture.store.File(L"a.txt") + L" 3", opened[2]);
}

TEST_F(PrintFormTest, AFormThatNeverAnswersLeavesTheWarning)
{
    viewer::TestControl().neverReply = true;
    AfxSetShellOpener([](HWND, const CString&, const CString&, const CString&, const CString&, int) { return TRUE; });
    const std::wstring chosen = fixture.store.File(L"silent");
    AfxSetFileChooser([&](OPENFILENAMEW& ofn, bool) {
        lstrcpynW(ofn.lpstrFile, chosen.c_str(), ofn.nMaxFile);
        return TRUE;
    });
    ::SendMessageW(fixture.Button(kClearingHouse), BM_CLICK, 0, 0);
    AfxSetShellOpener(nullptr);
    AfxSetFileChooser(nullptr);
    EXPECT_EQ("[!!!WARNING. SYSTEM MESSAGE!!!] Can not save data. Please save the record to the database, restart the "
              "application and try again. Contact your supplier if the issue will still appear [!!!WARNING. SYSTEM "
              "MESSAGE!!!]",
              ReadWholeFile(fixture.store.File(L"silent.txt")));
}

TEST_F(PrintFormTest, TheBlackAndWhiteModePrintsTheTextCommandAndEntireFormPrintsAll)
{
    bool whiteChecked = false, entireUnchecked = false;
    RunPrintOptions([&](HWND dialog) {
        Click(dialog, 1030); // Black&White Form
        whiteChecked = IsDlgButtonChecked(dialog, 1030) == BST_CHECKED;
        entireUnchecked = IsDlgButtonChecked(dialog, 1028) == BST_UNCHECKED &&
                          IsDlgButtonChecked(dialog, 1029) == BST_UNCHECKED;
        Click(dialog, IDOK);
        Click(dialog, 1028); // Entire Form
        Click(dialog, IDOK);
        Click(dialog, IDCANCEL);
    });
    EXPECT_TRUE(whiteChecked);
    EXPECT_TRUE(entireUnchecked);
    EXPECT_EQ((Commands{L"StartPrint=0,0", L"PrintAllWBMode", L"PrintText", L"PrintAllMode", L"PrintAll",
                        L"CancelPrint"}),
              viewer::TestControl().commands);
    EXPECT_TRUE(fixture.boxes.empty());
}

TEST_F(PrintFormTest, OffsetsThatCannotBeStoredAreReportedAndTheDialogStays)
{
    SetZoomfactor(fixture.Database(), "1,1");
    Database holder; // another program holding the database for itself
    ASSERT_TRUE(holder.Open(fixture.Database().c_str()));
    ASSERT_TRUE(holder.Execute("BEGIN IMMEDIATE")); // readers go on, no other writer
    bool stillOpen = false;
    RunPrintOptions([&](HWND dialog) {
        Click(dialog, 1017); // Shift Right
        Click(dialog, IDOK);
        stillOpen = IsWindow(dialog) && IsWindowVisible(dialog);
        Click(dialog, IDCANCEL);
    });
    ASSERT_TRUE(holder.Execute("COMMIT"));
    holder.Close();
    EXPECT_TRUE(stillOpen);
    ASSERT_EQ(1u, fixture.boxes.size());
    EXPECT_EQ(L"db", fixture.boxes[0].caption);
    EXPECT_EQ(L"database is locked", fixture.boxes[0].text);
    EXPECT_EQ("1,1", Zoomfactor(fixture.Database()));
    EXPECT_EQ((Commands{L"StartPrint=1,1", L"Shift=2,1", L"PrintAll", L"CancelPrint"}), viewer::TestControl().commands);
}

namespace {
struct DialogSearch
{
    HWND except, found;
};

BOOL CALLBACK MatchOtherDialog(HWND window, LPARAM param)
{
    DialogSearch& search = *reinterpret_cast<DialogSearch*>(param);
    wchar_t className[16] = {};
    GetClassNameW(window, className, 16);
    if (window != search.except && IsWindowVisible(window) && lstrcmpW(className, L"#32770") == 0)
    {
        search.found = window;
        return FALSE;
    }
    return TRUE;
}

// A visible dialog window of this thread other than the one given, or null.
HWND OtherThreadDialog(HWND except)
{
    DialogSearch search{except, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), MatchOtherDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}
} // namespace

// "Print" opens the system's print dialog: it belongs to Print Preferences, so while it is open and
// after it closes the main window stays disabled and Print Preferences keeps the input. (Without a
// printer the system puts its own notice over the print dialog: both are closed as cancelled.)
TEST_F(PrintFormTest, ThePrintDialogBelongsToPrintPreferencesWhichStaysModal)
{
    viewer::TestControl().printTarget = nullptr; // the real dialog
    const HWND mainWindow = fixture.frame.GetSafeHwnd();
    HWND preferences = nullptr, printDialog = nullptr, printOwner = nullptr;
    bool mainDisabledMeanwhile = false, mainDisabledAfter = false, preferencesEnabledAfter = false;
    bool done = false;
    DialogDriver driver;
    driver.OnDialog(kPrintCaption, [&](HWND dialog) {
        preferences = dialog;
        ClickButton(dialog, IDOK); // posted: the print dialog's own loop runs the next steps
    });
    driver.Then([&] {
        HWND shown = preferences ? OtherThreadDialog(preferences) : nullptr;
        if (!shown)
            return false;
        // The print dialog is the first window up the owner chain that no other new dialog owns.
        printDialog = shown;
        for (HWND owner = GetWindow(shown, GW_OWNER); owner && owner != preferences && owner != mainWindow;
             owner = GetWindow(owner, GW_OWNER))
            printDialog = owner;
        printOwner = GetWindow(printDialog, GW_OWNER);
        mainDisabledMeanwhile = !IsWindowEnabled(mainWindow);
        PostMessageW(shown, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        return true;
    });
    driver.Then([&] {
        if (HWND still = OtherThreadDialog(preferences))
        {
            PostMessageW(still, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            return false;
        }
        mainDisabledAfter = !IsWindowEnabled(mainWindow);
        preferencesEnabledAfter = IsWindowEnabled(preferences) != FALSE;
        ClickButton(preferences, IDCANCEL);
        done = true;
        return true;
    });
    ::PostMessageW(fixture.Button(kPrintOptions), BM_CLICK, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return done && !FindThreadDialog(kPrintCaption); }));
    ASSERT_NE(nullptr, printDialog);
    EXPECT_EQ(preferences, printOwner);
    EXPECT_TRUE(mainDisabledMeanwhile);
    EXPECT_TRUE(mainDisabledAfter);
    EXPECT_TRUE(preferencesEnabledAfter);
    EXPECT_TRUE(IsWindowEnabled(mainWindow)); // given back once Print Preferences closed
}
