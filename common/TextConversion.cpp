// ANSI/UTF-16 conversion into fixed buffers and the file existence test.
#include "common/TextConversion.h"
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

namespace {

// Marks that follow the letter they accent (the combining diacritical blocks).
bool IsCombiningMark(wchar_t c)
{
    return (c >= 0x0300 && c <= 0x036F) || (c >= 0x1AB0 && c <= 0x1AFF) || (c >= 0x1DC0 && c <= 0x1DFF) ||
           (c >= 0x20D0 && c <= 0x20FF) || (c >= 0xFE20 && c <= 0xFE2F);
}

// The bytes of units (one character) in the code page, or "?" when the code page lacks it, or when its
// bytes would include one of the guarded characters.
std::string ExactBytes(const wchar_t* units, int count, DWORD flags, const char* guarded)
{
    char bytes[8];
    BOOL usedDefault = FALSE;
    const int written = ::WideCharToMultiByte(CP_ACP, flags | WC_NO_BEST_FIT_CHARS, units, count, bytes,
                                              sizeof bytes, nullptr, &usedDefault);
    const std::string text(bytes, static_cast<size_t>(written > 0 ? written : 0));
    if (written <= 0 || usedDefault || (guarded && text.find_first_of(guarded) != std::string::npos))
        return "?";
    return text;
}

// True when a letter and the mark after it make one character of the code page's composition, as
// WideToAnsi composes them (the code page may still lack it).
bool ComposesWithMark(const wchar_t* pair)
{
    char bytes[8];
    const int written = ::WideCharToMultiByte(CP_ACP, WC_COMPOSITECHECK | WC_DEFAULTCHAR | WC_NO_BEST_FIT_CHARS, pair,
                                              2, bytes, sizeof bytes, nullptr, nullptr);
    return written == 1 || (written == 2 && ::IsDBCSLeadByte(static_cast<BYTE>(bytes[0])));
}

} // namespace

std::string WideToAnsiExact(const wchar_t* text, size_t length, const char* guarded)
{
    std::string out;
    out.reserve(length);
    for (size_t i = 0; i < length; ++i)
    {
        // A letter and its accent ("e" + U+0301) become the one composed character (0xE9).
        if (i + 1 < length && IsCombiningMark(text[i + 1]) && ComposesWithMark(text + i))
        {
            out += ExactBytes(text + i, 2, WC_COMPOSITECHECK | WC_DEFAULTCHAR, guarded);
            ++i;
            continue;
        }
        if (text[i] < 0x80)
        {
            out += static_cast<char>(text[i]);
            continue;
        }
        // One character at a time, a surrogate pair whole, so that each one is kept or replaced alone.
        const int units = IS_HIGH_SURROGATE(text[i]) && i + 1 < length && IS_LOW_SURROGATE(text[i + 1]) ? 2 : 1;
        out += ExactBytes(text + i, units, 0, guarded);
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
