// Waiting exchanges with the form, guarded against re-entry from messages pumped during the wait.
#include "pages/FormExchange.h"

#include "bridge/BridgeProtocol.h"

namespace {

bool g_exchangeRunning = false;

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
    // The wait stops touching the control once a pumped message destroyed it (the main window
    // closed and took the page along); then nothing here touches it either.
    CString answer = kNoReplyYet;
    WaitForPageReply(browser, answer);
    if (!::IsWindow(control))
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
    CString answer = kNoReplyYet;
    WaitForRegistrationReply(browser, answer);
    if (!::IsWindow(control))
        return ExchangeResult::Abandoned;
    reply = answer;
    return ExchangeResult::Answered;
}
