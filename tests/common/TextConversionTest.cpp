// ANSI/UTF-16 conversion into fixed buffers (termination, cutting) and the file existence test.
#include <gtest/gtest.h>
#include "common/TextConversion.h"
#include "framework/CString.h"
#include "tests/support/TempFolder.h"
#include <cwchar>
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

// Expected bytes: Python's cp1252 codec with errors="replace", which has no best fit.
TEST(TextConversion, ExactNarrowingReplacesWhatTheCodePageDoesNotHold)
{
    // The premise: asked for it, the code page best-fits a full-width bar to the list separator.
    ASSERT_EQ(std::string("|"), std::string(CStringA(L"\uFF5C").GetString())) << "this code page has no best fit";

    struct Row
    {
        const wchar_t* text;
        const char* ansi;
    } rows[] = {
        {L"Name\uFF5CX", "Name?X"},
        {L"\uFF3BA\uFF3D", "?A?"},
        {L"\uFF4A\uFF4A\uFF4A\uFF4A", "????"},
        {L"M\u00fcller \u20ac", "M\xfcller \x80"},
        {L"\u540d\u524d", "??"},
        {L"a\U0001F600b", "a?b"}, // a surrogate pair is one character
        {L"", ""},
    };
    for (const Row& row : rows)
        EXPECT_EQ(std::string(row.ansi), WideToAnsiExact(row.text, std::wcslen(row.text), "|j[]")) << row.ansi;
    // The guarded characters themselves, and a lone surrogate.
    EXPECT_EQ(std::string("a|j[]b"), WideToAnsiExact(L"a|j[]b", 6, "|j[]"));
    EXPECT_EQ(std::string("x?y"), WideToAnsiExact(L"x\xD800y", 3, nullptr));
    // Length, not the terminator, bounds the text.
    EXPECT_EQ(std::string("a\0b", 3), WideToAnsiExact(L"a\0b", 3, nullptr));
}

// Decomposed accents compose as WideToAnsi composes them. Expected bytes: Python's cp1252 codec, with
// errors="replace", of each text's NFC form.
TEST(TextConversion, ExactNarrowingComposesDecomposedAccents)
{
    struct Row
    {
        const wchar_t* text;
        const char* ansi;
    } rows[] = {
        {L"Ne\u0301e", "N\xe9" "e"},
        {L"A\u030angstro\u0308m", "\xc5ngstr\xf6m"},
        {L"Espan\u0303a", "Espa\xf1" "a"},
        {L"Fac\u0327ade", "Fa\xe7" "ade"},
        {L"z\u030c", "\x9e"},
        {L"O\u0302|j", "\xd4|j"},
        {L"x\u0301", "x?"},          // no composed character: the mark alone is replaced
        {L"g\u0301", "?"},           // composed, but not in the code page
        {L"e\u0301\u0301", "\xe9?"}, // the second accent composes with nothing
        {L"\u0301a", "?a"},          // a mark with no letter before it
    };
    for (const Row& row : rows)
        EXPECT_EQ(std::string(row.ansi), WideToAnsiExact(row.text, std::wcslen(row.text), "|j[]")) << row.ansi;
    // The same text through WideToAnsi: both narrowings agree.
    char ansi[16];
    WideToAnsi(L"Ne\u0301e", ansi, sizeof(ansi));
    EXPECT_EQ(std::string("N\xe9" "e"), ansi);
}
