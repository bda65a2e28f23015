// Drives the program from outside the way a user would, for the run command's screenshot:
//   ProgramDriver start <program> [arguments]  starts it in its own folder, answers every dialog that
//                                                appears with its default button, and returns once the
//                                                main window is up and idle; prints "pid <n>"
//   ProgramDriver close <pid>                   asks the main window to close and waits for the program
//                                                to end; exit code 0 only when the program ended with 0
#include <windows.h>
#include <cstdio>
#include <string>
#include <vector>

namespace
{
const DWORD kStartTimeoutMs = 180000;
const DWORD kCloseTimeoutMs = 60000;
const DWORD kPollMs = 250;
const int kStablePolls = 6;   // the main window alone and enabled for this many polls in a row

struct ProcessWindows
{
    DWORD pid;
    std::vector<HWND> dialogs;   // visible, enabled dialogs (message boxes included)
    std::vector<HWND> mains;     // visible, enabled top-level windows that are no dialogs
};

BOOL CALLBACK CollectWindow(HWND hWnd, LPARAM lParam)
{
    ProcessWindows* windows = (ProcessWindows*)lParam;
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hWnd, &pid);
    if (pid != windows->pid || !::IsWindowVisible(hWnd) || !::IsWindowEnabled(hWnd))
        return TRUE;
    wchar_t className[64] = {};
    ::GetClassNameW(hWnd, className, 64);
    if (lstrcmpW(className, L"#32770") == 0)
        windows->dialogs.push_back(hWnd);
    else if (!(::GetWindowLongW(hWnd, GWL_STYLE) & WS_CHILD) && !::GetWindow(hWnd, GW_OWNER))
        windows->mains.push_back(hWnd);
    return TRUE;
}

ProcessWindows FindWindows(DWORD pid)
{
    ProcessWindows windows = {pid, {}, {}};
    ::EnumWindows(CollectWindow, (LPARAM)&windows);
    return windows;
}

std::wstring TextOf(HWND hWnd)
{
    wchar_t text[512] = {};
    ::GetWindowTextW(hWnd, text, 512);
    return text;
}

// Presses a dialog's default button (OK when it names none), as Enter would.
void Answer(HWND dialog)
{
    DWORD defaultId = (DWORD)::SendMessageW(dialog, DM_GETDEFID, 0, 0);
    int id = HIWORD(defaultId) == DC_HASDEFID ? LOWORD(defaultId) : IDOK;
    std::wstring said;
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
    {
        wchar_t className[32] = {};
        ::GetClassNameW(child, className, 32);
        if (lstrcmpiW(className, L"Static") == 0 && ::IsWindowVisible(child) && !TextOf(child).empty())
            said += (said.empty() ? L"" : L" ") + TextOf(child);
    }
    wprintf(L"answered \"%ls\" (%ls) with button %d\n", TextOf(dialog).c_str(), said.c_str(), id);
    fflush(stdout);
    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)::GetDlgItem(dialog, id));
}

int Start(int argc, wchar_t** argv)
{
    std::wstring program = argv[2];
    std::wstring commandLine = L"\"" + program + L"\"";
    for (int i = 3; i < argc; ++i)
        commandLine += std::wstring(L" \"") + argv[i] + L"\"";
    std::wstring folder = program.substr(0, program.find_last_of(L'\\') + 1);
    STARTUPINFOW startup = {sizeof(startup)};
    PROCESS_INFORMATION process = {};
    if (!::CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                          folder.empty() ? nullptr : folder.c_str(), &startup, &process))
    {
        fwprintf(stderr, L"cannot start %ls (error %lu)\n", program.c_str(), ::GetLastError());
        return 1;
    }
    ::CloseHandle(process.hThread);
    DWORD started = ::GetTickCount();
    int stable = 0;
    DWORD lastAnswer = 0;
    while (::GetTickCount() - started < kStartTimeoutMs)
    {
        if (::WaitForSingleObject(process.hProcess, kPollMs) == WAIT_OBJECT_0)
        {
            DWORD code = 0;
            ::GetExitCodeProcess(process.hProcess, &code);
            fwprintf(stderr, L"the program ended during start-up (exit code %lu)\n", code);
            ::CloseHandle(process.hProcess);
            return 1;
        }
        ProcessWindows windows = FindWindows(process.dwProcessId);
        if (!windows.dialogs.empty())
        {
            stable = 0;
            if (::GetTickCount() - lastAnswer > 1000)
            {
                Answer(windows.dialogs.front());
                lastAnswer = ::GetTickCount();
            }
            continue;
        }
        stable = windows.mains.empty() ? 0 : stable + 1;
        if (stable >= kStablePolls)
        {
            ::WaitForInputIdle(process.hProcess, 5000);
            wprintf(L"main window \"%ls\" is up\npid %lu\n", TextOf(windows.mains.front()).c_str(), process.dwProcessId);
            ::CloseHandle(process.hProcess);
            return 0;
        }
    }
    fwprintf(stderr, L"the main window did not come up in time\n");
    ::TerminateProcess(process.hProcess, 1);
    ::CloseHandle(process.hProcess);
    return 1;
}

int Close(const wchar_t* pidText)
{
    DWORD pid = (DWORD)_wtoi(pidText);
    HANDLE process = ::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION | PROCESS_TERMINATE, FALSE, pid);
    if (!process)
    {
        fwprintf(stderr, L"no program with pid %lu\n", pid);
        return 1;
    }
    ProcessWindows windows = FindWindows(pid);
    for (HWND main : windows.mains)
        ::PostMessageW(main, WM_CLOSE, 0, 0);
    if (::WaitForSingleObject(process, kCloseTimeoutMs) != WAIT_OBJECT_0)
    {
        fwprintf(stderr, L"the program did not end after being closed\n");
        ::TerminateProcess(process, 1);
        ::CloseHandle(process);
        return 1;
    }
    DWORD code = 1;
    ::GetExitCodeProcess(process, &code);
    ::CloseHandle(process);
    wprintf(L"the program ended with exit code %lu\n", code);
    return code == 0 ? 0 : 1;
}
}

int main()
{
    int argc = 0;
    wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    if (argv && argc >= 3 && lstrcmpW(argv[1], L"start") == 0)
        return Start(argc, argv);
    if (argv && argc == 3 && lstrcmpW(argv[1], L"close") == 0)
        return Close(argv[2]);
    fwprintf(stderr, L"usage: ProgramDriver start <program> [arguments] | close <pid>\n");
    return 2;
}
