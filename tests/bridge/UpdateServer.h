// Starts the local updates site (update_server.py beside this file) for one test and stops it
// again. The site serves the claim form PDF given, a cut body, a 404, a 500 and a redirect.
#pragma once
#include <windows.h>
#include <wininet.h>

#include <cstdlib>
#include <string>

#include "tests/support/TempFolder.h"

class UpdateServer
{
public:
    // formPdf: a Windows path on drive Z: (Wine's view of the Unix root).
    explicit UpdateServer(const std::wstring& formPdf)
    {
        m_state = L"/tmp/formstead-updates-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                  std::to_wstring(::GetTickCount()) + L"-" + std::to_wstring(++Serial());
        ::CreateDirectoryW(Dos(m_state).c_str(), nullptr);
        // The script's Unix path comes from the build: __FILE__ may be relative to the build folder.
        const std::wstring script = Widen(FORMSTEAD_UPDATE_SERVER);
        std::wstring command = L"/usr/bin/python3 " + script + L" " + m_state + L"/port " + Unix(formPdf);
        STARTUPINFOW si = {sizeof si};
        PROCESS_INFORMATION pi = {};
        if (!::CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return;
        ::CloseHandle(pi.hThread);
        ::CloseHandle(pi.hProcess);
        // The site writes its port once it listens; a watchdog bounds the wait.
        for (int waited = 0; waited < 20000 && m_port == 0; waited += 50) {
            m_port = std::atoi(ReadWholeFile(Dos(m_state + L"/port")).c_str());
            if (m_port == 0) ::Sleep(50);
        }
    }
    ~UpdateServer()
    {
        if (m_port) {
            std::string ignored;
            Fetch(Address(L"/stop"), ignored);
        }
        ::DeleteFileW(Dos(m_state + L"/port").c_str());
        ::RemoveDirectoryW(Dos(m_state).c_str());
    }
    UpdateServer(const UpdateServer&) = delete;
    UpdateServer& operator=(const UpdateServer&) = delete;

    bool Running() const { return m_port != 0; }
    int Port() const { return m_port; }
    std::wstring Address(const std::wstring& path) const
    {
        return L"http://127.0.0.1:" + std::to_wstring(m_port) + path;
    }

    // A plain fetch, to check the site itself; the status code, 0 when it could not be reached.
    static DWORD Fetch(const std::wstring& address, std::string& body)
    {
        body.clear();
        HINTERNET session = ::InternetOpenW(L"test", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
        if (!session) return 0;
        DWORD status = 0, size = sizeof status;
        HINTERNET url = ::InternetOpenUrlW(session, address.c_str(), nullptr, 0,
                                           INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE |
                                               INTERNET_FLAG_NO_AUTO_REDIRECT,
                                           0);
        if (url) {
            ::HttpQueryInfoW(url, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr);
            char block[4096];
            DWORD read = 0;
            while (::InternetReadFile(url, block, sizeof block, &read) && read > 0) body.append(block, read);
            ::InternetCloseHandle(url);
        }
        ::InternetCloseHandle(session);
        return status;
    }

private:
    static int& Serial()
    {
        static int serial = 0;
        return serial;
    }
    static std::wstring Widen(const char* text)
    {
        std::wstring out;
        for (; *text; ++text) out += static_cast<wchar_t>(static_cast<unsigned char>(*text));
        return out;
    }
    static std::wstring Dos(const std::wstring& unixPath)
    {
        std::wstring dos = L"Z:" + unixPath;
        for (wchar_t& c : dos)
            if (c == L'/') c = L'\\';
        return dos;
    }
    static std::wstring Unix(const std::wstring& zPath)
    {
        std::wstring out = zPath.size() > 2 && (zPath[0] == L'Z' || zPath[0] == L'z') && zPath[1] == L':' ? zPath.substr(2) : zPath;
        for (wchar_t& c : out)
            if (c == L'\\') c = L'/';
        return out;
    }

    std::wstring m_state;
    int m_port = 0;
};
