// Drives dialogs that run their own modal loops: steps run from a thread timer, which every message
// pump of the thread dispatches, so a test can act inside a modal dialog the code under test opened.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

// Steps run one after another, each on a timer tick, until each reports that it is done.
class DialogDriver
{
public:
    DialogDriver();
    ~DialogDriver();
    DialogDriver(const DialogDriver&) = delete;
    DialogDriver& operator=(const DialogDriver&) = delete;

    // A step: true when it has done its work (it is then removed), false to be tried again.
    void Then(std::function<bool()> step);
    // Waits for a visible dialog of this caption and runs the action on it once.
    void OnDialog(const std::wstring& caption, std::function<void(HWND)> action);
    bool Idle() const;
};

// The visible dialog of this thread with the caption, or null.
HWND FindThreadDialog(const std::wstring& caption);
// Clicks a dialog button as the user would (BM_CLICK).
void ClickButton(HWND dialog, int id);
// Pumps the thread's messages until the condition holds or the watchdog runs out; the condition's result.
bool PumpUntil(const std::function<bool()>& condition, DWORD watchdogMs = 60000);
// Dispatches the messages already in the thread's queue, without waiting for more.
void DrainMessages();
