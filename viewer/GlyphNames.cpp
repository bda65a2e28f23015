// The glyph name table, written as data: runs of names whose characters follow one another, and
// single names with their character.
#include "viewer/GlyphNames.h"
#include "viewer/PdfForm.h"
#include <cstdlib>
#include <unordered_map>

namespace pdf {

namespace {
struct NameRun
{
    unsigned first;            // character of the first name
    const char* const* names;  // one name a character, nullptr where the run has a gap
    size_t count;
};

const char* const kAscii[] = {
    "space", "exclam", "quotedbl", "numbersign", "dollar", "percent", "ampersand", "quotesingle", "parenleft",
    "parenright", "asterisk", "plus", "comma", "hyphen", "period", "slash", "zero", "one", "two", "three", "four",
    "five", "six", "seven", "eight", "nine", "colon", "semicolon", "less", "equal", "greater", "question", "at"};
const char* const kAsciiBrackets[] = {"bracketleft", "backslash", "bracketright", "asciicircum", "underscore", "grave"};
const char* const kAsciiBraces[] = {"braceleft", "bar", "braceright", "asciitilde"};

const char* const kLatin1[] = {
    "nbspace", "exclamdown", "cent", "sterling", "currency", "yen", "brokenbar", "section", "dieresis",
    "copyright", "ordfeminine", "guillemotleft", "logicalnot", "sfthyphen", "registered", "macron", "degree",
    "plusminus", "twosuperior", "threesuperior", "acute", "mu", "paragraph", "periodcentered", "cedilla",
    "onesuperior", "ordmasculine", "guillemotright", "onequarter", "onehalf", "threequarters", "questiondown",
    "Agrave", "Aacute", "Acircumflex", "Atilde", "Adieresis", "Aring", "AE", "Ccedilla", "Egrave", "Eacute",
    "Ecircumflex", "Edieresis", "Igrave", "Iacute", "Icircumflex", "Idieresis", "Eth", "Ntilde", "Ograve",
    "Oacute", "Ocircumflex", "Otilde", "Odieresis", "multiply", "Oslash", "Ugrave", "Uacute", "Ucircumflex",
    "Udieresis", "Yacute", "Thorn", "germandbls", "agrave", "aacute", "acircumflex", "atilde", "adieresis",
    "aring", "ae", "ccedilla", "egrave", "eacute", "ecircumflex", "edieresis", "igrave", "iacute", "icircumflex",
    "idieresis", "eth", "ntilde", "ograve", "oacute", "ocircumflex", "otilde", "odieresis", "divide", "oslash",
    "ugrave", "uacute", "ucircumflex", "udieresis", "yacute", "thorn", "ydieresis"};

const char* const kLatinExtendedA[] = {
    "Amacron", "amacron", "Abreve", "abreve", "Aogonek", "aogonek", "Cacute", "cacute", "Ccircumflex",
    "ccircumflex", "Cdotaccent", "cdotaccent", "Ccaron", "ccaron", "Dcaron", "dcaron", "Dcroat", "dcroat",
    "Emacron", "emacron", "Ebreve", "ebreve", "Edotaccent", "edotaccent", "Eogonek", "eogonek", "Ecaron",
    "ecaron", "Gcircumflex", "gcircumflex", "Gbreve", "gbreve", "Gdotaccent", "gdotaccent", "Gcommaaccent",
    "gcommaaccent", "Hcircumflex", "hcircumflex", "Hbar", "hbar", "Itilde", "itilde", "Imacron", "imacron",
    "Ibreve", "ibreve", "Iogonek", "iogonek", "Idotaccent", "dotlessi", "IJ", "ij", "Jcircumflex",
    "jcircumflex", "Kcommaaccent", "kcommaaccent", "kgreenlandic", "Lacute", "lacute", "Lcommaaccent",
    "lcommaaccent", "Lcaron", "lcaron", "Ldot", "ldot", "Lslash", "lslash", "Nacute", "nacute", "Ncommaaccent",
    "ncommaaccent", "Ncaron", "ncaron", "napostrophe", "Eng", "eng", "Omacron", "omacron", "Obreve", "obreve",
    "Ohungarumlaut", "ohungarumlaut", "OE", "oe", "Racute", "racute", "Rcommaaccent", "rcommaaccent", "Rcaron",
    "rcaron", "Sacute", "sacute", "Scircumflex", "scircumflex", "Scedilla", "scedilla", "Scaron", "scaron",
    "Tcommaaccent", "tcommaaccent", "Tcaron", "tcaron", "Tbar", "tbar", "Utilde", "utilde", "Umacron",
    "umacron", "Ubreve", "ubreve", "Uring", "uring", "Uhungarumlaut", "uhungarumlaut", "Uogonek", "uogonek",
    "Wcircumflex", "wcircumflex", "Ycircumflex", "ycircumflex", "Ydieresis", "Zacute", "zacute", "Zdotaccent",
    "zdotaccent", "Zcaron", "zcaron", "longs"};
static_assert(sizeof(kLatin1) / sizeof(kLatin1[0]) == 0x60, "U+00A0 to U+00FF");
static_assert(sizeof(kLatinExtendedA) / sizeof(kLatinExtendedA[0]) == 0x80, "U+0100 to U+017F");

const char* const kSpacingAccents[] = {"circumflex", "caron", nullptr, "macron", nullptr, nullptr, nullptr, nullptr,
                                       nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                       nullptr, nullptr, "breve", "dotaccent", "ring", "ogonek", "tilde",
                                       "hungarumlaut"}; // U+02C6 to U+02DD
const char* const kPunctuation[] = {"figuredash", "endash", "emdash", nullptr, nullptr, nullptr, "quoteleft",
                                    "quoteright", "quotesinglbase", "quotereversed", "quotedblleft",
                                    "quotedblright", "quotedblbase", nullptr, "dagger", "daggerdbl", "bullet",
                                    nullptr, "onedotenleader", "twodotenleader", "ellipsis"}; // U+2012 to U+2026

// Greek letters, as TeX's math fonts name them (U+0391 to U+03A9, U+03B1 to U+03C9).
const char* const kGreekCapitals[] = {"Alpha", "Beta", "Gamma", "Deltagreek", "Epsilon", "Zeta", "Eta", "Theta",
                                      "Iota", "Kappa", "Lambda", "Mu", "Nu", "Xi", "Omicron", "Pi", "Rho",
                                      nullptr, "Sigma", "Tau", "Upsilon", "Phi", "Chi", "Psi", "Omegagreek"};
const char* const kGreekSmall[] = {"alpha", "beta", "gamma", "delta", "epsilon", "zeta", "eta", "theta",
                                   "iota", "kappa", "lambda", "mugreek", "nu", "xi", "omicron", "pi", "rho",
                                   "sigma1", "sigma", "tau", "upsilon", "phi", "chi", "psi", "omega"};

struct NamedCharacter
{
    const char* name;
    unsigned character;
};

// Names outside the runs, and other names of characters in them.
const NamedCharacter kSingles[] = {
    {"florin", 0x0192}, {"dotlessj", 0x0237}, {"Scommaaccent", 0x0218}, {"scommaaccent", 0x0219},
    {"Tcedilla", 0x0162}, {"tcedilla", 0x0163}, {"Gcedilla", 0x0122}, {"gcedilla", 0x0123},
    {"Kcedilla", 0x0136}, {"kcedilla", 0x0137}, {"Lcedilla", 0x013B}, {"lcedilla", 0x013C},
    {"Ncedilla", 0x0145}, {"ncedilla", 0x0146}, {"Rcedilla", 0x0156}, {"rcedilla", 0x0157},
    {"Dslash", 0x0110}, {"dslash", 0x0111}, {"Idot", 0x0130}, {"Cdot", 0x010A}, {"cdot", 0x010B},
    {"Edot", 0x0116}, {"edot", 0x0117}, {"Gdot", 0x0120}, {"gdot", 0x0121}, {"Zdot", 0x017B},
    {"zdot", 0x017C}, {"Ldotaccent", 0x013F}, {"ldotaccent", 0x0140}, {"Odblacute", 0x0150},
    {"odblacute", 0x0151}, {"Udblacute", 0x0170}, {"udblacute", 0x0171}, {"nonbreakingspace", 0x00A0},
    {"mu1", 0x00B5}, {"middot", 0x00B7}, {"overscore", 0x00AF}, {"perthousand", 0x2030},
    {"guilsinglleft", 0x2039}, {"guilsinglright", 0x203A}, {"fraction", 0x2044}, {"Euro", 0x20AC},
    {"trademark", 0x2122}, {"minus", 0x2212}, {"quoteleftreversed", 0x201B}, {"lozenge", 0x25CA},
    {"notequal", 0x2260}, {"lessequal", 0x2264}, {"greaterequal", 0x2265}, {"infinity", 0x221E},
    {"partialdiff", 0x2202}, {"summation", 0x2211}, {"product", 0x220F}, {"pi", 0x03C0},
    {"integral", 0x222B}, {"Omega", 0x03A9}, {"radical", 0x221A}, {"approxequal", 0x2248},
    {"Delta", 0x2206}, {"increment", 0x2206}, {"visiblespace", 0x2423}, {"apple", 0xF8FF},
    {"dblverticalbar", 0x2016}, {"underscoredbl", 0x2017}, {"minute", 0x2032}, {"second", 0x2033},
    {"estimated", 0x212E}, {"numero", 0x2116}, {"afii61352", 0x2116}, {"commaaccent", 0x0326},
    {"dotbelowcomb", 0x0323}, {"arrowleft", 0x2190}, {"arrowup", 0x2191}, {"arrowright", 0x2192},
    {"arrowdown", 0x2193}, {"arrowboth", 0x2194}, {"arrowdblright", 0x21D2}, {"arrowdblleft", 0x21D0},
    {"arrowdblboth", 0x21D4}, {"element", 0x2208}, {"universal", 0x2200}, {"existential", 0x2203},
    {"emptyset", 0x2205}, {"nabla", 0x2207}, {"asteriskmath", 0x2217}, {"proportional", 0x221D},
    {"angle", 0x2220}, {"logicaland", 0x2227}, {"logicalor", 0x2228}, {"intersection", 0x2229},
    {"union", 0x222A}, {"similar", 0x223C}, {"congruent", 0x2245}, {"equivalence", 0x2261},
    {"propersubset", 0x2282}, {"propersuperset", 0x2283}, {"reflexsubset", 0x2286},
    {"reflexsuperset", 0x2287}, {"circleplus", 0x2295}, {"circlemultiply", 0x2297},
    {"perpendicular", 0x22A5}, {"dotmath", 0x22C5}, {"prime", 0x2032},
    {"theta1", 0x03D1}, {"phi1", 0x03D5}, {"omega1", 0x03D6}, {"epsilon1", 0x03F5}, {"checkmark", 0x2713}, {"copyrightsans", 0xF8E9}, {"registersans", 0xF8E8},
    {"trademarksans", 0xF8EA}, {"Lslashsmall", 0xF6F9}};

// Ligatures are drawn as their letters: the substitute fonts need not have the ligature glyphs.
const NamedCharacter kLigatures[] = {{"ff", 0xFB00}, {"fi", 0xFB01}, {"fl", 0xFB02}, {"ffi", 0xFB03}, {"ffl", 0xFB04}};

void AddRun(std::unordered_map<std::string, std::wstring>& table, unsigned first, const char* const* names, size_t count)
{
    for (size_t i = 0; i < count; ++i)
        if (names[i]) table.emplace(names[i], std::wstring(1, static_cast<wchar_t>(first + i)));
}

const std::unordered_map<std::string, std::wstring>& Table()
{
    static const std::unordered_map<std::string, std::wstring> table = [] {
        std::unordered_map<std::string, std::wstring> t;
        AddRun(t, 0x20, kAscii, sizeof(kAscii) / sizeof(kAscii[0]));
        AddRun(t, 0x5B, kAsciiBrackets, sizeof(kAsciiBrackets) / sizeof(kAsciiBrackets[0]));
        AddRun(t, 0x7B, kAsciiBraces, sizeof(kAsciiBraces) / sizeof(kAsciiBraces[0]));
        for (char c = 'A'; c <= 'Z'; ++c) t.emplace(std::string(1, c), std::wstring(1, static_cast<wchar_t>(c)));
        for (char c = 'a'; c <= 'z'; ++c) t.emplace(std::string(1, c), std::wstring(1, static_cast<wchar_t>(c)));
        AddRun(t, 0xA0, kLatin1, sizeof(kLatin1) / sizeof(kLatin1[0]));
        AddRun(t, 0x100, kLatinExtendedA, sizeof(kLatinExtendedA) / sizeof(kLatinExtendedA[0]));
        AddRun(t, 0x2C6, kSpacingAccents, sizeof(kSpacingAccents) / sizeof(kSpacingAccents[0]));
        AddRun(t, 0x2012, kPunctuation, sizeof(kPunctuation) / sizeof(kPunctuation[0]));
        AddRun(t, 0x391, kGreekCapitals, sizeof(kGreekCapitals) / sizeof(kGreekCapitals[0]));
        AddRun(t, 0x3B1, kGreekSmall, sizeof(kGreekSmall) / sizeof(kGreekSmall[0]));
        for (const NamedCharacter& single : kSingles) t.emplace(single.name, std::wstring(1, static_cast<wchar_t>(single.character)));
        for (const NamedCharacter& ligature : kLigatures) t.emplace(ligature.name, std::wstring(ligature.name, ligature.name + std::char_traits<char>::length(ligature.name)));
        t.emplace("Germandbls", L"SS"); // the capital sharp s of TeX's fonts
        t.emplace("perthousandzero", L"");
        t.emplace("cwm", L""); // TeX's compound word mark: no ink
        return t;
    }();
    return table;
}

bool IsUpperHex(const std::string& s, size_t from, size_t count)
{
    if (from + count > s.size()) return false;
    for (size_t i = from; i < from + count; ++i)
        if (!((s[i] >= '0' && s[i] <= '9') || (s[i] >= 'A' && s[i] <= 'F'))) return false;
    return true;
}

bool Surrogate(unsigned long code) { return code >= 0xD800 && code <= 0xDFFF; }

// One component of a name (no "." suffix, no "_").
std::wstring ComponentText(const std::string& name)
{
    const auto& table = Table();
    auto known = table.find(name);
    if (known != table.end()) return known->second;
    // "uni" with one or more groups of four hexadecimal digits.
    if (name.size() >= 7 && name.compare(0, 3, "uni") == 0 && (name.size() - 3) % 4 == 0 &&
        IsUpperHex(name, 3, name.size() - 3)) {
        std::wstring out;
        for (size_t at = 3; at < name.size(); at += 4) {
            unsigned long code = std::strtoul(name.substr(at, 4).c_str(), nullptr, 16);
            if (Surrogate(code)) return std::wstring();
            AppendCodePoint(out, code);
        }
        return out;
    }
    // "u" with four to six hexadecimal digits.
    if (name.size() >= 5 && name.size() <= 7 && name[0] == 'u' && IsUpperHex(name, 1, name.size() - 1)) {
        unsigned long code = std::strtoul(name.c_str() + 1, nullptr, 16);
        if (Surrogate(code) || code > 0x10FFFF) return std::wstring();
        std::wstring out;
        AppendCodePoint(out, code);
        return out;
    }
    return std::wstring();
}
} // namespace

std::wstring GlyphNameText(const std::string& name)
{
    std::string base = name.substr(0, name.find('.'));
    std::wstring out;
    size_t start = 0;
    while (start <= base.size()) {
        size_t end = base.find('_', start);
        if (end == std::string::npos) end = base.size();
        out += ComponentText(base.substr(start, end - start));
        start = end + 1;
    }
    return out;
}

} // namespace pdf
