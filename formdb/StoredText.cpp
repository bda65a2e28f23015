// UTF-8 column texts with an ANSI fallback for files written the old way.
#include "formdb/StoredText.h"

#include <windows.h>

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

namespace {
std::wstring Decode(UINT codePage, DWORD flags, const char* text, size_t length, bool* ok)
{
    const int needed = ::MultiByteToWideChar(codePage, flags, text, static_cast<int>(length), nullptr, 0);
    if (needed <= 0)
    {
        *ok = false;
        return std::wstring();
    }
    std::wstring out(static_cast<size_t>(needed), L'\0');
    const int written = ::MultiByteToWideChar(codePage, flags, text, static_cast<int>(length), &out[0], needed);
    *ok = written > 0;
    out.resize(static_cast<size_t>(written > 0 ? written : 0));
    return out;
}

bool IsAscii(const char* text, size_t length)
{
    for (size_t i = 0; i < length; ++i)
        if (static_cast<unsigned char>(text[i]) >= 0x80)
            return false;
    return true;
}
} // namespace

std::wstring DecodeStoredText(const char* text, size_t length)
{
    if (!text || length == 0)
        return std::wstring();
    if (IsAscii(text, length))
        return std::wstring(text, text + length);
    bool ok = false;
    std::wstring wide = Decode(CP_UTF8, MB_ERR_INVALID_CHARS, text, length, &ok);
    if (ok)
        return wide;
    return Decode(CP_ACP, 0, text, length, &ok);
}

std::string AnsiToStoredText(const std::string& ansi)
{
    if (IsAscii(ansi.data(), ansi.size()))
        return ansi;
    bool ok = false;
    const std::wstring wide = Decode(CP_ACP, 0, ansi.data(), ansi.size(), &ok);
    // Unconvertible text is kept as it is rather than lost: it reads back as ANSI.
    return ok ? EncodeStoredText(wide) : ansi;
}

std::string StoredTextToUtf8(const std::string& text)
{
    return EncodeStoredText(DecodeStoredText(text));
}
