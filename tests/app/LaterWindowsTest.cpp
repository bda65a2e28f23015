// The windows start-up leaves for later, on real windows: the records page and the hidden registration
// dialog do not exist when the start-up returns with the form page shown; the first messages the main
// window handles make them (hidden, in their places, the main window still active), and whatever
// needs one earlier makes it at once, once only.
#include <gtest/gtest.h>
#include "ProgramFixture.h"
#include "tests/support/ScopedState.h"
#include "pages/RegisterForm.h"

namespace
{
BOOL CALLBACK CountRegistrationDialogs(HWND window, LPARAM count)
{
    wchar_t caption[64] = {};
    ::GetWindowTextW(window, caption, 64);
    *reinterpret_cast<int*>(count) += lstrcmpW(caption, L"New Forms Registration") == 0;
    return TRUE;
}

struct LaterWindows : ::testing::Test
{
    RegistryKeyGuard appearance{OwnRegistryKey() + L"\\Formstead\\Appearance"};
    FileGuard page{TestProgramFolder() + L"container.htm"};
    std::unique_ptr<ProgramRun> run;

    // Starts the program (its own page classes or the plain ones) and leaves the queue as start-up left it.
    void StartWithoutHandlingMessages(bool programPages)
    {
        ASSERT_TRUE(WriteWholeFile(page.Path(), "<html></html>"));
        run.reset(new ProgramRun(programPages));
        ASSERT_TRUE(MakeMasterDatabase(run->folder.File(L"Vantorel.gdb"), MasterContent()));
        ASSERT_TRUE(run->Start(L"Formstead.exe test", false));
        ASSERT_NE(nullptr, run->View());
    }
    void TearDown() override
    {
        if (run)
            run->Close();
        run.reset();
    }
    // The dialogs made as children of the view (the pages).
    int PagesOfTheView()
    {
        int pages = 0;
        for (HWND child = ::GetWindow(run->View()->m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        {
            wchar_t name[16] = {};
            ::GetClassNameW(child, name, 16);
            pages += lstrcmpW(name, L"#32770") == 0;
        }
        return pages;
    }
};
}

TEST_F(LaterWindows, TheFirstMessagesMakeTheRecordsPageAndTheRegistrationDialogHidden)
{
    StartWithoutHandlingMessages(false);
    CFormsteadView* view = run->View();
    EXPECT_TRUE(view->GetFormPage()->IsWindowVisible());
    EXPECT_EQ(nullptr, view->GetRecordsPage());
    EXPECT_EQ(nullptr, view->GetRegisterForm());
    EXPECT_EQ(1, PagesOfTheView());

    PumpPending();
    CDialog* records = view->GetRecordsPage();
    ASSERT_NE(nullptr, records);
    ASSERT_TRUE(::IsWindow(records->m_hWnd));
    EXPECT_FALSE(records->IsWindowVisible());
    EXPECT_EQ(view->m_hWnd, ::GetParent(records->m_hWnd));
    CRect place, client;
    records->GetWindowRect(&place);
    view->ScreenToClient(&place);
    view->GetClientRect(&client);
    EXPECT_EQ(client, place);
    EXPECT_EQ(2, PagesOfTheView());

    CDialog* registration = view->GetRegisterForm();
    ASSERT_NE(nullptr, registration);
    ASSERT_TRUE(::IsWindow(registration->m_hWnd));
    EXPECT_FALSE(registration->IsWindowVisible());
    // A window of its own, owned by the main window (not a child of the view).
    EXPECT_FALSE(registration->GetStyle() & WS_CHILD);
    EXPECT_EQ(run->Frame()->m_hWnd, ::GetWindow(registration->m_hWnd, GW_OWNER));
    EXPECT_TRUE(view->GetFormPage()->IsWindowVisible());
}

TEST_F(LaterWindows, TheProgramsRegistrationDialogMadeLaterLeavesTheMainWindowActiveWithTheFocus)
{
    StartWithoutHandlingMessages(true);
    const HWND frame = run->Frame()->m_hWnd;
    ASSERT_EQ(frame, ::GetActiveWindow());
    const HWND focus = ::GetFocus();
    ASSERT_TRUE(focus == frame || ::IsChild(frame, focus));

    PumpPending();
    RegisterForm* registration = dynamic_cast<RegisterForm*>(run->View()->GetRegisterForm());
    ASSERT_NE(nullptr, registration);
    ASSERT_TRUE(::IsWindow(registration->m_hWnd));
    EXPECT_FALSE(registration->IsWindowVisible());
    EXPECT_EQ(frame, ::GetActiveWindow());
    EXPECT_EQ(frame, ::GetForegroundWindow());
    EXPECT_EQ(focus, ::GetFocus());
}

TEST_F(LaterWindows, SwitchingToTheRecordsPageBeforeMakesItAtOnceAndOnlyOnce)
{
    StartWithoutHandlingMessages(false);
    CFormsteadView* view = run->View();
    view->ShowRecordsPage();
    CDialog* records = view->GetRecordsPage();
    ASSERT_NE(nullptr, records);
    EXPECT_TRUE(records->IsWindowVisible());
    EXPECT_FALSE(view->GetFormPage()->IsWindowVisible());

    PumpPending();
    EXPECT_EQ(records, view->GetRecordsPage());
    EXPECT_TRUE(records->IsWindowVisible());
    EXPECT_EQ(2, PagesOfTheView());
    ASSERT_NE(nullptr, view->GetRegisterForm());
}

TEST_F(LaterWindows, TheImportDialogAskedForBeforeIsMadeAtOnceAndOnlyOnce)
{
    StartWithoutHandlingMessages(true);
    CFormsteadView* view = run->View();
    FormPageHost& host = *view;
    RegisterForm* dialog = host.GetImportDialog();
    ASSERT_NE(nullptr, dialog);
    ASSERT_TRUE(::IsWindow(dialog->m_hWnd));
    EXPECT_FALSE(dialog->IsWindowVisible());
    EXPECT_EQ(dialog, view->GetRegisterForm());

    PumpPending();
    EXPECT_EQ(dialog, host.GetImportDialog());
    EXPECT_NE(nullptr, view->GetRecordsPage());
    // One registration dialog of this thread: the one the view keeps.
    int dialogs = 0;
    ::EnumThreadWindows(::GetCurrentThreadId(), CountRegistrationDialogs, reinterpret_cast<LPARAM>(&dialogs));
    EXPECT_EQ(1, dialogs);
}
