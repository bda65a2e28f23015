// The text of an "app:" address: its command word, its record id and the escapes of the texts the
// companion forms send.
#pragma once
#include "framework/CString.h"

enum class AppCommandWord
{
    None,
    DeleteRecord,
    ViewStatement,
    ToStatements,
    SaveChanges,
    ToSetHeader,
    ToSetAddr,
};

// The first word the text begins with, compared with case ("deleteRecord", "viewStatement",
// "toStatements", "saveChanges", "toSetHeader", "toSetAddr", in that order); None when no word fits.
AppCommandWord FindAppCommandWord(const CString& command);

// The id after the first "?" (which must not be the first character): true only when all of the
// rest is decimal digits that fit a 32-bit signed number. A text without "?" (a command word alone)
// has the id 0. Anything else gives no id.
bool ParseAppCommandId(const CString& command, int& id);

// "+" becomes a blank and "%" with two hex digits the character of that code. A "%" without two hex
// digits, and "%00", stay as they are, so the result never holds a zero that would cut it.
CString UrlDecode(const CString& text);

// The changes text of "saveChanges": decoded, and every "[SYS__CR__]" a line feed.
CString DecodeSavedChanges(const CString& text);
