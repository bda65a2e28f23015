// Downloading form updates into the form store with WinINet.
#include "bridge/FormDownload.h"
#include "common/TextConversion.h"
#include "framework/TextEscapes.h"

#include <windows.h>
#include <wininet.h>

#include <cwctype>

namespace {
const size_t kMaxNameLength = 100;
const wchar_t kPdf[] = L".pdf";
const DWORD kBlockSize = 1024;

bool StartsWithNoCase(const std::wstring& text, const std::wstring& prefix)
{
    if (text.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (towlower(text[i]) != towlower(prefix[i])) return false;
    return true;
}

bool EndsWithNoCase(const std::wstring& text, const std::wstring& suffix)
{
    return text.size() >= suffix.size() && StartsWithNoCase(text.substr(text.size() - suffix.size()), suffix);
}

bool IsDeviceDigit(wchar_t c)
{
    return (c >= L'0' && c <= L'9') || c == 0x00B9 || c == 0x00B2 || c == 0x00B3; // and superscript 1, 2, 3
}

// Windows opens a device whatever follows the name's first dot, and drops blanks before that dot:
// "con.pdf", "CON .pdf" and "com\u00b9.backup.pdf" are all devices.
bool IsDeviceName(const std::wstring& name)
{
    std::wstring stem = name.substr(0, name.find(L'.'));
    while (!stem.empty() && stem.back() == L' ') stem.pop_back();
    while (!stem.empty() && stem.front() == L' ') stem.erase(0, 1);
    static const wchar_t* const kDevices[] = {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"};
    for (const wchar_t* device : kDevices)
        if (stem.size() == wcslen(device) && StartsWithNoCase(stem, device)) return true;
    return stem.size() == 4 && (StartsWithNoCase(stem, L"COM") || StartsWithNoCase(stem, L"LPT")) &&
           IsDeviceDigit(stem[3]);
}

// %-escapes decoded; the bytes they give are read as UTF-8, or in the ANSI code page when they are
// no UTF-8. A "%" without two hex digits stays.
std::wstring DecodeEscapes(const std::wstring& text)
{
    std::wstring out;
    for (size_t i = 0; i < text.size();) {
        std::string bytes;
        for (int value; (value = PercentEscapeAt(text, i)) >= 0; i += 3)
            bytes += static_cast<char>(value);
        if (!bytes.empty()) {
            out += Utf8OrAnsiToWide(bytes.data(), bytes.size());
            continue;
        }
        out += text[i++];
    }
    return out;
}

bool Exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::wstring WithBackslash(std::wstring folder)
{
    if (!folder.empty() && folder.back() != L'\\' && folder.back() != L'/') folder += L'\\';
    return folder;
}

bool IsRedirectStatus(DWORD status)
{
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

std::wstring LocationOf(HINTERNET remote)
{
    std::wstring location(2048, L'\0');
    DWORD size = static_cast<DWORD>(location.size() * sizeof(wchar_t));
    if (!HttpQueryInfoW(remote, HTTP_QUERY_LOCATION, &location[0], &size, nullptr)) return std::wstring();
    location.resize(size / sizeof(wchar_t));
    return location;
}

// Reads the whole body into the open file; false on any failure, a non-200 status or a short body.
// Redirects are taken by hand, one hop at a time, so that each target is tested before it is opened.
bool FetchInto(HINTERNET session, const std::wstring& address, const std::wstring& updatesAddress, HANDLE file)
{
    std::wstring current = address;
    HINTERNET remote = nullptr;
    DWORD status = 0;
    for (int hop = 0;; ++hop) {
        remote = InternetOpenUrlW(session, current.c_str(), nullptr, 0,
                                  INTERNET_FLAG_TRANSFER_BINARY | INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE |
                                      INTERNET_FLAG_NO_UI | INTERNET_FLAG_NO_AUTO_REDIRECT,
                                  1);
        if (!remote) return false;
        DWORD size = sizeof status;
        if (!HttpQueryInfoW(remote, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr))
            status = 0;
        if (!IsRedirectStatus(status)) break;
        const std::wstring next = ResolveRedirect(current, LocationOf(remote));
        InternetCloseHandle(remote);
        if (hop >= kMaxDownloadRedirects || next.empty() || !IsAcceptedRedirect(next, updatesAddress)) return false;
        current = next;
    }
    bool ok = status == 200;
    DWORD declared = 0, size = sizeof declared;
    const bool hasLength =
        ok && HttpQueryInfoW(remote, HTTP_QUERY_CONTENT_LENGTH | HTTP_QUERY_FLAG_NUMBER, &declared, &size, nullptr);
    unsigned long long total = 0;
    char block[kBlockSize];
    while (ok) {
        DWORD read = 0;
        if (!InternetReadFile(remote, block, kBlockSize, &read)) {
            ok = false;
            break;
        }
        if (read == 0) break;
        DWORD written = 0;
        ok = WriteFile(file, block, read, &written, nullptr) && written == read;
        total += read;
    }
    if (ok && hasLength && total != declared) ok = false;
    InternetCloseHandle(remote);
    return ok;
}
} // namespace

bool IsWebAddress(const std::wstring& address)
{
    return StartsWithNoCase(address, L"http://") || StartsWithNoCase(address, L"https://");
}

std::wstring CleanDownloadName(const std::wstring& address)
{
    std::wstring path = address.substr(0, address.find_first_of(L"?#"));
    const size_t slash = path.size() > 1 ? path.find_last_of(L'/') : std::wstring::npos;
    std::wstring name = DecodeEscapes(slash == std::wstring::npos || slash == 0 ? path.substr(path.empty() ? 0 : 1)
                                                                                : path.substr(slash + 1));
    if (name.find(L"..") != std::wstring::npos) return std::wstring();
    for (wchar_t c : name)
        if (c < 32 || c == 0x7F || wcschr(L"\\/:*?\"<>|", c)) return std::wstring();
    if (name.empty() || name.back() == L' ' || name.back() == L'.') return std::wstring();
    std::wstring stem = EndsWithNoCase(name, kPdf) ? name.substr(0, name.size() - 4) : name;
    if (stem.empty() || IsDeviceName(stem)) return std::wstring();
    const std::wstring extension = EndsWithNoCase(name, kPdf) ? name.substr(name.size() - 4) : std::wstring(kPdf);
    if (stem.size() + extension.size() > kMaxNameLength) stem.resize(kMaxNameLength - extension.size());
    return stem + extension;
}

std::wstring FreeDownloadPath(const std::wstring& storeFolder, const std::wstring& name)
{
    const std::wstring plain = WithBackslash(storeFolder) + name;
    if (!Exists(plain)) return plain;
    const std::wstring head = plain.substr(0, plain.size() - 4), tail = plain.substr(plain.size() - 4);
    for (unsigned n = 1;; ++n) {
        const std::wstring candidate = head + L"_" + std::to_wstring(n) + tail;
        if (!Exists(candidate)) return candidate;
    }
}

DownloadResult DownloadForm(const std::wstring& address, const std::wstring& storeFolder,
                            const std::wstring& updatesAddress)
{
    DownloadResult result;
    const std::wstring name = CleanDownloadName(address);
    if (name.empty()) {
        result.outcome = DownloadOutcome::NameRefused;
        return result;
    }
    wchar_t temporary[MAX_PATH + 1] = {};
    if (!GetTempFileNameW(WithBackslash(storeFolder).c_str(), L"dl", 0, temporary)) return result;
    HANDLE file = CreateFileW(temporary, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    bool ok = file != INVALID_HANDLE_VALUE;
    if (ok) {
        HINTERNET session = InternetOpenW(L"Formstead", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
        ok = session != nullptr && FetchInto(session, address, updatesAddress, file);
        if (session) InternetCloseHandle(session);
        ok = CloseHandle(file) && ok;
    }
    // The whole body is there: it takes the first free name (another program may take a name
    // between the test and the rename, so a taken name moves on to the next).
    for (int attempt = 0; ok && attempt < 1000; ++attempt) {
        const std::wstring target = FreeDownloadPath(storeFolder, name);
        if (MoveFileExW(temporary, target.c_str(), MOVEFILE_WRITE_THROUGH)) {
            result.outcome = DownloadOutcome::Saved;
            result.savedPath = target;
            return result;
        }
        const DWORD error = GetLastError();
        ok = error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS;
    }
    DeleteFileW(temporary);
    return result;
}
