// Base encoding tables, written as glyph names where they differ from ASCII or Latin-1.
#include "viewer/FontEncodings.h"
#include "viewer/GlyphNames.h"

namespace pdf {

namespace {
// StandardEncoding from 0xA1; nullptr where it has no glyph.
const char* const kStandardHigh[] = {
    "exclamdown", "cent", "sterling", "fraction", "yen", "florin", "section", "currency", "quotesingle",
    "quotedblleft", "guillemotleft", "guilsinglleft", "guilsinglright", "fi", "fl", nullptr, "endash", "dagger",
    "daggerdbl", "periodcentered", nullptr, "paragraph", "bullet", "quotesinglbase", "quotedblbase",
    "quotedblright", "guillemotright", "ellipsis", "perthousand", nullptr, "questiondown", nullptr, "grave",
    "acute", "circumflex", "tilde", "macron", "breve", "dotaccent", "dieresis", nullptr, "ring", "cedilla",
    nullptr, "hungarumlaut", "ogonek", "caron", "emdash", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, "AE",
    nullptr, "ordfeminine", nullptr, nullptr, nullptr, nullptr, "Lslash", "Oslash", "OE", "ordmasculine",
    nullptr, nullptr, nullptr, nullptr, nullptr, "ae", nullptr, nullptr, nullptr, "dotlessi", nullptr, nullptr,
    "lslash", "oslash", "oe", "germandbls"};
static_assert(sizeof(kStandardHigh) / sizeof(kStandardHigh[0]) == 0xFC - 0xA1, "0xA1 to 0xFB");

// MacRomanEncoding from 0x80 (0xDB is the currency sign, as PDF reads it).
const char* const kMacRomanHigh[] = {
    "Adieresis", "Aring", "Ccedilla", "Eacute", "Ntilde", "Odieresis", "Udieresis", "aacute", "agrave",
    "acircumflex", "adieresis", "atilde", "aring", "ccedilla", "eacute", "egrave", "ecircumflex", "edieresis",
    "iacute", "igrave", "icircumflex", "idieresis", "ntilde", "oacute", "ograve", "ocircumflex", "odieresis",
    "otilde", "uacute", "ugrave", "ucircumflex", "udieresis", "dagger", "degree", "cent", "sterling", "section",
    "bullet", "paragraph", "germandbls", "registered", "copyright", "trademark", "acute", "dieresis", "notequal",
    "AE", "Oslash", "infinity", "plusminus", "lessequal", "greaterequal", "yen", "mu", "partialdiff",
    "summation", "product", "pi", "integral", "ordfeminine", "ordmasculine", "Omega", "ae", "oslash",
    "questiondown", "exclamdown", "logicalnot", "radical", "florin", "approxequal", "Delta", "guillemotleft",
    "guillemotright", "ellipsis", "nbspace", "Agrave", "Atilde", "Otilde", "OE", "oe", "endash", "emdash",
    "quotedblleft", "quotedblright", "quoteleft", "quoteright", "divide", "lozenge", "ydieresis", "Ydieresis",
    "fraction", "currency", "guilsinglleft", "guilsinglright", "fi", "fl", "daggerdbl", "periodcentered",
    "quotesinglbase", "quotedblbase", "perthousand", "Acircumflex", "Ecircumflex", "Aacute", "Edieresis",
    "Egrave", "Iacute", "Icircumflex", "Idieresis", "Igrave", "Oacute", "Ocircumflex", "apple", "Ograve",
    "Uacute", "Ucircumflex", "Ugrave", "dotlessi", "circumflex", "tilde", "macron", "breve", "dotaccent", "ring",
    "cedilla", "hungarumlaut", "ogonek", "caron"};
static_assert(sizeof(kMacRomanHigh) / sizeof(kMacRomanHigh[0]) == 0x80, "0x80 to 0xFF");

// Windows ANSI (code page 1252) from 0x80; its five unused codes stay as they are.
const wchar_t kWinAnsiHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// PDFDocEncoding: Latin-1 but for the accents at 0x18 and the signs from 0x80.
const wchar_t kDocAccents[8] = {0x02D8, 0x02C7, 0x02C6, 0x02D9, 0x02DD, 0x02DB, 0x02DA, 0x02DC};
const wchar_t kDocHigh[33] = {
    0x2022, 0x2020, 0x2021, 0x2026, 0x2014, 0x2013, 0x0192, 0x2044, 0x2039, 0x203A, 0x2212,
    0x2030, 0x201E, 0x201C, 0x201D, 0x2018, 0x2019, 0x201A, 0x2122, 0xFB01, 0xFB02, 0x0141,
    0x0152, 0x0160, 0x0178, 0x017D, 0x0131, 0x0142, 0x0153, 0x0161, 0x017E, 0xFFFD, 0x20AC};

// TeX's T1 (Cork) encoding: 0x00-0x1F, then 0x80-0xBF; 0xC0-0xFF is Latin-1 but for four places.
const char* const kT1Low[] = {
    "grave", "acute", "circumflex", "tilde", "dieresis", "hungarumlaut", "ring", "caron", "breve", "macron",
    "dotaccent", "cedilla", "ogonek", "quotesinglbase", "guilsinglleft", "guilsinglright", "quotedblleft",
    "quotedblright", "quotedblbase", "guillemotleft", "guillemotright", "endash", "emdash", "cwm",
    "perthousandzero", "dotlessi", "dotlessj", "ff", "fi", "fl", "ffi", "ffl"};
const char* const kT1High[] = {
    "Abreve", "Aogonek", "Cacute", "Ccaron", "Dcaron", "Ecaron", "Eogonek", "Gbreve", "Lacute", "Lcaron",
    "Lslash", "Nacute", "Ncaron", "Eng", "Ohungarumlaut", "Racute", "Rcaron", "Sacute", "Scaron", "Scedilla",
    "Tcaron", "Tcedilla", "Uhungarumlaut", "Uring", "Ydieresis", "Zacute", "Zcaron", "Zdotaccent", "IJ",
    "Idotaccent", "dcroat", "section", "abreve", "aogonek", "cacute", "ccaron", "dcaron", "ecaron", "eogonek",
    "gbreve", "lacute", "lcaron", "lslash", "nacute", "ncaron", "eng", "ohungarumlaut", "racute", "rcaron",
    "sacute", "scaron", "scedilla", "tcaron", "tcedilla", "uhungarumlaut", "uring", "ydieresis", "zacute",
    "zcaron", "zdotaccent", "ij", "exclamdown", "questiondown", "sterling"};
static_assert(sizeof(kT1Low) / sizeof(kT1Low[0]) == 0x20 && sizeof(kT1High) / sizeof(kT1High[0]) == 0x40, "T1");

// TeX's OT1 encoding: Greek capitals and ligatures below 0x20, and a few signs in ASCII's places.
const char* const kOT1Low[] = {
    "Gamma", "Delta", "Theta", "Lambda", "Xi", "Pi", "Sigma", "Upsilon", "Phi", "Psi", "Omega", "ff", "fi", "fl",
    "ffi", "ffl", "dotlessi", "dotlessj", "grave", "acute", "caron", "breve", "macron", "ring", "cedilla",
    "germandbls", "ae", "oe", "oslash", "AE", "OE", "Oslash"};

void FromNames(CodeTexts& texts, unsigned first, const char* const* names, size_t count)
{
    for (size_t i = 0; i < count; ++i) texts[first + i] = names[i] ? GlyphNameText(names[i]) : std::wstring();
}

CodeTexts Latin1()
{
    CodeTexts texts;
    for (unsigned c = 0x20; c < 0x100; ++c) texts[c] = std::wstring(1, static_cast<wchar_t>(c));
    texts[0x7F] = std::wstring();
    for (unsigned c = 0x80; c < 0xA0; ++c) texts[c] = std::wstring();
    return texts;
}

CodeTexts Make(BaseEncoding encoding)
{
    CodeTexts texts = Latin1();
    switch (encoding) {
    case BaseEncoding::Standard:
        for (unsigned c = 0xA0; c < 0x100; ++c) texts[c].clear();
        texts[0x27] = L"\x2019";
        texts[0x60] = L"\x2018";
        FromNames(texts, 0xA1, kStandardHigh, sizeof(kStandardHigh) / sizeof(kStandardHigh[0]));
        break;
    case BaseEncoding::WinAnsi:
        for (unsigned c = 0x80; c < 0xA0; ++c) texts[c] = std::wstring(1, kWinAnsiHigh[c - 0x80]);
        break;
    case BaseEncoding::MacRoman:
        FromNames(texts, 0x80, kMacRomanHigh, sizeof(kMacRomanHigh) / sizeof(kMacRomanHigh[0]));
        break;
    case BaseEncoding::PdfDoc:
        for (unsigned c = 0x18; c <= 0xA0; c = c == 0x1F ? 0x80 : c + 1) {
            const wchar_t ch = PdfDocEncodingChar(static_cast<unsigned char>(c));
            texts[c] = ch == 0xFFFD ? std::wstring() : std::wstring(1, ch);
        }
        break;
    case BaseEncoding::TexT1:
        FromNames(texts, 0x00, kT1Low, sizeof(kT1Low) / sizeof(kT1Low[0]));
        texts[0x20] = L"\x2423";
        texts[0x27] = L"\x2019";
        texts[0x60] = L"\x2018";
        texts[0x7F] = L"-";
        FromNames(texts, 0x80, kT1High, sizeof(kT1High) / sizeof(kT1High[0]));
        texts[0xD7] = L"\x0152";
        texts[0xDF] = L"SS";
        texts[0xF7] = L"\x0153";
        texts[0xFF] = L"\x00DF";
        break;
    case BaseEncoding::TexOT1:
        for (unsigned c = 0x80; c < 0x100; ++c) texts[c].clear();
        FromNames(texts, 0x00, kOT1Low, sizeof(kOT1Low) / sizeof(kOT1Low[0]));
        // Greek capitals have no glyph names of the standard list here: their characters.
        for (unsigned c = 0; c < 0x0B; ++c) {
            const wchar_t greek[] = {0x393, 0x394, 0x398, 0x39B, 0x39E, 0x3A0, 0x3A3, 0x3A5, 0x3A6, 0x3A8, 0x3A9};
            texts[c] = std::wstring(1, greek[c]);
        }
        texts[0x20] = std::wstring();
        texts[0x22] = L"\x201D";
        texts[0x27] = L"\x2019";
        texts[0x3C] = L"\x00A1";
        texts[0x3E] = L"\x00BF";
        texts[0x5C] = L"\x201C";
        texts[0x60] = L"\x2018";
        texts[0x7B] = L"\x2013";
        texts[0x7C] = L"\x2014";
        texts[0x7D] = L"\x02DD";
        texts[0x7E] = L"\x02DC";
        texts[0x7F] = L"\x00A8";
        break;
    }
    return texts;
}
} // namespace

const CodeTexts& EncodingTexts(BaseEncoding encoding)
{
    static const CodeTexts tables[] = {Make(BaseEncoding::Standard), Make(BaseEncoding::WinAnsi),
                                       Make(BaseEncoding::MacRoman), Make(BaseEncoding::PdfDoc),
                                       Make(BaseEncoding::TexT1),    Make(BaseEncoding::TexOT1)};
    return tables[static_cast<int>(encoding)];
}

wchar_t PdfDocEncodingChar(unsigned char byte)
{
    if (byte >= 0x18 && byte <= 0x1F) return kDocAccents[byte - 0x18];
    if (byte >= 0x80 && byte <= 0xA0) return kDocHigh[byte - 0x80];
    return static_cast<wchar_t>(byte);
}

bool EncodingByName(const std::string& name, BaseEncoding& encoding)
{
    if (name == "StandardEncoding") encoding = BaseEncoding::Standard;
    else if (name == "WinAnsiEncoding") encoding = BaseEncoding::WinAnsi;
    else if (name == "MacRomanEncoding") encoding = BaseEncoding::MacRoman;
    else if (name == "PDFDocEncoding") encoding = BaseEncoding::PdfDoc;
    else return false;
    return true;
}

} // namespace pdf
