// A real printer for printing tests: a CUPS scheduler of the test's own with one queue that writes PDF
// files into a folder of the test's own, set up and removed by pdf_printer.sh beside this header
// (nothing of the machine's printing set-up is used or changed). The printing half of a test runs in a
// child process (the executable's disabled PdfPrinterJob tests) in a Wine session of its own, because
// Wine lists printers when a session starts; the words of each printed file come back with their
// places from pdftotext -bbox.
#pragma once
#include <windows.h>
#include <winspool.h>
#include <cstdlib>
#include <regex>
#include <string>
#include <vector>
#include "tests/support/TempFolder.h"

namespace print_queue {

// Set in the child process to the queue it prints to.
const wchar_t kQueueVariable[] = L"FORMSTEAD_PRINT_QUEUE";

// The queue the child prints to, or empty in the test's own process. In the child, the system's
// printers are listed first, as the print dialog does before the program makes a printer's device
// context (the test makes one directly): Wine learns of the session's printers from that listing.
inline std::wstring ChildQueue()
{
    wchar_t queue[128] = {};
    DWORD length = ::GetEnvironmentVariableW(kQueueVariable, queue, 128);
    if (length == 0 || length >= 128)
        return std::wstring();
    DWORD needed = 0, returned = 0;
    ::EnumPrintersW(PRINTER_ENUM_LOCAL, nullptr, 4, nullptr, 0, &needed, &returned);
    return std::wstring(queue);
}

// Whether the system lists a printer of that name (in the child: the test's own queue).
inline bool Listed(const std::wstring& printer)
{
    DWORD needed = 0, returned = 0;
    ::EnumPrintersW(PRINTER_ENUM_LOCAL, nullptr, 4, nullptr, 0, &needed, &returned);
    std::vector<BYTE> buffer(needed ? needed : 1);
    if (!::EnumPrintersW(PRINTER_ENUM_LOCAL, nullptr, 4, buffer.data(), needed, &needed, &returned))
        return false;
    const PRINTER_INFO_4W* printers = reinterpret_cast<const PRINTER_INFO_4W*>(buffer.data());
    for (DWORD i = 0; i < returned; i++)
        if (printers[i].pPrinterName && printer == printers[i].pPrinterName)
            return true;
    return false;
}

// One word of a printed page, in points from the paper's top left corner.
struct Word
{
    std::string text;
    double xMin, yMin, xMax, yMax;
};
using PageWords = std::vector<Word>;

// The pages of one pdftotext -bbox file, each with its words in order.
inline std::vector<PageWords> ReadPages(const std::wstring& path)
{
    const std::string html = ReadWholeFile(path);
    std::vector<PageWords> pages;
    const std::regex word("<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" yMax=\"([0-9.]+)\">([^<]*)</word>");
    size_t at = html.find("<page ");
    while (at != std::string::npos)
    {
        size_t next = html.find("<page ", at + 1);
        const std::string page = html.substr(at, next == std::string::npos ? std::string::npos : next - at);
        PageWords words;
        for (std::sregex_iterator it(page.begin(), page.end(), word), end; it != end; ++it)
            words.push_back({(*it)[5].str(), std::atof((*it)[1].str().c_str()), std::atof((*it)[2].str().c_str()),
                             std::atof((*it)[3].str().c_str()), std::atof((*it)[4].str().c_str())});
        pages.push_back(words);
        at = next;
    }
    return pages;
}

inline int CountOf(const PageWords& words, const std::string& text)
{
    int count = 0;
    for (const Word& w : words)
        if (w.text == text)
            count++;
    return count;
}

inline const Word* Find(const PageWords& words, const std::string& text)
{
    for (const Word& w : words)
        if (w.text == text)
            return &w;
    return nullptr;
}

// The page's words joined by single spaces (for phrases pdftotext splits into words).
inline std::string Joined(const PageWords& words)
{
    std::string text;
    for (const Word& w : words)
        text += (text.empty() ? "" : " ") + w.text;
    return text;
}

// The scheduler and its queue for the life of the object; its state folder under /tmp holds the
// scheduler's own configuration, socket and spool, the queue's output folder, the script's status
// files, the child's log and the words files. Runs at the same time never meet.
class PdfPrinter
{
public:
    PdfPrinter()
    {
        // Unique among runs on this machine (Wine sessions number their processes alike).
        m_state = L"/tmp/formstead-print-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                  std::to_wstring(::GetTickCount()) + L"-" + std::to_wstring(++Counter());
        ::CreateDirectoryW(StateFile(L"").c_str(), nullptr);
        m_started = Script(L"start") == 0;
    }
    ~PdfPrinter()
    {
        Script(L"stop");
        const std::wstring dos = StateFile(L"");
        WIN32_FIND_DATAW found;
        HANDLE search = ::FindFirstFileW((dos + L"*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE)
        {
            do
            {
                if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                    ::DeleteFileW((dos + found.cFileName).c_str());
            } while (::FindNextFileW(search, &found));
            ::FindClose(search);
        }
        ::RemoveDirectoryW(dos.c_str());
    }
    PdfPrinter(const PdfPrinter&) = delete;
    PdfPrinter& operator=(const PdfPrinter&) = delete;

    bool Ready() const { return m_started; }
    std::string WhyNot() const { return ReadWholeFile(StateFile(L"why")); }
    std::string ChildLog() const { return ReadWholeFile(StateFile(L"child.log")); }
    // Runs this executable's tests of the disabled suite in a child session that prints to the queue.
    int PrintFromThisProgram(const std::wstring& suite = L"DISABLED_PdfPrinterJob")
    {
        wchar_t self[MAX_PATH] = {};
        if (!::GetModuleFileNameW(nullptr, self, MAX_PATH))
            return -1;
        return Script(L"print", std::wstring(self) + L" " + suite);
    }
    // Waits for the queue's files and turns them into words-1.html .. words-N.html, in job order.
    int CollectWords(int files) { return Script(L"words", std::to_wstring(files)); }
    std::vector<PageWords> Pages(int job) const { return ReadPages(StateFile(L"words-" + std::to_wstring(job) + L".html")); }

    std::wstring StateFile(const std::wstring& name) const
    {
        std::wstring dos = L"Z:" + m_state + L"/" + name;
        for (wchar_t& c : dos)
            if (c == L'/')
                c = L'\\';
        return dos;
    }

private:
    static unsigned& Counter()
    {
        static unsigned counter = 0;
        return counter;
    }
    static std::wstring ScriptPath()
    {
        const std::string here = std::string(FORMSTEAD_TEST_SUPPORT_DIR) + "pdf_printer.sh";
        return std::wstring(here.begin(), here.end());
    }
    // Starts the script without waiting (Wine cannot wait for a Unix program); the script writes
    // its exit code to status-<verb> when it ends.
    int Script(const std::wstring& verb, const std::wstring& extra = std::wstring())
    {
        const std::wstring status = StateFile(L"status-" + verb);
        ::DeleteFileW(status.c_str());
        std::wstring commandLine = L"/bin/sh " + ScriptPath() + L" " + verb + L" " + m_state + L" " + extra;
        STARTUPINFOW si = {};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi = {};
        if (!::CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
            return -1;
        // A Unix program gets no Windows process: Wine leaves stale values in the handles, and closing
        // them could close one of this program's own (its standard output among them).
        // A watchdog, not a measure: the script's own steps time out well before it.
        for (int polls = 0; polls < 3000; polls++)
        {
            const std::string text = ReadWholeFile(status);
            if (!text.empty())
                return std::atoi(text.c_str());
            ::Sleep(50);
        }
        return -1;
    }

    std::wstring m_state;
    bool m_started = false;
};

} // namespace print_queue
