// Libraries loaded on first use: a function of one is reached through the loading helper, and a
// library or function that cannot be found gives the user a message naming it and ends the program
// with exit code 1 (in a separate program, through the real helper), never a crash.
#include <gtest/gtest.h>
#include "framework/DelayLoad.h"
#include "framework/App.h"
#include "framework/Seams.h"
#include "tests/support/TempFolder.h"
#include <commdlg.h>
#include <wininet.h>
#include <string>
#include <vector>

namespace
{
struct Shown
{
    CString text;
    CString caption;
};

struct DelayLoadReport : ::testing::Test
{
    std::vector<Shown> shown;
    std::vector<UINT> endings;

    void SetUp() override
    {
        AfxSetMessageBoxSink([this](HWND, const CString& text, const CString& caption, UINT) {
            shown.push_back({text, caption});
            return IDOK;
        });
        AfxSetDelayLoadFailureEnder([this](UINT code) { endings.push_back(code); });
    }
    void TearDown() override
    {
        AfxSetMessageBoxSink(nullptr);
        AfxSetDelayLoadFailureEnder(nullptr);
    }
};

std::wstring ExecutableFolder()
{
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder = path;
    return folder.substr(0, folder.find_last_of(L'\\') + 1);
}
}

TEST_F(DelayLoadReport, AMissingLibraryOrFunctionIsNamedAndTheProgramEnds)
{
    AfxReportDelayLoadFailure(DelayLoadFailure::Library, "comdlg32.dll", "GetOpenFileNameW", 126);
    AfxReportDelayLoadFailure(DelayLoadFailure::Function, "wininet.dll", "InternetOpenW", 127);
    ASSERT_EQ(2u, shown.size());
    EXPECT_EQ(CString(L"The system library comdlg32.dll could not be loaded (error 126), so this action cannot be "
                      L"carried out.\r\nThe application will be closed."),
              shown[0].text);
    EXPECT_EQ(CString(L"The system library wininet.dll has no function InternetOpenW (error 127), so this action "
                      L"cannot be carried out.\r\nThe application will be closed."),
              shown[1].text);
    EXPECT_EQ(CString(AfxGetAppName()), shown[0].caption);   // the program's name, as on its other boxes
    EXPECT_EQ((std::vector<UINT>{1, 1}), endings);
}

TEST(DelayLoad, TheResolvedFunctionIsTheLibrarysOwnAndIsKeptForTheNextCalls)
{
    FARPROC slot = nullptr;
    const FARPROC resolved = AfxResolveDelayLoad("kernel32.dll", "GetTickCount", &slot);
    const FARPROC expected = ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "GetTickCount");
    ASSERT_NE(nullptr, expected);
    EXPECT_EQ(expected, resolved);
    EXPECT_EQ(expected, slot);
}

TEST(DelayLoad, FunctionsOfALibraryLoadedOnFirstUseAreReachedAndLoadIt)
{
    // No dialog has run: no extended error. The first call loads the library through its stub.
    EXPECT_EQ(0u, ::CommDlgExtendedError());
    EXPECT_NE(nullptr, ::GetModuleHandleW(L"comdlg32.dll"));
    EXPECT_EQ(0u, ::CommDlgExtendedError());
    // Arguments reach the function and its answer comes back: a canonical address of a plain one.
    wchar_t canonical[64] = {};
    DWORD length = 64;
    ASSERT_TRUE(::InternetCanonicalizeUrlW(L"http://example.org/a b", canonical, &length, 0));
    EXPECT_STREQ(L"http://example.org/a%20b", canonical);
    EXPECT_EQ(24u, length);
}

TEST(DelayLoad, AProgramCallingIntoAMissingLibraryReportsItAndEndsWithCodeOne)
{
    TempFolder folder;
    const std::wstring output = folder.File(L"report.txt");
    std::wstring commandLine = L"\"" + ExecutableFolder() + L"delay_failure_probe.exe\" \"" + output + L"\"";
    STARTUPINFOW startup = {sizeof(startup)};
    PROCESS_INFORMATION process = {};
    ASSERT_TRUE(::CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                                 &startup, &process))
        << ::GetLastError();
    ::CloseHandle(process.hThread);
    const DWORD waited = ::WaitForSingleObject(process.hProcess, 60000);   // a watchdog, not a time limit
    DWORD exitCode = 0;
    ::GetExitCodeProcess(process.hProcess, &exitCode);
    if (waited != WAIT_OBJECT_0)
        ::TerminateProcess(process.hProcess, 3);
    ::CloseHandle(process.hProcess);
    ASSERT_EQ(WAIT_OBJECT_0, waited);
    EXPECT_EQ(1u, exitCode);
    EXPECT_EQ("Formstead|The system library formstead_absent.dll could not be loaded (error 126), so this action "
              "cannot be carried out.\r\nThe application will be closed.",
              ReadWholeFile(output));
}
