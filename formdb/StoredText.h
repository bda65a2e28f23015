// Texts of the per-form databases' columns: written as UTF-8 (SQLite's own text encoding), read as
// UTF-8, and read as the ANSI code page when they are not valid UTF-8 (files written before).
#pragma once
#include <string>

// UTF-16 -> UTF-8. A lone surrogate becomes U+FFFD.
std::string EncodeStoredText(const std::wstring& text);
std::string EncodeStoredText(const wchar_t* text, size_t length);

// A column's bytes -> UTF-16: UTF-8 when the bytes are valid UTF-8, else the ANSI code page.
std::wstring DecodeStoredText(const char* text, size_t length);
inline std::wstring DecodeStoredText(const std::string& text)
{
    return DecodeStoredText(text.data(), text.size());
}

// ANSI bytes (the form's older replies and texts) -> UTF-8.
std::string AnsiToStoredText(const std::string& ansi);

// A column's bytes (UTF-8, or ANSI from files written before) -> UTF-8.
std::string StoredTextToUtf8(const std::string& text);
