// ANSI/UTF-16 conversion into fixed buffers and the file existence test.
#include "common/TextConversion.h"
#include <cstring>
#include <string>
#include <sys/stat.h>

int WideToAnsi(const wchar_t* text, char* buffer, int capacity)
{
    if (!buffer || capacity <= 0)
        return 0;
    buffer[0] = 0;
    if (!text || !*text)
        return 1;
    int needed = ::WideCharToMultiByte(CP_ACP, WC_COMPOSITECHECK, text, -1, nullptr, 0, nullptr, nullptr);
    if (needed <= 0)
        return 1;
    if (needed <= capacity)
        return ::WideCharToMultiByte(CP_ACP, WC_COMPOSITECHECK, text, -1, buffer, capacity, nullptr, nullptr);
    // Too long: convert whole characters while they fit, keeping room for the terminator.
    std::string full(needed, '\0');
    ::WideCharToMultiByte(CP_ACP, WC_COMPOSITECHECK, text, -1, &full[0], needed, nullptr, nullptr);
    int length = 0;
    while (full[length])
    {
        int step = ::IsDBCSLeadByte((BYTE)full[length]) && full[length + 1] ? 2 : 1;
        if (length + step > capacity - 1)
            break;
        length += step;
    }
    full.copy(buffer, length);
    buffer[length] = 0;
    return length + 1;
}

std::string WideToAnsiExact(const wchar_t* text, size_t length, const char* guarded)
{
    std::string out;
    out.reserve(length);
    for (size_t i = 0; i < length; ++i)
    {
        if (text[i] < 0x80)
        {
            out += static_cast<char>(text[i]);
            continue;
        }
        // One character at a time, a surrogate pair whole, so that each one is kept or replaced alone.
        const int units = IS_HIGH_SURROGATE(text[i]) && i + 1 < length && IS_LOW_SURROGATE(text[i + 1]) ? 2 : 1;
        char bytes[8];
        BOOL usedDefault = FALSE;
        const int written = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text + i, units, bytes, sizeof bytes,
                                                  nullptr, &usedDefault);
        bool exact = written > 0 && !usedDefault;
        for (int b = 0; exact && b < written; ++b)
            if (guarded && bytes[b] != 0 && std::strchr(guarded, bytes[b]))
                exact = false;
        if (exact)
            out.append(bytes, static_cast<size_t>(written));
        else
            out += '?';
        i += static_cast<size_t>(units - 1);
    }
    return out;
}

int AnsiToWide(const char* text, wchar_t* buffer, int capacity)
{
    if (!buffer || capacity <= 0)
        return 0;
    buffer[0] = 0;
    if (!text || !*text)
        return 1;
    int needed = ::MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, text, -1, nullptr, 0);
    if (needed <= 0)
        return 1;
    if (needed <= capacity)
        return ::MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, text, -1, buffer, capacity);
    std::wstring full(needed, L'\0');
    ::MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, text, -1, &full[0], needed);
    int length = capacity - 1;
    if (length > 0 && IS_HIGH_SURROGATE(full[length - 1]))
        --length;   // never leave half of a surrogate pair
    full.copy(buffer, length);
    buffer[length] = 0;
    return length + 1;
}

BOOL FileExists(const char* path)
{
    struct _stat status;
    return path && _stat(path, &status) == 0;
}

namespace {
bool IsAscii(const char* text, size_t length)
{
    for (size_t i = 0; i < length; ++i)
        if (static_cast<unsigned char>(text[i]) >= 0x80)
            return false;
    return true;
}
} // namespace

std::wstring CodePageToWide(UINT codePage, DWORD flags, const char* text, size_t length, bool* ok)
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

std::wstring Utf8OrAnsiToWide(const char* text, size_t length)
{
    if (!text || length == 0)
        return std::wstring();
    if (IsAscii(text, length))
        return std::wstring(text, text + length);
    bool ok = false;
    std::wstring wide = CodePageToWide(CP_UTF8, MB_ERR_INVALID_CHARS, text, length, &ok);
    if (ok)
        return wide;
    return CodePageToWide(CP_ACP, 0, text, length, &ok);
}
