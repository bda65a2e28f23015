// Percent escapes and XML references.
#include "framework/TextEscapes.h"

#include <cwchar>

namespace {
template <class Text>
Text Decode(const Text& text, PercentDecoding how)
{
    Text out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const int value = PercentEscapeAt(text, i);
        if (value > 0 || (value == 0 && !how.keepNul)) {
            out += static_cast<typename Text::value_type>(value);
            i += 2;
        } else if (how.plusIsBlank && text[i] == '+') {
            out += ' ';
        } else {
            out += text[i];
        }
    }
    return out;
}

bool Is(const wchar_t* name, const wchar_t* nameEnd, const wchar_t* word)
{
    const size_t length = std::wcslen(word);
    return static_cast<size_t>(nameEnd - name) == length && std::wmemcmp(name, word, length) == 0;
}
} // namespace

std::string DecodePercentEscapes(const std::string& text, PercentDecoding how)
{
    return Decode(text, how);
}

std::wstring DecodePercentEscapes(const std::wstring& text, PercentDecoding how)
{
    return Decode(text, how);
}

void AppendEscapedXml(std::wstring& out, const std::wstring& text, XmlEscaping how)
{
    const auto special = [&](wchar_t c) {
        return c == L'&' || c == L'<' || c == L'>' || c == L'"' || (c == L'\'' && how.apostrophe) ||
               (how.asciiOnly && (c > 126 || c < 32));
    };
    // Runs without a special character are copied at once.
    const wchar_t* p = text.c_str();
    const wchar_t* const end = p + text.size();
    while (p < end) {
        const wchar_t* run = p;
        while (p < end && !special(*p)) ++p;
        out.append(run, p);
        if (p == end) break;
        const wchar_t c = *p++;
        switch (c) {
        case L'&': out += L"&amp;"; continue;
        case L'<': out += L"&lt;"; continue;
        case L'>': out += L"&gt;"; continue;
        case L'"': out += L"&quot;"; continue;
        case L'\'': out += L"&apos;"; continue;
        case L'\t':
        case L'\n': out += c; continue;
        case L'\r': out += L"&#13;"; continue;
        default: break;
        }
        if (c >= 0xD800 && c <= 0xDBFF && p < end && *p >= 0xDC00 && *p <= 0xDFFF) {
            const unsigned long code = 0x10000 + ((static_cast<unsigned long>(c) - 0xD800) << 10) + (*p++ - 0xDC00);
            out += L"&#" + std::to_wstring(code) + L";";
        } else if (c >= 32) {
            out += L"&#" + std::to_wstring(static_cast<unsigned>(c)) + L";";
        }
    }
}

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
            const int digit = HexDigitValue(*p);
            if (digit < 0 || (!hex && digit > 9))
                return false;
            code = code * (hex ? 16 : 10) + static_cast<unsigned>(digit);
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
