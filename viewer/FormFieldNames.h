// The names a form gives its fields over the bridge: each field's key (safe as an XML element name
// and inside the "|"-separated replies), its database column name, and the field-list reply.
#pragma once
#include "viewer/PdfForm.h"
#include <string>
#include <vector>

namespace viewer {

// Keys of the fields in form order: the full field name with every character other than a letter,
// digit, "_", "-" or "." replaced by "_", a leading "_" when it would not start an XML name, no run
// of four "j" and no final "j" (either would be read as the field-list separator); unique.
std::vector<std::wstring> MakeFieldKeys(const std::vector<pdf::FormField>& fields);

// Column names in form order: the field name without "j", "|", "[", "]" and control characters, at
// most 255 bytes in the ANSI code page, none of the program's own column names, unique ignoring case.
std::vector<std::wstring> MakeColumnNames(const std::vector<pdf::FormField>& fields);

// The "FieldList" reply: key "jjjj" index "j" column for every field, joined by "|".
std::wstring BuildFieldList(const std::vector<std::wstring>& keys, const std::vector<std::wstring>& columns);

// "Fjjjj" + N for a key of the form "F----N-F" (the claim form's keys); empty for other keys.
std::wstring NumberedElementName(const std::wstring& key);

} // namespace viewer
