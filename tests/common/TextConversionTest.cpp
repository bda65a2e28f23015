// ANSI/UTF-16 conversion into fixed buffers (termination, cutting) and the file existence test.
#include <gtest/gtest.h>
#include "common/TextConversion.h"
#include "tests/support/TempFolder.h"
#include <string>

TEST(TextConversion, RoundTripsCodePageText)
{
    char ansi[32];
    EXPECT_EQ(7, WideToAnsi(L"Caf\u00e9 \u20ac", ansi, sizeof(ansi)));   // the terminator counts
    EXPECT_EQ(std::string("Caf\xe9 \x80"), ansi);
    wchar_t wide[32];
    EXPECT_EQ(7, AnsiToWide(ansi, wide, 32));
    EXPECT_EQ(std::wstring(L"Caf\u00e9 \u20ac"), wide);
}

TEST(TextConversion, TooSmallBuffersAreCutAndTerminated)
{
    char ansi[4] = {'x', 'x', 'x', 'x'};
    EXPECT_EQ(4, WideToAnsi(L"abcdef", ansi, sizeof(ansi)));
    EXPECT_EQ(std::string("abc"), ansi);
    wchar_t wide[3] = {L'x', L'x', L'x'};
    EXPECT_EQ(3, AnsiToWide("abcdef", wide, 3));
    EXPECT_EQ(std::wstring(L"ab"), wide);
    EXPECT_EQ(0, WideToAnsi(L"abc", ansi, 0));
    EXPECT_EQ(1, WideToAnsi(nullptr, ansi, sizeof(ansi)));
    EXPECT_EQ(std::string(), ansi);
}

TEST(TextConversion, FileExistsForFilesAndFoldersOnly)
{
    TempFolder folder;
    char path[MAX_PATH];
    ASSERT_GT(WideToAnsi(folder.File(L"present.txt").c_str(), path, MAX_PATH), 1);
    EXPECT_FALSE(FileExists(path));
    ASSERT_TRUE(WriteWholeFile(folder.File(L"present.txt"), "x"));
    EXPECT_TRUE(FileExists(path));
    std::wstring folderPath = folder.Path();
    folderPath.pop_back();   // without the final backslash
    WideToAnsi(folderPath.c_str(), path, MAX_PATH);
    EXPECT_TRUE(FileExists(path));
    EXPECT_FALSE(FileExists(nullptr));
}
