// What other writers put in a file's syntax: literal strings with every escape and octal codes,
// names with "#xx" codes, and field names in UTF-16 and UTF-8 with characters beyond the 16-bit
// range.
#include "PdfTestFiles.h"
#include "viewer/PdfForm.h"
#include "viewer/PdfObject.h"
#include <gtest/gtest.h>

using namespace pdf;

namespace {
ObjectPtr Parse(const std::string& text)
{
    Parser parser(text, 0);
    return parser.ReadObject();
}

std::vector<std::wstring> FieldNames(const std::string& partialName)
{
    FormDocument form;
    std::string error;
    std::string file = MakeClassicPdf({{1, "<< /Type /Catalog /Pages 2 0 R /AcroForm << /Fields [4 0 R] >> >>"},
                                       {2, "<< /Type /Pages /Kids [3 0 R] /Count 1 >>"},
                                       {3, "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 200 200] /Annots [5 0 R] >>"},
                                       {4, "<< /T " + partialName + " /FT /Tx /Kids [5 0 R] >>"},
                                       {5, "<< /T (x) /Parent 4 0 R /Subtype /Widget /Rect [1 1 50 20] >>"}},
                                      1);
    EXPECT_TRUE(ReadPdfForm(file, form, error)) << error;
    std::vector<std::wstring> names;
    for (const FormField& f : form.fields) names.push_back(f.name);
    return names;
}
} // namespace

TEST(PdfSyntax, LiteralStringEscapes)
{
    // Escaped delimiters, balanced parentheses kept, the C escapes, octal codes of one to three
    // digits (the fourth digit is text), an escaped line end dropped and an unknown escape's
    // backslash dropped.
    ObjectPtr s = Parse("(a\\(b\\) (c) \\\\ \\n\\r\\t\\b\\f \\101\\60\\0053 \\7x \\\nnext\\q)");
    ASSERT_EQ(Kind::String, s->kind);
    const char expected[] = "a(b) (c) \\ \n\r\t\b\f A0\0053 \7x nextq";
    EXPECT_EQ(std::string(expected, sizeof expected - 1), s->text);
    // An octal code above 255 keeps its low byte; a bare line end inside the string stays.
    EXPECT_EQ(std::string("\x01\n", 2), Parse("(\\401\n)")->text);
    EXPECT_EQ("\xE9t\xE9", Parse("(\\351t\\351)")->text);
    EXPECT_THROW(Parse("(never closed \\)"), PdfError);
}

TEST(PdfSyntax, NamesWithHexCodes)
{
    EXPECT_EQ("A B/C", Parse("/A#20B#2FC")->text);
    EXPECT_EQ("Lime Green", Parse("/Lime#20Green")->text);
    EXPECT_EQ("paired#", Parse("/paired#")->text);  // a "#" without two digits stays
    EXPECT_EQ("#", Parse("/#23")->text);
    ObjectPtr dict = Parse("<< /Type /Font#2DName /A#42 1 >>");
    EXPECT_TRUE(dict->Get("Type")->IsName("Font-Name"));
    EXPECT_EQ(1, dict->Get("AB")->number);
}

TEST(PdfSyntax, FieldNamesInUnicodeBeyondSixteenBits)
{
    // U+1F600 as the surrogate pair D83D DE00 in UTF-16BE and as four bytes of UTF-8, both with
    // their byte order marks; "A" and an e with acute accent beside it.
    const std::wstring expected = std::wstring(L"\xD83D\xDE00") + L"A\x00E9.x";
    EXPECT_EQ(std::vector<std::wstring>{expected}, FieldNames("<FEFFD83DDE00004100E9>"));
    EXPECT_EQ(std::vector<std::wstring>{expected}, FieldNames("<EFBBBFF09F988041C3A9>"));
    // The same in a literal string with octal codes.
    EXPECT_EQ(std::vector<std::wstring>{expected}, FieldNames("(\\376\\377\\330\\075\\336\\000\\000A\\000\\351)"));
    // PDFDocEncoding: 0x84 is an em dash, 0xA0 the euro sign.
    EXPECT_EQ(std::vector<std::wstring>{L"a\x2014\x20AC.x"}, FieldNames("<6184A0>"));
    // ... and its accents in place of eight control codes: breve, caron, circumflex, dot, double
    // acute, ogonek, ring, tilde.
    EXPECT_EQ(std::vector<std::wstring>{L"a\x02D8\x02C7\x02C6\x02D9\x02DD\x02DB\x02DA\x02DC.x"},
              FieldNames("<6118191A1B1C1D1E1F>"));
}
