// Start-up benchmark: starts the program as a user would (in its own folder, normal mode) and times,
// from just before the process is created, until the form page answers input: the form's window is
// shown with field controls over the visible part of the page and a message sent to it is handled.
// Also the time until every field control exists. Each run ends the program by closing its main window.
//   startup_bench <program folder's Formstead.exe> [runs]
// Prints one line per run and then the median and the slowest.
#include <windows.h>
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

const DWORD kGiveUpMs = 60000;

double Now()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER counter;
    ::QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

struct Search
{
    DWORD pid;
    HWND main = nullptr;
    HWND dialog = nullptr;
};

BOOL CALLBACK FindTopLevel(HWND hwnd, LPARAM lParam)
{
    Search* search = reinterpret_cast<Search*>(lParam);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    if (pid != search->pid || !::IsWindowVisible(hwnd))
        return TRUE;
    wchar_t name[64] = {};
    ::GetClassNameW(hwnd, name, 64);
    if (lstrcmpW(name, L"#32770") == 0)
        search->dialog = hwnd;
    else if (!::GetWindow(hwnd, GW_OWNER))
        search->main = hwnd;
    return TRUE;
}

struct FormSearch
{
    HWND form = nullptr;
};

BOOL CALLBACK FindForm(HWND hwnd, LPARAM lParam)
{
    wchar_t name[64] = {};
    ::GetClassNameW(hwnd, name, 64);
    if (lstrcmpW(name, L"FormsteadFormWindow") == 0 && ::IsWindowVisible(hwnd))
    {
        reinterpret_cast<FormSearch*>(lParam)->form = hwnd;
        return FALSE;
    }
    return TRUE;
}

struct Controls
{
    int all = 0;
    int visible = 0;   // shown and inside the form window's client area
};

Controls CountControls(HWND form)
{
    Controls count;
    RECT client;
    ::GetClientRect(form, &client);
    for (HWND child = ::GetWindow(form, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
    {
        count.all++;
        RECT rc;
        ::GetWindowRect(child, &rc);
        ::MapWindowPoints(nullptr, form, reinterpret_cast<POINT*>(&rc), 2);
        RECT inside;
        if (::IsWindowVisible(child) && ::IntersectRect(&inside, &rc, &client))
            count.visible++;
    }
    return count;
}

struct Run
{
    double mainWindow = -1; // ms to the main window shown
    double formWindow = -1; // ms to the form's window shown
    double ready = -1;      // ms to a form page that answers input
    double complete = -1;   // ms to every field control
    int controls = 0;
    int inView = 0;         // controls in view once all are made
    double longestWait = 0; // the longest a message to the form window waited once it was shown
};

// One look at the form window: when it answered, and how many controls it had in view.
struct Sample
{
    double answered;
    int inView;
};

bool StartOnce(const std::wstring& program, Run& run)
{
    std::wstring folder = program.substr(0, program.find_last_of(L'\\') + 1);
    std::wstring commandLine = L"\"" + program + L"\"";
    STARTUPINFOW startup = {sizeof(startup)};
    PROCESS_INFORMATION process = {};
    double start = Now();
    if (!::CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                          &startup, &process))
    {
        std::fprintf(stderr, "cannot start the program (error %lu)\n", ::GetLastError());
        return false;
    }
    ::CloseHandle(process.hThread);
    bool ok = false;
    HWND main = nullptr;
    int lastCount = -1;
    double lastChange = 0;
    std::vector<Sample> samples;
    while (Now() - start < kGiveUpMs)
    {
        if (::WaitForSingleObject(process.hProcess, 1) == WAIT_OBJECT_0)
        {
            std::fprintf(stderr, "the program ended during start-up\n");
            break;
        }
        Search search = {process.dwProcessId};
        ::EnumWindows(FindTopLevel, reinterpret_cast<LPARAM>(&search));
        if (search.dialog)
        {
            wchar_t text[256] = {};
            ::GetWindowTextW(search.dialog, text, 256);
            std::fprintf(stderr, "the program showed a dialog (\"%ls\") at start-up\n", text);
            main = nullptr;   // ended below, not closed: the dialog holds the start-up
            break;
        }
        if (!search.main)
            continue;
        main = search.main;
        if (run.mainWindow < 0)
            run.mainWindow = Now() - start;
        FormSearch found;
        ::EnumChildWindows(main, FindForm, reinterpret_cast<LPARAM>(&found));
        if (!found.form)
            continue;
        if (run.formWindow < 0)
            run.formWindow = Now() - start;
        Controls count = CountControls(found.form);
        // Answers input: a message sent to the form window comes back.
        DWORD_PTR result = 0;
        double asked = Now();
        if (!::SendMessageTimeoutW(found.form, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result))
        {
            std::fprintf(stderr, "the form window did not answer for 10 s\n");
            break;
        }
        double answered = Now();
        run.longestWait = std::max(run.longestWait, answered - asked);
        samples.push_back({answered - start, count.visible});
        if (count.all != lastCount)
        {
            lastCount = count.all;
            lastChange = Now();
        }
        else if (count.all > 0 && Now() - lastChange > 1500)
        {
            // No control made for 1.5 s: all are there. The page was ready at the first look that
            // found every control in view that is there now, and was answered.
            run.controls = count.all;
            run.inView = count.visible;
            for (const Sample& sample : samples)
                if (sample.inView >= count.visible)
                {
                    run.ready = sample.answered;
                    break;
                }
            ok = run.ready >= 0;
            break;
        }
        if (count.all > run.controls)
        {
            run.controls = count.all;
            run.complete = Now() - start;
        }
    }
    if (main)
        ::PostMessageW(main, WM_CLOSE, 0, 0);
    if (!main || ::WaitForSingleObject(process.hProcess, 30000) != WAIT_OBJECT_0)
    {
        if (main)
            std::fprintf(stderr, "the program did not end after being closed\n");
        ::TerminateProcess(process.hProcess, 1);
        ok = false;
    }
    ::CloseHandle(process.hProcess);
    return ok;
}

} // namespace

int main()
{
    int argc = 0;
    wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    if (!argv || argc < 2)
    {
        std::fprintf(stderr, "usage: startup_bench <Formstead.exe> [runs]\n");
        return 2;
    }
    int runs = argc > 2 ? std::max(1, _wtoi(argv[2])) : 5;
    std::vector<double> ready, complete;
    for (int i = 0; i < runs; i++)
    {
        Run run;
        if (!StartOnce(argv[1], run))
            return 1;
        std::printf("run %d: main window %.0f ms, form window %.0f ms, form page with its %d controls in view "
                    "answers input %.0f ms, all %d field controls %.0f ms; longest wait for an answer %.0f ms\n",
                    i + 1, run.mainWindow, run.formWindow, run.inView, run.ready, run.controls, run.complete,
                    run.longestWait);
        std::fflush(stdout);
        ready.push_back(run.ready);
        complete.push_back(run.complete);
    }
    std::sort(ready.begin(), ready.end());
    std::sort(complete.begin(), complete.end());
    std::printf("form page answers input: median %.0f ms, slowest %.0f ms; all field controls: median %.0f ms, "
                "slowest %.0f ms\n", ready[ready.size() / 2], ready.back(), complete[complete.size() / 2],
                complete.back());
    return 0;
}
