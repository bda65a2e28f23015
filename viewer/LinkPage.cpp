// Fetching http pages and listing their links.
#include "viewer/LinkPage.h"
#include "viewer/HtmlDocument.h"
#include <wininet.h>
#include <cctype>

namespace viewer {

namespace {
std::wstring Widen(const std::string& s)
{
    std::wstring out;
    for (unsigned char c : s) out += static_cast<wchar_t>(c);
    return out;
}

std::string LowerAscii(std::string s)
{
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::wstring DecodeEntities(const std::wstring& text)
{
    std::wstring out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'&') {
            static const std::pair<const wchar_t*, wchar_t> names[] = {{L"&amp;", L'&'}, {L"&lt;", L'<'}, {L"&gt;", L'>'},
                                                                       {L"&quot;", L'"'}, {L"&nbsp;", L' '}};
            bool done = false;
            for (const auto& n : names) {
                size_t len = wcslen(n.first);
                if (text.compare(i, len, n.first) == 0) {
                    out += n.second;
                    i += len - 1;
                    done = true;
                    break;
                }
            }
            if (done) continue;
        }
        out += text[i];
    }
    return out;
}
} // namespace

bool FetchHttp(const std::wstring& address, std::string& body, std::wstring& error)
{
    body.clear();
    HINTERNET session = InternetOpenW(L"Formstead", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    if (!session) {
        error = L"No internet session could be opened.";
        return false;
    }
    HINTERNET url = InternetOpenUrlW(session, address.c_str(), nullptr, 0,
                                     INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_NO_UI, 0);
    bool ok = url != nullptr;
    if (ok) {
        DWORD status = 0, size = sizeof status;
        if (HttpQueryInfoW(url, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr) && status >= 400) {
            error = L"The page " + address + L" answered with error " + std::to_wstring(status) + L".";
            ok = false;
        }
        char buffer[4096];
        DWORD read = 0;
        while (ok && InternetReadFile(url, buffer, sizeof buffer, &read) && read > 0) body.append(buffer, read);
        InternetCloseHandle(url);
    } else {
        error = L"The page " + address + L" cannot be reached.";
    }
    InternetCloseHandle(session);
    return ok;
}

std::wstring ResolveAddress(const std::wstring& pageAddress, const std::wstring& href)
{
    size_t scheme = href.find(L':');
    if (scheme != std::wstring::npos && href.find_first_of(L"/?#") > scheme) return href; // absolute
    size_t hostStart = pageAddress.find(L"://");
    hostStart = hostStart == std::wstring::npos ? 0 : hostStart + 3;
    size_t pathStart = pageAddress.find(L'/', hostStart);
    std::wstring origin = pathStart == std::wstring::npos ? pageAddress : pageAddress.substr(0, pathStart);
    if (href.compare(0, 2, L"//") == 0) return pageAddress.substr(0, hostStart - 2) + href;
    if (!href.empty() && href[0] == L'/') return origin + href;
    std::wstring base = pageAddress.substr(0, pageAddress.find_first_of(L"?#"));
    size_t lastSlash = base.rfind(L'/');
    if (lastSlash == std::wstring::npos || lastSlash < hostStart) base = origin + L"/";
    else base = base.substr(0, lastSlash + 1);
    return base + href;
}

std::vector<PageLinkEntry> ExtractLinks(const std::string& html, const std::wstring& pageAddress)
{
    std::vector<PageLinkEntry> links;
    std::string lower = LowerAscii(html);
    for (size_t at = lower.find("<a"); at != std::string::npos; at = lower.find("<a", at + 2)) {
        if (at + 2 >= lower.size() || !std::isspace(static_cast<unsigned char>(lower[at + 2]))) continue;
        size_t tagEnd = lower.find('>', at);
        if (tagEnd == std::string::npos) break;
        size_t href = lower.find("href", at);
        if (href == std::string::npos || href > tagEnd) continue;
        size_t eq = lower.find('=', href);
        if (eq == std::string::npos || eq > tagEnd) continue;
        size_t v = eq + 1;
        while (v < tagEnd && std::isspace(static_cast<unsigned char>(html[v]))) ++v;
        std::string value;
        if (html[v] == '"' || html[v] == '\'') {
            size_t close = html.find(html[v], v + 1);
            if (close == std::string::npos || close > tagEnd) continue;
            value = html.substr(v + 1, close - v - 1);
        } else {
            size_t end = v;
            while (end < tagEnd && !std::isspace(static_cast<unsigned char>(html[end]))) ++end;
            value = html.substr(v, end - v);
        }
        size_t close = lower.find("</a", tagEnd);
        std::string inner = html.substr(tagEnd + 1, (close == std::string::npos ? html.size() : close) - tagEnd - 1);
        std::string caption;
        bool inTag = false;
        for (char c : inner) {
            if (c == '<') inTag = true;
            else if (c == '>') inTag = false;
            else if (!inTag) caption += (c == '\r' || c == '\n' || c == '\t') ? ' ' : c;
        }
        PageLinkEntry entry;
        entry.address = ResolveAddress(pageAddress, DecodeEntities(Widen(value)));
        entry.caption = DecodeEntities(Widen(caption));
        size_t first = entry.caption.find_first_not_of(L' ');
        entry.caption = first == std::wstring::npos ? std::wstring() : entry.caption.substr(first);
        while (!entry.caption.empty() && entry.caption.back() == L' ') entry.caption.pop_back();
        if (!value.empty()) links.push_back(entry);
    }
    return links;
}

LinkList::LinkList(HWND parent, const std::wstring& address)
{
    std::string body;
    std::wstring error;
    bool fetched = FetchHttp(address, body, error);
    if (fetched) m_links = ExtractLinks(body, address);
    m_list = CreateWindowExW(WS_EX_CLIENTEDGE, L"LISTBOX", L"",
                             WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, 0, 0, 10, 10, parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(kLinkListId)), GetModuleHandleW(nullptr), nullptr);
    if (!m_list) return;
    m_font = CreateFontW(-14, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, CLEARTYPE_QUALITY, 0, L"Arial");
    SendMessageW(m_list, WM_SETFONT, reinterpret_cast<WPARAM>(m_font), FALSE);
    auto add = [&](const std::wstring& line) { SendMessageW(m_list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str())); };
    add(address);
    if (!fetched) {
        add(error);
        m_firstLinkRow = 2 + static_cast<int>(m_links.size());
        return;
    }
    add(m_links.empty() ? L"This page has no links." : L"Double-click a link to open it:");
    m_firstLinkRow = 2;
    for (const PageLinkEntry& link : m_links)
        add((link.caption.empty() ? link.address : link.caption + L"   (" + link.address + L")"));
}

LinkList::~LinkList()
{
    if (m_list && IsWindow(m_list)) DestroyWindow(m_list);
    if (m_font) DeleteObject(m_font);
}

std::wstring LinkList::AddressAt(int row) const
{
    int index = row - m_firstLinkRow;
    return index >= 0 && index < static_cast<int>(m_links.size()) ? m_links[index].address : std::wstring();
}

void LinkList::Resize(const RECT& rect)
{
    if (m_list) MoveWindow(m_list, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, TRUE);
}

} // namespace viewer
