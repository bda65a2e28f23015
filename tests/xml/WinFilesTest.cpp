// Files and OS services: long and UNC path forms, separators, sharing-violation retries, read-only
// overwrite, whole-file read and write.
#include <gtest/gtest.h>
#include <windows.h>
#include "tests/support/TempFolder.h"
#include "xml/LogBase.h"
#include "xml/WinFiles.h"
#include "xml/XString.h"
#include "xml/OsServices.h"

namespace {

std::string ansi(const std::wstring& w)
{
    XString s;
    s.setFromUtf16(w.c_str());
    return s.getAnsi();
}

std::string logText(Logger& log)
{
    kit::StringBuffer out;
    log.getLogText(out);
    return sbText(out);
}

TEST(WinFiles, LongPathForms)
{
    XString name, path;
    name.setFromUtf8("\\\\server\\share\\f.txt");
    makeLongPath(name, path);
    EXPECT_STREQ(path.getUtf8(), "\\\\?\\UNC\\server\\share\\f.txt");
    name.setFromUtf8("\\\\?\\C:\\x\\y.txt");
    makeLongPath(name, path);
    EXPECT_STREQ(path.getUtf8(), "\\\\?\\C:\\x\\y.txt");
    name.setFromUtf8("C:\\a\\..\\b.txt");
    makeLongPath(name, path);
    EXPECT_STREQ(path.getUtf8(), "\\\\?\\C:\\b.txt");
}

TEST(WinFiles, WriteAndReadWholeFiles)
{
    TempFolder folder;
    std::string name = ansi(folder.File(L"data.bin"));
    const char bytes[] = "abc\0def";
    ASSERT_TRUE(writeWholeFile(name.c_str(), bytes, 7, nullptr));
    EXPECT_EQ(ReadWholeFile(folder.File(L"data.bin")), std::string(bytes, 7));
    DataBuffer buffer;
    ASSERT_TRUE(buffer.loadFile(name.c_str(), nullptr));
    ASSERT_EQ(buffer.getSize(), 7u);
    EXPECT_EQ(memcmp(buffer.getData(), bytes, 7), 0);
    EXPECT_GE(buffer.getCapacity(), 11u);
    EXPECT_EQ(buffer.getData()[7], 0) << "four zero bytes follow the content";
    EXPECT_EQ(buffer.getData()[10], 0);
    ASSERT_TRUE(buffer.loadFileW(folder.File(L"data.bin").c_str(), nullptr));
    EXPECT_EQ(buffer.getSize(), 7u);

    // Separators written as "/" name the same file.
    std::string slashed = name;
    for (char& c : slashed)
        if (c == '\\')
            c = '/';
    ASSERT_TRUE(buffer.loadFile(slashed.c_str(), nullptr));
    EXPECT_EQ(buffer.getSize(), 7u);
}

TEST(WinFiles, EmptyAndMissingFiles)
{
    TempFolder folder;
    std::string empty = ansi(folder.File(L"empty.txt"));
    ASSERT_TRUE(writeWholeFile(empty.c_str(), nullptr, 0, nullptr));
    DataBuffer buffer;
    buffer.append("old", 3);
    EXPECT_TRUE(buffer.loadFile(empty.c_str(), nullptr));
    EXPECT_EQ(buffer.getSize(), 0u);
    Logger log;
    buffer.append("old", 3);
    EXPECT_FALSE(buffer.loadFile(ansi(folder.File(L"missing.txt")).c_str(), &log));
    EXPECT_EQ(buffer.getSize(), 0u);
    std::string text = logText(log);
    EXPECT_NE(text.find("Failed to open file (2)"), std::string::npos) << text;
    EXPECT_NE(text.find("WindowsError: 0x2"), std::string::npos) << text;
    EXPECT_FALSE(writeWholeFile("", "x", 1, nullptr));
    XString none;
    int kind = -1;
    EXPECT_EQ(openFileForRead(none, kind, &log), INVALID_HANDLE_VALUE);
}

TEST(WinFiles, LongNamesGoThroughTheWideCall)
{
    TempFolder folder;
    std::wstring dir = folder.Path();
    for (int i = 0; i < 3; ++i) {
        dir += std::wstring(90, L'd' + i) + L"\\";
        ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + dir).c_str(), nullptr));
    }
    std::wstring file = dir + L"f.xml";
    ASSERT_GT(file.size(), 260u);
    std::string name = ansi(file);
    ASSERT_TRUE(writeWholeFile(name.c_str(), "<r/>", 4, nullptr));
    DataBuffer buffer;
    ASSERT_TRUE(buffer.loadFile(name.c_str(), nullptr));
    EXPECT_EQ(std::string((const char*)buffer.getData(), buffer.getSize()), "<r/>");
    EXPECT_TRUE(DeleteFileW((L"\\\\?\\" + file).c_str()));
    for (int i = 2; i >= 0; --i) {
        RemoveDirectoryW((L"\\\\?\\" + dir).c_str());
        dir.resize(dir.size() - 91);
    }
}

TEST(WinFiles, SharingViolationRetriedThenReported)
{
    TempFolder folder;
    std::wstring path = folder.File(L"locked.txt");
    ASSERT_TRUE(WriteWholeFile(path, "x"));
    HANDLE locked = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(locked, INVALID_HANDLE_VALUE);
    Logger log;
    XString name;
    name.setFromUtf16(path.c_str());
    int kind = 0;
    HANDLE h = openFileForRead(name, kind, &log);
    CloseHandle(locked);
    EXPECT_EQ(h, INVALID_HANDLE_VALUE);
    EXPECT_EQ(kind, FileErrorOther);
    EXPECT_NE(logText(log).find("WindowsError: 0x20"), std::string::npos) << logText(log);
    // Once the other handle is closed the file opens at once.
    h = openFileForRead(name, kind, nullptr);
    EXPECT_NE(h, INVALID_HANDLE_VALUE);
    closeFileHandle(h);
}

TEST(WinFiles, ReadOnlyFileOverwritten)
{
    TempFolder folder;
    std::wstring path = folder.File(L"ro.txt");
    ASSERT_TRUE(WriteWholeFile(path, "old"));
    ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(writeWholeFile(ansi(path).c_str(), "new!", 4, nullptr));
    EXPECT_EQ(ReadWholeFile(path), "new!");
    // (Where the first open already succeeds, as for an administrator under Wine, the bit may stay.)
}

TEST(WinFiles, FileNameOutsideTheAnsiPage)
{
    TempFolder folder;
    std::wstring path = folder.File(L"\u03A9mega.xml");
    ASSERT_TRUE(WriteWholeFile(path, "<r/>"));
    XString name;
    name.setFromUtf16(path.c_str());
    EXPECT_FALSE(name.isAnsiExact());
    DataBuffer buffer;
    Logger log;
    ASSERT_TRUE(loadFileToBufferUtf8(buffer, name.getUtf8(), &log)) << logText(log);
    EXPECT_EQ(buffer.getSize(), 4u);
}

TEST(OsServices, CriticalSectionAndVersion)
{
    KitCritSec cs;
    cs.enterCriticalSection();
    cs.enterCriticalSection();
    cs.leaveCriticalSection();
    cs.leaveCriticalSection();
    WindowsVersion version;
    EXPECT_FALSE(version.isMajorVersion4());
    XString dir;
    getCurrentDir(dir);
    EXPECT_EQ(dir.getUtf8()[1], ':');
}

} // namespace
