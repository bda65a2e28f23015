// The form's field-list reply as the database keeps it: narrowed to the ANSI code page so that no
// character of a name turns into the list's own syntax, and the message for two fields that would
// then share one column.
#pragma once
#include <string>

#include "framework/CString.h"

// The reply in the ANSI code page without best fit: a character the code page does not hold as
// itself becomes '?', so a full-width "|", "[", "]" or "j" never splits or ends a name.
std::string FieldListToAnsi(const CString& reply);

// When two fields of the narrowed list give the same column (ASCII case ignored, as SQLite compares
// names), the message that names both as the form gave them and the column; empty otherwise.
CString SameColumnMessage(const CString& reply, const std::string& ansiList);
