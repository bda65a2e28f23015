// http pages: fetched from a real local server, shown as their links, a link followed by a
// double-click; and the rules that make links absolute.
#include <winsock2.h>
#include "ViewerWindowTest.h"
#include "viewer/LinkPage.h"
#include "viewer/ViewerTestControl.h"
#include <gtest/gtest.h>
#include <atomic>
#include <thread>

namespace {

// Serves one fixed HTML page to every request on 127.0.0.1, on its own thread.
class LocalServer
{
public:
    explicit LocalServer(std::string page) : m_page(std::move(page))
    {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
        m_listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in address = {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
        int length = sizeof address;
        getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length);
        m_port = ntohs(address.sin_port);
        listen(m_listener, 4);
        m_thread = std::thread([this] { Serve(); });
    }
    ~LocalServer()
    {
        m_stop = true;
        closesocket(m_listener);
        m_thread.join();
        WSACleanup();
    }
    int Port() const { return m_port; }

private:
    void Serve()
    {
        while (!m_stop) {
            SOCKET client = accept(m_listener, nullptr, nullptr);
            if (client == INVALID_SOCKET) return;
            char request[4096];
            recv(client, request, sizeof request, 0);
            std::string answer = "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\nContent-Length: " +
                                 std::to_string(m_page.size()) + "\r\nConnection: close\r\n\r\n" + m_page;
            send(client, answer.data(), static_cast<int>(answer.size()), 0);
            shutdown(client, SD_SEND);
            closesocket(client);
        }
    }

    std::string m_page;
    SOCKET m_listener = INVALID_SOCKET;
    int m_port = 0;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

} // namespace

TEST(LinkPage, AddressesAreMadeAbsolute)
{
    using viewer::ResolveAddress;
    EXPECT_EQ(L"http://h/forms/new.pdf", ResolveAddress(L"http://h/forms/index.htm", L"new.pdf"));
    EXPECT_EQ(L"http://h/new.pdf", ResolveAddress(L"http://h/forms/index.htm", L"/new.pdf"));
    EXPECT_EQ(L"http://other/x.pdf", ResolveAddress(L"http://h/forms/", L"http://other/x.pdf"));
    EXPECT_EQ(L"http://other/x.pdf", ResolveAddress(L"http://h/forms/", L"//other/x.pdf"));
    EXPECT_EQ(L"http://h/a.pdf", ResolveAddress(L"http://h", L"a.pdf"));
    EXPECT_EQ(L"app:toSetAddr?7", ResolveAddress(L"http://h/", L"app:toSetAddr?7"));

    std::vector<viewer::PageLinkEntry> links = viewer::ExtractLinks(
        "<p><A HREF=\"claim.pdf\">New <b>claim</b> form</A> <a href='/b.pdf'>B &amp; C</a><a name=x>no</a>"
        "<a href=c.pdf>C</a><area href=\"d.pdf\"></p>",
        L"http://h/updates/list.htm");
    ASSERT_EQ(3u, links.size());
    EXPECT_EQ(L"http://h/updates/claim.pdf", links[0].address);
    EXPECT_EQ(L"New claim form", links[0].caption);
    EXPECT_EQ(L"http://h/b.pdf", links[1].address);
    EXPECT_EQ(L"B & C", links[1].caption);
    EXPECT_EQ(L"http://h/updates/c.pdf", links[2].address);
}

TEST(LinkPage, AnHttpPageShowsItsLinksAndADoubleClickFollowsOne)
{
    viewer::TestControl().Reset();
    LocalServer server("<html><body><a href=\"forms/new-claim.pdf\">New claim</a><a href=\"/other.htm\">Other</a></body></html>");
    std::wstring address = L"http://127.0.0.1:" + std::to_wstring(server.Port()) + L"/updates/";
    TestBrowserWindow w;
    w.cancelWhen = [](const std::wstring& a) { return a.find(L".pdf") != std::wstring::npos; };
    w.Core().Navigate(address);
    PumpPending();
    EXPECT_EQ(1u, w.completed.size());
    HWND list = GetDlgItem(w.Hwnd(), viewer::LinkList::kLinkListId);
    ASSERT_NE(nullptr, list);
    ASSERT_EQ(4, SendMessageW(list, LB_GETCOUNT, 0, 0)); // address, hint, two links
    wchar_t row[256] = {};
    SendMessageW(list, LB_GETTEXT, 2, reinterpret_cast<LPARAM>(row));
    EXPECT_NE(std::wstring::npos, std::wstring(row).find(L"New claim"));

    RECT item;
    SendMessageW(list, LB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&item));
    LPARAM at = MAKELPARAM(item.left + 5, item.top + 2);
    SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(list, WM_LBUTTONUP, 0, at);
    SendMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    SendMessageW(list, WM_LBUTTONUP, 0, at);
    PumpPending();
    ASSERT_EQ(2u, w.navigations.size());
    EXPECT_EQ(address + L"forms/new-claim.pdf", w.navigations[1]);
    EXPECT_EQ(address, w.Core().LocationURL()); // cancelled: the page stays

    // A server that is not there: the page says so and lists nothing.
    TestBrowserWindow missing;
    missing.Core().Navigate(L"http://127.0.0.1:1/none.htm");
    HWND empty = GetDlgItem(missing.Hwnd(), viewer::LinkList::kLinkListId);
    ASSERT_NE(nullptr, empty);
    EXPECT_EQ(2, SendMessageW(empty, LB_GETCOUNT, 0, 0));
}
