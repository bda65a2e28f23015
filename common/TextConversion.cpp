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
