// The main window on real windows: the bars around the view, the pages, step switching by the arrows
// with the current step coloured, placement in "Appearance" (first start and maximised round trip),
// and the view's F2 message.
#include <gtest/gtest.h>
#include "ProgramFixture.h"
#include "tests/support/ScopedState.h"
#include "resources/resource.h"
#include "tests/framework/GeometryPrinters.h"
#include "pages/FormPage.h"
#include "pages/RegisterForm.h"

namespace
{
// A stand-in container page beside the test executable, for the life of the object.
struct ContainerPage
{
    FileGuard guard{TestProgramFolder() + L"container.htm"};
    ContainerPage() { WriteWholeFile(guard.Path(), "<html></html>"); }
};

CRect WindowRectOf(CWnd& window)
{
    CRect rect;
    window.GetWindowRect(&rect);
    return rect;
}

// The rectangle the system gives a window with the frame's styles when it is maximised.
CRect MaximisedBySystem(CWnd& frame)
{
    CWnd reference;
    const DWORD style = frame.GetStyle() & ~(WS_MAXIMIZE | WS_MINIMIZE | WS_VISIBLE | WS_DISABLED);
    EXPECT_TRUE(reference.CreateEx(frame.GetExStyle(), nullptr, L"reference", style, 10, 10, 300, 200, nullptr, nullptr));
    reference.ShowWindow(SW_SHOWMAXIMIZED);
    const CRect rect = WindowRectOf(reference);
    reference.DestroyWindow();
    return rect;
}

struct MainWindow : ::testing::Test
{
    RegistryKeyGuard appearance{OwnRegistryKey() + L"\\Formstead\\Appearance"};
    ContainerPage page;
    ProgramRun run;
    void SetUp() override
    {
        ASSERT_TRUE(MakeMasterDatabase(run.folder.File(L"Vantorel.gdb"), MasterContent()));
        ASSERT_TRUE(run.Start());
        ASSERT_NE(nullptr, run.Frame());
        ASSERT_NE(nullptr, run.View());
    }
    Navigator& Steps() { return run.Frame()->m_wndNavigator; }
    void Click(int arrowId)
    {
        CWnd* arrow = Steps().m_buttons.GetDlgItem(arrowId);
        ASSERT_NE(nullptr, arrow);
        arrow->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        arrow->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
        PumpPending();
    }
    // Pixels of the given colour inside one of the panel's step captions, as drawn on the screen.
    int CaptionPixels(int captionId, COLORREF colour)
    {
        CWnd* caption = Steps().m_buttons.GetDlgItem(captionId);
        caption->RedrawWindow();
        CRect client;
        caption->GetClientRect(&client);
        CClientDC source(caption);
        MemoryCanvas canvas(client.Width(), client.Height());
        canvas.dc.BitBlt(0, 0, client.Width(), client.Height(), &source, 0, 0, SRCCOPY);
        int count = 0;
        for (int x = 0; x < client.Width(); ++x)
            for (int y = 0; y < client.Height(); ++y)
                count += canvas.dc.GetPixel(x, y) == colour;
        return count;
    }
};
}

TEST_F(MainWindow, BarsDockAroundTheViewAndTheFormPageIsShown)
{
    CMainFrame* frame = run.Frame();
    CRect client, top, bottom, view;
    frame->GetClientRect(&client);
    Steps().GetWindowRect(&top);
    frame->m_wndPRT.GetWindowRect(&bottom);
    run.View()->GetWindowRect(&view);
    frame->ScreenToClient(&top);
    frame->ScreenToClient(&bottom);
    frame->ScreenToClient(&view);
    EXPECT_EQ(0, top.top);
    EXPECT_EQ(client.bottom, bottom.bottom);
    EXPECT_EQ(top.bottom, view.top);
    EXPECT_EQ(bottom.top, view.bottom);
    EXPECT_EQ(client.Width(), view.Width());
    EXPECT_EQ(CWnd::FromHandlePermanent(Steps().m_hWnd), frame->GetControlBar(Navigator::IDD));

    CFormsteadView* v = run.View();
    ASSERT_NE(nullptr, v->GetFormPage());
    ASSERT_NE(nullptr, v->GetRecordsPage());
    EXPECT_TRUE(v->GetFormPage()->IsWindowVisible());
    EXPECT_FALSE(v->GetRecordsPage()->IsWindowVisible());
    CRect page, viewClient;
    v->GetFormPage()->GetWindowRect(&page);
    v->ScreenToClient(&page);
    v->GetClientRect(&viewClient);
    EXPECT_EQ(viewClient, page);
    ASSERT_NE(nullptr, v->GetRegisterForm());
    EXPECT_TRUE(::IsWindow(v->GetRegisterForm()->m_hWnd));
    EXPECT_FALSE(v->GetRegisterForm()->IsWindowVisible());
    // A window of its own, owned by the main window (not a child of the view).
    EXPECT_FALSE(v->GetRegisterForm()->GetStyle() & WS_CHILD);
    EXPECT_EQ(run.Frame()->m_hWnd, ::GetWindow(v->GetRegisterForm()->m_hWnd, GW_OWNER));
    EXPECT_EQ(-1, v->GetCurrentRecordId());
    EXPECT_EQ(CString(TestProgramFolder().c_str()), v->GetProgramFolder());
    EXPECT_EQ(v->GetProgramFolder(), v->GetStoreFolder());   // test mode
}

TEST_F(MainWindow, ArrowsSwitchStepsShowingExactlyOnePageAndColouringTheCurrentStep)
{
    CFormsteadView* v = run.View();
    EXPECT_EQ(0, Steps().GetCurrentStep());
    EXPECT_GT(CaptionPixels(IDC_STEP_CREATE_RECORD, RGB(192, 0, 0)), 10);
    EXPECT_EQ(0, CaptionPixels(IDC_STEP_VIEW_DATABASE, RGB(192, 0, 0)));
    EXPECT_GT(CaptionPixels(IDC_STEP_VIEW_DATABASE, RGB(128, 128, 128)), 10);

    Click(IDC_NEXT_ARROW);
    EXPECT_EQ(1, Steps().GetCurrentStep());
    EXPECT_EQ((UINT)IDC_STEP_VIEW_DATABASE, Steps().GetCurrentStepId());
    EXPECT_TRUE(v->GetRecordsPage()->IsWindowVisible());
    EXPECT_FALSE(v->GetFormPage()->IsWindowVisible());
    EXPECT_TRUE(run.Frame()->GetActiveDocument()->IsModified());
    EXPECT_GT(CaptionPixels(IDC_STEP_VIEW_DATABASE, RGB(192, 0, 0)), 10);
    EXPECT_EQ(0, CaptionPixels(IDC_STEP_CREATE_RECORD, RGB(192, 0, 0)));

    // Next on the last step changes nothing.
    run.Frame()->GetActiveDocument()->SetModifiedFlag(FALSE);
    Click(IDC_NEXT_ARROW);
    EXPECT_EQ(1, Steps().GetCurrentStep());
    EXPECT_FALSE(run.Frame()->GetActiveDocument()->IsModified());

    Click(IDC_BACK_ARROW);
    EXPECT_EQ(0, Steps().GetCurrentStep());
    EXPECT_TRUE(v->GetFormPage()->IsWindowVisible());
    EXPECT_FALSE(v->GetRecordsPage()->IsWindowVisible());

    run.Frame()->GetActiveDocument()->SetModifiedFlag(FALSE);
    Click(IDC_BACK_ARROW);
    EXPECT_EQ(0, Steps().GetCurrentStep());
    EXPECT_FALSE(run.Frame()->GetActiveDocument()->IsModified());
    Steps().SetStep(5);
    EXPECT_EQ(0, Steps().GetCurrentStep());
    EXPECT_EQ(0u, Steps().GetStepId(2));
}

TEST_F(MainWindow, FirstStartPlacementAndMaximisedRoundTrip)
{
    WINDOWPLACEMENT placement = {sizeof(placement)};
    ASSERT_TRUE(run.Frame()->GetWindowPlacement(&placement));
    EXPECT_EQ(CRect(50, 50, 900, 600), CRect(placement.rcNormalPosition));
    EXPECT_FALSE(run.Frame()->IsZoomed());

    run.Frame()->ShowWindow(SW_MAXIMIZE);
    run.Close();
    CFormsteadApp reader;
    reader.SetRegistryKey(L"Formstead");
    EXPECT_EQ((UINT)SW_SHOWMAXIMIZED, reader.GetProfileInt(L"Appearance", L"ShowCmd", 0));
    EXPECT_EQ(50u, reader.GetProfileInt(L"Appearance", L"Left", 0));
    EXPECT_EQ(600u, reader.GetProfileInt(L"Appearance", L"Bottom", 0));

    ProgramRun again;
    ASSERT_TRUE(MakeMasterDatabase(again.folder.File(L"Vantorel.gdb"), MasterContent()));
    ASSERT_TRUE(again.Start());
    EXPECT_TRUE(again.Frame()->IsZoomed());
    WINDOWPLACEMENT restored = {sizeof(restored)};
    ASSERT_TRUE(again.Frame()->GetWindowPlacement(&restored));
    EXPECT_EQ(CRect(50, 50, 900, 600), CRect(restored.rcNormalPosition));
    // Where the system itself puts a maximised window of the same kind: frame edges beyond the work
    // area, the client area across its whole width.
    EXPECT_EQ(MaximisedBySystem(*again.Frame()), WindowRectOf(*again.Frame()));
    CRect client, work;
    again.Frame()->GetClientRect(&client);
    again.Frame()->ClientToScreen(&client);
    ASSERT_TRUE(::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0));
    EXPECT_EQ(work.left, client.left);
    EXPECT_EQ(work.right, client.right);
    EXPECT_EQ(again.Frame()->m_hWnd, ::GetForegroundWindow());
    EXPECT_EQ(again.Frame()->m_hWnd, ::GetActiveWindow());
    again.Close();
}

TEST_F(MainWindow, F2OnTheViewShowsTheAssemblyNumber)
{
    run.View()->SendMessage(WM_KEYDOWN, VK_F2, 0);
    ASSERT_EQ(1u, run.messages.size());
    EXPECT_EQ(CString(L"The current project assembly: 3"), run.messages[0].text);
    EXPECT_EQ(CString(L"Formstead"), run.messages[0].caption);
}

TEST_F(MainWindow, ClosingDestroysTheViewAndItsPagesBeforeTheFrame)
{
    HWND formPage = run.View()->GetFormPage()->m_hWnd;
    HWND registerForm = run.View()->GetRegisterForm()->m_hWnd;
    HWND frame = run.Frame()->m_hWnd;
    run.Close();
    EXPECT_FALSE(::IsWindow(formPage));
    EXPECT_FALSE(::IsWindow(registerForm));
    EXPECT_FALSE(::IsWindow(frame));
    EXPECT_EQ(nullptr, run.app->m_pMainWnd);
}

TEST_F(MainWindow, ThePagesSeeTheViewThroughTheirHostInterface)
{
    FormPageHost& host = *run.View();
    EXPECT_EQ(CString(L"http://localhost:8000/"), host.GetUpdatesAddress());
    EXPECT_EQ(host.GetProgramFolder(), host.GetStoreFolder());
    EXPECT_EQ(run.Frame(), host.GetMainFrame());
    host.SetCurrentRecordId(12);
    host.SetTemplateFlag(1);
    EXPECT_EQ(12, run.View()->GetCurrentRecordId());
    EXPECT_EQ(1, run.View()->GetTemplateFlag());
    host.ShowRecordsPage();
    EXPECT_EQ(1, Steps().GetCurrentStep());
    EXPECT_TRUE(run.View()->GetRecordsPage()->IsWindowVisible());
    EXPECT_FALSE(run.View()->GetFormPage()->IsWindowVisible());
}

TEST(ProgramPages, TheFormPageIsTheFormPageClassAndSaysWhenTheStoreHoldsNoForm)
{
    ContainerPage page;
    ProgramRun run(true);
    ASSERT_TRUE(MakeMasterDatabase(run.folder.File(L"Vantorel.gdb"), MasterContent()));
    ASSERT_TRUE(run.Start());   // test mode: the test folder holds no form
    CDialog* formPage = run.View()->GetFormPage();
    ASSERT_NE(nullptr, formPage);
    EXPECT_NE(nullptr, dynamic_cast<CPage3*>(formPage));
    EXPECT_NE(nullptr, dynamic_cast<RegisterForm*>(run.View()->GetRegisterForm()));
    EXPECT_TRUE(formPage->IsWindowVisible());
    ASSERT_FALSE(run.messages.empty());
    EXPECT_NE(-1, run.messages.back().text.Find(L"The form store holds no form"));
}

TEST_F(MainWindow, StepCaptionsAndTitleKeepLiveFonts)
{
    for (int id : {IDC_STEP_CREATE_RECORD, IDC_STEP_VIEW_DATABASE})
    {
        CFont* font = Steps().m_buttons.GetDlgItem(id)->GetFont();
        ASSERT_NE(nullptr, font);
        LOGFONT logFont = {};
        ASSERT_NE(0, font->GetLogFont(&logFont)) << "the caption's font was deleted";
        EXPECT_EQ(CString(L"Times New Roman"), CString(logFont.lfFaceName));
    }
    CWnd* title = Steps().m_buttons.GetDlgItem(IDC_PANEL_TITLE);
    CString text;
    title->GetWindowText(text);
    EXPECT_EQ(CString(L"CMS-1500 Collections / Patients Statements"), text);
    EXPECT_FALSE(title->IsWindowVisible());
    LOGFONT titleFont = {};
    ASSERT_NE(0, title->GetFont()->GetLogFont(&titleFont));
    EXPECT_EQ(CString(L"Arial"), CString(titleFont.lfFaceName));
    CString caption;
    Steps().m_buttons.GetDlgItem(IDC_STEP_CREATE_RECORD)->GetWindowText(caption);
    EXPECT_EQ(CString(L"1\n\nCreate New Record"), caption);
    CRect rect;
    Steps().m_buttons.GetDlgItem(IDC_STEP_VIEW_DATABASE)->GetWindowRect(&rect);
    Steps().m_buttons.ScreenToClient(&rect);
    EXPECT_EQ(CRect(350, 30, 450, 130), rect);
    EXPECT_FALSE(Steps().m_buttons.GetDlgItem(IDC_STEP_SELECT_FORM)->IsWindowVisible());
}

TEST_F(MainWindow, ThePanelIsCentredOnTheBarAndTheLogoFillsTheRoomBeside)
{
    run.Frame()->SetWindowPos(nullptr, 0, 0, 1000, 600, SWP_NOZORDER | SWP_NOMOVE);
    PumpPending();
    CRect bar, panel, logo;
    Steps().GetClientRect(&bar);
    Steps().m_buttons.GetWindowRect(&panel);
    Steps().ScreenToClient(&panel);
    Steps().GetDlgItem(IDC_LOGO)->GetWindowRect(&logo);
    Steps().ScreenToClient(&logo);
    EXPECT_NEAR(bar.Width() / 2, panel.left + panel.Width() / 2, 1);
    EXPECT_EQ(panel.left, logo.Width());

    // The bottom bar keeps its one static centred as well.
    CPRT& bottom = run.Frame()->m_wndPRT;
    CRect bottomBar, text;
    bottom.GetClientRect(&bottomBar);
    bottom.GetDlgItem(IDC_PRT_TEXT)->GetWindowRect(&text);
    bottom.ScreenToClient(&text);
    EXPECT_NEAR(bottomBar.Width() / 2, text.left + text.Width() / 2, 1);
    EXPECT_NEAR(bottomBar.Height() / 2, text.top + text.Height() / 2, 1);
}

TEST_F(MainWindow, TheArrowBitmapsGoWithThePanel)
{
    HBITMAP next = static_cast<CStatic*>(Steps().m_buttons.GetDlgItem(IDC_NEXT_ARROW))->GetBitmap();
    HBITMAP back = static_cast<CStatic*>(Steps().m_buttons.GetDlgItem(IDC_BACK_ARROW))->GetBitmap();
    ASSERT_EQ(OBJ_BITMAP, (DWORD)::GetObjectType(next));
    ASSERT_EQ(OBJ_BITMAP, (DWORD)::GetObjectType(back));
    BITMAP info = {};
    ASSERT_NE(0, ::GetObjectW(next, sizeof(info), &info));
    EXPECT_GT(info.bmWidth, 0);
    run.Close();
    // Every main window loads its own pair; none may outlive it.
    EXPECT_EQ(0u, (DWORD)::GetObjectType(next));
    EXPECT_EQ(0u, (DWORD)::GetObjectType(back));
}

TEST(Placement, AWindowClosedMinimisedComesBackRestoredWhereItWas)
{
    RegistryKeyGuard appearance{OwnRegistryKey() + L"\\Formstead\\Appearance"};
    ContainerPage page;
    CFormsteadApp writer;
    writer.SetRegistryKey(L"Formstead");
    WINDOWPLACEMENT stored = {sizeof(stored)};
    stored.showCmd = SW_SHOWMINIMIZED;
    stored.rcNormalPosition = {120, 80, 820, 580};
    CMainFrame::WritePlacement(writer, stored);

    ProgramRun run;
    ASSERT_TRUE(MakeMasterDatabase(run.folder.File(L"Vantorel.gdb"), MasterContent()));
    ASSERT_TRUE(run.Start());
    EXPECT_FALSE(run.Frame()->IsIconic());
    EXPECT_FALSE(run.Frame()->IsZoomed());
    EXPECT_TRUE(run.Frame()->IsWindowVisible());
    WINDOWPLACEMENT restored = {sizeof(restored)};
    ASSERT_TRUE(run.Frame()->GetWindowPlacement(&restored));
    EXPECT_EQ(CRect(120, 80, 820, 580), CRect(restored.rcNormalPosition));
    run.Close();

    // Minimised from a maximised window: it comes back maximised.
    stored.flags = WPF_RESTORETOMAXIMIZED;
    CMainFrame::WritePlacement(writer, stored);
    ProgramRun again;
    ASSERT_TRUE(MakeMasterDatabase(again.folder.File(L"Vantorel.gdb"), MasterContent()));
    ASSERT_TRUE(again.Start());
    EXPECT_FALSE(again.Frame()->IsIconic());
    EXPECT_TRUE(again.Frame()->IsZoomed());
    again.Close();
}

TEST(Placement, AfterARestartTheMainWindowIsTheActiveForegroundWindow)
{
    RegistryKeyGuard appearance{OwnRegistryKey() + L"\\Formstead\\Appearance"};
    ContainerPage page;
    CFormsteadApp writer;
    writer.SetRegistryKey(L"Formstead");
    WINDOWPLACEMENT stored = {sizeof(stored)};
    stored.showCmd = SW_SHOWNORMAL;
    stored.rcNormalPosition = {60, 40, 910, 590};
    CMainFrame::WritePlacement(writer, stored);

    // The program's own pages, with the hidden registration dialog the view keeps.
    ProgramRun run(true);
    ASSERT_TRUE(MakeMasterDatabase(run.folder.File(L"Vantorel.gdb"), MasterContent()));
    ASSERT_TRUE(run.Start());
    EXPECT_EQ(run.Frame()->m_hWnd, ::GetForegroundWindow());
    EXPECT_EQ(run.Frame()->m_hWnd, ::GetActiveWindow());
    EXPECT_FALSE(run.View()->GetRegisterForm()->IsWindowVisible());
    run.Close();
}
