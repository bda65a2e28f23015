// Printing the filled claim form through a real printer: a CUPS queue that writes PDF files. The
// test sets the queue up itself (pdf_printer.sh), prints from a child process in a Wine session of
// its own (Wine lists printers when a session starts) and reads each word's place back from the PDF
// files. Fails when this machine has no CUPS, no PDF backend or no right to add a queue, unless
// FORMSTEAD_ALLOW_SKIPS=1.
#include "ViewerWindowTest.h"
#include "tests/support/CannotCheck.h"
#include "tests/support/TempFolder.h"
#include "viewer/ViewerTestControl.h"
#include <gtest/gtest.h>
#include <cstdlib>
#include <regex>

namespace {

const wchar_t kQueueVariable[] = L"FORMSTEAD_PRINT_QUEUE";
const int kNameField = 8; // the patient's name on the claim form

struct Word
{
    std::string text;
    double xMin, yMin, xMax, yMax;
};

// Starts a command line without waiting for it (Wine cannot wait for a Unix program).
bool Launch(std::wstring commandLine)
{
    STARTUPINFOW si = {sizeof si};
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
    // A Unix program gets no Windows process: Wine leaves stale values in the handles, and closing
    // them could close one of this program's own (its standard output among them).
    return true;
}

std::wstring Widen(const char* text)
{
    std::wstring out;
    for (; *text; ++text) out += static_cast<wchar_t>(static_cast<unsigned char>(*text));
    return out;
}

// The words of one pdftotext -bbox page.
std::vector<Word> ReadWords(const std::wstring& path)
{
    std::string html = ReadWholeFile(path);
    std::vector<Word> words;
    std::regex word("<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" yMax=\"([0-9.]+)\">([^<]*)</word>");
    for (std::sregex_iterator it(html.begin(), html.end(), word), end; it != end; ++it)
        words.push_back({(*it)[5].str(), std::atof((*it)[1].str().c_str()), std::atof((*it)[2].str().c_str()),
                         std::atof((*it)[3].str().c_str()), std::atof((*it)[4].str().c_str())});
    return words;
}

const Word* Find(const std::vector<Word>& words, const std::string& text)
{
    for (const Word& w : words)
        if (w.text == text) return &w;
    return nullptr;
}

// The queue and, when none runs, a scheduler of the test's own, for the life of the object.
class PdfPrinter
{
public:
    PdfPrinter()
    {
        // Unique among runs on this machine (Wine sessions number their processes alike).
        m_state = L"/tmp/formstead-print-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(GetTickCount());
        CreateDirectoryW(StateFile(L"").c_str(), nullptr);
        m_started = Script(L"start") == 0;
    }
    ~PdfPrinter()
    {
        Script(L"stop");
        std::wstring dos = StateFile(L"");
        for (const wchar_t* name : {L"why", L"jobs", L"words-1.html", L"words-2.html", L"words-3.html",
                                    L"child.log", L"status-start", L"status-print", L"status-words", L"status-stop"})
            DeleteFileW((dos + name).c_str());
        RemoveDirectoryW(dos.c_str());
    }
    bool Ready() const { return m_started; }
    std::string WhyNot() const { return ReadWholeFile(StateFile(L"why")); }
    int PrintFrom(const std::wstring& exe) { return Script(L"print", exe); }
    int CollectWords(int files) { return Script(L"words", std::to_wstring(files)); }
    std::wstring StateFile(const std::wstring& name) const
    {
        std::wstring dos = L"Z:" + m_state + L"/" + name;
        for (wchar_t& c : dos)
            if (c == L'/') c = L'\\';
        return dos;
    }

private:
    // The script writes its exit code to status-<verb> when it ends.
    int Script(const std::wstring& verb, const std::wstring& extra = std::wstring())
    {
        std::wstring status = StateFile(L"status-" + verb);
        DeleteFileW(status.c_str());
        if (!Launch(L"/bin/sh " + Widen(FORMSTEAD_PRINTER_SCRIPT) + L" " + verb + L" " + m_state + L" " + extra)) return -1;
        for (int waited = 0; waited < 150000; waited += 50) {
            std::string text = ReadWholeFile(status);
            if (!text.empty()) return std::atoi(text.c_str());
            Sleep(50);
        }
        return -1;
    }
    std::wstring m_state;
    bool m_started = false;
};

} // namespace

// The printing half, run only in the child process that the test below starts (disabled elsewhere).
TEST(DISABLED_PdfPrinterJob, PrintsTheFilledFormThreeTimes)
{
    wchar_t queue[64] = {};
    ASSERT_NE(0u, GetEnvironmentVariableW(kQueueVariable, queue, 64)) << "runs inside PdfPrinter.PrintsWithOffsets";
    viewer::TestControl().Reset();
    TestBrowserWindow window;
    LoadIntoContainer(window, SamplePath(L"cms1500.pdf"));
    ASSERT_NE(nullptr, window.Core().Form());
    window.Send(L"FieldSet|<fields><topmostSubform>"
                L"<_2_PATIENT_S_NAME_Last_First_Middle_Initial----8-_2_PATIENT_S_NAME_Last_First_Middle_Initial>"
                L"PRINTME</_2_PATIENT_S_NAME_Last_First_Middle_Initial----8-_2_PATIENT_S_NAME_Last_First_Middle_Initial>"
                L"</topmostSubform></fields>");
    HDC dc = CreateDCW(nullptr, queue, nullptr, nullptr);
    ASSERT_NE(nullptr, dc);
    viewer::TestControl().printTarget = dc;
    for (const wchar_t* command : {L"StartPrint=0,0", L"PrintTextMode", L"PrintText", L"Shift=36,-18", L"PrintText",
                                   L"StartPrint=0,0", L"PrintAllMode", L"PrintAll"})
        window.Send(command);
    viewer::TestControl().Reset();
    DeleteDC(dc);
    EXPECT_TRUE(window.messages.empty()); // no "could not be printed"
}

TEST(PdfPrinter, PrintsWithOffsets)
{
    PdfPrinter printer;
    if (!printer.Ready()) { FORMSTEAD_CANNOT_CHECK() << "no PDF printer here: " << printer.WhyNot(); }

    wchar_t self[MAX_PATH] = {};
    ASSERT_NE(0u, GetModuleFileNameW(nullptr, self, MAX_PATH));
    ASSERT_EQ(0, printer.PrintFrom(self)) << ReadWholeFile(printer.StateFile(L"child.log"));
    ASSERT_EQ(0, printer.CollectWords(3)) << printer.WhyNot();

    pdf::FormDocument form;
    std::string error;
    ASSERT_TRUE(pdf::ReadPdfForm(ReadWholeFile(SamplePath(L"cms1500.pdf")), form, error)) << error;
    const pdf::Widget& widget = form.fields[kNameField].widgets[0];
    const double pageHeight = form.pages[0].box[3];

    std::vector<Word> plain = ReadWords(printer.StateFile(L"words-1.html"));
    const Word* name = Find(plain, "PRINTME");
    ASSERT_NE(nullptr, name);
    EXPECT_NEAR(widget.rect[0] + 2, name->xMin, 1.0); // points on the paper, from its left edge
    EXPECT_GE(name->yMin, pageHeight - widget.rect[3] - 1.0); // inside the field's box
    EXPECT_LE(name->yMax, pageHeight - widget.rect[1] + 1.0);
    EXPECT_EQ(nullptr, Find(plain, "HEALTH")); // text only: no drawing of the form

    std::vector<Word> shifted = ReadWords(printer.StateFile(L"words-2.html"));
    const Word* moved = Find(shifted, "PRINTME");
    ASSERT_NE(nullptr, moved);
    EXPECT_NEAR(36.0, moved->xMin - name->xMin, 1.0); // right
    EXPECT_NEAR(18.0, moved->yMin - name->yMin, 1.0); // a negative vertical offset moves down

    std::vector<Word> all = ReadWords(printer.StateFile(L"words-3.html"));
    EXPECT_NE(nullptr, Find(all, "HEALTH"));
    const Word* again = Find(all, "PRINTME");
    ASSERT_NE(nullptr, again);
    EXPECT_NEAR(name->xMin, again->xMin, 0.5);
    EXPECT_NEAR(name->yMin, again->yMin, 0.5);
}
