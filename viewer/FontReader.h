// Reads a font dictionary of a page: the system font drawn instead of it and what its codes mean
// (encoding and differences, the built-in encoding of an embedded Type 1 program, ToUnicode map,
// widths; for two-byte fonts their CMap, CID widths and CID system).
#pragma once
#include "viewer/PageFonts.h"
#include "viewer/PdfObject.h"

namespace pdf {

class Document;

// Throws PdfError where the font's objects are damaged.
PageFont ReadPageFont(Document& doc, const ObjectPtr& font);

// The built-in encoding of a Type 1 font program ("dup 28 /fi put" in its clear-text part) as
// glyph names by code; false when the program names none (or uses StandardEncoding).
bool Type1BuiltInEncoding(const std::string& program, std::string (&names)[256]);

} // namespace pdf
