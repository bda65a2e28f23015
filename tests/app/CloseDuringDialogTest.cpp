// Closing the main window (WM_CLOSE posted to it) while one of the program's modal dialogs or message
// boxes is open, in the whole program on the sample claim form: the dialog ends as cancelled, nothing
// is saved half-way, the program closes without a fault and the window placement is stored.
#include <gtest/gtest.h>

#include "ProgramFixture.h"
#include "formdb/Database.h"
#include "formdb/DatabaseStatement.h"
#include "formdb/FormDatabase.h"
#include "pages/FormPage.h"
#include "tests/pages/DialogDriver.h"
#include "tests/support/OwnUserState.h"
#include "viewer/ViewerTestControl.h"

namespace
{
const int kSaveAsTemplate = 1016;
const int kPrintOptions = 1017;
const int kCheckFormsUpdates = 1023;
const int kTemplateNameEdit = 1023;
const wchar_t kAppearanceSection[] = L"\\Formstead\\Appearance";
const wchar_t kRegistrationCaption[] = L"New Forms Registration";

BOOL CALLBACK CollectEdits(HWND window, LPARAM param)
{
    wchar_t className[16] = {};
    GetClassNameW(window, className, 16);
    if (lstrcmpiW(className, L"Edit") == 0 && IsWindowVisible(window))
        reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
    return TRUE;
}

// A stored placement value; -1 when there is none.
int StoredPlacement(const wchar_t* name)
{
    DWORD value = 0, size = sizeof(value), type = 0;
    if (::RegGetValueW(HKEY_CURRENT_USER, (OwnRegistryKey() + kAppearanceSection).c_str(), name, RRF_RT_REG_DWORD, &type, &value, &size) !=
        ERROR_SUCCESS)
        return -1;
    return (int)value;
}

// Notes whether the view (and the pages in it, which opened the dialog) still existed when the
// watched dialog's window went: a dialog torn down with the view leaves the code that opened it
// running on freed objects once its loop returns.
HWND g_watchedDialog = nullptr;
HWND g_watchedView = nullptr;
int g_viewAliveAtDialogEnd = -1;   // -1 not seen yet
HHOOK g_destroyHook = nullptr;

LRESULT CALLBACK WatchDestruction(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_DESTROYWND && (HWND)wParam == g_watchedDialog && g_viewAliveAtDialogEnd < 0)
        g_viewAliveAtDialogEnd = ::IsWindow(g_watchedView) ? 1 : 0;
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

struct CloseDuringDialog : ::testing::Test
{
    const std::wstring folder = TestProgramFolder();
    std::string savedContainer;
    std::unique_ptr<ProgramRun> run;
    HWND mainWindow = nullptr;

    void SetUp() override
    {
        viewer::TestControl().Reset();
        savedContainer = ReadWholeFile(folder + L"container.htm");
        ASSERT_TRUE(CopyFileW(FORMSTEAD_CONTAINER_PAGE, (folder + L"container.htm").c_str(), FALSE));
        ASSERT_TRUE(CopyFileW((std::wstring(FORMSTEAD_SAMPLES_DIR) + L"cms1500.pdf").c_str(),
                              (folder + L"claim.pdf").c_str(), FALSE));
        DeleteFileW(Database().c_str());
        ::RegDeleteTreeW(HKEY_CURRENT_USER, (OwnRegistryKey() + kAppearanceSection).c_str());
    }
    void TearDown() override
    {
        if (g_destroyHook)
            ::UnhookWindowsHookEx(g_destroyHook);
        g_destroyHook = nullptr;
        run.reset();
        AfxSetFileChooser(nullptr);
        DeleteFileW(Database().c_str());
        DeleteFileW((folder + L"claim.pdf").c_str());
        WriteWholeFile(folder + L"container.htm", savedContainer);
        ::RegDeleteTreeW(HKEY_CURRENT_USER, (OwnRegistryKey() + kAppearanceSection).c_str());
        viewer::TestControl().Reset();
    }
    std::wstring Database() const { return folder + L"claim.gdb"; }

    void NewRun()
    {
        run.reset(new ProgramRun(true));
        ASSERT_TRUE(MakeMasterDatabase(run->folder.File(L"Vantorel.gdb"), MasterContent()));
    }
    // Starts the program with the form registered through its dialog and waits for the form.
    void StartRegistered()
    {
        NewRun();
        DialogDriver driver;
        driver.OnDialog(kRegistrationCaption, [](HWND dialog) { ClickButton(dialog, IDOK); });
        ASSERT_TRUE(run->Start());
        ASSERT_EQ(FormRegistration::Registered, CheckFormRegistration(Database()));
        ASSERT_TRUE(PumpUntil([&] { return FormEdits().size() >= 2; }));
        mainWindow = run->Frame()->GetSafeHwnd();
    }
    std::vector<HWND> FormEdits()
    {
        std::vector<HWND> edits;
        CPage3* page = dynamic_cast<CPage3*>(run->View()->GetFormPage());
        if (page && page->m_browser.GetSafeHwnd())
            EnumChildWindows(page->m_browser.GetSafeHwnd(), CollectEdits, reinterpret_cast<LPARAM>(&edits));
        return edits;
    }
    HWND FormButton(int id)
    {
        CPage3* page = dynamic_cast<CPage3*>(run->View()->GetFormPage());
        CWnd* button = page ? page->m_buttons.GetDlgItem(id) : nullptr;
        return button ? button->GetSafeHwnd() : nullptr;
    }
    void Watch(HWND dialog)
    {
        g_watchedDialog = dialog;
        g_watchedView = run->View()->GetSafeHwnd();
        g_viewAliveAtDialogEnd = -1;
        if (!g_destroyHook)
            g_destroyHook = ::SetWindowsHookExW(WH_CBT, WatchDestruction, nullptr, ::GetCurrentThreadId());
        ASSERT_NE(nullptr, g_destroyHook);
    }
    // Moves the main window to a known place (as the user would) and asks it to close.
    static void MoveAndClose(HWND main)
    {
        ::ShowWindow(main, SW_RESTORE);
        ::SetWindowPos(main, nullptr, 120, 90, 700, 500, SWP_NOZORDER | SWP_NOACTIVATE);
        ::PostMessageW(main, WM_CLOSE, 0, 0);
    }
    // The program has ended cleanly: no main window, the moved placement stored.
    void ExpectClosedWithPlacement()
    {
        if (g_watchedDialog)
        {
            EXPECT_EQ(1, g_viewAliveAtDialogEnd) << "the dialog went with the view";
        }
        EXPECT_EQ(nullptr, run->app->m_pMainWnd);
        EXPECT_FALSE(::IsWindow(mainWindow));
        EXPECT_EQ(120, StoredPlacement(L"Left"));
        EXPECT_EQ(90, StoredPlacement(L"Top"));
        EXPECT_EQ(820, StoredPlacement(L"Right"));
        EXPECT_EQ(590, StoredPlacement(L"Bottom"));
    }
    std::string One(const char* sql)
    {
        ::Database db;
        EXPECT_TRUE(db.Open(Database().c_str())) << db.ErrorText();
        Statement query;
        EXPECT_TRUE(query.Prepare(db, sql)) << query.ErrorText();
        return query.Step() == StepResult::Row ? std::string(query.ColumnText(0)) : std::string();
    }
    // Opens a dialog by a posted click, closes the main window once the dialog is up, and waits for
    // the program to end.
    void CloseWhileOpen(int button, const std::wstring& caption, std::function<void(HWND)> beforeClose = {})
    {
        DialogDriver driver;
        bool seen = false;
        driver.OnDialog(caption, [&](HWND dialog) {
            seen = true;
            if (beforeClose)
                beforeClose(dialog);
            Watch(dialog);
            MoveAndClose(mainWindow);
        });
        ASSERT_NE(nullptr, FormButton(button));
        ::PostMessageW(FormButton(button), BM_CLICK, 0, 0);
        ASSERT_TRUE(PumpUntil([&] { return run->app->m_pMainWnd == nullptr; }, 20000));
        EXPECT_TRUE(seen);
    }
};
} // namespace

TEST_F(CloseDuringDialog, TheRegistrationDialogAtTheFirstStartEndsWithoutRegistering)
{
    NewRun();
    DialogDriver driver;
    bool seen = false;
    driver.OnDialog(kRegistrationCaption, [&](HWND dialog) {
        seen = true;
        mainWindow = ::GetWindow(dialog, GW_OWNER);
        Watch(dialog);
        MoveAndClose(mainWindow);
    });
    run->Start();
    ASSERT_TRUE(PumpUntil([&] { return run->app->m_pMainWnd == nullptr; }, 20000));
    EXPECT_TRUE(seen);
    ASSERT_NE(nullptr, mainWindow);
    ExpectClosedWithPlacement();
    EXPECT_EQ(FormRegistration::Missing, CheckFormRegistration(Database()));
    EXPECT_TRUE(run->messages.empty()) << (run->messages.empty() ? L"" : run->messages[0].text.GetString());
}

TEST_F(CloseDuringDialog, TheTemplateNameDialogEndsWithoutSavingATemplate)
{
    StartRegistered();
    CloseWhileOpen(kSaveAsTemplate, L"Formstead",
                   [](HWND dialog) { ::SetDlgItemTextW(dialog, kTemplateNameEdit, L"Morning clinic"); });
    ExpectClosedWithPlacement();
    EXPECT_EQ("0", One("SELECT count(*) FROM templates"));
    EXPECT_EQ("0", One("SELECT count(*) FROM submissions"));
    EXPECT_TRUE(run->messages.empty());
}

TEST_F(CloseDuringDialog, ThePrintOptionsDialogEndsWithoutStoringShiftedOffsets)
{
    StartRegistered();
    const std::string offsets = One("SELECT zoomfactor FROM FormInfo");
    CloseWhileOpen(kPrintOptions, L"Print Preferences", [](HWND dialog) {
        ClickButton(dialog, 1015);   // "Shift Up"
        ClickButton(dialog, 1017);   // "Shift Right"
    });
    ExpectClosedWithPlacement();
    EXPECT_EQ(offsets, One("SELECT zoomfactor FROM FormInfo"));
    EXPECT_TRUE(run->messages.empty());
}

TEST_F(CloseDuringDialog, TheUpdatesDialogEnds)
{
    StartRegistered();
    CloseWhileOpen(kCheckFormsUpdates, L"Download form updates (http://localhost:8000/)");
    ExpectClosedWithPlacement();
    EXPECT_TRUE(run->messages.empty());
}

// A real message box of the system (the view's F2 box), not the recording sink.
TEST_F(CloseDuringDialog, ASystemMessageBoxEnds)
{
    StartRegistered();
    AfxSetMessageBoxSink(nullptr);
    DialogDriver driver;
    bool seen = false;
    driver.OnDialog(L"Formstead", [&](HWND box) {
        seen = !::IsWindowEnabled(mainWindow) && !CWnd::FromHandlePermanent(box);
        Watch(box);
        MoveAndClose(mainWindow);
    });
    ::PostMessageW(run->View()->GetSafeHwnd(), WM_KEYDOWN, VK_F2, 0);
    ASSERT_TRUE(PumpUntil([&] { return run->app->m_pMainWnd == nullptr; }, 20000));
    EXPECT_TRUE(seen);
    ExpectClosedWithPlacement();
}

// The program's own one-line message dialog ("Save a blank record at first" of Previous with no
// record), shown as a real modal dialog.
TEST_F(CloseDuringDialog, TheProgramsMessageDialogEnds)
{
    StartRegistered();
    AfxSetMessageBoxSink(nullptr);
    bool seen = false;
    CloseWhileOpen(1018, L"Formstead", [&](HWND dialog) {
        wchar_t text[64] = {};
        ::GetDlgItemTextW(dialog, 1035, text, 64);
        seen = std::wstring(text) == L"Save a blank record at first";
    });
    EXPECT_TRUE(seen);
    ExpectClosedWithPlacement();
}

// The system's file chooser of "Import Completed Files" on the records page.
TEST_F(CloseDuringDialog, TheImportFileChooserEndsWithoutImporting)
{
    StartRegistered();
    run->Frame()->m_wndNavigator.SetStep(1);
    CWnd* import = run->View()->GetRecordsPage()->GetDlgItem(1039);
    ASSERT_NE(nullptr, import);
    ASSERT_TRUE(PumpUntil([&] { return import->IsWindowVisible() && import->IsWindowEnabled(); }));
    DialogDriver driver;
    bool seen = false;
    driver.Then([&] {
        // The chooser is the one dialog of the thread no object is bound to.
        HWND chooser = ::GetLastActivePopup(mainWindow);
        if (chooser == mainWindow || CWnd::FromHandlePermanent(chooser) || !::IsWindowVisible(chooser))
            return false;
        seen = true;
        Watch(chooser);
        MoveAndClose(mainWindow);
        return true;
    });
    ::PostMessageW(import->GetSafeHwnd(), BM_CLICK, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return run->app->m_pMainWnd == nullptr; }, 20000));
    EXPECT_TRUE(seen);
    ExpectClosedWithPlacement();
    EXPECT_EQ("0", One("SELECT count(*) FROM submissions"));
    EXPECT_TRUE(run->messages.empty());
}

// The import dialog showing a chosen completed file, before "Import this form".
TEST_F(CloseDuringDialog, TheShownImportDialogEndsWithoutImporting)
{
    StartRegistered();
    const std::wstring chosen = folder + L"claim.pdf";
    AfxSetFileChooser([chosen](OPENFILENAMEW& ofn, bool) {
        lstrcpynW(ofn.lpstrFile, chosen.c_str(), ofn.nMaxFile);
        return TRUE;
    });
    run->Frame()->m_wndNavigator.SetStep(1);
    CWnd* import = run->View()->GetRecordsPage()->GetDlgItem(1039);
    ASSERT_NE(nullptr, import);
    ASSERT_TRUE(PumpUntil([&] { return import->IsWindowVisible() && import->IsWindowEnabled(); }));
    DialogDriver driver;
    bool seen = false;
    driver.OnDialog(L"Import Completed Files", [&](HWND) {
        seen = true;
        MoveAndClose(mainWindow);
    });
    ::PostMessageW(import->GetSafeHwnd(), BM_CLICK, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return run->app->m_pMainWnd == nullptr; }, 20000));
    EXPECT_TRUE(seen);
    ExpectClosedWithPlacement();
    EXPECT_EQ("0", One("SELECT count(*) FROM submissions"));
    EXPECT_TRUE(run->messages.empty());
}
