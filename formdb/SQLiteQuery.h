// QueryFirstValue: one read query on a database file, giving column 0 of the first row as text.
#pragma once
#include "framework/CString.h"

// Opens the existing file read-only, runs sql and answers column 0 of the first row (its bytes taken
// as ANSI text). Any failure (missing file, not a database, bad SQL, no row, no column) answers the
// empty text and shows nothing.
CString QueryFirstValue(const wchar_t* fileName, const char* sql);
CString QueryFirstValue(const char* ansiFileName, const char* sql);
