// The text dump's exchange with the form: the reply field is set to "--" before the request, so only
// the form's own answer ends the wait, and a form that never answers leaves the warning text.
#include "pages/TextDump.h"

#include "bridge/BridgeProtocol.h"
#include "export/ClearinghouseFile.h"
#include "export/TextDump.h"
#include "framework/FileDialog.h"
#include "framework/Seams.h"
#include "pages/FormExchange.h"

void DumpFormText(CHTMLCtrl& browser, CWnd* owner)
{
    if (IsExchangeRunning())
        return;
    CFileDialog dialog(FALSE, nullptr, L"dump", OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST, L"Text Documents (*.txt)|*.txt|",
                       owner);
    if (dialog.DoModal() != IDOK)
        return;
    const std::wstring path = WithTextExtension(std::wstring(dialog.GetPathName().GetString()));

    const HWND control = browser.GetSafeHwnd();
    browser.SetInputValue(L"MsgText1", L"WillSave");
    browser.CallScript(L"Button2_onclick");
    browser.SetInputValue(L"MsgRsp1", kNoReplyYet);
    browser.SetInputValue(L"MsgText1", L"GetTxtDumpCMS1500-1");
    browser.CallScript(L"Button2_onclick");
    CString reply = kNoReplyYet;
    WaitForPageReply(browser, reply);
    if (!::IsWindow(control))
        return;

    const CStringA answer(reply);
    const std::string text = reply == kNoReplyYet ? std::string(kTextDumpWarning)
                                                  : std::string(answer.GetString(), answer.GetLength());
    const HWND ownerWindow = owner ? owner->GetSafeHwnd() : nullptr;
    if (!AppendTextDump(path, text))
    {
        AfxShowMessageBox(ownerWindow, L"Can not open file to write to", nullptr, MB_OK);
        return;
    }
    // The dump is saved either way: when no program opens it, the user learns where it is.
    if (!AfxShellOpen(ownerWindow, L"open", path.c_str(), nullptr, nullptr, SW_SHOWMAXIMIZED))
        AfxShowMessageBox(ownerWindow,
                          CString(L"The text dump was saved to ") + path.c_str() + L", but no program could open it.",
                          nullptr, MB_OK);
}
