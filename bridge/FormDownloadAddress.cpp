// Which web addresses belong to the updates address, and where a redirect leads. Addresses are taken
// apart and compared part by part: a text prefix would let "http://forms.example:x@evil.example/"
// pass for "http://forms.example", and "/updatesX/" for "/updates".
#include "bridge/FormDownload.h"
#include "framework/TextEscapes.h"

#include <cwctype>
#include <vector>

namespace {

struct WebAddress
{
    std::wstring scheme; // "http" or "https"
    bool hasUserInfo = false;
    std::wstring host;   // lower case
    int port = 0;        // the explicit port, or the scheme's own
    std::wstring path;   // from its "/" up to "?" or "#"; "/" when empty
};

std::wstring Lower(std::wstring text)
{
    for (wchar_t& c : text) c = static_cast<wchar_t>(towlower(c));
    return text;
}


bool ParseWebAddress(const std::wstring& text, WebAddress& out)
{
    const size_t colon = text.find(L"://");
    if (colon == std::wstring::npos) return false;
    out.scheme = Lower(text.substr(0, colon));
    if (out.scheme != L"http" && out.scheme != L"https") return false;
    const size_t start = colon + 3;
    const size_t end = text.find_first_of(L"/?#", start);
    const std::wstring authority = text.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start);
    // A browser reads "\" as "/", and blanks or controls have no place in a host: such an address is
    // not taken apart at all.
    for (wchar_t c : authority)
        if (c <= L' ' || c == L'\\' || c == 0x7F) return false;
    out.hasUserInfo = authority.find(L'@') != std::wstring::npos;
    std::wstring hostPort = authority.substr(authority.find_last_of(L'@') + 1);
    size_t portColon = hostPort.find_last_of(L':');
    if (portColon != std::wstring::npos && hostPort.find(L']', portColon) != std::wstring::npos)
        portColon = std::wstring::npos; // the colons of an IPv6 literal
    out.port = out.scheme == L"https" ? 443 : 80;
    if (portColon != std::wstring::npos) {
        const std::wstring digits = hostPort.substr(portColon + 1);
        hostPort.resize(portColon);
        if (!digits.empty()) {
            if (digits.size() > 5) return false;
            int port = 0;
            for (wchar_t c : digits) {
                if (c < L'0' || c > L'9') return false;
                port = port * 10 + (c - L'0');
            }
            if (port == 0 || port > 65535) return false;
            out.port = port;
        }
    }
    if (hostPort.empty()) return false;
    out.host = Lower(hostPort);
    out.path = L"/";
    if (end != std::wstring::npos && text[end] == L'/')
        out.path = text.substr(end, text.find_first_of(L"?#", end) - end);
    return true;
}

// The path's segments with their escapes decoded (an escaped "/" separates too, as some servers
// take it); false when a segment is "." or ".." or holds a backslash or a zero, which a server or
// a browser may read as a step to another folder.
bool PathSegments(const std::wstring& path, std::vector<std::wstring>& segments)
{
    const std::wstring decoded = DecodePercentEscapes(path);
    segments.clear();
    size_t start = 1; // after the leading "/"
    for (;;) {
        const size_t slash = decoded.find(L'/', start);
        const std::wstring segment = Lower(decoded.substr(start, slash == std::wstring::npos ? slash : slash - start));
        if (segment == L"." || segment == L".." || segment.find_first_of(std::wstring(L"\\\0", 2)) != std::wstring::npos)
            return false;
        segments.push_back(segment);
        if (slash == std::wstring::npos) break;
        start = slash + 1;
    }
    return true;
}

// True when the path lies in the folder of the updates path (up to its last "/": the updates page
// "/forms/updates.htm" and the address "/forms/" both stand for the folder "/forms") or below it.
bool PathIsInFolderOf(const std::wstring& path, const std::wstring& updatesPath)
{
    std::vector<std::wstring> below, above;
    if (!PathSegments(path, below) || !PathSegments(updatesPath, above)) return false;
    above.pop_back(); // the page's name, or the empty name after a final "/"
    if (below.size() < above.size()) return false;
    for (size_t i = 0; i < above.size(); ++i)
        if (below[i] != above[i]) return false;
    return true;
}

// Removes "." and ".." segments from a path built from a relative reference.
std::wstring WithoutDotSegments(const std::wstring& path)
{
    std::vector<std::wstring> kept;
    size_t start = 1;
    bool endsAsFolder = false;
    for (;;) {
        const size_t slash = path.find(L'/', start);
        const std::wstring segment = path.substr(start, slash == std::wstring::npos ? slash : slash - start);
        endsAsFolder = segment == L"." || segment == L"..";
        if (segment == L"..") {
            if (!kept.empty()) kept.pop_back();
        } else if (segment != L".") {
            kept.push_back(segment);
        }
        if (slash == std::wstring::npos) break;
        start = slash + 1;
    }
    std::wstring out;
    for (const std::wstring& segment : kept) out += L"/" + segment;
    if (endsAsFolder || out.empty()) out += L"/";
    return out;
}

} // namespace

bool IsUnderUpdatesAddress(const std::wstring& address, const std::wstring& updatesAddress)
{
    WebAddress target, updates;
    if (!ParseWebAddress(address, target) || !ParseWebAddress(updatesAddress, updates)) return false;
    return !target.hasUserInfo && !updates.hasUserInfo && target.scheme == updates.scheme &&
           target.host == updates.host && target.port == updates.port && PathIsInFolderOf(target.path, updates.path);
}

bool BeginsWithUpdatesAddress(const std::wstring& address, const std::wstring& updatesAddress)
{
    if (updatesAddress.empty() || address.size() < updatesAddress.size() ||
        Lower(address.substr(0, updatesAddress.size())) != Lower(updatesAddress))
        return false;
    // Whole segments: what follows the updates address starts a new segment, a query or a fragment.
    const wchar_t last = updatesAddress.back();
    const bool boundary = address.size() == updatesAddress.size() || last == L'/' || last == L'?' || last == L'#' ||
                          std::wstring(L"/?#").find(address[updatesAddress.size()]) != std::wstring::npos;
    // The address must also stay where the prefix says: no user name that turns the prefix into one,
    // no "." or ".." step (plain or escaped) back out of the updates address.
    WebAddress target;
    std::vector<std::wstring> segments;
    return boundary && ParseWebAddress(address, target) && !target.hasUserInfo && PathSegments(target.path, segments);
}

bool IsAcceptedRedirect(const std::wstring& target, const std::wstring& updatesAddress)
{
    if (IsUnderUpdatesAddress(target, updatesAddress)) return true;
    // A site that moved to https on its standard port: the same place, reached more safely.
    WebAddress updates;
    if (!ParseWebAddress(updatesAddress, updates) || updates.scheme != L"http" || updates.port != 80) return false;
    const size_t colon = updatesAddress.find(L"://");
    return IsUnderUpdatesAddress(target, L"https" + updatesAddress.substr(colon));
}

std::wstring ResolveRedirect(const std::wstring& base, const std::wstring& location)
{
    if (location.empty()) return std::wstring();
    const size_t colon = location.find(L':');
    const size_t firstSeparator = location.find_first_of(L"/?#");
    if (colon != std::wstring::npos && (firstSeparator == std::wstring::npos || colon < firstSeparator))
        return location; // it names its own scheme
    const size_t schemeEnd = base.find(L"://");
    if (schemeEnd == std::wstring::npos) return std::wstring();
    if (location.compare(0, 2, L"//") == 0) return base.substr(0, schemeEnd + 1) + location;
    const size_t pathStart = base.find_first_of(L"/?#", schemeEnd + 3);
    const std::wstring origin = base.substr(0, pathStart);
    if (location[0] == L'/') {
        const size_t tail = location.find_first_of(L"?#");
        return origin + WithoutDotSegments(location.substr(0, tail)) +
               (tail == std::wstring::npos ? std::wstring() : location.substr(tail));
    }
    std::wstring basePath = pathStart != std::wstring::npos && base[pathStart] == L'/'
                                ? base.substr(pathStart, base.find_first_of(L"?#", pathStart) - pathStart)
                                : std::wstring(L"/");
    if (location[0] == L'?' || location[0] == L'#') return origin + basePath + location;
    basePath.erase(basePath.find_last_of(L'/') + 1);
    const size_t tail = location.find_first_of(L"?#");
    return origin + WithoutDotSegments(basePath + location.substr(0, tail)) +
           (tail == std::wstring::npos ? std::wstring() : location.substr(tail));
}
