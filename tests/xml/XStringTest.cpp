// The three-form string: lazy conversion between UTF-16, the ANSI page (1252 in tests) and UTF-8.
#include <gtest/gtest.h>
#include "xml/XString.h"

namespace {

TEST(XString, EmptyInEveryForm)
{
    XString s;
    EXPECT_STREQ(s.getAnsi(), "");
    EXPECT_STREQ(s.getUtf8(), "");
    EXPECT_EQ(s.getUtf16()[0], 0);
    EXPECT_EQ(s.getNumChars(), 0);
    EXPECT_TRUE(s.isAnsiExact());
    s.setFromUtf8("x");
    s.clear();
    EXPECT_STREQ(s.getAnsi(), "");
}

TEST(XString, AnsiToUtf8AndUtf16)
{
    XString s;
    s.setFromAnsi("caf\xE9");
    EXPECT_STREQ(s.getUtf8(), "caf\xC3\xA9");
    EXPECT_STREQ(s.getUtf16(), L"caf\u00E9");
    EXPECT_TRUE(s.isAnsiExact());
    EXPECT_EQ(s.getNumChars(), 4);
}

TEST(XString, CharacterMissingFromTheAnsiPage)
{
    XString s;
    s.setFromUtf8("a\xCE\xA9z"); // Greek capital omega: not in code page 1252
    EXPECT_EQ(std::string(s.getAnsi()).find('z'), std::string(s.getAnsi()).size() - 1);
    EXPECT_EQ(std::string(s.getAnsi()).find('\xCE'), std::string::npos);
    EXPECT_FALSE(s.isAnsiExact());
    EXPECT_STREQ(s.getUtf8(), "a\xCE\xA9z") << "the UTF-8 form stays intact";
}

TEST(XString, LossyAnsiFormIsNoSource)
{
    XString s;
    s.setFromUtf16(L"\u03A9mega");
    EXPECT_FALSE(s.isAnsiExact());
    EXPECT_STREQ(s.getUtf8(), "\xCE\xA9mega");
}

TEST(XString, CharsCountedInUtf16Units)
{
    XString s;
    s.setFromUtf8("\xE2\x82\xAC\xE2\x82\xAC"); // two euro signs, three bytes each
    EXPECT_EQ(s.getNumChars(), 2);
    s.setFromAnsi("\x80\x80");
    EXPECT_EQ(s.getNumChars(), 2);
    EXPECT_STREQ(s.getUtf8(), "\xE2\x82\xAC\xE2\x82\xAC");
}

TEST(XString, AppendsKeepOneTerminator)
{
    XString s;
    s.appendUtf16(L"ab");
    s.appendUtf16(L"c");
    EXPECT_STREQ(s.getUtf16(), L"abc");
    EXPECT_EQ(s.getNumChars(), 3);
    s.appendUtf8("\xC3\xA9");
    EXPECT_STREQ(s.getAnsi(), "abc\xE9");
    XString t;
    t.setFromAnsi("x");
    t.appendX(s);
    EXPECT_STREQ(t.getUtf8(), "xabc\xC3\xA9");
}

TEST(XString, SlashesReplacedInPlace)
{
    XString s;
    s.setFromUtf8("C:/d\xC3\xA9j\xC3\xA0/f.xml");
    s.replaceAnsiChar('/', '\\');
    EXPECT_STREQ(s.getUtf8(), "C:\\d\xC3\xA9j\xC3\xA0\\f.xml");
}

TEST(XString, LowerCase)
{
    XString s;
    s.setFromUtf8("AbC\xC3\x89");
    s.toLowerCase();
    EXPECT_STREQ(s.getUtf8(), "abc\xC3\xA9");
    EXPECT_TRUE(s.beginsWithUtf8("abc"));
}

} // namespace
