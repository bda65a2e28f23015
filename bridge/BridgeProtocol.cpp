// Sending commands and waiting for the form's replies.
#include "bridge/BridgeProtocol.h"
#include "framework/App.h"

const wchar_t* const kNoReplyYet = L"--";

namespace {
const int kPageLoadPasses = 100;
const DWORD kPageLoadSleepMs = 20;
const int kPagePasses = 100;
const DWORD kPageSleepMs = 20;
const int kRegistrationPasses = 300;
const DWORD kRegistrationSleepMs = 60;
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
    for (int pass = 0; pass < kPageLoadPasses && !ctrl.m_bLoaded; ++pass) {
        ::Sleep(kPageLoadSleepMs);
        AfxPumpMessage();
    }
    return ctrl.m_bLoaded;
}

int WaitForReply(CHTMLCtrl& ctrl, CString& reply, int maxPasses, DWORD sleepMs)
{
    int pass = 0;
    while (pass < maxPasses) {
        ++pass;
        if (!ctrl.GetHtmlDocument()) continue;
        CString value;
        ctrl.GetInputValue(L"MsgRsp1", value);
        reply = value;
        if (reply != kNoReplyYet) break;
        ::Sleep(sleepMs);
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
