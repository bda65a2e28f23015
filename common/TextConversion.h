// Conversions between UTF-16 and the system's ANSI code page into caller buffers, and the existence
// test of an ANSI path: the forms in which text goes to and comes from SQLite, the bridge and files.
#pragma once
#include <windows.h>

#include <string>

// Converts zero-terminated UTF-16 text to the ANSI code page into buffer (capacity bytes). The result
// is always terminated; text that does not fit is cut (never in the middle of a character). Answers
// the number of bytes written, the terminator included (0 only when capacity is 0).
int WideToAnsi(const wchar_t* text, char* buffer, int capacity);

// UTF-16 text in the ANSI code page without best fit: a character that the code page does not hold
// as itself becomes '?' (a full-width "\uFF5C" stays no "|"), and so does a non-ASCII character whose
// bytes would include one of the ASCII characters in guarded (a trail byte of a two-byte code page).
// A letter followed by a combining accent composes as WideToAnsi composes it ("e" + U+0301 is 0xE9).
std::string WideToAnsiExact(const wchar_t* text, size_t length, const char* guarded);

// The reverse into a UTF-16 buffer of capacity characters, with the same cutting and termination.
// Answers the number of characters written, the terminator included.
int AnsiToWide(const char* text, wchar_t* buffer, int capacity);

// TRUE when the C runtime's file-status query succeeds for the path (a file or a folder).
BOOL FileExists(const char* path);

// Bytes of a code page (MultiByteToWideChar's flags) as UTF-16; *ok false when they do not convert.
std::wstring CodePageToWide(UINT codePage, DWORD flags, const char* text, size_t length, bool* ok);

// Bytes read as UTF-8, or in the ANSI code page when they are no valid UTF-8 (text written the old way,
// or by a program that does not use UTF-8).
std::wstring Utf8OrAnsiToWide(const char* text, size_t length);
