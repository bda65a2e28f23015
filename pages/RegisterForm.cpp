// Registration dialog. A registration either creates the whole database or leaves none, and only
// a created (or already registered) database closes the dialog with OK.
#include "pages/RegisterForm.h"

#include <algorithm>

#include "bridge/BridgeProtocol.h"
#include "common/Diagnostics.h"
#include "formdb/FormDatabase.h"
#include "framework/Seams.h"
#include "pages/FieldListText.h"
#include "pages/FormExchange.h"
#include "pages/FormPageHost.h"
#include "pages/ImportCompletedFiles.h"

namespace {
const int kRegisterButton = 1;
const int kCancelButton = 2;
const int kBrowserPlace = 1029;
const int kImportButton = 1040;
const int kStripHeight = 25; // the buttons' strip above the browser
const int kButtonGap = 4;
const wchar_t kRegistrationError[] = L"Registration Error";
} // namespace

BEGIN_MESSAGE_MAP(RegisterForm, CDialog)
    ON_BN_CLICKED(kRegisterButton, OnRegister)
    ON_BN_CLICKED(kImportButton, OnImportThisForm)
    ON_WM_SIZE()
END_MESSAGE_MAP()

INT_PTR RunRegisterFormModal(FormPageHost& host, CWnd* parent)
{
    RegisterForm dialog(&host, parent);
    dialog.m_nMode = RegisterForm::kModeRegister;
    return dialog.DoModal();
}

BOOL RegisterForm::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_cancel.SubclassDlgItem(kCancelButton, this);
    // Opened over the window that asked for it (the modeless one starts hidden and is placed alike).
    CenterWindow();
    ApplyMode();
    LayOut();
    return TRUE;
}

void RegisterForm::SetMode(int mode)
{
    m_nMode = mode;
    ApplyMode();
    CRect client;
    GetClientRect(&client);
    SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.Width(), client.Height()));
}

void RegisterForm::LoadPdf(const CString& path)
{
    WaitForPageLoad(m_browser);
    AfxSleep(2000);
    if (m_browser.m_bLoaded)
        LoadPdfIntoPage(m_browser, path);
}

void RegisterForm::ApplyMode()
{
    if (!m_browserPlaced)
        m_browserPlaced = m_browser.CreateFromStatic(kBrowserPlace, this) != FALSE;
    const CString container = L"file:///" + (m_host ? m_host->GetProgramFolder() : CString()) + L"container.htm";
    switch (m_nMode)
    {
    case kModeRegister:
        m_browser.Navigate2(container);
        LoadPdf(FormFilePath(*m_host, L".pdf"));
        break;
    case kModeDownload: {
        if (CWnd* button = GetDlgItem(kRegisterButton))
            button->ShowWindow(SW_HIDE);
        const CString address = m_host ? m_host->GetUpdatesAddress() : CString();
        CString caption;
        caption.Format(L"Download form updates (%s)", address.GetString());
        SetWindowText(caption);
        // The updates page's ".pdf" links are saved into the store; each try ends the dialog.
        if (m_host)
            m_browser.SetOwnPlaces(m_host->GetProgramFolder(), m_host->GetStoreFolder(), address);
        m_browser.EnableFormDownloads([this] { EndDialog(IDCANCEL); });
        m_browser.Navigate2(address);
        break;
    }
    case kModeImport:
        SetWindowText(L"Import Completed Files");
        if (CWnd* button = GetDlgItem(kRegisterButton))
            button->ShowWindow(SW_HIDE);
        if (CWnd* button = GetDlgItem(kImportButton))
            button->ShowWindow(SW_SHOW);
        m_browser.Navigate2(container);
        LoadPdf(m_szImportPath);
        break;
    default:
        m_browser.Navigate2(container);
        break;
    }
}

void RegisterForm::OnRegister()
{
    if (!m_host || IsExchangeRunning())
        return;
    const HWND self = m_hWnd;
    CString reply;
    if (RunFieldListExchange(m_browser, reply) != ExchangeResult::Answered || !::IsWindow(self))
        return;
    m_strReply = reply;
    if (m_strReply.Find(L"jjjj") < 0)
    {
        MessageBox(L"Get info from the form failed", kRegistrationError);
        return;
    }
    CString type(L"?");
    m_browser.GetInputValue(L"MsgRsp2", type);
    if (type.IsEmpty() || type[0] == L'?')
    {
        MessageBox(L"Get from type failed", kRegistrationError);
        return;
    }

    const std::string list = FieldListToAnsi(m_strReply);
    const CString sameColumn = SameColumnMessage(m_strReply, list);
    if (!sameColumn.IsEmpty())
    {
        MessageBox(sameColumn, L"get_db_fieldnames ERROR");
        return;
    }
    const CStringA ansiType(type);
    const RegistrationResult result =
        CreateFormDatabase(std::wstring(FormFilePath(*m_host, L".gdb").GetString()), list,
                           std::string(ansiType.GetString(), ansiType.GetLength()));
    if (!result.warning.empty())
        MessageBox(CString(result.warning.c_str()), CString(result.warningCaption.c_str()));
    if (!result.ok)
    {
        DebugTraceA(result.message.c_str(), TRUE);
        MessageBox(CString(result.message.c_str()),
                   result.caption.empty() ? CString(kRegistrationError) : CString(result.caption.c_str()));
        return;
    }
    if (!result.movedAsidePath.empty())
        MessageBox(L"The form's database file held no registration. It was kept as\r\n" +
                   CString(result.movedAsidePath.c_str()) + L"\r\nand a new database was created.");
    EndDialog(IDOK);
}

void RegisterForm::OnImportThisForm()
{
    if (m_host && m_nMode == kModeImport)
        RunImportThisForm(*m_host, *this);
}

// The browser fills the client area below the strip; the strip holds the buttons from the top right
// corner leftwards: "Cancel", then "Import this form" and "Register this form" where shown. A hidden
// button keeps the place it would take, so that showing it later needs no new layout.
void RegisterForm::LayOut()
{
    CRect client;
    GetClientRect(&client);
    if (m_browser.GetSafeHwnd())
        m_browser.MoveWindow(client.left, client.top + kStripHeight, client.Width(),
                             std::max(static_cast<int>(client.Height()) - kStripHeight, 0));
    int right = client.right;
    for (int id : {kCancelButton, kImportButton, kRegisterButton})
    {
        CWnd* button = GetDlgItem(id);
        if (!button)
            continue;
        CRect place;
        button->GetWindowRect(&place);
        const int height = std::min(static_cast<int>(place.Height()), kStripHeight);
        button->MoveWindow(right - place.Width(), client.top, place.Width(), height);
        if (button->GetStyle() & WS_VISIBLE)
            right -= place.Width() + kButtonGap;
    }
}

void RegisterForm::OnSize(UINT nType, int cx, int cy)
{
    Default();
    LayOut();
}
