// What the codes of a page's fonts mean: glyph names, the base encodings (against Python's codecs),
// ToUnicode and encoding CMaps, the fonts of a hand-made file read through their encodings,
// differences, built-in encoding, widths and CID widths; and form XObjects drawn through their
// matrix and clip, nested, and a form that draws itself.
#include "PageCanvas.h"
#include "PdfTestFiles.h"
#include "viewer/GlyphNames.h"
#include "viewer/PageRenderer.h"
#include "viewer/TrueTypeCmap.h"
#include "viewer/PdfForm.h"
#include <gtest/gtest.h>

namespace {

std::wstring Texts(const std::vector<pdf::ShownGlyph>& glyphs)
{
    std::wstring out;
    for (const pdf::ShownGlyph& g : glyphs) out += g.text + L"|";
    return out;
}

std::string Stream(const std::string& dict, const std::string& data)
{
    return "<< " + dict + " /Length " + std::to_string(data.size()) + " >>\nstream\n" + data + "\nendstream";
}

pdf::FormDocument ReadBytes(const std::string& bytes)
{
    pdf::FormDocument doc;
    std::string error;
    EXPECT_TRUE(pdf::ReadPdfForm(bytes, doc, error)) << error;
    return doc;
}

const char kToUnicode[] =
    "/CIDInit /ProcSet findresource begin 12 dict begin begincmap\n"
    "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
    "/CMapName /Adobe-Identity-UCS def /CMapType 2 def\n"
    "2 begincodespacerange <00> <80> <8140> <FFFF> endcodespacerange\n"
    "2 beginbfchar <41> <0042> <8140> <00660069> endbfchar\n"
    "2 beginbfrange <61> <63> <0041> <9000> <9002> [<0031> <D83DDE00> <>] endbfrange\n"
    "1 begincidrange <8141> <8150> 500 endcidrange\n"
    "endcmap CMapName currentdict /CMap defineresource pop end end\n";

} // namespace

TEST(GlyphNames, StandardNamesUniFormsLigaturesAndSuffixes)
{
    EXPECT_EQ(L"\x00DF", pdf::GlyphNameText("germandbls"));
    EXPECT_EQ(L"\x0141", pdf::GlyphNameText("Lslash"));
    EXPECT_EQ(L"\x017E", pdf::GlyphNameText("zcaron"));
    EXPECT_EQ(L"\x0151", pdf::GlyphNameText("ohungarumlaut"));
    EXPECT_EQ(L"\x2014", pdf::GlyphNameText("emdash"));
    EXPECT_EQ(L"\x2019", pdf::GlyphNameText("quoteright"));
    EXPECT_EQ(L"\x20AC", pdf::GlyphNameText("Euro"));
    EXPECT_EQ(L"'", pdf::GlyphNameText("quotesingle"));
    EXPECT_EQ(L"fi", pdf::GlyphNameText("fi"));
    EXPECT_EQ(L"ffl", pdf::GlyphNameText("ffl"));
    EXPECT_EQ(L"\x00DF", pdf::GlyphNameText("uni00DF"));
    EXPECT_EQ(L"AB", pdf::GlyphNameText("uni00410042"));
    EXPECT_EQ(L"\x0416", pdf::GlyphNameText("u0416"));
    EXPECT_EQ(L"\xD83D\xDE00", pdf::GlyphNameText("u1F600"));
    EXPECT_EQ(L"ffi", pdf::GlyphNameText("f_f_i"));
    EXPECT_EQ(L"a", pdf::GlyphNameText("a.sc"));
    EXPECT_EQ(L"\x03B1\x03C2\x03A3\x2264\x2208", pdf::GlyphNameText("alpha_sigma1_Sigma_lessequal_element"));
    // Lower-case digits, surrogates and unknown names stand for nothing.
    EXPECT_EQ(L"", pdf::GlyphNameText("uni00df"));
    EXPECT_EQ(L"", pdf::GlyphNameText("uniD800"));
    EXPECT_EQ(L"", pdf::GlyphNameText("g123"));
    EXPECT_EQ(L"", pdf::GlyphNameText(".notdef"));
}

TEST(FontEncodings, MacRomanAndWinAnsiAgreeWithPythonsCodecs)
{
    // bytes(range(0x80, 0x100)).decode("mac_roman") and ... .decode("cp1252").
    const std::wstring macRoman =
        L"\x00C4\x00C5\x00C7\x00C9\x00D1\x00D6\x00DC\x00E1\x00E0\x00E2\x00E4\x00E3\x00E5\x00E7\x00E9\x00E8\x00EA\x00EB"
        L"\x00ED\x00EC\x00EE\x00EF\x00F1\x00F3\x00F2\x00F4\x00F6\x00F5\x00FA\x00F9\x00FB\x00FC\x2020\x00B0\x00A2\x00A3"
        L"\x00A7\x2022\x00B6\x00DF\x00AE\x00A9\x2122\x00B4\x00A8\x2260\x00C6\x00D8\x221E\x00B1\x2264\x2265\x00A5\x00B5"
        L"\x2202\x2211\x220F\x03C0\x222B\x00AA\x00BA\x03A9\x00E6\x00F8\x00BF\x00A1\x00AC\x221A\x0192\x2248\x2206\x00AB"
        L"\x00BB\x2026\x00A0\x00C0\x00C3\x00D5\x0152\x0153\x2013\x2014\x201C\x201D\x2018\x2019\x00F7\x25CA\x00FF\x0178"
        L"\x2044\x20AC\x2039\x203A\xFB01\xFB02\x2021\x00B7\x201A\x201E\x2030\x00C2\x00CA\x00C1\x00CB\x00C8\x00CD\x00CE"
        L"\x00CF\x00CC\x00D3\x00D4\xF8FF\x00D2\x00DA\x00DB\x00D9\x0131\x02C6\x02DC\x00AF\x02D8\x02D9\x02DA\x00B8\x02DD"
        L"\x02DB\x02C7";
    const std::wstring winAnsi =
        L"\x20AC\xFFFD\x201A\x0192\x201E\x2026\x2020\x2021\x02C6\x2030\x0160\x2039\x0152\xFFFD\x017D\xFFFD\xFFFD\x2018"
        L"\x2019\x201C\x201D\x2022\x2013\x2014\x02DC\x2122\x0161\x203A\x0153\xFFFD\x017E\x0178";
    const pdf::CodeTexts& mac = pdf::EncodingTexts(pdf::BaseEncoding::MacRoman);
    const pdf::CodeTexts& win = pdf::EncodingTexts(pdf::BaseEncoding::WinAnsi);
    for (int c = 0x80; c < 0x100; ++c) {
        wchar_t expected = macRoman[c - 0x80];
        if (c == 0xDB) EXPECT_EQ(L"\x00A4", mac[c]); // PDF's MacRomanEncoding keeps the currency sign there
        else if (expected == 0xFB01 || expected == 0xFB02) EXPECT_EQ(expected == 0xFB01 ? L"fi" : L"fl", mac[c]);
        else EXPECT_EQ(std::wstring(1, expected), mac[c]) << std::hex << c;
        if (c < 0xA0 && winAnsi[c - 0x80] == 0xFFFD) continue;
        EXPECT_EQ(std::wstring(1, c < 0xA0 ? winAnsi[c - 0x80] : static_cast<wchar_t>(c)), win[c]) << std::hex << c;
    }
    EXPECT_EQ(L"A", mac['A']);
    EXPECT_EQ(L"A", win['A']);
}

TEST(FontEncodings, StandardPdfDocAndTexEncodings)
{
    const pdf::CodeTexts& standard = pdf::EncodingTexts(pdf::BaseEncoding::Standard);
    EXPECT_EQ(L"\x2019", standard[0x27]);
    EXPECT_EQ(L"\x2018", standard[0x60]);
    EXPECT_EQ(L"\x2044", standard[0xA4]);
    EXPECT_EQ(L"fi", standard[0xAE]);
    EXPECT_EQ(L"\x2014", standard[0xD0]);
    EXPECT_EQ(L"\x00C6", standard[0xE1]);
    EXPECT_EQ(L"\x0141", standard[0xE8]);
    EXPECT_EQ(L"\x00DF", standard[0xFB]);
    EXPECT_EQ(L"", standard[0xC0]);
    EXPECT_EQ(L"", standard[0xE0]);
    const pdf::CodeTexts& doc = pdf::EncodingTexts(pdf::BaseEncoding::PdfDoc);
    EXPECT_EQ(L"\x02D8", doc[0x18]);
    EXPECT_EQ(L"\x2022", doc[0x80]);
    EXPECT_EQ(L"\x20AC", doc[0xA0]);
    EXPECT_EQ(L"\x00E9", doc[0xE9]);
    // TeX's T1 encoding as its encoding file (ec.enc) lists it.
    const pdf::CodeTexts& t1 = pdf::EncodingTexts(pdf::BaseEncoding::TexT1);
    EXPECT_EQ(L"ff", t1[0x1B]);
    EXPECT_EQ(L"fi", t1[0x1C]);
    EXPECT_EQ(L"ffi", t1[0x1E]);
    EXPECT_EQ(L"\x2013", t1[0x15]);
    EXPECT_EQ(L"\x0141", t1[0x8A]);
    EXPECT_EQ(L"\x00A7", t1[0x9F]);
    EXPECT_EQ(L"\x00A3", t1[0xBF]);
    EXPECT_EQ(L"\x0152", t1[0xD7]);
    EXPECT_EQ(L"\x00DF", t1[0xFF]);
    const pdf::CodeTexts& ot1 = pdf::EncodingTexts(pdf::BaseEncoding::TexOT1);
    EXPECT_EQ(L"fi", ot1[0x0C]);
    EXPECT_EQ(L"\x00DF", ot1[0x19]);
    EXPECT_EQ(L"\x201C", ot1[0x5C]);
}

TEST(CMaps, CodeSpacesSplitMixedLengthsAndRangesNameTextAndCids)
{
    pdf::CMap map = pdf::CMap::Parse(kToUnicode);
    const std::string codes("\x41\x81\x40\x62\x90\x01\x90\x02\x81\x45", 10);
    std::vector<std::pair<unsigned, int>> split;
    for (size_t pos = 0; pos < codes.size();) {
        int length = 0;
        unsigned code = map.NextCode(codes, pos, length);
        split.push_back({code, length});
        pos += length;
    }
    const std::vector<std::pair<unsigned, int>> expected = {{0x41, 1}, {0x8140, 2}, {0x62, 1}, {0x9001, 2}, {0x9002, 2}, {0x8145, 2}};
    EXPECT_EQ(expected, split);
    std::wstring text;
    ASSERT_TRUE(map.Text(0x41, 1, text));
    EXPECT_EQ(L"B", text);
    ASSERT_TRUE(map.Text(0x8140, 2, text));
    EXPECT_EQ(L"fi", text);
    ASSERT_TRUE(map.Text(0x63, 1, text));
    EXPECT_EQ(L"C", text);
    ASSERT_TRUE(map.Text(0x9001, 2, text));
    EXPECT_EQ(L"\xD83D\xDE00", text);
    EXPECT_FALSE(map.Text(0x64, 1, text));
    EXPECT_FALSE(map.Text(0x0041, 2, text)); // same value, other length
    EXPECT_EQ(504u, map.Cid(0x8145, 2));
    EXPECT_EQ(0x41u, map.Cid(0x41, 1));
    // Identity: two bytes a code, whatever they are.
    int length = 0;
    EXPECT_EQ(0x0102u, pdf::CMap::Identity().NextCode(std::string("\x01\x02", 2), 0, length));
    EXPECT_EQ(2, length);
}

TEST(CMaps, ARangeOfOneCodeMapsThatCode)
{
    pdf::CMap map = pdf::CMap::Parse("1 begincodespacerange <0000> <FFFF> endcodespacerange\n"
                                     "1 beginbfrange <0041> <0041> <0058> endbfrange\n"
                                     "1 beginbfrange <0050> <0050> [<0059>] endbfrange\n");
    std::wstring text;
    ASSERT_TRUE(map.Text(0x41, 2, text));
    EXPECT_EQ(L"X", text);
    ASSERT_TRUE(map.Text(0x50, 2, text));
    EXPECT_EQ(L"Y", text);
    EXPECT_FALSE(map.Text(0x42, 2, text));
    EXPECT_FALSE(map.Text(0x40, 2, text));
}

TEST(PageFontCodes, FontsOfAFileReadThroughTheirEncodingsAndWidths)
{
    const std::string program = "%!PS-AdobeFont-1.0: Test\n/Encoding 256 array\n0 1 255 {1 index exch /.notdef put} for\n"
                                "dup 65 /Aring put\ndup 66 /fi put\nreadonly def\ncurrentfile eexec\n";
    std::string bytes = MakeClassicPdf(
        {{1, "<< /Type /Catalog /Pages 2 0 R >>"},
         {2, "<< /Type /Pages /Kids [3 0 R] /Count 1 >>"},
         {3, "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 300 300] /Contents 4 0 R /Resources << /Font << "
             "/F1 5 0 R /F2 6 0 R /F3 9 0 R /F4 11 0 R /F5 12 0 R >> >> >>"},
         {4, Stream("", "")},
         {5, "<< /Type /Font /Subtype /Type1 /BaseFont /ABCDEF+LMRoman10-Regular /FirstChar 28 /LastChar 29 "
             "/Widths [556 500] /Encoding << /BaseEncoding /WinAnsiEncoding /Differences [28 /fi /germandbls 128 /uni20AC /Lslash] >> >>"},
         {6, "<< /Type /Font /Subtype /Type0 /BaseFont /Sans /Encoding /Identity-H /DescendantFonts [7 0 R] /ToUnicode 8 0 R >>"},
         {7, "<< /Type /Font /Subtype /CIDFontType2 /BaseFont /Sans /DW 400 /W [3 [600 700] 10 20 250] "
             "/CIDSystemInfo << /Registry (Adobe) /Ordering (Identity) /Supplement 0 >> >>"},
         {8, Stream("", "1 begincodespacerange <0000> <FFFF> endcodespacerange\n"
                        "2 beginbfchar <0003> <0053> <0004> <00DF> endbfchar\n1 beginbfrange <000A> <000F> <0061> endbfrange\n")},
         {9, "<< /Type /Font /Subtype /Type1 /BaseFont /XYZABC+CMR10 /FontDescriptor 10 0 R >>"},
         {10, "<< /Type /FontDescriptor /Flags 4 /FontFile " + std::string("13 0 R") + " >>"},
         {11, "<< /Type /Font /Subtype /Type3 /FontMatrix [0.01 0 0 0.01 0 0] /FontBBox [0 0 100 100] /FirstChar 28 "
              "/LastChar 255 /Widths [55 " + std::string(226, '0').replace(0, 0, "") + "] "
              "/Encoding << /Differences [28 /a28 255 /a255] >> /CharProcs << >> >>"},
         {12, "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>"},
         {13, Stream("/Length1 " + std::to_string(program.size()) + " /Length2 0 /Length3 0", program)}},
        1);
    pdf::FormDocument doc = ReadBytes(bytes);
    ASSERT_EQ(1u, doc.pageFonts.size());
    const pdf::PageFonts& fonts = doc.pageFonts[0];
    ASSERT_EQ(5u, fonts.size());

    // Differences over a base encoding; widths from FirstChar; a code past them has none.
    ASSERT_TRUE(fonts.at("F1").codes);
    std::vector<pdf::ShownGlyph> simple = fonts.at("F1").codes->Decode("\x1C\x1D\x80\x81\x9F A");
    EXPECT_EQ(L"fi|\x00DF|\x20AC|\x0141|\x0178| |A|", Texts(simple));
    EXPECT_DOUBLE_EQ(0.556, simple[0].advance);
    EXPECT_DOUBLE_EQ(0.5, simple[1].advance);
    EXPECT_GT(0, simple[2].advance);
    EXPECT_TRUE(simple[5].wordSpace);
    EXPECT_FALSE(simple[6].wordSpace);
    EXPECT_EQ(L"Times New Roman", fonts.at("F1").face);

    // Two-byte codes: text from ToUnicode, widths from /W (list and range) and /DW.
    ASSERT_TRUE(fonts.at("F2").codes);
    std::vector<pdf::ShownGlyph> wide = fonts.at("F2").codes->Decode(std::string("\x00\x03\x00\x04\x00\x05\x00\x0F\x00\x20", 10));
    EXPECT_EQ(L"S|\x00DF||f||", Texts(wide));
    const double widths[] = {0.6, 0.7, 0.4, 0.25, 0.4};
    ASSERT_EQ(5u, wide.size());
    for (size_t i = 0; i < wide.size(); ++i) EXPECT_DOUBLE_EQ(widths[i], wide[i].advance) << i;
    EXPECT_FALSE(wide[4].wordSpace); // only the one-byte code 32 takes word spacing

    // No /Encoding: the embedded program's own encoding.
    ASSERT_TRUE(fonts.at("F3").codes);
    EXPECT_EQ(L"\x00C5|fi|", Texts(fonts.at("F3").codes->Decode("AB")));

    // pdfTeX's bitmap font: glyph names by code, read in TeX's T1 encoding; widths through the
    // font matrix.
    ASSERT_TRUE(fonts.at("F4").codes);
    std::vector<pdf::ShownGlyph> bitmap = fonts.at("F4").codes->Decode("\x1C\xFF");
    EXPECT_EQ(L"fi|\x00DF|", Texts(bitmap));
    EXPECT_DOUBLE_EQ(0.55, bitmap[0].advance);

    // A standard font that names no encoding keeps the Windows ANSI reading of its codes.
    EXPECT_FALSE(fonts.at("F5").codes);
}

TEST(PageFontCodes, CidSystemOfUnicodeValuesGivesTextWithoutAMapAndDamagedWidthsStop)
{
    std::string bytes = MakeClassicPdf(
        {{1, "<< /Type /Catalog /Pages 2 0 R >>"},
         {2, "<< /Type /Pages /Kids [3 0 R] /Count 1 >>"},
         {3, "<< /Type /Page /Parent 2 0 R /Contents 4 0 R /Resources << /Font << /F1 5 0 R >> >> >>"},
         {4, Stream("", "")},
         {5, "<< /Type /Font /Subtype /Type0 /BaseFont /Uni /Encoding /Identity-H /DescendantFonts [6 0 R] >>"},
         // A damaged width range over every number: read as far as CIDs go.
         {6, "<< /Type /Font /Subtype /CIDFontType0 /BaseFont /Uni /W [65 4000000000 500] "
             "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> >>"}},
        1);
    pdf::FormDocument doc = ReadBytes(bytes);
    ASSERT_TRUE(doc.pageFonts.at(0).at("F1").codes);
    std::vector<pdf::ShownGlyph> glyphs = doc.pageFonts[0].at("F1").codes->Decode(std::string("\x00\x41\x01\x41", 4));
    EXPECT_EQ(L"A|\x0141|", Texts(glyphs));
    EXPECT_DOUBLE_EQ(0.5, glyphs[0].advance);
    EXPECT_DOUBLE_EQ(0.5, glyphs[1].advance);
    EXPECT_DOUBLE_EQ(1.0, doc.pageFonts[0].at("F1").codes->Decode(std::string("\x00\x40", 2))[0].advance); // /DW's 1000
}

// Page of 300 x 300 points: a form placed at (50, 50) through a matrix of 2 fills its box, whose
// clip keeps both its oversized fill and a nested form placed past the box from the page; a form
// that draws itself draws once per level and stops.
TEST(FormXObjects, MatrixClipNestingAndAFormThatDrawsItself)
{
    std::string bytes = MakeClassicPdf(
        {{1, "<< /Type /Catalog /Pages 2 0 R >>"},
         {2, "<< /Type /Pages /Kids [3 0 R] /Count 1 >>"},
         {3, "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 300 300] /Contents 4 0 R "
             "/Resources << /XObject << /X1 5 0 R /Self 7 0 R >> >> >>"},
         {4, Stream("", "q 1 0 0 1 50 50 cm /X1 Do Q /Self Do 0 g 5 5 10 10 re f")},
         {5, Stream("/Type /XObject /Subtype /Form /BBox [0 0 50 50] /Matrix [2 0 0 2 0 0] /Resources << /XObject << /X2 6 0 R >> >>",
                    "0 g 0 0 100 100 re f /X2 Do 1 0 0 rg")},
         {6, Stream("/Type /XObject /Subtype /Form /BBox [0 0 100 100] /Matrix [1 0 0 1 60 0]", "0 g 0 0 10 10 re f")},
         {7, Stream("/Type /XObject /Subtype /Form /BBox [0 0 300 300] /Resources << /XObject << /Self 7 0 R >> >>",
                    "0 g 250 250 20 20 re f /Self Do")}},
        1);
    pdf::FormDocument doc = ReadBytes(bytes);
    const int side = 300;
    PageCanvas canvas(side, side);
    viewer::PagePlacement place;
    place.pageHeight = side;
    viewer::DrawFormPage(canvas.Dc(), doc, 0, place, false);
    std::vector<unsigned char> grey = canvas.Grey();
    auto dark = [&](int left, int top, int right, int bottom) { return DarkIn(grey, side, {left, top, right, bottom}); };
    // X1's box on the page: 50-150 across, 150-250 down from the top; filled whole.
    EXPECT_GE(dark(52, 152, 148, 248), 96 * 96);
    // Its fill reaches 250 without the clip, X2 would land at 170-190 across: nothing there.
    EXPECT_EQ(0, dark(152, 52, side, side));
    EXPECT_EQ(0, dark(0, 52, side, 148));
    // The page's own fill after the forms, in the state it had before them.
    EXPECT_GE(dark(6, 286, 14, 294), 60);
    // The self-drawing form's square, at 250-270 across, 30-50 down.
    EXPECT_GE(dark(251, 31, 269, 49), 18 * 18);
    EXPECT_EQ(0, dark(0, 0, 250, 148) + dark(270, 0, side, 148));
}

namespace {
std::string U16(unsigned v) { return {static_cast<char>(v >> 8), static_cast<char>(v & 0xFF)}; }
std::string U32(unsigned long v) { return U16(static_cast<unsigned>(v >> 16)) + U16(static_cast<unsigned>(v & 0xFFFF)); }
} // namespace

// A TrueType program with one Windows Unicode subtable of format 4: "A" to "C" are glyphs 1 to 3,
// "D" and "E" glyphs 7 and 8 through the glyph array. Cut short anywhere, it yields no glyph it
// cannot read in full and never reads past its end.
TEST(TrueTypeCmaps, Format4GlyphsBackToCharactersAndCutProgramsReadSafely)
{
    std::string subtable = U16(4) + U16(0) + U16(0) + U16(6) + U16(0) + U16(0) + U16(0) +
                           U16(0x43) + U16(0x45) + U16(0xFFFF) + U16(0) +   // end codes, pad
                           U16(0x41) + U16(0x44) + U16(0xFFFF) +            // start codes
                           U16((1 - 0x41) & 0xFFFF) + U16(0) + U16(1) +     // deltas
                           U16(0) + U16(4) + U16(0) +                       // range offsets: "D" reads the array after them
                           U16(7) + U16(8);
    std::string cmap = U16(0) + U16(1) + U16(3) + U16(1) + U32(12) + subtable;
    std::string program = U32(0x00010000) + U16(1) + U16(0) + U16(0) + U16(0) + "cmap" + U32(0) + U32(28) +
                          U32(static_cast<unsigned long>(cmap.size())) + cmap;
    const std::map<unsigned, unsigned long> expected = {{1, 'A'}, {2, 'B'}, {3, 'C'}, {7, 'D'}, {8, 'E'}};
    EXPECT_EQ(expected, pdf::GlyphCharacters(program));
    for (size_t cut = 0; cut < program.size(); ++cut) {
        std::map<unsigned, unsigned long> glyphs = pdf::GlyphCharacters(program.substr(0, cut));
        for (const auto& glyph : glyphs) EXPECT_EQ(expected.at(glyph.first), glyph.second) << cut;
    }
}
