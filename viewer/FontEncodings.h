// The base encodings of simple fonts (StandardEncoding, WinAnsiEncoding, MacRomanEncoding,
// PDFDocEncoding) and the T1 and OT1 text encodings of TeX's fonts, as the text of each code.
#pragma once
#include <array>
#include <string>

namespace pdf {

using CodeTexts = std::array<std::wstring, 256>;

enum class BaseEncoding { Standard, WinAnsi, MacRoman, PdfDoc, TexT1, TexOT1 };

// The text of every one-byte code in that encoding; empty where it has no character.
const CodeTexts& EncodingTexts(BaseEncoding encoding);

// PDFDocEncoding's character for a byte, as text strings (field names, values) and fonts both read it:
// Latin-1 but for eight accents at 0x18-0x1F and the signs at 0x80-0xA0; 0xFFFD at 0x9F, which it leaves
// undefined.
wchar_t PdfDocEncodingChar(unsigned char byte);

// The encoding of an /Encoding or /BaseEncoding name ("WinAnsiEncoding"); false for other names.
bool EncodingByName(const std::string& name, BaseEncoding& encoding);

} // namespace pdf
