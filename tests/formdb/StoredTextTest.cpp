// Column texts: UTF-16 to UTF-8 byte for byte, UTF-8 read back, and everything that is not valid
// UTF-8 read as the ANSI code page (1252 on the test machine), as files written the old way hold it.
#include <gtest/gtest.h>

#include "formdb/StoredText.h"

TEST(StoredText, EncodesUtf16AsUtf8ByteForByte)
{
    EXPECT_EQ("", EncodeStoredText(L""));
    EXPECT_EQ("Jones", EncodeStoredText(L"Jones"));
    EXPECT_EQ("M\xC3\xBCller \xE6\x97\xA5\xE6\x9C\xAC", EncodeStoredText(L"M\u00FCller \u65E5\u672C"));
    EXPECT_EQ("\xE2\x82\xAC\xEF\xBF\xBF", EncodeStoredText(L"\u20AC\uFFFF"));
    // A surrogate pair is one character of four bytes.
    EXPECT_EQ("a\xF0\x9F\x98\x80z", EncodeStoredText(L"a\xD83D\xDE00z"));
    // An embedded NUL is kept: the length is given.
    EXPECT_EQ(std::string("a\0b", 3), EncodeStoredText(L"a\0b", 3));
}

TEST(StoredText, LoneSurrogatesBecomeTheReplacementCharacter)
{
    EXPECT_EQ("a\xEF\xBF\xBD" "b", EncodeStoredText(L"a\xD800" L"b"));
    EXPECT_EQ("a\xEF\xBF\xBD", EncodeStoredText(L"a\xD83D"));
    EXPECT_EQ("\xEF\xBF\xBD" "b", EncodeStoredText(L"\xDE00" L"b"));
    EXPECT_EQ("\xEF\xBF\xBD\xEF\xBF\xBD", EncodeStoredText(L"\xDE00\xD83D"));
}

TEST(StoredText, ReadsValidUtf8AsUtf8)
{
    EXPECT_EQ(L"", DecodeStoredText(""));
    EXPECT_EQ(L"", DecodeStoredText(nullptr, 0));
    EXPECT_EQ(L"Jones", DecodeStoredText("Jones"));
    EXPECT_EQ(L"M\u00FCller \u65E5\u672C", DecodeStoredText("M\xC3\xBCller \xE6\x97\xA5\xE6\x9C\xAC"));
    EXPECT_EQ(L"a\xD83D\xDE00z", DecodeStoredText("a\xF0\x9F\x98\x80z"));
    EXPECT_EQ(L"\U0010FFFF", DecodeStoredText("\xF4\x8F\xBF\xBF"));
    EXPECT_EQ(std::wstring(L"a\0b", 3), DecodeStoredText(std::string("a\0b", 3)));
}

TEST(StoredText, ReadsTextThatIsNotValidUtf8AsAnsi)
{
    // Old files: Windows-1252 bytes.
    EXPECT_EQ(L"M\u00FCller", DecodeStoredText("M\xFCller"));
    EXPECT_EQ(L"\u20AC 5", DecodeStoredText("\x80 5"));
    // A sequence cut short, and one at the very end.
    EXPECT_EQ(L"\u00E6\u2014x", DecodeStoredText("\xE6\x97x"));
    EXPECT_EQ(L"ab\u00C3", DecodeStoredText("ab\xC3"));
    // Overlong forms, encoded surrogates and code points past U+10FFFF are not UTF-8.
    EXPECT_EQ(L"\u00C0\u00AF", DecodeStoredText("\xC0\xAF"));
    EXPECT_EQ(L"\u00E0\u20AC\u00AF", DecodeStoredText("\xE0\x80\xAF"));
    EXPECT_EQ(L"\u00ED\u00A0\u20AC", DecodeStoredText("\xED\xA0\x80"));
    EXPECT_EQ(L"\u00F4\u2018\u20AC\u20AC", DecodeStoredText("\xF4\x91\x80\x80"));
    EXPECT_EQ(L"\u00F8\u02C6\u20AC\u20AC\u20AC", DecodeStoredText("\xF8\x88\x80\x80\x80"));
    // A continuation byte without a lead byte.
    EXPECT_EQ(L"\u00A9 2026", DecodeStoredText("\xA9 2026"));
}

TEST(StoredText, AnsiTextBecomesUtf8)
{
    EXPECT_EQ("", AnsiToStoredText(""));
    EXPECT_EQ("Jones", AnsiToStoredText("Jones"));
    EXPECT_EQ("M\xC3\xBCller", AnsiToStoredText("M\xFCller"));
    EXPECT_EQ("\xE2\x82\xAC\xC2\xA9", AnsiToStoredText("\x80\xA9"));
    EXPECT_EQ(L"M\u00FCller", DecodeStoredText(AnsiToStoredText("M\xFCller")));
}

TEST(StoredText, EveryCharacterSurvivesTheRoundTrip)
{
    // Every UTF-16 unit outside the surrogates, and every plane through a sample of pairs.
    std::wstring all;
    for (unsigned c = 1; c < 0x10000; ++c)
        if (c < 0xD800 || c > 0xDFFF)
            all += static_cast<wchar_t>(c);
    for (unsigned high = 0xD800; high <= 0xDBFF; high += 0x3F)
        for (unsigned low = 0xDC00; low <= 0xDFFF; low += 0x7F)
            all += std::wstring{static_cast<wchar_t>(high), static_cast<wchar_t>(low)};
    const std::string bytes = EncodeStoredText(all);
    EXPECT_EQ(all, DecodeStoredText(bytes));
}
