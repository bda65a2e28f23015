// The browser behind a view window: navigation with its before-navigate and document-complete
// events, the document it shows (the container page with its embedded form, an http page shown as
// its list of links, a PDF shown directly, or an empty page) and the messages it posts to itself.
#pragma once
#include "viewer/ContainerPage.h"
#include "viewer/FormWindow.h"
#include <deque>
#include <memory>

namespace viewer {

class LinkList;

// The events a browser raises to the window that holds it.
class BrowserEvents
{
public:
    virtual ~BrowserEvents() = default;
    // Every navigation, program-made or page-made; setting cancel stops it.
    virtual void BeforeNavigate(const std::wstring& address, bool& cancel) = 0;
    virtual void DocumentComplete(const std::wstring& address) = 0;
    virtual bool OpenAddress(const std::wstring& address) = 0;
    virtual void ShowMessage(const std::wstring& text) = 0;
};

class BrowserCore : public ContainerHost, public FormWindowHost
{
public:
    explicit BrowserCore(BrowserEvents& events);
    ~BrowserCore() override;
    BrowserCore(const BrowserCore&) = delete;
    BrowserCore& operator=(const BrowserCore&) = delete;

    // Binds to the view window whose messages HandleMessage receives; Detach before it goes.
    void Attach(HWND view);
    void Detach();
    HWND View() const { return m_view; }

    void Navigate(const std::wstring& address);
    // A navigation that the page itself starts (a link, a script).
    void NavigateFromPage(const std::wstring& address) override;

    // Null while there is no document.
    HtmlDocument* Document();
    const std::wstring& LocationURL() const { return m_location; }
    // The embedded form's window, null when none is shown.
    FormWindow* Form() { return m_form.get(); }

    // Messages of the view window that belong to the browser; true when taken.
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

    // The browser of a view window, for the test control; null when none.
    static BrowserCore* FromView(HWND view);

private:
    struct PendingReply
    {
        unsigned id;
        unsigned page;
        bool error;
        FormReply reply;
        std::wstring errorText;
    };

    // ContainerHost
    void LoadPdf(const std::wstring& address) override;
    void PostToPdf(const std::wstring (&items)[4]) override;
    void ScheduleMessageHandler() override;
    // FormWindowHost
    bool OpenAddress(const std::wstring& address) override { return m_events.OpenAddress(address); }
    void ShowMessage(const std::wstring& text) override { m_events.ShowMessage(text); }
    HDC ChoosePrinter(bool& ownsDc) override;

    void ShowPage(const std::wstring& address);
    void ClearPage();
    void DropForm();
    void ShowForm(const std::wstring& path);
    void ResizeChildren();
    void Heartbeat();

    BrowserEvents& m_events;
    HWND m_view = nullptr;
    std::wstring m_location;
    unsigned m_page = 0;                 // serial of the document shown; posted messages carry it
    unsigned m_nextReply = 0;
    std::unique_ptr<HtmlDocument> m_document;
    ContainerPage* m_container = nullptr; // m_document when it is the container page
    // Shared with a command that is running: a print dialog pumps messages, and the page may be
    // replaced meanwhile.
    std::shared_ptr<FormWindow> m_form;
    std::unique_ptr<LinkList> m_links;
    std::deque<PendingReply> m_replies;
    std::deque<std::wstring> m_pageNavigations;
    bool m_heartbeat = false;
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};

// The private messages of a view window.
enum : UINT
{
    WM_VIEWER_DOCUMENT_COMPLETE = WM_USER + 0x5F0, // wParam page serial, lParam messages still to wait
    WM_VIEWER_FORM_REPLY,                           // wParam reply id, lParam messages still to wait
    WM_VIEWER_MESSAGE_HANDLER,                      // wParam page serial
    WM_VIEWER_PAGE_NAVIGATION,                      // a queued navigation made by the page
};
const UINT_PTR kViewerHeartbeatTimer = 0x5F0;

} // namespace viewer
