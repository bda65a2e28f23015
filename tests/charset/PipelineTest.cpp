// The conversion pipeline as one table of (from, to, bytes in, bytes out, result): byte-order marks,
// the Unicode forms, table pages, ISO-2022 and every case where input is dropped or replaced.
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "charset/EncodingConvert.h"
#include "kit/DataBuffer.h"

namespace {

std::vector<unsigned char> hexBytes(const char* hex)
{
    std::vector<unsigned char> v;
    std::string s;
    for (const char* p = hex; *p; p++)
        if (*p != ' ')
            s += *p;
    for (size_t i = 0; i + 1 < s.size(); i += 2)
        v.push_back((unsigned char)std::stoi(s.substr(i, 2), nullptr, 16));
    return v;
}

std::string hexOf(const DataBuffer& db)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string s;
    for (uint32_t i = 0; i < db.getSize(); i++) {
        if (i)
            s += ' ';
        s += digits[db.getData()[i] >> 4];
        s += digits[db.getData()[i] & 15];
    }
    return s;
}

struct Case
{
    int from;
    int to;
    const char* in;
    const char* out;
    bool result;
};

const Case kCases[] = {
    // No conversion: target 0 or the same page; marks stay.
    {1252, 0, "FF FE 41", "FF FE 41", true},
    {65001, 65001, "EF BB BF 41", "EF BB BF 41", true},
    {1200, 1200, "FF FE 41 00", "FF FE 41 00", true},
    // The same page with the other byte order's mark is swapped, not copied.
    {1200, 1200, "FE FF 00 41", "41 00", true},
    {1201, 1201, "FF FE 41 00", "00 41", true},
    {65005, 65005, "00 00 FE FF 00 00 00 41", "41 00 00 00", true},
    // Marks decide the byte order and are removed.
    {1200, 65001, "FF FE 41 00", "41", true},
    {1200, 65001, "FF FE", "", true},
    {1200, 65001, "FE FF 00 41", "41", true},
    {1201, 65001, "FF FE 41 00", "41", true},
    {65005, 65001, "FF FE 00 00 41 00 00 00", "41", true},
    {65006, 65001, "00 00 FE FF 00 00 00 41", "41", true},
    {65001, 1200, "EF BB BF C3 A9", "E9 00", true},
    {1201, 1200, "00 41 00 42", "41 00 42 00", true},
    {1200, 1201, "41 00 42 00", "00 41 00 42", true},
    {65000, 1200, "2B 41 4F 6B 2D", "E9 00", true},
    // Odd UTF-16 input: the trailing byte is dropped and reported.
    {1200, 1201, "41 00 42", "00 41", false},
    {1200, 65001, "41 00 42", "41", false},
    {1200, 65001, "41", "", false},
    {1201, 1200, "00 41 00", "41 00", false},
    {1200, 1252, "41 00 42", "41", false},
    // Characters beyond the BMP travel as surrogate pairs; lone surrogates become U+FFFD.
    {65001, 1200, "F0 9F 98 80", "3D D8 00 DE", true},
    {1200, 65001, "3D D8 00 DE", "F0 9F 98 80", true},
    {1200, 65001, "00 D8 41 00", "EF BF BD 41", false},
    {1200, 65001, "41 00 00 DC", "41 EF BF BD", false},
    {65001, 65005, "F0 9F 98 80", "00 F6 01 00", true},
    {65005, 1200, "00 F6 01 00", "3D D8 00 DE", true},
    {1200, 65006, "3D D8 00 DE", "00 01 F6 00", true},
    // Bad UTF-8 is skipped and reported.
    {65001, 1200, "61 FF 62 C3", "61 00 62 00", false},
    {65001, 1252, "61 C0 80 62", "61 62", false},
    // UTF-32: values beyond U+10FFFF, surrogates and partial groups.
    {65005, 65001, "00 00 11 00 41 00 00 00", "EF BF BD 41", false},
    {65005, 65001, "00 D8 00 00", "EF BF BD", false},
    {65005, 65001, "41 00 00 00 42", "41", false},
    {65006, 65001, "00 00 FE FF 00 41", "", false},
    {65005, 65001, "41 00", "", false},
    // U+0000 is a character of UTF-32 and UTF-8 text and survives between them.
    {65005, 65001, "00 00 00 00 41 00 00 00", "00 41", true},
    {65005, 65006, "41 00 00 00 00 00 00 00", "00 00 00 41 00 00 00 00", true},
    {65006, 65005, "00 00 00 00 00 01 F6 00", "00 00 00 00 00 F6 01 00", true},
    // A surrogate spelt in UTF-8 is no character: U+FFFD, reported, into every target.
    {65001, 1200, "41 ED A0 80", "41 00 FD FF", false},
    {65001, 1201, "ED B0 80 41", "FF FD 00 41", false},
    {65001, 65000, "ED A0 80", "2B 2F 2F 30 2D", false},
    {65001, 1200, "ED A0 BD ED B8 80", "FD FF FD FF", false},
    {65001, 932, "41 ED A0 80", "41", false},
    {65001, 65005, "41 ED A0 80 42", "41 00 00 00 FD FF 00 00 42 00 00 00", false},
    {65001, 65006, "ED B8 80", "00 00 FF FD", false},
    // UTF-32 and UTF-7 targets keep what their first leg converted when it lost something.
    {65001, 65005, "41 C3 A9", "41 00 00 00 E9 00 00 00", true},
    {65001, 65006, "41 C3 A9", "00 00 00 41 00 00 00 E9", true},
    {1252, 65005, "41 81", "41 00 00 00", false},
    {1252, 65006, "81 41", "00 00 00 41", false},
    {1252, 65000, "41 81", "41", false},
    {1252, 65000, "81 E9", "2B 41 4F 6B 2D", false},
    {1200, 65000, "E9 00", "2B 41 4F 6B 2D", true},
    {1200, 65000, "FF FE E9 00", "2B 41 4F 6B 2D", true},
    // Malformed UTF-7.
    {65000, 1200, "41 00 42", "41 00 42 00", false},
    {1200, 65000, "41 00 42", "41", false},
    {65000, 1200, "2B 41", "", false},
    {65000, 1200, "2B 2D", "2B 00", true},
    {65000, 65001, "E9", "C3 A9", false},
    {65000, 1200, "2B 41 4F 6C 2D", "E9 00", false},
    // Mac Arabic: a run of flagged bytes is reversed, digits become ASCII.
    {10004, 1200, "B1 B2", "32 00 31 00", true},
    {10004, 1200, "41 B1 42", "41 00 31 00 42 00", true},
    // Table pages.
    {1252, 1200, "00 61 62 63", "00 00 61 00 62 00 63 00", true},
    {1252, 1200, "41 81 42", "41 00 42 00", false},
    {1252, 65001, "41 81 42", "41 42", false},
    {1252, 65001, "80 E9", "E2 82 AC C3 A9", true},
    {65001, 1252, "E2 82 AC C3 A9", "80 E9", true},
    {1200, 1252, "00 00", "00", true},
    {1200, 65001, "00 00", "", true},
    {1200, 1252, "41 00 AC 20 00 4E", "41 80", false},
    {1252, 1251, "C0 41", "41", false},
    {1200, 1256, "61 06 F2 06", "31 32", true},
    {1200, 28596, "69 06", "39", true},
    {1200, 20127, "A0 00 41 00", "20 41", true},
    {20127, 1200, "41 A0", "41 00", false},
    {37, 1200, "C1 40", "41 00 20 00", true},
    {1200, 37, "41 00 00 00", "C1 00", true},
    {932, 1200, "41 88 9F", "41 00 9C 4E", true},
    {932, 1200, "41 88", "41 00", false},
    {932, 1200, "88 41", "41 00", false},
    {1200, 932, "9C 4E 76 FF", "88 9F B6", true},
    {936, 65001, "C4 E3 BA C3", "E4 BD A0 E5 A5 BD", true},
    {949, 1200, "B0 A1", "00 AC", true},
    {950, 1200, "A4 A4", "2D 4E", true},
    {51932, 1200, "B0 A1 8E B1", "9C 4E 71 FF", true},
    {1200, 10001, "41 00 9C 4E", "41 88 9F", true},
    {10001, 1200, "41 88 9F", "41 00 9C 4E", true},
    // Windows' own tables: the euro in 936; 932's best fit of the em dash and its IBM extension
    // kanji; 51932 as 932 in EUC form; 10001's codes that differ from 932's NEC row 13.
    {936, 1200, "80 41", "AC 20 41 00", true},
    {1200, 936, "AC 20", "80", true},
    {1200, 932, "14 20 15 20", "81 5C 81 5C", true},
    {932, 1200, "81 5C", "15 20", true},
    {1200, 932, "8A 7E", "FA 5C", true},
    {51932, 1200, "A1 C1 AD A1", "5E FF 60 24", true},
    {1200, 51932, "5E FF 60 24", "A1 C1 AD A1", true},
    {1200, 51932, "1C 30", "", false},
    {1200, 51932, "8A 7E 14 20", "F9 A1 A1 BD", true},
    {51932, 1200, "F9 A1", "8A 7E", true},
    {10001, 1200, "87 91 87 92 87 9A 87 9B 87 9C", "27 59 0F 5C 2A 51 B4 52 70 53", true},
    {932, 1200, "87 91", "61 22", true},
    // T.61 and ISO 6937: an accent byte and the letter after it are one character.
    {20261, 1200, "C1 41 62 C8 75", "C0 00 62 00 FC 00", true},
    {1200, 20261, "C0 00 62 00 FC 00", "C1 41 62 C8 75", true},
    {20269, 1200, "CF 63 C2 20", "0D 01 B4 00", true},
    {1200, 20269, "0D 01", "CF 63", true},
    {20269, 1200, "41 C2", "41 00", false},
    {20269, 1200, "C9 41", "41 00", false},
    // Pages with a table but no converter, and pages without either.
    {28600, 1200, "41", "", false},
    {1200, 28600, "41 00", "", false},
    {52936, 1200, "41", "", false},
    {709, 65001, "41", "", false},
    {1252, 1200, "", "", true},
    // ISO-2022-JP in both directions.
    {50220, 932, "1B 24 42 30 21 1B 28 42", "88 9F", true},
    {932, 50220, "88 9F", "1B 24 42 30 21 1B 28 42", true},
    {50221, 1200, "1B 24 42 30 21 0D 0A 41", "9C 4E 0D 00 0A 00 41 00", true},
    {932, 50222, "88 9F 0D 0A 41", "1B 24 42 30 21 1B 28 42 0D 0A 41", true},
    {50220, 1200, "1B 28 49 31", "71 FF", true},
    {50220, 1200, "1B 24 42", "", true},
    // Escapes that are unknown or cut off, and codes without their second byte, are reported.
    {50220, 1200, "1B 24", "", false},
    {50220, 1200, "41 1B", "41 00", false},
    {50220, 1200, "41 1B 28 5A 42", "41 00 42 00", false},
    {50220, 1200, "41 1B 51 42", "41 00 42 00", false},
    {50220, 1200, "1B 24 42 30 21 30", "9C 4E", false},
    {50225, 949, "41 1B 24 29 44 42", "41 24 29 44 42", false},
    {50225, 949, "1B 24 29 43 0E 30 21 30", "B0 A1", false},
    {1200, 50220, "76 FF 9E FF", "1B 24 42 25 2C 1B 28 42", true},
    // User-defined Shift-JIS codes have no 7-bit form.
    {932, 50220, "F0 40 41", "41", false},
    {1200, 50220, "00 E0 41 00", "41", false},
    {1200, 50220, "41 00 00 AC", "41", false},
    // Control bytes that the 7-bit forms use for shifting are not written as text.
    {1200, 50220, "41 00 1B 00 28 00 49 00 42 00", "41 28 49 42", false},
    {1200, 50225, "0E 00 41 00 0F 00 1B 00", "1B 24 29 43 41", false},
    // ISO-2022-KR in both directions; extended Hangul has no 7-bit form.
    {949, 50225, "B0 A1 41", "1B 24 29 43 0E 30 21 0F 41", true},
    {50225, 949, "1B 24 29 43 0E 30 21 0F 41", "B0 A1 41", true},
    {949, 50225, "B0 A1", "1B 24 29 43 0E 30 21", true},
    {949, 50225, "81 41 42", "1B 24 29 43 42", false},
    {50225, 65001, "1B 24 29 43 0E 30 21", "EA B0 80", true},
};

} // namespace

TEST(ConversionPipeline, MatrixOfPagesAndInputs)
{
    for (const Case& c : kCases) {
        std::vector<unsigned char> in = hexBytes(c.in);
        DataBuffer out;
        EncodingConvert conv;
        bool result = conv.EncConvert(c.from, c.to, in.empty() ? nullptr : in.data(), (uint32_t)in.size(), out);
        EXPECT_EQ(c.out, hexOf(out)) << c.from << " -> " << c.to << " of " << c.in;
        EXPECT_EQ(c.result, result) << c.from << " -> " << c.to << " of " << c.in;
    }
}

TEST(ConversionPipeline, AppendsToExistingOutput)
{
    DataBuffer out;
    out.append("xy", 2);
    EncodingConvert conv;
    const unsigned char text[] = {0xC3, 0xA9};
    EXPECT_TRUE(conv.EncConvert(65001, 1252, text, 2, out));
    EXPECT_EQ("78 79 E9", hexOf(out));
}

TEST(ConversionPipeline, CharsetNamedSource)
{
    EncodingConvert conv;
    DataBuffer out;
    const unsigned char text[] = {0xE9};
    EXPECT_TRUE(conv.EncConvertCharset(" ISO_8859-1 ", 65001, text, 1, out));
    EXPECT_EQ("C3 A9", hexOf(out));
    DataBuffer none;
    EXPECT_FALSE(conv.EncConvertCharset("no-such-set", 65001, text, 1, none));
    EXPECT_FALSE(conv.EncConvertCharset(nullptr, 65001, text, 1, none));
    EXPECT_EQ(0u, none.getSize());
}
