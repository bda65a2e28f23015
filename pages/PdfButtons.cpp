// Saving from the form page. A save that waits for the form cannot be started twice, and a save
// whose page went away during the wait stops without touching anything.
#include "pages/PdfButtons.h"

#include "common/Diagnostics.h"
#include "formdb/FormDatabase.h"
#include "formdb/StoredText.h"
#include "bridge/BridgeProtocol.h"
#include "pages/FormExchange.h"
#include "pages/FormPageHost.h"
#include "pages/RegisterForm.h"
#include "pages/PrintForm.h"
#include "pages/SaveFormRecord.h"
#include "pages/TemplateName.h"
#include "pages/TextDump.h"
#include "bridge/HTMLCtrl.h"

namespace {
const UINT kSaveAsNew = 1015;
const UINT kSaveAsTemplate = 1016;
const UINT kZoomIn = 1020;
const UINT kZoomOut = 1021;
const UINT kUpdateAndSave = 1022;
const UINT kCheckFormsUpdates = 1023;
const UINT kPrintOptions = 1017;
const UINT kClearingHouse = 1044;
const UINT kZoomInPicture = 1042;
const UINT kZoomOutPicture = 1043;

void Log(const char* line)
{
    AppendToModuleLog(line, TRUE);
}

// What the log says of a reply: its size, never its text (it holds patient data).
std::string DescribeReply(const CString& reply)
{
    int fields = 0;
    for (int start = 0; start < reply.GetLength();)
    {
        int end = reply.Find(L'|', start);
        if (end < 0)
            end = reply.GetLength();
        if (reply.Mid(start, end - start).Find(L'=') >= 0)
            ++fields;
        start = end + 1;
    }
    return "Data received: " + std::to_string(reply.GetLength()) + " characters, " + std::to_string(fields) +
           " fields";
}
} // namespace

BEGIN_MESSAGE_MAP(CPdfButtons, CDialog)
    ON_BN_CLICKED(kSaveAsNew, OnSaveAsNew)
    ON_BN_CLICKED(kSaveAsTemplate, OnSaveAsTemplate)
    ON_BN_CLICKED(kUpdateAndSave, OnUpdateAndSave)
    ON_BN_CLICKED(kZoomIn, OnZoomIn)
    ON_BN_CLICKED(kZoomOut, OnZoomOut)
    ON_BN_CLICKED(kCheckFormsUpdates, OnCheckFormsUpdates)
    ON_BN_CLICKED(kPrintOptions, OnPrintOptions)
    ON_BN_CLICKED(kClearingHouse, OnClearingHouse)
    ON_STN_CLICKED(kZoomInPicture, OnZoomIn)
    ON_STN_CLICKED(kZoomOutPicture, OnZoomOut)
END_MESSAGE_MAP()

bool CPdfButtons::Exchange(CHTMLCtrl& browser, const std::function<void(SaveStep)>& onStep)
{
    const HWND self = m_hWnd;
    CString reply;
    const ExchangeResult result = RunSaveExchange(browser, reply, onStep);
    if (result != ExchangeResult::Answered || !::IsWindow(self))
        return false;
    m_strReply = reply;
    return true;
}

void CPdfButtons::RepaintBrowser()
{
    if (m_browser && m_browser->GetSafeHwnd())
        m_browser->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

SaveOutcome CPdfButtons::SendSaveCommands(CHTMLCtrl& browser)
{
    if (!m_host || !Exchange(browser))
        return SaveOutcome::Failed;
    m_host->SetTemplateFlag(0);
    int empty = 0;
    const int row = SaveFormRecord(*m_host, m_strReply, 0, CString(), FALSE, empty, browser);
    m_host->SetCurrentRecordId(row);
    if (row > 0)
        return SaveOutcome::Stored;
    return empty ? SaveOutcome::Empty : SaveOutcome::Failed;
}

void CPdfButtons::OnSaveAsNew()
{
    if (!m_browser || IsExchangeRunning())
        return;
    const HWND self = m_hWnd;
    SendSaveCommands(*m_browser);
    if (::IsWindow(self))
        m_host->ShowRecordsPage();
}

void CPdfButtons::OnSaveAsTemplate()
{
    if (!m_browser || !m_host || IsExchangeRunning())
        return;
    CTemplateName dialog(this);
    dialog.m_onMove = [this]() { RepaintBrowser(); };
    if (dialog.DoModal() != IDOK)
    {
        RepaintBrowser();
        return;
    }
    m_host->SetLastTemplateName(dialog.m_strName);
    if (!Exchange(*m_browser))
        return;
    m_host->SetTemplateFlag(1);
    int empty = 0;
    m_host->SetCurrentRecordId(
        SaveFormRecord(*m_host, m_strReply, 1, dialog.m_strName, FALSE, empty, *m_browser));
    m_host->ShowRecordsPage();
}

void CPdfButtons::OnUpdateAndSave()
{
    if (!m_browser || !m_host || IsExchangeRunning() || m_host->GetCurrentRecordId() <= 0)
        return;
    // The row the form shows now is the one replaced, even if another becomes current during the wait.
    const int replaced = m_host->GetCurrentRecordId();
    const int isTemplate = m_host->GetTemplateFlag();
    Log("SaveAndUpdate:Begin");
    const bool answered = Exchange(*m_browser, [](SaveStep step) {
        switch (step)
        {
        case SaveStep::WillSaveSet: Log("SaveAndUpdate:Coomand WillSave Set"); break;
        case SaveStep::WillSaveIssued: Log("SaveAndUpdate:ScriptIssued"); break;
        case SaveStep::SaveSet: Log("SaveAndUpdate:Command Save Set"); break;
        case SaveStep::SaveIssued: Log("SaveAndUpdate:ScriptIssued, Get Data"); break;
        }
    });
    if (!answered)
        return;
    Log(DescribeReply(m_strReply).c_str());
    Log("Data Save");

    CString name;
    if (isTemplate)
    {
        // The template keeps the name stored with it; a template deleted meanwhile has none to keep.
        const RowText stored =
            ReadTemplateName(std::wstring(FormFilePath(*m_host, L".gdb").GetString()), replaced);
        if (!stored.ok || !stored.found)
        {
            const std::string message = stored.ok ? TemplateGoneMessage(replaced) : stored.message;
            MessageBox(CString(DecodeStoredText(message).c_str()),
                       stored.ok ? CString(L"Formstead") : CString(stored.caption.c_str()), MB_OK);
            Log("SaveAndUpdate:Finish");
            return;
        }
        name = CString(DecodeStoredText(stored.text).c_str());
    }
    int empty = 0;
    const int row = SaveFormRecord(*m_host, m_strReply, isTemplate, name, TRUE, empty, *m_browser, replaced);
    // Nothing stored: the old row is still there and the current record stays as it is.
    if (row > 0)
    {
        m_host->SetTemplateFlag(isTemplate);
        m_host->SetCurrentRecordId(row);
    }
    Log("SaveAndUpdate:Finish");
    m_host->ShowRecordsPage();
}

void CPdfButtons::OnZoomIn()
{
    if (m_browser)
        SendBridgeCommand(*m_browser, L"ZoomIn");
}

void CPdfButtons::OnZoomOut()
{
    if (m_browser)
        SendBridgeCommand(*m_browser, L"ZoomOut");
}

void CPdfButtons::OnCheckFormsUpdates()
{
    // The registration dialog in download mode shows the updates page; a ".pdf" link clicked there is
    // saved into the form store, to be registered when it becomes the current form.
    if (!m_host)
        return;
    RegisterForm dialog(m_host, this);
    dialog.m_nMode = RegisterForm::kModeDownload;
    dialog.DoModal();
}

void CPdfButtons::OnPrintOptions()
{
    if (!m_browser || !m_host || IsExchangeRunning())
        return;
    CPrintForm dialog(*m_host, *m_browser, this);
    dialog.m_onMove = [this]() { RepaintBrowser(); };
    const HWND self = m_hWnd;
    dialog.DoModal();
    if (::IsWindow(self))
        RepaintBrowser();
}

void CPdfButtons::OnClearingHouse()
{
    if (m_browser)
        DumpFormText(*m_browser, this);
}
