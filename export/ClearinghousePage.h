// One clearinghouse page: 61 lines of 90 characters, each ended by CR LF, with a record's claim-form
// values at their layout positions.
#pragma once
#include <string>

#include "export/ClearinghouseLayout.h"

constexpr int kPageColumns = 90;
constexpr int kPageRows = 61;
constexpr int kPageLineLength = kPageColumns + 2;
constexpr int kPageLength = kPageRows * kPageLineLength; // 5612

// 61 lines of 90 blanks.
std::wstring BlankClearinghousePage();

// Writes value into page at the 1-based position: cut at column 90, nothing beyond row 61. Control
// characters (line breaks included) become blanks and half surrogates "?", so every line keeps its 90
// characters.
void PlacePageText(std::wstring& page, const std::wstring& value, const ClearinghousePosition& position);

// A field's value as the page shows it: "YES" becomes "X", dollar amounts stand right-aligned in 7
// columns, long local-use and service-line texts are shortened. key is the field's element name.
std::wstring ShapeClearinghouseValue(const std::string& key, std::wstring value);
// The same with the shaping already known; value is changed in place.
void ShapeValue(ValueShape shape, std::wstring& value);

// The page of one record's form XML: every child element of topmostSubform under the document
// element whose name is a layout key puts its value there. XML that is not well-formed (or declares
// a document type) gives the blank page. placedValues (when given) receives how many values were placed.
std::wstring BuildClearinghousePage(const std::wstring& xml, const ClearinghouseLayout& layout,
                                    int* placedValues = nullptr);
std::wstring BuildClearinghousePage(const std::wstring& xml);

// The page (or any page text) in the ANSI code page, one byte per character.
std::string PageToAnsi(const std::wstring& page);
