// Escapes read the same way by every layer: hexadecimal digits, "%XX" escapes of addresses and file
// names, and XML's predefined entities and character references.
#pragma once
#include <string>

// The value of a hexadecimal digit (0-9, a-f, A-F); -1 for any other character code.
inline int HexDigitValue(unsigned long c)
{
    if (c >= '0' && c <= '9') return static_cast<int>(c - '0');
    if (c >= 'a' && c <= 'f') return static_cast<int>(c - 'a' + 10);
    if (c >= 'A' && c <= 'F') return static_cast<int>(c - 'A' + 10);
    return -1;
}

// The value of a complete "%XX" escape starting at text[i] (a "%" and two hexadecimal digits), or -1.
template <class Text>
int PercentEscapeAt(const Text& text, size_t i)
{
    if (i + 2 >= text.size() || text[i] != '%') return -1;
    const int high = HexDigitValue(static_cast<unsigned long>(text[i + 1]));
    const int low = HexDigitValue(static_cast<unsigned long>(text[i + 2]));
    return high < 0 || low < 0 ? -1 : high * 16 + low;
}

// How a text's escapes are read: "+" as a blank (form-encoded text), "%00" kept as written.
struct PercentDecoding
{
    bool plusIsBlank = false;
    bool keepNul = false;
};

// Each complete "%XX" escape becomes the one code unit of that value; everything else, an incomplete
// escape included, is copied.
std::string DecodePercentEscapes(const std::string& text, PercentDecoding how = {});
std::wstring DecodePercentEscapes(const std::wstring& text, PercentDecoding how = {});

// How text is written as XML character data: "&", "<", ">" and '"' always as entities, the apostrophe
// as "&apos;" unless apostrophe is false. With asciiOnly, for XML that must pass an 8-bit code page
// unchanged: every character above "~" as a character reference, CR as "&#13;" (kept through parsers
// that fold line ends) and the other control characters but tab and LF dropped (XML has no place for
// them).
struct XmlEscaping
{
    bool apostrophe = true;
    bool asciiOnly = false;
};
void AppendEscapedXml(std::wstring& out, const std::wstring& text, XmlEscaping how = {});

// Decodes the XML reference named [name, nameEnd) (the text between "&" and ";") onto out: the five
// predefined entities and decimal or hexadecimal references to a character XML allows (no sign or blank
// before the digits, no surrogate, not 0). False when it is none of those: with no DTD nothing else is
// defined.
bool AppendXmlReference(const wchar_t* name, const wchar_t* nameEnd, std::wstring& out);

// The longest reference name looked for before its ";".
constexpr int kMaxXmlReferenceName = 12;
