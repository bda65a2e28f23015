// Thread-timer driven steps for modal dialogs.
#include "tests/pages/DialogDriver.h"

#include <gtest/gtest.h>
#include <deque>

namespace {

std::deque<std::function<bool()>> g_steps;
UINT_PTR g_timer = 0;
// When the first step waiting now was first tried; a step that waits past the watchdog fails the test.
DWORD g_waitingSince = 0;
const DWORD kStepWatchdogMs = 60000;

BOOL CALLBACK CancelDialog(HWND window, LPARAM)
{
    wchar_t className[16] = {};
    GetClassNameW(window, className, 16);
    if (std::wstring(className) == L"#32770" && IsWindowVisible(window))
        EndDialog(window, IDCANCEL);
    return TRUE;
}

void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
{
    if (g_steps.empty())
        return;
    std::function<bool()> step = g_steps.front();
    if (step())
    {
        g_steps.pop_front();
        g_waitingSince = GetTickCount();
    }
    else if (GetTickCount() - g_waitingSince > kStepWatchdogMs)
    {
        // The awaited dialog never came or never let go: end the thread's dialogs instead of hanging.
        ADD_FAILURE() << "a dialog step still waited after the watchdog; " << g_steps.size() << " steps left";
        g_steps.clear();
        EnumThreadWindows(GetCurrentThreadId(), CancelDialog, 0);
    }
}

struct SearchState
{
    const std::wstring* caption;
    HWND found;
};

BOOL CALLBACK MatchDialog(HWND window, LPARAM param)
{
    SearchState& state = *reinterpret_cast<SearchState*>(param);
    wchar_t className[16] = {}, text[256] = {};
    GetClassNameW(window, className, 16);
    GetWindowTextW(window, text, 256);
    if (std::wstring(className) == L"#32770" && *state.caption == text && IsWindowVisible(window))
    {
        state.found = window;
        return FALSE;
    }
    return TRUE;
}

} // namespace

DialogDriver::DialogDriver()
{
    g_steps.clear();
    g_waitingSince = GetTickCount();
    g_timer = SetTimer(nullptr, 0, 40, Tick);
}

DialogDriver::~DialogDriver()
{
    KillTimer(nullptr, g_timer);
    g_steps.clear();
}

void DialogDriver::Then(std::function<bool()> step)
{
    if (g_steps.empty())
        g_waitingSince = GetTickCount();
    g_steps.push_back(std::move(step));
}

void DialogDriver::OnDialog(const std::wstring& caption, std::function<void(HWND)> action)
{
    Then([caption, action]() {
        HWND dialog = FindThreadDialog(caption);
        if (!dialog || !IsWindowEnabled(dialog))
            return false;
        action(dialog);
        return true;
    });
}

bool DialogDriver::Idle() const
{
    return g_steps.empty();
}

HWND FindThreadDialog(const std::wstring& caption)
{
    SearchState state{&caption, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), MatchDialog, reinterpret_cast<LPARAM>(&state));
    return state.found;
}

void ClickButton(HWND dialog, int id)
{
    PostMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

void DrainMessages()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
    {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

bool PumpUntil(const std::function<bool()>& condition, DWORD watchdogMs)
{
    // The watchdog only ends a wait that would otherwise hang; the time taken is never checked.
    const DWORD start = GetTickCount();
    while (!condition())
    {
        if (GetTickCount() - start > watchdogMs)
            return false;
        DrainMessages();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}
