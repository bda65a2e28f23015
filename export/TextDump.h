// The form's text dump written to a file: appended, so that successive dumps to one name build one
// batch file.
#pragma once
#include <string>

// What is written when the form gives no dump.
extern const char kTextDumpWarning[];

// Appends the bytes at the end of the file, creating it when missing; false when it cannot be
// opened or written.
bool AppendTextDump(const std::wstring& path, const std::string& bytes);
