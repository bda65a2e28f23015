// Diagnostics: trace lines against a real "TavikDebug" window with edit control 1020 made here, and the
// module log file beside this test executable.
#include "common/Diagnostics.h"
#include "tests/support/TempFolder.h"
#include <gtest/gtest.h>
#include <string>

namespace {

// A stand-in debug viewer: a hidden top-level window of class "TavikDebug" that answers the probe
// WM_USER+4 with a chosen value and counts the probes, with a multi-line edit control 1020.
class FakeViewer
{
public:
    explicit FakeViewer(LRESULT probeAnswer = 0) : m_probeAnswer(probeAnswer)
    {
        static const bool registered = Register();
        if (!registered)
            return;
        m_window = CreateWindowExW(0, L"TavikDebug", L"viewer", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200,
                                   nullptr, nullptr, GetModuleHandleW(nullptr), this);
        if (m_window)
            m_edit = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_AUTOVSCROLL,
                                     0, 0, 300, 200, m_window, reinterpret_cast<HMENU>(1020),
                                     GetModuleHandleW(nullptr), nullptr);
    }
    ~FakeViewer()
    {
        if (m_window)
            DestroyWindow(m_window);
    }
    FakeViewer(const FakeViewer&) = delete;
    FakeViewer& operator=(const FakeViewer&) = delete;

    // True when the window is made and is the one a trace finds (another test program may briefly
    // show a viewer of its own).
    bool Ready() const
    {
        for (int wait = 0; wait < 100 && m_edit; ++wait) {
            if (FindWindowA("TavikDebug", nullptr) == m_window)
                return true;
            Sleep(20);
        }
        return false;
    }
    void SetProbeAnswer(LRESULT answer) { m_probeAnswer = answer; }
    int Probes() const { return m_probes; }

    std::wstring Text() const
    {
        int length = GetWindowTextLengthW(m_edit);
        std::wstring text(static_cast<size_t>(length) + 1, L'\0');
        text.resize(static_cast<size_t>(GetWindowTextW(m_edit, &text[0], length + 1)));
        return text;
    }

private:
    static bool Register()
    {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = &FakeViewer::Proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"TavikDebug";
        return RegisterClassW(&wc) != 0;
    }

    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
    {
        if (msg == WM_NCCREATE)
            SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams));
        auto* self = reinterpret_cast<FakeViewer*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (msg == WM_USER + 4 && self) {
            ++self->m_probes;
            return self->m_probeAnswer;
        }
        return DefWindowProcW(hwnd, msg, wp, lp);
    }

    HWND m_window = nullptr;
    HWND m_edit = nullptr;
    LRESULT m_probeAnswer;
    int m_probes = 0;
};

std::wstring ModuleLogPath()
{
    wchar_t path[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    return std::wstring(path, length) + L".log";
}

} // namespace

TEST(DebugTrace, AcceptingViewerReceivesTextAndLineBreaksInOrder)
{
    FakeViewer viewer;
    ASSERT_TRUE(viewer.Ready());
    DebugTraceA("first", TRUE);
    DebugTraceA("second", FALSE);
    DebugTraceW(L" part", TRUE);
    SQLiteTraceToViewer("SELECT title from Logo", TRUE);
    DebugTraceA(nullptr, TRUE);
    EXPECT_EQ(L"first\r\nsecond part\r\nSELECT title from Logo\r\n\r\n", viewer.Text());
    EXPECT_EQ(5, viewer.Probes());   // one probe per call, not per piece of text
}

TEST(DebugTrace, TextKeepsItsCharacters)
{
    FakeViewer viewer;
    ASSERT_TRUE(viewer.Ready());
    DebugTraceW(L"w\u00e9 \u4e2d\u6587", TRUE);
    DebugTraceA("caf\xe9", FALSE);   // ANSI code page 1252
    EXPECT_EQ(L"w\u00e9 \u4e2d\u6587\r\ncaf\u00e9", viewer.Text());
}

TEST(DebugTrace, ViewerThatRefusesTheProbeReceivesNothing)
{
    FakeViewer viewer(1);
    ASSERT_TRUE(viewer.Ready());
    DebugTraceA("a", TRUE);
    DebugTraceW(L"b", TRUE);
    SQLiteTraceToViewer("select 1", TRUE);
    viewer.SetProbeAnswer(-1);
    DebugTraceA("c", TRUE);
    EXPECT_EQ(L"", viewer.Text());
    EXPECT_EQ(4, viewer.Probes());

    viewer.SetProbeAnswer(0);        // the answer is asked anew for every line
    DebugTraceA("accepted", FALSE);
    EXPECT_EQ(L"accepted", viewer.Text());
}

TEST(DebugTrace, ViewerIsLookedUpForEveryLine)
{
    {
        FakeViewer gone;
        ASSERT_TRUE(gone.Ready());
        DebugTraceA("to the first", TRUE);
        EXPECT_EQ(L"to the first\r\n", gone.Text());
    }
    DebugTraceA("to nobody", TRUE);   // no viewer: silently dropped
    FakeViewer next;
    ASSERT_TRUE(next.Ready());
    DebugTraceA("to the second", TRUE);
    EXPECT_EQ(L"to the second\r\n", next.Text());
    EXPECT_EQ(1, next.Probes());
}

class ModuleLog : public ::testing::Test
{
protected:
    void SetUp() override { DeleteFileW(m_path.c_str()); }
    void TearDown() override { DeleteFileW(m_path.c_str()); }
    const std::wstring m_path = ModuleLogPath();
};

TEST_F(ModuleLog, LinesAreAppendedBesideTheExecutable)
{
    ASSERT_NE(std::wstring::npos, m_path.find(L".exe.log"));
    AppendToModuleLog("SaveAndUpdate:Begin", TRUE);
    AppendToModuleLog("no break ", FALSE);
    AppendToModuleLog("caf\xe9", TRUE);
    AppendToModuleLog(nullptr, TRUE);
    AppendToModuleLog("", FALSE);
    EXPECT_EQ("SaveAndUpdate:Begin\r\nno break caf\xe9\r\n\r\n", ReadWholeFile(m_path));
}

TEST_F(ModuleLog, ExistingContentIsNeverTruncated)
{
    ASSERT_TRUE(WriteWholeFile(m_path, std::string("older run\r\n") + std::string(5000, 'x')));
    AppendToModuleLog("SaveAndUpdate:Finish", TRUE);
    AppendToModuleLog("SaveAndUpdate:Finish", TRUE);
    std::string log = ReadWholeFile(m_path);
    ASSERT_EQ(11u + 5000u + 2 * 22u, log.size());
    EXPECT_EQ(0u, log.find("older run\r\n"));
    EXPECT_EQ("SaveAndUpdate:Finish\r\nSaveAndUpdate:Finish\r\n", log.substr(5011));
}

TEST_F(ModuleLog, ReadersMayWatchAndWritersAreRefusedSilently)
{
    // A reader that lets others write does not stop the log.
    HANDLE reader = CreateFileW(m_path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, reader);
    AppendToModuleLog("watched", TRUE);
    CloseHandle(reader);
    EXPECT_EQ("watched\r\n", ReadWholeFile(m_path));

    // A holder that shares no writing keeps the log closed; the line is dropped without harm.
    HANDLE holder = CreateFileW(m_path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, holder);
    AppendToModuleLog("dropped", TRUE);
    CloseHandle(holder);
    AppendToModuleLog("after", TRUE);
    EXPECT_EQ("watched\r\nafter\r\n", ReadWholeFile(m_path));
}
