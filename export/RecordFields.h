// Reads the field values out of a record's form XML: the child elements of the first topmostSubform
// element under the document element, each with its name and its text as the system's XML DOM gives it
// with white space not preserved: line ends as LF, and the blanks, tabs and line ends at either end of
// the text left out unless xml:space="preserve" is in scope for the field (those of a CDATA section
// stay, and the trimming stops at the section). A strict, single-pass
// reader: the export reads thousands of records, and a DOM costs milliseconds a record here. It knows
// no DTD and resolves no entity beyond the predefined ones and character references.
#pragma once
#include <functional>
#include <string>

// Called for each field in document order; name points into the XML text.
using RecordFieldSink = std::function<void(const wchar_t* name, size_t nameLength, const std::wstring& text)>;

// False when the text is not well-formed XML or declares a document type; fields reported before the
// failure was found are not taken back, so callers that need all-or-nothing collect first.
bool ReadRecordFields(const std::wstring& xml, const RecordFieldSink& onField);
