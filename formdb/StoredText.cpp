// UTF-8 column texts with an ANSI fallback for files written the old way.
#include "formdb/StoredText.h"

#include "common/TextConversion.h"

#include <windows.h>

#include <algorithm>

std::string EncodeStoredText(const wchar_t* text, size_t length)
{
    if (length == 0)
        return std::string();
    const int needed = ::WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
    if (needed <= 0)
        return std::string();
    std::string out(static_cast<size_t>(needed), '\0');
    const int written =
        ::WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), &out[0], needed, nullptr, nullptr);
    out.resize(static_cast<size_t>(written > 0 ? written : 0));
    return out;
}

std::string EncodeStoredText(const std::wstring& text)
{
    return EncodeStoredText(text.data(), text.size());
}

std::wstring DecodeStoredText(const char* text, size_t length)
{
    return Utf8OrAnsiToWide(text, length);
}

std::string AnsiToStoredText(const std::string& ansi)
{
    if (std::all_of(ansi.begin(), ansi.end(), [](char c) { return (c & 0x80) == 0; }))
        return ansi;
    bool ok = false;
    const std::wstring wide = CodePageToWide(CP_ACP, 0, ansi.data(), ansi.size(), &ok);
    // Unconvertible text is kept as it is rather than lost: it reads back as ANSI.
    return ok ? EncodeStoredText(wide) : ansi;
}

std::string StoredTextToUtf8(const std::string& text)
{
    return EncodeStoredText(DecodeStoredText(text));
}
