// Navigation, documents and the posted messages of the browser behind a view window.
#include "viewer/BrowserCore.h"
#include "framework/Dialog.h"
#include "viewer/LinkPage.h"
#include "viewer/ViewerTestControl.h"
#include <commdlg.h>
#include <map>

namespace viewer {

namespace {
// Every wait of the program pumps one message per pass; a message at least this often keeps every
// pass short even when no document completes and no form answers.
const UINT kHeartbeatMs = 10;

std::map<HWND, BrowserCore*>& Views()
{
    static std::map<HWND, BrowserCore*> views;
    return views;
}

bool EndsWithNoCase(const std::wstring& text, const std::wstring& suffix)
{
    return text.size() >= suffix.size() && StartsWithNoCase(text.substr(text.size() - suffix.size()), suffix);
}
} // namespace

ViewerTestControl& TestControl()
{
    static ViewerTestControl control;
    return control;
}

void NavigateFromPageForTest(HWND view, const std::wstring& address)
{
    if (BrowserCore* core = BrowserCore::FromView(view)) core->NavigateFromPage(address);
}

BrowserCore::BrowserCore(BrowserEvents& events) : m_events(events) {}

BrowserCore::~BrowserCore()
{
    *m_alive = false;
    Detach();
}

BrowserCore* BrowserCore::FromView(HWND view)
{
    auto it = Views().find(view);
    return it == Views().end() ? nullptr : it->second;
}

void BrowserCore::Attach(HWND view)
{
    m_view = view;
    Views()[view] = this;
}

void BrowserCore::Detach()
{
    if (!m_view) return;
    ClearPage();
    if (m_heartbeat) KillTimer(m_view, kViewerHeartbeatTimer);
    m_heartbeat = false;
    Views().erase(m_view);
    m_view = nullptr;
}

HtmlDocument* BrowserCore::Document()
{
    if (TestControl().noDocument) return nullptr;
    return m_document.get();
}

void BrowserCore::Heartbeat()
{
    if (m_heartbeat || !m_view) return;
    m_heartbeat = SetTimer(m_view, kViewerHeartbeatTimer, kHeartbeatMs, nullptr) != 0;
}

void BrowserCore::Navigate(const std::wstring& address)
{
    if (!m_view) return;
    Heartbeat();
    std::shared_ptr<bool> alive = m_alive;
    bool cancel = false;
    m_events.BeforeNavigate(address, cancel);
    if (!*alive || cancel || !m_view) return;
    ShowPage(address);
    ++m_page;
    if (TestControl().documentCompleteMissing) return;
    PostMessageW(m_view, WM_VIEWER_DOCUMENT_COMPLETE, m_page, TestControl().documentCompleteDelay);
}

void BrowserCore::NavigateFromPage(const std::wstring& address)
{
    // Queued: the link's own window may be replaced by the navigation it starts.
    if (!m_view) return;
    if (m_form && m_container && m_form->Script().IsLoaded() && StartsWithNoCase(address, L"app:saveChanges")) {
        // A companion form posts its changes first; the program reads them from the fourth reply.
        PendingReply pending{++m_nextReply, m_page, false, FormReply(), std::wstring()};
        pending.reply.items[3] = m_form->Script().ChangesForSaving();
        m_replies.push_back(pending);
        PostMessageW(m_view, WM_VIEWER_FORM_REPLY, pending.id, 0);
    }
    m_pageNavigations.push_back(address);
    PostMessageW(m_view, WM_VIEWER_PAGE_NAVIGATION, 0, 0);
}

void BrowserCore::DropForm()
{
    if (m_form) m_form->Orphan();
    m_form.reset();
}

void BrowserCore::ClearPage()
{
    m_container = nullptr;
    m_document.reset();
    DropForm();
    m_links.reset();
    m_replies.clear();
}

void BrowserCore::ShowPage(const std::wstring& address)
{
    ClearPage();
    m_location = address;
    if (IsContainerAddress(address)) {
        auto page = std::make_unique<ContainerPage>(*this);
        m_container = page.get();
        m_document = std::move(page);
    } else if (StartsWithNoCase(address, L"http://")) {
        m_document = std::make_unique<HtmlDocument>();
        m_links = std::make_unique<LinkList>(m_view, address);
    } else {
        m_document = std::make_unique<HtmlDocument>();
        if (EndsWithNoCase(PathFromAddress(address), L".pdf")) ShowForm(PathFromAddress(address));
    }
    ResizeChildren();
    InvalidateRect(m_view, nullptr, TRUE);
}

void BrowserCore::ShowForm(const std::wstring& path)
{
    DropForm();
    auto form = std::make_shared<FormWindow>(*this);
    RECT rc;
    GetClientRect(m_view, &rc);
    if (!form->Create(m_view, rc)) return;
    form->Load(path);
    m_form = std::move(form);
}

void BrowserCore::ResizeChildren()
{
    if (!m_view) return;
    RECT rc;
    GetClientRect(m_view, &rc);
    if (m_form && m_form->Hwnd()) MoveWindow(m_form->Hwnd(), 0, 0, rc.right, rc.bottom, TRUE);
    if (m_links) m_links->Resize(rc);
}

void BrowserCore::LoadPdf(const std::wstring& address)
{
    ShowForm(PathFromAddress(address));
}

void BrowserCore::PostToPdf(const std::wstring (&items)[4])
{
    TestControl().commands.push_back(items[0]);
    if (!m_form || !m_view) return;
    PendingReply pending{++m_nextReply, m_page, false, FormReply(), std::wstring()};
    if (!m_form->Error().empty()) {
        // The viewer could not show the document: the post fails with its message.
        pending.error = true;
        pending.errorText = m_form->Error();
    } else {
        std::shared_ptr<bool> alive = m_alive;
        std::shared_ptr<FormWindow> form = m_form;
        bool answered = form->Script().Run(items[0], pending.reply, form.get());
        if (!*alive || !answered || form != m_form) return;
    }
    if (TestControl().neverReply) return;
    m_replies.push_back(pending);
    PostMessageW(m_view, WM_VIEWER_FORM_REPLY, pending.id, TestControl().replyDelay);
}

void BrowserCore::ScheduleMessageHandler()
{
    if (m_view) PostMessageW(m_view, WM_VIEWER_MESSAGE_HANDLER, m_page, 0);
}

HDC BrowserCore::ChoosePrinter(bool& ownsDc)
{
    if (TestControl().printTarget) {
        if (TestControl().whileChoosingPrinter) TestControl().whileChoosingPrinter();
        ownsDc = false;
        return TestControl().printTarget;
    }
    PRINTDLGW pd = {sizeof pd};
    // Owned by the modal dialog that asked for the print (when one runs), which gets the input back.
    pd.hwndOwner = CDialog::ModalOwnerFor(m_view);
    pd.Flags = PD_RETURNDC | PD_NOPAGENUMS | PD_NOSELECTION | PD_USEDEVMODECOPIESANDCOLLATE;
    if (!PrintDlgW(&pd)) return nullptr;
    if (pd.hDevMode) GlobalFree(pd.hDevMode);
    if (pd.hDevNames) GlobalFree(pd.hDevNames);
    ownsDc = true;
    return pd.hDC;
}

bool BrowserCore::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    result = 0;
    switch (message) {
    case WM_TIMER:
        return wParam == kViewerHeartbeatTimer; // the heartbeat only wakes the waits
    case WM_SIZE:
        ResizeChildren();
        return false;
    case WM_VIEWER_DOCUMENT_COMPLETE:
        if (wParam != m_page) return true; // a later navigation replaced that document
        if (lParam > 0) {
            PostMessageW(m_view, message, wParam, lParam - 1);
            return true;
        }
        m_events.DocumentComplete(m_location);
        return true;
    case WM_VIEWER_FORM_REPLY: {
        if (lParam > 0) {
            PostMessageW(m_view, message, wParam, lParam - 1);
            return true;
        }
        for (auto it = m_replies.begin(); it != m_replies.end(); ++it) {
            if (it->id != wParam) continue;
            PendingReply reply = *it;
            m_replies.erase(it);
            if (reply.page == m_page && m_container) {
                if (reply.error) m_container->OnPdfError(reply.errorText);
                else m_container->OnPdfMessage(reply.reply);
            }
            break;
        }
        return true;
    }
    case WM_VIEWER_MESSAGE_HANDLER:
        if (wParam == m_page && m_container) m_container->CallFunction(L"SetMessageHandler");
        return true;
    case WM_VIEWER_PAGE_NAVIGATION:
        if (!m_pageNavigations.empty()) {
            std::wstring address = m_pageNavigations.front();
            m_pageNavigations.pop_front();
            Navigate(address);
        }
        return true;
    case WM_COMMAND:
        if (m_links && LOWORD(wParam) == LinkList::kLinkListId && HIWORD(wParam) == LBN_DBLCLK) {
            LRESULT row = SendMessageW(m_links->Hwnd(), LB_GETCURSEL, 0, 0);
            std::wstring address = m_links->AddressAt(static_cast<int>(row));
            if (!address.empty()) NavigateFromPage(address);
            return true;
        }
        return false;
    default:
        return false;
    }
}

} // namespace viewer
