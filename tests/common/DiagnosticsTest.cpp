// Diagnostics: trace lines against a real viewer window with edit control 1020 made here, and the
// module log file beside this test executable.
#include "common/Diagnostics.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TraceViewer.h"
#include <gtest/gtest.h>
#include <string>

namespace {

using FakeViewer = TraceViewer;

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

// The production viewer class, for the tests of the real name; the process's own name comes back after.
class DefaultViewerClass : public ::testing::Test
{
protected:
    void SetUp() override { m_own = DebugViewerClass(); }
    void TearDown() override { EXPECT_TRUE(SetDebugViewerClass(m_own.c_str())); }
    std::string m_own;
};

TEST_F(DefaultViewerClass, TracesLookForTavikDebugUnlessAnotherNameIsSet)
{
    EXPECT_STRNE("TavikDebug", DebugViewerClass());   // the test main gave this process a name of its own
    ASSERT_TRUE(SetDebugViewerClass(nullptr));
    EXPECT_STREQ("TavikDebug", DebugViewerClass());
    TraceViewer viewer(0, "TavikDebug");
    ASSERT_TRUE(viewer.Ready());
    DebugTraceA("to the real name", TRUE);
    EXPECT_EQ(L"to the real name\r\n", viewer.Text());

    ASSERT_TRUE(SetDebugViewerClass(m_own.c_str()));
    DebugTraceA("to the own name", TRUE);          // no window of the own name: the real one gets nothing
    EXPECT_EQ(L"to the real name\r\n", viewer.Text());
    EXPECT_EQ(1, viewer.Probes());
}

TEST_F(DefaultViewerClass, EmptyNameRestoresTheRealOneAndOverlongNamesAreRefused)
{
    ASSERT_TRUE(SetDebugViewerClass("Other"));
    EXPECT_STREQ("Other", DebugViewerClass());
    EXPECT_FALSE(SetDebugViewerClass(std::string(64, 'x').c_str()));
    EXPECT_STREQ("Other", DebugViewerClass());
    EXPECT_TRUE(SetDebugViewerClass(std::string(63, 'y').c_str()));
    EXPECT_EQ(std::string(63, 'y'), DebugViewerClass());
    EXPECT_TRUE(SetDebugViewerClass(""));
    EXPECT_STREQ("TavikDebug", DebugViewerClass());
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
