// Percent escapes, hexadecimal digits, XML escaping and XML references: the one reading that the
// app: commands, downloads, the import, the viewer and the record readers share.
#include <gtest/gtest.h>
#include "framework/TextEscapes.h"

namespace {
std::wstring Reference(const std::wstring& name)
{
    std::wstring out = L"[";
    if (!AppendXmlReference(name.c_str(), name.c_str() + name.size(), out))
        return L"refused";
    return out + L"]";
}

std::wstring Escaped(const std::wstring& text, XmlEscaping how = {})
{
    std::wstring out = L">";
    AppendEscapedXml(out, text, how);
    return out;
}
} // namespace

TEST(TextEscapes, HexDigitsAreTheSixteenDigitsOfBothCases)
{
    std::string digits;
    for (unsigned long c = 0; c < 0x10000; ++c)
        if (HexDigitValue(c) >= 0)
            digits += static_cast<char>(c);
    EXPECT_EQ("0123456789ABCDEFabcdef", digits);
    EXPECT_EQ(15, HexDigitValue('f'));
    EXPECT_EQ(10, HexDigitValue('A'));
    EXPECT_EQ(-1, HexDigitValue(0xFF10)); // a fullwidth digit is no digit
}

TEST(TextEscapes, PercentEscapesNeedTwoDigitsAndKeepEverythingElse)
{
    EXPECT_EQ(L"a b/c", DecodePercentEscapes(std::wstring(L"a%20b%2fc")));
    EXPECT_EQ(L"100%", DecodePercentEscapes(std::wstring(L"100%")));
    EXPECT_EQ(L"%4", DecodePercentEscapes(std::wstring(L"%4")));
    EXPECT_EQ(L"%G1x", DecodePercentEscapes(std::wstring(L"%G1x")));
    EXPECT_EQ(L"A", DecodePercentEscapes(std::wstring(L"%41")));       // an escape that ends the text
    EXPECT_EQ(L"%%41", DecodePercentEscapes(std::wstring(L"%%2541")));  // decoded once, not twice
    EXPECT_EQ(L"a+b", DecodePercentEscapes(std::wstring(L"a+b")));
    EXPECT_EQ(std::wstring(L"x\0y", 3), DecodePercentEscapes(std::wstring(L"x%00y")));
    // Bytes stay bytes: "%C3%BC" is two bytes, not one character.
    EXPECT_EQ("M\xC3\xBCller", DecodePercentEscapes(std::string("M%C3%BCller")));
}

TEST(TextEscapes, FormEncodingReadsPlusAsBlankAndCanKeepNul)
{
    PercentDecoding form;
    form.plusIsBlank = true;
    form.keepNul = true;
    EXPECT_EQ(L"a b c", DecodePercentEscapes(std::wstring(L"a+b%20c"), form));
    EXPECT_EQ(L"x%00y+", DecodePercentEscapes(std::wstring(L"x%00y%2B"), form));
}

TEST(TextEscapes, ReferencesArePredefinedEntitiesAndCharactersXmlAllows)
{
    EXPECT_EQ(L"[<]", Reference(L"lt"));
    EXPECT_EQ(L"[']", Reference(L"apos"));
    EXPECT_EQ(L"[A]", Reference(L"#65"));
    EXPECT_EQ(L"[A]", Reference(L"#x41"));
    EXPECT_EQ(L"[\xE9]", Reference(L"#xe9"));
    EXPECT_EQ(L"[\xD83D\xDE00]", Reference(L"#x1F600"));  // astral: a surrogate pair
    EXPECT_EQ(L"[\xDBFF\xDFFF]", Reference(L"#1114111"));
    for (const wchar_t* refused : {L"nbsp", L"LT", L"#", L"#x", L"#X41", L"# 65", L"#+65", L"#-1", L"#0", L"#x0",
                                   L"#xD800", L"#57343", L"#x110000", L"#99999999999", L"#6A", L"#x4G", L""})
        EXPECT_EQ(L"refused", Reference(refused)) << refused;
}

TEST(TextEscapes, XmlEscapingOfMarkupAndOfTextForAnEightBitCodePage)
{
    EXPECT_EQ(L">a &amp; b &lt;c&gt; &quot;d&quot; &apos;e&apos; \xFC\t\n\r", Escaped(L"a & b <c> \"d\" 'e' \xFC\t\n\r"));
    XmlEscaping ascii;
    ascii.apostrophe = false;
    ascii.asciiOnly = true;
    EXPECT_EQ(L">a &amp; 'e' &#252;&#26085; &#128512;\t\n&#13;x~&#127;", Escaped(L"a & 'e' \xFC\x65E5 \xD83D\xDE00\t\n\r\x01x~\x7F", ascii));
    EXPECT_EQ(L">&#55357;z", Escaped(L"\xD83Dz", ascii)); // a lone surrogate by its number
    EXPECT_EQ(L">", Escaped(L""));
}
