// Start-up and shutdown: the command line, the container-page and master-database checks with their
// "Init Error" messages, the logo file and the updates address, the title, and exit.
#include <gtest/gtest.h>
#include "ProgramFixture.h"
#include "tests/support/ScopedState.h"
#include "formdb/MasterDatabase.h"
#include "formdb/Database.h"
#include "resources/resource.h"

namespace
{
// A stand-in container page beside the test executable, put back as it was when the object goes.
struct ContainerPage
{
    FileGuard guard{TestProgramFolder() + L"container.htm"};
    const std::wstring& path = guard.Path();
    ContainerPage() { Put(); }
    void Put() { WriteWholeFile(path, "<html></html>"); }
    void Remove() { ::DeleteFileW(path.c_str()); }
};

BOOL TestModeOf(const wchar_t* commandLine)
{
    CFormsteadApp app;
    CCommandLine info;
    app.ParseCommandLine(info, commandLine);
    return info.m_bTestMode;
}
}

TEST(CommandLine, TheWordTestWithOrWithoutSwitchMarkAndTheLastArgumentDecides)
{
    EXPECT_TRUE(TestModeOf(L"Formstead.exe test"));
    EXPECT_TRUE(TestModeOf(L"Formstead.exe /test"));
    EXPECT_TRUE(TestModeOf(L"Formstead.exe -test"));
    EXPECT_FALSE(TestModeOf(L"Formstead.exe Test"));
    EXPECT_FALSE(TestModeOf(L"Formstead.exe"));
    EXPECT_FALSE(TestModeOf(L"Formstead.exe test other"));
    EXPECT_TRUE(TestModeOf(L"Formstead.exe other test"));
    EXPECT_FALSE(TestModeOf(L"Formstead.exe testing"));
    CCommandLine info;
    CFormsteadApp app;
    app.ParseCommandLine(info, L"Formstead.exe somefile.pdf test");
    EXPECT_EQ((int)CCommandLineInfo::FileNew, info.m_nShellCommand);   // never a file to open
}

TEST(Startup, WithoutTheContainerPageTheProgramEndsBeforeAnyWindow)
{
    ContainerPage page;
    page.Remove();
    ProgramRun run;
    ASSERT_TRUE(MakeMasterDatabase(run.folder.File(L"Vantorel.gdb"), MasterContent()));
    EXPECT_FALSE(run.Start());
    ASSERT_EQ(1u, run.messages.size());
    EXPECT_EQ(CString(L"Can not access [container.htm]. The application will be closed"), run.messages[0].text);
    EXPECT_EQ(CString(L"Init Error"), run.messages[0].caption);
    EXPECT_EQ(nullptr, run.app->m_pMainWnd);
}

TEST(Startup, AMissingMasterDatabaseIsCorruptAndNeverCreated)
{
    ContainerPage page;
    ProgramRun run;
    EXPECT_FALSE(run.Start());
    ASSERT_EQ(1u, run.messages.size());
    EXPECT_EQ(CString(L"Your master-database is corrupted. The application will be closed"), run.messages[0].text);
    EXPECT_EQ(CString(L"Init Error"), run.messages[0].caption);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW(run.folder.File(L"Vantorel.gdb").c_str()));
    EXPECT_EQ(nullptr, run.app->m_pMainWnd);
}

TEST(Startup, BrokenMasterDatabasesEndTheProgram)
{
    ContainerPage page;
    {
        ProgramRun notADatabase;
        ASSERT_TRUE(WriteWholeFile(notADatabase.folder.File(L"Vantorel.gdb"), std::string(2048, 'x')));
        EXPECT_FALSE(notADatabase.Start());
        ASSERT_EQ(1u, notADatabase.messages.size());
        EXPECT_EQ(CString(L"Init Error"), notADatabase.messages[0].caption);
    }
    {
        ProgramRun noLogoTable;
        Database db;
        ASSERT_TRUE(db.Create(noLogoTable.folder.File(L"Vantorel.gdb").c_str()));
        ASSERT_TRUE(db.Execute("CREATE TABLE Other (x)"));
        db.Close();
        EXPECT_FALSE(noLogoTable.Start());
        ASSERT_EQ(1u, noLogoTable.messages.size());
        EXPECT_EQ(CString(L"Your master-database is corrupted. The application will be closed"), noLogoTable.messages[0].text);
    }
}

TEST(Startup, AnEmptyLogoTableStartsWithoutLogoOrAddress)
{
    ContainerPage page;
    ProgramRun run;
    MasterContent content;
    content.withRow = false;
    ASSERT_TRUE(MakeMasterDatabase(run.folder.File(L"Vantorel.gdb"), content));
    ::DeleteFileW(LogoFilePath());
    ASSERT_TRUE(run.Start());
    EXPECT_TRUE(run.messages.empty());
    EXPECT_EQ(CString(), run.app->m_strUpdatesAddress);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW(LogoFilePath()));
    CString title;
    run.Frame()->GetWindowText(title);
    EXPECT_EQ(CString(), title);   // no row, no title
}

TEST(Startup, TheMasterDatabaseGivesTitleAddressAndLogoFileRemovedAtExit)
{
    ContainerPage page;
    ProgramRun run;
    MasterContent content;
    content.title = "Claims Office";
    content.address = "http://localhost:8123/updates/";
    content.logo = SolidBmp(30, 10, RGB(0, 0, 255));
    ASSERT_TRUE(MakeMasterDatabase(run.folder.File(L"Vantorel.gdb"), content));
    ASSERT_TRUE(run.Start());
    EXPECT_TRUE(run.messages.empty());
    EXPECT_EQ(CString(L"http://localhost:8123/updates/"), run.app->m_strUpdatesAddress);
    EXPECT_EQ(CString(L"http://localhost:8123/updates/"), run.Frame()->m_strUpdatesAddress);
    CString title;
    run.Frame()->GetWindowText(title);
    EXPECT_EQ(CString(L"Claims Office"), title);
    EXPECT_EQ(0u, run.Frame()->GetStyle() & FWS_ADDTOTITLE);
    EXPECT_EQ(nullptr, ::GetMenu(run.Frame()->m_hWnd));
    EXPECT_EQ(content.logo, ReadWholeFile((const wchar_t*)LogoFilePath()));
    EXPECT_TRUE(run.Frame()->IsWindowVisible());
    run.Close();
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW(LogoFilePath()));
}

TEST(Startup, NullTitleAndAddressReadAsEmpty)
{
    ContainerPage page;
    ProgramRun run;
    MasterContent content;
    content.title = nullptr;
    content.address = nullptr;
    ASSERT_TRUE(MakeMasterDatabase(run.folder.File(L"Vantorel.gdb"), content));
    ASSERT_TRUE(run.Start());
    EXPECT_EQ(CString(), run.app->m_strUpdatesAddress);
    CString title;
    run.Frame()->GetWindowText(title);
    EXPECT_EQ(CString(), title);
}

TEST(Startup, ALeftoverLargerLogoFileKeepsItsTailAndStillLoads)
{
    ContainerPage page;
    ProgramRun run;
    MasterContent content;
    content.logo = SolidBmp(8, 4, RGB(255, 0, 0));
    ASSERT_TRUE(MakeMasterDatabase(run.folder.File(L"Vantorel.gdb"), content));
    std::string leftover = SolidBmp(40, 40, RGB(0, 255, 0));
    ASSERT_TRUE(WriteWholeFile((const wchar_t*)LogoFilePath(), leftover));
    MasterLogo logo;
    ASSERT_TRUE(ReadMasterLogo(logo));
    ASSERT_NE(nullptr, logo.logo);
    BITMAP info = {};
    ::GetObjectW(logo.logo, sizeof(info), &info);
    EXPECT_EQ(8, info.bmWidth);
    ::DeleteObject(logo.logo);
    std::string written = ReadWholeFile((const wchar_t*)LogoFilePath());
    ASSERT_EQ(leftover.size(), written.size());
    EXPECT_EQ(content.logo, written.substr(0, content.logo.size()));
    EXPECT_EQ(leftover.substr(content.logo.size()), written.substr(content.logo.size()));
    ::DeleteFileW(LogoFilePath());
}

TEST(Startup, TheLogoIsDrawnFromTheLogoFileIntoThePicture)
{
    ContainerPage page;
    ProgramRun run;
    MasterContent content;
    content.logo = SolidBmp(30, 10, RGB(0, 0, 255));
    ASSERT_TRUE(MakeMasterDatabase(run.folder.File(L"Vantorel.gdb"), content));
    ASSERT_TRUE(run.Start());
    Navigator& bar = run.Frame()->m_wndNavigator;
    CWnd* picture = bar.GetDlgItem(IDC_LOGO);
    ASSERT_NE(nullptr, picture);
    CRect area;
    picture->GetClientRect(&area);
    ASSERT_GT(area.Width(), 4);
    ASSERT_GT(area.Height(), 4);

    // The picture asks the bar to draw it, here into a memory bitmap.
    MemoryCanvas canvas(area.Width(), area.Height());
    CDC& memory = canvas.dc;
    auto draw = [&] {
        memory.FillSolidRect(&area, RGB(255, 255, 255));
        DRAWITEMSTRUCT item = {};
        item.CtlType = ODT_STATIC;
        item.CtlID = IDC_LOGO;
        item.hwndItem = picture->m_hWnd;
        item.hDC = memory.m_hDC;
        item.rcItem = area;
        bar.SendMessage(WM_DRAWITEM, IDC_LOGO, (LPARAM)&item);
    };
    draw();   // the logo file stretched over the whole picture
    EXPECT_EQ(RGB(0, 0, 255), memory.GetPixel(0, 0));
    EXPECT_EQ(RGB(0, 0, 255), memory.GetPixel(area.Width() - 1, area.Height() - 1));
    EXPECT_EQ(RGB(0, 0, 255), memory.GetPixel(area.Width() / 2, area.Height() / 2));

    ASSERT_TRUE(::DeleteFileW(LogoFilePath()));
    draw();   // without the file nothing is drawn
    EXPECT_EQ(RGB(255, 255, 255), memory.GetPixel(area.Width() / 2, area.Height() / 2));
    run.Close();
}
