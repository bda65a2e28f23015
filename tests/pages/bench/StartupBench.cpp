// Start-up benchmark: starts the program as a user would (in its own folder, normal mode) and times,
// from just before the process is created, until the form page is painted and answers input: the
// form's window is shown with field controls over the visible part of the page, no visible window of
// the program has any of its area left to paint, and a message sent to the form's window is handled.
// The anchor, a bare Win32 window, is started in turn and timed the same way (its one window painted
// and answering). Also the time until the form page first answered while windows were still to be
// painted, and until every field control exists. Each run ends the program by closing its main window.
//   startup_bench <program folder's Formstead.exe> <bare_window.exe> [runs]
// Prints one line per start and then the medians, the slowest and the ratio of the medians.
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

// Each look asks the Wine server about every window of the program, one request per question, so
// it asks as few as it can: a look that took long would delay the time it measures.
struct ControlSearch
{
    RECT client; // the form window's client area, in screen coordinates
    Controls count;
};

BOOL CALLBACK CountControl(HWND child, LPARAM lParam)
{
    ControlSearch* search = reinterpret_cast<ControlSearch*>(lParam);
    search->count.all++;
    // The form window is shown, so a control is visible when its own style says so.
    if (!(::GetWindowLongW(child, GWL_STYLE) & WS_VISIBLE))
        return TRUE;
    RECT rc, inside;
    if (::GetWindowRect(child, &rc) && ::IntersectRect(&inside, &rc, &search->client))
        search->count.visible++;
    return TRUE;
}

Controls CountControls(HWND form)
{
    ControlSearch search;
    ::GetClientRect(form, &search.client);
    ::MapWindowPoints(form, nullptr, reinterpret_cast<POINT*>(&search.client), 2);
    ::EnumChildWindows(form, CountControl, reinterpret_cast<LPARAM>(&search));
    return search.count;
}

// How many visible windows of a process still have an area to paint. Visibility is asked only of
// a window that has one.
struct Painting
{
    DWORD pid;
    int unpainted = 0;
};

BOOL CALLBACK LookAtChild(HWND hwnd, LPARAM lParam)
{
    if (::GetUpdateRect(hwnd, nullptr, FALSE) && ::IsWindowVisible(hwnd))
        reinterpret_cast<Painting*>(lParam)->unpainted++;
    return TRUE;
}

BOOL CALLBACK LookAtTopLevel(HWND hwnd, LPARAM lParam)
{
    Painting* painting = reinterpret_cast<Painting*>(lParam);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    if (pid != painting->pid || !::IsWindowVisible(hwnd))
        return TRUE;
    LookAtChild(hwnd, lParam);
    ::EnumChildWindows(hwnd, LookAtChild, lParam);
    return TRUE;
}

Painting LookAtPainting(DWORD pid)
{
    Painting painting = {pid};
    ::EnumWindows(LookAtTopLevel, reinterpret_cast<LPARAM>(&painting));
    return painting;
}

struct Run
{
    double mainWindow = -1; // ms to the main window shown
    double formWindow = -1; // ms to the form's window shown
    double answered = -1;   // ms to the first answer with every control in view, painted or not
    int unpaintedThen = 0;  // visible windows still to be painted at that answer
    double ready = -1;      // ms to a painted form page (or window) that answers input
    double lookBefore = 0;  // ms from the look before to the one that found it ready (the resolution)
    double lookCost = 0;    // ms a look at the windows took, median (before its message was sent)
    double complete = -1;   // ms to every field control
    int controls = 0;
    int inView = 0;         // controls in view once all are made
    double longestWait = 0; // the longest a message to the answering window waited once it was shown
};

// One look at the program: when the answering window answered, how many controls it had in view and
// how many visible windows were still to be painted just before it was asked.
struct Sample
{
    double answered;
    int inView;
    int unpainted;
};

// The window that must answer: the form's window for the program, the main window for the anchor.
HWND AnsweringWindow(HWND main, bool formPage)
{
    if (!formPage)
        return main;
    FormSearch found;
    ::EnumChildWindows(main, FindForm, reinterpret_cast<LPARAM>(&found));
    return found.form;
}

bool StartOnce(const std::wstring& program, bool formPage, Run& run)
{
    std::wstring folder = program.substr(0, program.find_last_of(L'\\') + 1);
    std::wstring commandLine = L"\"" + program + L"\"";
    STARTUPINFOW startup = {sizeof(startup)};
    PROCESS_INFORMATION process = {};
    double start = Now();
    if (!::CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                          &startup, &process))
    {
        std::fprintf(stderr, "cannot start %ls (error %lu)\n", program.c_str(), ::GetLastError());
        return false;
    }
    ::CloseHandle(process.hThread);
    bool ok = false;
    HWND main = nullptr;
    int lastCount = -1;
    double lastChange = 0;
    std::vector<Sample> samples;
    std::vector<double> lookCosts;
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
        HWND answering = AnsweringWindow(main, formPage);
        if (!answering)
            continue;
        if (run.formWindow < 0)
            run.formWindow = Now() - start;
        double looking = Now();
        Controls count = formPage ? CountControls(answering) : Controls();
        Painting painting = LookAtPainting(process.dwProcessId);
        // Answers input: a message sent to the window comes back. Since the program's windows belong
        // to one thread, a paint that had begun before the look above has ended by then.
        DWORD_PTR result = 0;
        double asked = Now();
        lookCosts.push_back(asked - looking);
        if (!::SendMessageTimeoutW(answering, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result))
        {
            std::fprintf(stderr, "the window did not answer for 10 s\n");
            break;
        }
        double answered = Now();
        run.longestWait = std::max(run.longestWait, answered - asked);
        samples.push_back({answered - start, count.visible, painting.unpainted});
        if (count.all != lastCount)
        {
            lastCount = count.all;
            lastChange = Now();
        }
        else if ((count.all > 0 || !formPage) && Now() - lastChange > 1500)
        {
            // No control made for 1.5 s: all are there. The page answered at the first look that found
            // every control in view that is there now, and was ready at the first such look that also
            // found every visible window painted.
            run.controls = count.all;
            run.inView = count.visible;
            std::sort(lookCosts.begin(), lookCosts.end());
            run.lookCost = lookCosts[lookCosts.size() / 2];
            for (size_t i = 0; i < samples.size(); i++)
            {
                const Sample& sample = samples[i];
                if (sample.inView < count.visible)
                    continue;
                if (run.answered < 0)
                {
                    run.answered = sample.answered;
                    run.unpaintedThen = sample.unpainted;
                }
                if (sample.unpainted == 0)
                {
                    run.ready = sample.answered;
                    run.lookBefore = i > 0 ? sample.answered - samples[i - 1].answered : 0;
                    break;
                }
            }
            ok = run.ready >= 0;
            if (!ok)
                std::fprintf(stderr, "the windows were never all painted\n");
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

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double Slowest(const std::vector<double>& values)
{
    return *std::max_element(values.begin(), values.end());
}

} // namespace

int main()
{
    int argc = 0;
    wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    if (!argv || argc < 3)
    {
        std::fprintf(stderr, "usage: startup_bench <Formstead.exe> <bare_window.exe> [runs]\n");
        return 2;
    }
    int runs = argc > 3 ? std::max(1, _wtoi(argv[3])) : 5;
    std::vector<double> bare, ready, answered, complete;
    // The two programs in turn, so that both meet the same load on a shared machine.
    for (int i = 0; i < runs; i++)
    {
        Run anchor;
        if (!StartOnce(argv[2], false, anchor))
            return 1;
        std::printf("run %d: bare window: shown %.0f ms, painted and answering %.0f ms (the look before %.0f ms "
                    "earlier)\n", i + 1, anchor.mainWindow, anchor.ready, anchor.lookBefore);
        Run run;
        if (!StartOnce(argv[1], true, run))
            return 1;
        std::printf("run %d: Formstead: main window %.0f ms, form window %.0f ms, first answer with its %d controls "
                    "in view %.0f ms (%d visible windows not yet painted), painted and answering %.0f ms (the "
                    "look before %.0f ms earlier; a look %.1f ms), all %d field controls %.0f ms; longest wait for an "
                    "answer %.0f ms\n",
                    i + 1, run.mainWindow, run.formWindow, run.inView, run.answered, run.unpaintedThen,
                    run.ready, run.lookBefore, run.lookCost, run.controls, run.complete, run.longestWait);
        std::fflush(stdout);
        bare.push_back(anchor.ready);
        ready.push_back(run.ready);
        answered.push_back(run.answered);
        complete.push_back(run.complete);
    }
    std::printf("bare window painted and answering: median %.0f ms, slowest %.0f ms\n", Median(bare), Slowest(bare));
    std::printf("form page painted and answering: median %.0f ms, slowest %.0f ms; %.2f times the bare window "
                "(medians)\n", Median(ready), Slowest(ready), Median(ready) / Median(bare));
    std::printf("form page answering, painted or not: median %.0f ms; all field controls: median %.0f ms, slowest "
                "%.0f ms\n", Median(answered), Median(complete), Slowest(complete));
    return 0;
}
