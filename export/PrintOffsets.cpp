// Print offsets as text.
#include "export/PrintOffsets.h"

bool ParseOffsetText(const std::wstring& text, int& value)
{
    size_t i = 0;
    while (i < text.size() && text[i] == L' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'-' || text[i] == L'+'))
        negative = text[i++] == L'-';
    const size_t digitsStart = i;
    int number = 0;
    while (i < text.size() && text[i] >= L'0' && text[i] <= L'9')
    {
        if (i - digitsStart >= 6)
            return false;
        number = number * 10 + (text[i] - L'0');
        ++i;
    }
    if (i == digitsStart)
        return false;
    while (i < text.size() && text[i] == L' ')
        ++i;
    if (i != text.size())
        return false;
    value = negative ? -number : number;
    return true;
}

PrintOffsets ParsePrintOffsets(const std::wstring& stored)
{
    PrintOffsets offsets;
    const size_t comma = stored.find(L',');
    if (comma == std::wstring::npos)
        return offsets;
    PrintOffsets read;
    if (!ParseOffsetText(stored.substr(0, comma), read.horizontal) ||
        !ParseOffsetText(stored.substr(comma + 1), read.vertical))
        return offsets;
    return read;
}

std::wstring FormatPrintOffsets(const PrintOffsets& offsets)
{
    return std::to_wstring(offsets.horizontal) + L"," + std::to_wstring(offsets.vertical);
}
