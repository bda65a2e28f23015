// The Unicode codecs, the ISO-2022 rewriters and the charset names, case by case.
#include <gtest/gtest.h>
#include <windows.h>
#include <cstring>
#include <string>
#include "charset/CharsetNames.h"
#include "charset/Iso2022.h"
#include "charset/UnicodeCodecs.h"
#include "charset/Utf7.h"
#include "kit/DataBuffer.h"

namespace {
std::string str(const DataBuffer& db) { return std::string((const char*)db.getData(), db.getSize()); }
DataBuffer& fill(DataBuffer& db, const std::string& s)
{
    db.clear();
    db.append(s.data(), (uint32_t)s.size());
    return db;
}
std::string utf16(const wchar_t* s) { return std::string((const char*)s, wcslen(s) * 2); }
}

TEST(Utf8Codec, CharacterDecodeAndEncode)
{
    ConvertState cs;
    uint16_t u = 0;
    EXPECT_EQ(2, cs.utf8ToUcs2((const unsigned char*)"\xC3\xA9", 2, &u));
    EXPECT_EQ(0xE9, u);
    EXPECT_EQ(-2, cs.utf8ToUcs2((const unsigned char*)"\xC3", 1, &u));
    u = 7;
    EXPECT_EQ(-2, cs.utf8ToUcs2((const unsigned char*)"A", 0, &u)); // no bytes left: nothing is read
    EXPECT_EQ(7, u);
    EXPECT_EQ(-1, cs.utf8ToUcs2((const unsigned char*)"\xC0\x80", 2, &u));
    EXPECT_EQ(-1, cs.utf8ToUcs2((const unsigned char*)"\xE0\x80\x80", 3, &u));
    EXPECT_EQ(3, cs.utf8ToUcs2((const unsigned char*)"\xED\xA0\x80", 3, &u));
    EXPECT_EQ(0xD800, u);
    EXPECT_EQ(-1, cs.utf8ToUcs2((const unsigned char*)"\xF0\x9F\x98\x80", 4, &u));
    EXPECT_EQ(-2, cs.utf8ToUcs2((const unsigned char*)"\xE2\x82", 2, &u));
    EXPECT_EQ(-1, cs.utf8ToUcs2((const unsigned char*)"\xE2\x41\x41", 3, &u));
    unsigned char out[3];
    ASSERT_EQ(3, cs.ucs2ToUtf8(0x20AC, out));
    EXPECT_EQ(0, memcmp(out, "\xE2\x82\xAC", 3));
    EXPECT_EQ(2, cs.ucs2ToUtf8(0x7FF, out));
    EXPECT_EQ(1, cs.ucs2ToUtf8(0x7F, out));

    EXPECT_EQ(2, utf8SkipLength((const unsigned char*)"\xE2\x82", 2));
    EXPECT_EQ(1, utf8SkipLength((const unsigned char*)"\xE2\x41\x41", 3));
    EXPECT_EQ(0, utf8SkipLength(nullptr, 3));
    EXPECT_TRUE(isLegalUtf8((const unsigned char*)"\xF4\x8F\xBF\xBF", 4));
    EXPECT_FALSE(isLegalUtf8((const unsigned char*)"\xF4\x90\x80\x80", 4));
    EXPECT_FALSE(isLegalUtf8((const unsigned char*)"\xF0\x80\x80\x80", 4));
    EXPECT_FALSE(isLegalUtf8((const unsigned char*)"\xC1\xBF", 2));
    EXPECT_FALSE(isLegalUtf8((const unsigned char*)"A", 5));
}

TEST(Utf32Codec, WholeBufferConversions)
{
    DataBuffer in, out;
    EXPECT_TRUE(utf8ToUtf32LE(fill(in, "A\xC3\xA9"), out));
    EXPECT_EQ(std::string("A\0\0\0\xE9\0\0\0", 8), str(out));
    out.clear();
    EXPECT_FALSE(utf8ToUtf32LE(fill(in, "A\xC3"), out));
    EXPECT_EQ(std::string("A\0\0\0", 4), str(out));
    out.clear();
    EXPECT_TRUE(utf8ToUtf32BE(fill(in, "\xF0\x9F\x98\x80"), out));
    EXPECT_EQ(std::string("\0\x01\xF6\x00", 4), str(out));

    out.clear();
    EXPECT_TRUE(utf32ToUtf8(fill(in, std::string("\x00\xF6\x01\x00", 4)), out));
    EXPECT_EQ("\xF0\x9F\x98\x80", str(out));
    out.clear();
    EXPECT_FALSE(utf32ToUtf8(fill(in, std::string("\x00\x00\x30\x00", 4)), out));
    EXPECT_EQ("\xEF\xBF\xBD", str(out));
    out.clear();
    EXPECT_FALSE(utf32ToUtf8(fill(in, std::string("A\0\0\0B", 5)), out));
    EXPECT_EQ("A", str(out));
    out.clear();
    EXPECT_FALSE(utf32ToUtf8(fill(in, std::string("AB", 2)), out));
    EXPECT_TRUE(utf32ToUtf8(fill(in, ""), out));
    EXPECT_EQ(0u, out.getSize());
}

TEST(Utf7Codec, ExplicitRunEndsAndBadInput)
{
    DataBuffer in, out;
    EXPECT_TRUE(utf16ToUtf7(fill(in, utf16(L"Hi Mom -+-!")), out));
    EXPECT_EQ("Hi Mom -+--+ACE-", str(out));
    out.clear();
    EXPECT_TRUE(utf16ToUtf7(fill(in, utf16(L"\xFEFF\x00E9")), out));
    EXPECT_EQ("+AOk-", str(out));
    out.clear();
    EXPECT_TRUE(utf16ToUtf7(fill(in, utf16(L"\x65E5\x672C\x8A9E")), out));
    EXPECT_EQ("+ZeVnLIqe-", str(out));

    out.clear();
    EXPECT_TRUE(utf7ToUtf16(fill(in, "+ZeVnLIqe-"), out));
    EXPECT_EQ(utf16(L"\x65E5\x672C\x8A9E"), str(out));
    out.clear();
    EXPECT_TRUE(utf7ToUtf16(fill(in, "a+-b"), out));
    EXPECT_EQ(utf16(L"a+b"), str(out));
    out.clear();
    EXPECT_FALSE(utf7ToUtf16(fill(in, "+A"), out));
    EXPECT_EQ(0u, out.getSize());
    out.clear();
    EXPECT_FALSE(utf7ToUtf16(fill(in, "\xE9"), out));
    EXPECT_EQ(utf16(L"\xE9"), str(out));
    out.clear();
    EXPECT_TRUE(utf7ToUtf16(fill(in, "+AOk."), out)); // a run may end at any non-base64 byte
    EXPECT_EQ(utf16(L"\xE9."), str(out));
}

TEST(Iso2022, KanaWideningAndShifts)
{
    Japanese jp;
    const struct
    {
        const char* in;
        unsigned char first, second;
        int joined;
    } kana[] = {{"\xB6\xDE", 0x83, 0x4B, 1}, {"\xCA\xDF", 0x83, 0x70, 1}, {"\xB3\xDE", 0x83, 0x94, 1},
                {"\xB1\xDE", 0x83, 0x41, 0}, {"\xDE", 0x81, 0x4A, 0}, {"\xB6", 0x83, 0x4A, 0}};
    for (const auto& k : kana) {
        unsigned char first = (unsigned char)k.in[0], second = 0;
        uint32_t left = (uint32_t)strlen(k.in) - 1;
        int joined = jp.halfWidthToFullWidth((const unsigned char*)k.in + 1, left, first, second, Japanese::ShiftJisMode);
        EXPECT_EQ(k.joined, joined) << k.in;
        EXPECT_EQ(k.first, first) << k.in;
        EXPECT_EQ(k.second, second) << k.in;
    }
    for (unsigned char other : {0x41, 0xA0, 0xE0}) {
        unsigned char first = other, second = 0x55;
        EXPECT_EQ(0, jp.halfWidthToFullWidth((const unsigned char*)"\xDE", 1, first, second, Japanese::ShiftJisMode));
        EXPECT_EQ(other, first);
        EXPECT_EQ(0, second);
    }
    unsigned char first = 0xB6, second = 0;
    EXPECT_EQ(2, jp.halfWidthToFullWidth((const unsigned char*)"\x8E\xDE", 2, first, second, Japanese::EucJpMode));
    EXPECT_EQ(0x4B, second);

    DataBuffer out;
    EXPECT_TRUE(jp.shiftJisToIso2022Jp((const unsigned char*)"\xB1\xDE", 2, out));
    EXPECT_EQ("\x1B$B%\x22!+\x1B(B", str(out));
    out.clear();
    EXPECT_FALSE(jp.shiftJisToIso2022Jp((const unsigned char*)"A\x88", 2, out)); // lead byte without trail
    EXPECT_EQ("A", str(out));
    out.clear();
    EXPECT_TRUE(jp.iso2022JpToShiftJis((const unsigned char*)"\x1B$B0!\r\n0!", 9, out));
    EXPECT_EQ("\x88\x9F\r\n0!", str(out));
    out.clear();
    EXPECT_FALSE(jp.iso2022JpToShiftJis((const unsigned char*)"a\x1B(Zb\x1B", 6, out)); // unknown escapes are dropped
    EXPECT_EQ("ab", str(out));

    Korean kr;
    out.clear();
    EXPECT_TRUE(kr.eucKrToIso2022Kr((const unsigned char*)"\xB0\xA1", 2, out));
    EXPECT_EQ("\x1B$)C\x0E\x30\x21", str(out));
    out.clear();
    EXPECT_TRUE(kr.eucKrToIso2022Kr(nullptr, 0, out));
    EXPECT_EQ(0u, out.getSize());
    out.clear();
    EXPECT_FALSE(kr.iso2022KrToEucKr((const unsigned char*)"\x1B$)Ca\x0E\x30\x21\x0F\x1B" "b", 11, out));
    EXPECT_EQ("a\xB0\xA1" "b", str(out));
}

TEST(CharsetNamesTest, NormalisingAndSpecialNames)
{
    EXPECT_EQ(65001u, charsetToCodePage(" UTF_8 "));
    EXPECT_EQ(GetACP(), charsetToCodePage("ANSI"));
    EXPECT_EQ(0u, charsetToCodePage("ansi1"));
    EXPECT_EQ(0u, charsetToCodePage("us"));
    EXPECT_EQ(0u, charsetToCodePage(nullptr));
    EXPECT_EQ(932u, charsetToCodePage("Shift_JIS"));
    EXPECT_EQ(10001u, charsetToCodePage("x-mac-japanese"));
    EXPECT_EQ(52936u, charsetToCodePage("hz-gb-2312"));
    EXPECT_EQ(65006u, charsetToCodePage("utf-32be"));
    EXPECT_EQ(1201u, charsetToCodePage("unicodeFFFE"));
    EXPECT_EQ(20866u, charsetToCodePage("koi8"));
    EXPECT_EQ(20866u, charsetToCodePage("koi8r"));
    EXPECT_EQ(21866u, charsetToCodePage("koi8-ru"));
    EXPECT_EQ(28598u, charsetToCodePage("ISO-8859-8 Visual"));
    EXPECT_FALSE(isCharsetKnown("utf-9"));
    EXPECT_TRUE(isCharsetKnown("latin1"));
}
