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

ExchangeResult RunSaveExchange(CHTMLCtrl& browser, CString& reply)
{
    if (g_exchangeRunning)
        return ExchangeResult::Busy;
    RunningFlag running;
    const HWND control = browser.GetSafeHwnd();
    SendBridgeCommand(browser, L"WillSave");
    browser.SetInputValue(L"MsgRsp1", L"--");
    SendBridgeCommand(browser, L"Save");
    CString answer;
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
    CString answer;
    WaitForRegistrationReply(browser, answer);
    if (!::IsWindow(control))
        return ExchangeResult::Abandoned;
    reply = answer;
    return ExchangeResult::Answered;
}
