// Predefined entities and character references of the strict record readers.
#include "export/XmlReference.h"

#include <cwchar>

namespace {
bool Is(const wchar_t* name, const wchar_t* nameEnd, const wchar_t* word)
{
    const size_t length = std::wcslen(word);
    return static_cast<size_t>(nameEnd - name) == length && std::wmemcmp(name, word, length) == 0;
}
} // namespace

bool AppendXmlReference(const wchar_t* name, const wchar_t* nameEnd, std::wstring& out)
{
    unsigned long code = 0;
    if (Is(name, nameEnd, L"lt")) code = L'<';
    else if (Is(name, nameEnd, L"gt")) code = L'>';
    else if (Is(name, nameEnd, L"amp")) code = L'&';
    else if (Is(name, nameEnd, L"quot")) code = L'"';
    else if (Is(name, nameEnd, L"apos")) code = L'\'';
    else if (nameEnd - name > 1 && name[0] == L'#')
    {
        const bool hex = name[1] == L'x';
        const wchar_t* digits = name + (hex ? 2 : 1);
        if (digits >= nameEnd)
            return false;
        for (const wchar_t* p = digits; p < nameEnd; ++p)
        {
            const wchar_t c = *p;
            unsigned digit;
            if (c >= L'0' && c <= L'9') digit = c - L'0';
            else if (hex && c >= L'a' && c <= L'f') digit = c - L'a' + 10;
            else if (hex && c >= L'A' && c <= L'F') digit = c - L'A' + 10;
            else return false;
            code = code * (hex ? 16 : 10) + digit;
            if (code > 0x10FFFF)
                return false;
        }
        if (code == 0 || (code >= 0xD800 && code <= 0xDFFF))
            return false;
    }
    else
        return false;
    if (code >= 0x10000)
    {
        code -= 0x10000;
        out += static_cast<wchar_t>(0xD800 + (code >> 10));
        out += static_cast<wchar_t>(0xDC00 + (code & 0x3FF));
    }
    else
        out += static_cast<wchar_t>(code);
    return true;
}
