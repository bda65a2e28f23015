// Sending commands and waiting for the form's replies.
#include "bridge/BridgeProtocol.h"
#include "framework/App.h"
#include "framework/Seams.h"

const wchar_t* const kNoReplyYet = L"--";

namespace {
const int kPageLoadPasses = 100;
const DWORD kPageLoadSleepMs = 20;
const int kPagePasses = 100;
const DWORD kPageSleepMs = 20;
const int kRegistrationPasses = 300;
const DWORD kRegistrationSleepMs = 60;

// A message pumped during a wait may close the window that owns the control and delete it: after
// every pump the control is touched again only while its window is still the one bound to it.
bool StillThere(HWND window, const CHTMLCtrl* ctrl)
{
    return window && ::IsWindow(window) && CWnd::FromHandlePermanent(window) == ctrl;
}
} // namespace

void SendBridgeCommand(CHTMLCtrl& ctrl, LPCTSTR command)
{
    ctrl.SetInputValue(L"MsgText1", command);
    ctrl.CallScript(L"Button2_onclick");
}

void LoadPdfIntoPage(CHTMLCtrl& ctrl, LPCTSTR pdfPath)
{
    ctrl.SetInputValue(L"docpath", pdfPath);
    ctrl.CallScript(L"DoLoadDoc");
}

bool WaitForPageLoad(CHTMLCtrl& ctrl)
{
    HWND window = ctrl.m_hWnd;
    // A control without a window never loads, and nothing would wake the pump.
    if (!StillThere(window, &ctrl)) return ctrl.m_bLoaded;
    for (int pass = 0; pass < kPageLoadPasses && !ctrl.m_bLoaded; ++pass) {
        AfxSleep(kPageLoadSleepMs);
        AfxPumpMessage();
        if (!StillThere(window, &ctrl)) return false;
    }
    return ctrl.m_bLoaded;
}

int WaitForReply(CHTMLCtrl& ctrl, CString& reply, int maxPasses, DWORD sleepMs)
{
    HWND window = ctrl.m_hWnd;
    int pass = 0;
    while (pass < maxPasses && StillThere(window, &ctrl)) {
        ++pass;
        if (!ctrl.GetHtmlDocument()) continue;
        CString value;
        ctrl.GetInputValue(L"MsgRsp1", value);
        reply = value;
        if (reply != kNoReplyYet) break;
        AfxSleep(sleepMs);
        AfxPumpMessage();
    }
    return pass;
}

int WaitForPageReply(CHTMLCtrl& ctrl, CString& reply)
{
    return WaitForReply(ctrl, reply, kPagePasses, kPageSleepMs);
}

int WaitForRegistrationReply(CHTMLCtrl& ctrl, CString& reply)
{
    return WaitForReply(ctrl, reply, kRegistrationPasses, kRegistrationSleepMs);
}
