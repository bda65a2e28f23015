// Waiting exchanges with the form, guarded against re-entry from messages pumped during the wait.
#include "pages/FormExchange.h"

#include "bridge/BridgeProtocol.h"

namespace {

bool g_exchangeRunning = false;

const int kPagePasses = 100;
const DWORD kPageSleepMs = 20;
const int kRegistrationPasses = 300;
const DWORD kRegistrationSleepMs = 60;

// The bridge's reply wait, one pass at a time: a message pumped in a pass may close the main window
// and delete the page that owns the control, so the control is touched only while its window lives.
// False when the window went away.
bool WaitWhileAlive(CHTMLCtrl& browser, HWND control, CString& reply, int passes, DWORD sleepMs)
{
    reply = kNoReplyYet;
    for (int pass = 0; pass < passes; ++pass)
    {
        if (!::IsWindow(control))
            return false;
        WaitForReply(browser, reply, 1, sleepMs);
        if (reply != kNoReplyYet)
            break;
    }
    return ::IsWindow(control) != FALSE;
}

class RunningFlag
{
public:
    RunningFlag() { g_exchangeRunning = true; }
    ~RunningFlag() { g_exchangeRunning = false; }
};

} // namespace

bool IsExchangeRunning()
{
    return g_exchangeRunning;
}

ExchangeResult RunSaveExchange(CHTMLCtrl& browser, CString& reply, const std::function<void(SaveStep)>& onStep)
{
    if (g_exchangeRunning)
        return ExchangeResult::Busy;
    RunningFlag running;
    const HWND control = browser.GetSafeHwnd();
    const auto step = [&](SaveStep done) {
        if (onStep)
            onStep(done);
    };
    browser.SetInputValue(L"MsgText1", L"WillSave");
    step(SaveStep::WillSaveSet);
    browser.CallScript(L"Button2_onclick");
    step(SaveStep::WillSaveIssued);
    browser.SetInputValue(L"MsgRsp1", L"--");
    browser.SetInputValue(L"MsgText1", L"Save");
    step(SaveStep::SaveSet);
    browser.CallScript(L"Button2_onclick");
    step(SaveStep::SaveIssued);
    CString answer;
    if (!WaitWhileAlive(browser, control, answer, kPagePasses, kPageSleepMs))
        return ExchangeResult::Abandoned;
    reply = answer;
    return ExchangeResult::Answered;
}

ExchangeResult RunFieldListExchange(CHTMLCtrl& browser, CString& reply)
{
    if (g_exchangeRunning)
        return ExchangeResult::Busy;
    RunningFlag running;
    const HWND control = browser.GetSafeHwnd();
    browser.SetInputValue(L"MsgRsp1", L"--");
    SendBridgeCommand(browser, L"FieldList");
    CString answer;
    if (!WaitWhileAlive(browser, control, answer, kRegistrationPasses, kRegistrationSleepMs))
        return ExchangeResult::Abandoned;
    reply = answer;
    return ExchangeResult::Answered;
}
