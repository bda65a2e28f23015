// An http page as the viewer shows it: fetched with WinINet, its links listed; a double-click on
// a link follows it (a navigation made by the page).
#pragma once
#include <windows.h>
#include <string>
#include <vector>

namespace viewer {

struct PageLinkEntry
{
    std::wstring address;
    std::wstring caption;
};

// Reads a whole http resource; false with a readable error when it cannot.
bool FetchHttp(const std::wstring& address, std::string& body, std::wstring& error);

// The <a href> links of an HTML text, made absolute against the page's address.
std::vector<PageLinkEntry> ExtractLinks(const std::string& html, const std::wstring& pageAddress);

// An href made absolute: "http://..." as it is, "/x" from the host, "x" beside the page.
std::wstring ResolveAddress(const std::wstring& pageAddress, const std::wstring& href);

// The list box that shows the links; its notifications go to the parent with kLinkListId.
class LinkList
{
public:
    static const int kLinkListId = 0x5F1;

    LinkList(HWND parent, const std::wstring& address);
    ~LinkList();
    LinkList(const LinkList&) = delete;
    LinkList& operator=(const LinkList&) = delete;

    HWND Hwnd() const { return m_list; }
    const std::vector<PageLinkEntry>& Links() const { return m_links; }
    // The address of the chosen row, empty when the row is not a link.
    std::wstring AddressAt(int row) const;
    void Resize(const RECT& rect);

private:
    HWND m_list = nullptr;
    HFONT m_font = nullptr;
    std::vector<PageLinkEntry> m_links;
    int m_firstLinkRow = 0;
};

} // namespace viewer
