// The browser host control: creation in place of a static, the page operations on hidden inputs
// and page functions that every sender of the bridge uses, and the navigation guard ("app:"
// commands, web addresses, form-update downloads).
#include "bridge/HTMLCtrl.h"
#include "bridge/AppCommand.h"
#include "bridge/AppCommandTarget.h"
#include "bridge/FormDownload.h"
#include "common/Diagnostics.h"
#include "framework/Seams.h"
#include "viewer/ContainerPage.h"
#include "viewer/FormWindow.h"

namespace {
// The full form of a folder, without a final backslash; empty when there is none.
std::wstring NormalFolder(const CString& folder)
{
    if (folder.IsEmpty()) return std::wstring();
    wchar_t full[MAX_PATH * 2] = {};
    const DWORD length = ::GetFullPathNameW(folder, MAX_PATH * 2, full, nullptr);
    if (length == 0 || length >= MAX_PATH * 2) return std::wstring();
    std::wstring out(full);
    while (!out.empty() && (out.back() == L'\\' || out.back() == L'/')) out.pop_back();
    return out;
}

bool SameText(const std::wstring& a, const std::wstring& b)
{
    return !a.empty() && a.size() == b.size() && viewer::StartsWithNoCase(a, b);
}

// A document address on this machine: a file: address or a drive path.
bool IsLocalAddress(const std::wstring& address)
{
    return viewer::StartsWithNoCase(address, L"file:") ||
           (address.size() > 2 && address[1] == L':' && (address[2] == L'\\' || address[2] == L'/'));
}
} // namespace

IMPLEMENT_DYNAMIC(CHTMLCtrl, CHtmlView)

BEGIN_MESSAGE_MAP(CHTMLCtrl, CHtmlView)
    ON_WM_DESTROY()
    ON_WM_MOUSEACTIVATE()
END_MESSAGE_MAP()

CHTMLCtrl::CHTMLCtrl() = default;

BOOL CHTMLCtrl::CreateFromStatic(UINT nID, CWnd* pParent)
{
    HWND placeholder = pParent ? ::GetDlgItem(pParent->GetSafeHwnd(), nID) : nullptr;
    if (!placeholder) return FALSE;
    CWnd wndStatic;
    if (!wndStatic.Attach(placeholder)) return FALSE;
    DWORD style = wndStatic.GetStyle();
    RECT rect;
    wndStatic.GetWindowRect(&rect);
    pParent->ScreenToClient(&rect);
    wndStatic.DestroyWindow();
    return Create(nullptr, nullptr, style & ~WS_VSCROLL, rect, pParent, nID);
}

void CHTMLCtrl::SetInputValue(LPCTSTR lpszId, LPCTSTR lpszValue)
{
    viewer::HtmlDocument* page = GetHtmlDocument();
    if (!page || !lpszId) return;
    page->SetInputValue(lpszId, lpszValue ? lpszValue : L"");
}

void CHTMLCtrl::GetInputValue(LPCTSTR lpszId, CString& value)
{
    viewer::HtmlDocument* page = GetHtmlDocument();
    std::wstring text;
    if (!page || !lpszId || !page->GetInputValue(lpszId, text) || text.empty()) return;
    value = text.c_str();
}

void CHTMLCtrl::CallScript(LPCTSTR lpszFunction)
{
    viewer::HtmlDocument* page = GetHtmlDocument();
    if (page && lpszFunction) page->CallFunction(lpszFunction);
}

void CHTMLCtrl::SetOwnPlaces(const CString& programFolder, const CString& storeFolder, const CString& updatesAddress)
{
    m_programFolder = programFolder;
    m_storeFolder = storeFolder;
    m_updatesAddress = updatesAddress;
}

void CHTMLCtrl::EnableFormDownloads(std::function<void()> closeOwner)
{
    m_downloads = true;
    m_closeOwner = std::move(closeOwner);
}

bool CHTMLCtrl::ShowsOwnDocument() const
{
    viewer::FormWindow* form = GetFormWindow();
    if (!form || !IsLocalAddress(GetLocationURL().GetString())) return false;
    wchar_t full[MAX_PATH * 2] = {};
    wchar_t* name = nullptr;
    const DWORD length = ::GetFullPathNameW(form->Path().c_str(), MAX_PATH * 2, full, &name);
    if (length == 0 || length >= MAX_PATH * 2 || !name || name == full) return false;
    const std::wstring fileName(name), folder(full, name - full - 1);
    if (SameText(folder, NormalFolder(m_storeFolder)))
        return fileName.size() > 4 && viewer::StartsWithNoCase(fileName.substr(fileName.size() - 4), L".pdf");
    return SameText(folder, NormalFolder(m_programFolder)) &&
           (SameText(fileName, L"statement.pdf") || SameText(fileName, L"collections.pdf"));
}

void CHTMLCtrl::OnBeforeNavigate2(LPCTSTR lpszURL, DWORD, LPCTSTR, CArray<BYTE, BYTE>&, LPCTSTR, BOOL* pbCancel)
{
    const std::wstring address = lpszURL ? lpszURL : L"";
    DebugTraceW(address.c_str(), TRUE);
    *pbCancel = FALSE;
    if (viewer::StartsWithNoCase(address, L"app:")) {
        // A web page, or a PDF that is not the program's own, never acts on the records.
        if (ShowsOwnDocument()) OnAppCmd(address.c_str() + 4);
        else DebugTraceW(L"app: command refused: not the program's own document", TRUE);
        *pbCancel = TRUE;
    }
    // A page is shown only from within the updates address; a download may come from its folder.
    const bool web = IsWebAddress(address);
    if (web && !BeginsWithUpdatesAddress(address, m_updatesAddress.GetString())) {
        *pbCancel = TRUE;
        DebugTraceW(L"navigation refused: not within the updates address", TRUE);
    }
    if (m_downloads && address.size() >= 4 && address.compare(address.size() - 4, 4, L".pdf") == 0) {
        *pbCancel = TRUE;
        if (web && IsUnderUpdatesAddress(address, m_updatesAddress.GetString())) DownloadFormUpdate(address.c_str());
        else DebugTraceW(L"download refused: not below the updates address", TRUE);
    }
}

void CHTMLCtrl::DownloadFormUpdate(const CString& address)
{
    const DownloadResult result = DownloadForm(address.GetString(), m_storeFolder.GetString(), m_updatesAddress.GetString());
    if (result.outcome == DownloadOutcome::NameRefused) {
        ShowProgramMessage(L"The address gives no file name that a form can be saved under", nullptr);
        return;
    }
    if (m_closeOwner) m_closeOwner();
    if (result.outcome == DownloadOutcome::Saved)
        ShowProgramMessage(L"The form was downloaded successfully. You can register it now", L"Formstead");
    else
        ShowProgramMessage(L"Failed on updating new form", L"Formstead");
}

void CHTMLCtrl::ShowProgramMessage(LPCTSTR text, LPCTSTR caption)
{
    HWND owner = m_hWnd ? ::GetAncestor(m_hWnd, GA_ROOT) : nullptr;
    AfxShowMessageBox(owner, text, caption, MB_OK);
}

void CHTMLCtrl::OnDocumentComplete(LPCTSTR lpszURL)
{
    CHtmlView::OnDocumentComplete(lpszURL);
    m_bLoaded = true;
}

void CHTMLCtrl::OnAppCmd(LPCTSTR lpszCmd)
{
    const CString command = lpszCmd ? lpszCmd : L"";
    int id = 0;
    switch (FindAppCommandWord(command)) {
    case AppCommandWord::DeleteRecord:
        if (!ParseAppCommandId(command, id) || !m_target) return;
        if (!m_target->DeleteRecord(id)) ShowProgramMessage(L"Can not delete record", nullptr);
        m_target->BuildAndSendCollections();
        return;
    case AppCommandWord::ViewStatement:
        if (!ParseAppCommandId(command, id)) return;
        m_bStatementRequested = true;
        m_nStatementId = id;
        if (!m_target) return;
        m_target->ShowStatementView(true);
        m_target->LoadStatementPdf();
        m_target->BuildAndSendCollections();
        return;
    case AppCommandWord::ToStatements:
        m_bStatementRequested = true;
        m_nStatementId = -1;
        if (!m_target) return;
        m_target->ShowStatementView(false);
        m_target->LoadStatementPdf();
        m_target->BuildAndSendCollections();
        return;
    case AppCommandWord::SaveChanges: {
        if (!m_target) return;
        CString changes;
        GetInputValue(L"MsgRsp4", changes);
        if (m_target->SaveCollectionsXml(DecodeSavedChanges(changes))) m_target->BuildAndSendCollections();
        else ShowProgramMessage(L"Saving is failed", L"Collections");
        return;
    }
    case AppCommandWord::ToSetHeader:
        if (m_target) m_target->RunStatementHeader();
        return;
    case AppCommandWord::ToSetAddr:
        if (!m_target) return;
        m_target->LoadStatementPdf();
        m_target->BuildAndSendCollections();
        return;
    case AppCommandWord::None:
        return;
    }
}

void CHTMLCtrl::OnDestroy()
{
    // Plain window destruction: the control has no frame or document to tell.
    CWnd::OnDestroy();
}

int CHTMLCtrl::OnMouseActivate(CWnd*, UINT, UINT)
{
    // A click activates the window as any control; there is no view in a frame to activate.
    return static_cast<int>(Default());
}
