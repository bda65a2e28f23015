// Building a clearinghouse page from a record's form XML.
#include "export/ClearinghousePage.h"

#include <windows.h>

#include "export/RecordFields.h"

namespace {

// Shortens a value to limit characters: from the first "......" (or else the first five blanks) as
// many characters go as the value is too long; without either, the tail goes.
void Shorten(std::wstring& value, size_t limit)
{
    if (value.size() <= limit)
        return;
    size_t at = value.find(L"......");
    if (at == std::wstring::npos)
        at = value.find(L"     ");
    if (at == std::wstring::npos)
        value.erase(limit);
    else
        value.erase(at, value.size() - limit);
}

// Element names are compared with the layout's 8-bit keys; a name outside ASCII matches none.
bool ToAsciiKey(const wchar_t* name, size_t length, std::string& key)
{
    key.clear();
    for (size_t i = 0; i < length; ++i)
    {
        const wchar_t c = name[i];
        if (c == 0 || c > 0x7F)
            return false;
        key += static_cast<char>(c);
    }
    return !key.empty();
}

std::wstring MakeBlankPage()
{
    std::wstring line(kPageColumns, L' ');
    line += L"\r\n";
    std::wstring page;
    page.reserve(kPageLength);
    for (int row = 0; row < kPageRows; ++row)
        page += line;
    return page;
}

} // namespace

std::wstring BlankClearinghousePage()
{
    static const std::wstring blank = MakeBlankPage();
    return blank;
}

void PlacePageText(std::wstring& page, const std::wstring& value, const ClearinghousePosition& position)
{
    const int c = position.column - 1;
    const int r = position.row - 1;
    if (c < 0 || r < 0 || c >= kPageColumns || r >= kPageRows)
        return;
    const size_t room = static_cast<size_t>(kPageColumns - c);
    const size_t length = value.size() < room ? value.size() : room;
    const size_t start = static_cast<size_t>(r) * kPageLineLength + static_cast<size_t>(c);
    if (start + length > page.size())
        return;
    for (size_t i = 0; i < length; ++i)
    {
        wchar_t ch = value[i];
        if (ch < 0x20 || ch == 0x7F)
            ch = L' ';
        else if (ch >= 0xD800 && ch <= 0xDFFF)
            ch = L'?';
        page[start + i] = ch;
    }
}

void ShapeValue(ValueShape shape, std::wstring& value)
{
    if (value == L"YES")
        value = L"X";
    if (value.empty())
        return;
    switch (shape)
    {
    case ValueShape::Dollars:
        if (value.size() < 7)
            value.insert(0, 7 - value.size(), L' ');
        break;
    case ValueShape::LocalUse: Shorten(value, 50); break;
    case ValueShape::ServiceLine: Shorten(value, 68); break;
    case ValueShape::Plain: break;
    }
}

std::wstring ShapeClearinghouseValue(const std::string& key, std::wstring value)
{
    ShapeValue(ShapeOfKey(key), value);
    return value;
}

std::wstring BuildClearinghousePage(const std::wstring& xml, const ClearinghouseLayout& layout, int* placedValues)
{
    std::wstring page = BlankClearinghousePage();
    int placed = 0;
    std::string key;
    std::wstring shaped;
    const bool loaded = ReadRecordFields(xml, [&](const wchar_t* name, size_t length, const std::wstring& value) {
        if (!ToAsciiKey(name, length, key))
            return;
        const ClearinghousePosition* position = layout.Find(key);
        if (!position)
            return;
        shaped.assign(value);
        ShapeValue(position->shape, shaped);
        PlacePageText(page, shaped, *position);
        ++placed;
    });
    if (!loaded)
    {
        page = BlankClearinghousePage();
        placed = 0;
    }
    if (placedValues)
        *placedValues = placed;
    return page;
}

std::wstring BuildClearinghousePage(const std::wstring& xml)
{
    const ClearinghouseLayout layout;
    return BuildClearinghousePage(xml, layout);
}

std::string PageToAnsi(const std::wstring& page)
{
    std::string bytes;
    if (page.empty())
        return bytes;
    const int size = ::WideCharToMultiByte(CP_ACP, 0, page.data(), static_cast<int>(page.size()), nullptr, 0,
                                           nullptr, nullptr);
    if (size == static_cast<int>(page.size()))
    {
        bytes.resize(size);
        ::WideCharToMultiByte(CP_ACP, 0, page.data(), size, &bytes[0], size, nullptr, nullptr);
        return bytes;
    }
    // A code page with characters of two bytes: such characters become "?" so columns stay put.
    bytes.reserve(page.size());
    for (wchar_t c : page)
    {
        char out[8];
        const int n = ::WideCharToMultiByte(CP_ACP, 0, &c, 1, out, sizeof out, nullptr, nullptr);
        bytes += n == 1 ? out[0] : '?';
    }
    return bytes;
}
