// Keys, column names and the field list of a form's fields.
#include "viewer/FormFieldNames.h"
#include <windows.h>
#include <algorithm>
#include <set>

namespace viewer {

namespace {
const size_t kMaxColumnBytes = 255;
const wchar_t* const kReservedColumns[] = {L"submdate", L"fxml", L"RSRV_TEMPLATE_NAME", L"_ROWID_", L"ROWID",
                                           L"OID", L"collectionsXML", L"memorizedDate", L"dateTrigger"};

std::wstring Lower(std::wstring text)
{
    if (!text.empty()) CharLowerBuffW(&text[0], static_cast<DWORD>(text.size()));
    return text;
}

size_t AnsiLength(const std::wstring& text)
{
    if (text.empty()) return 0;
    int n = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    return n > 0 ? static_cast<size_t>(n) : text.size() * 2;
}

bool IsReserved(const std::wstring& lowered)
{
    for (const wchar_t* name : kReservedColumns)
        if (lowered == Lower(name)) return true;
    return false;
}

// Adds "_2", "_3", ... until the name is not taken (compared by taken's own rule).
std::wstring Unique(const std::wstring& base, std::set<std::wstring>& taken, bool ignoreCase, size_t maxBytes)
{
    auto keyOf = [&](const std::wstring& s) { return ignoreCase ? Lower(s) : s; };
    std::wstring candidate = base;
    for (int n = 2; taken.count(keyOf(candidate)) || (ignoreCase && IsReserved(keyOf(candidate))); ++n) {
        std::wstring suffix = L"_" + std::to_wstring(n);
        std::wstring stem = base;
        while (!stem.empty() && AnsiLength(stem + suffix) > maxBytes) stem.pop_back();
        candidate = stem + suffix;
    }
    taken.insert(keyOf(candidate));
    return candidate;
}
} // namespace

std::vector<std::wstring> MakeFieldKeys(const std::vector<pdf::FormField>& fields)
{
    std::vector<std::wstring> keys;
    std::set<std::wstring> taken;
    for (const pdf::FormField& field : fields) {
        std::wstring key;
        for (wchar_t c : field.name) {
            bool ok = (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9') || c == L'_' ||
                      c == L'-' || c == L'.';
            key += ok ? c : L'_';
        }
        if (key.empty() || !((key[0] >= L'a' && key[0] <= L'z') || (key[0] >= L'A' && key[0] <= L'Z') || key[0] == L'_'))
            key.insert(0, L"_");
        for (size_t at; (at = key.find(L"jjjj")) != std::wstring::npos;) key[at + 3] = L'_';
        if (key.back() == L'j') key += L'_';
        if (key.size() >= 3 && key.compare(0, 3, L"xml") == 0) key.insert(0, L"_");
        keys.push_back(Unique(key, taken, false, SIZE_MAX));
    }
    return keys;
}

std::vector<std::wstring> MakeColumnNames(const std::vector<pdf::FormField>& fields)
{
    std::vector<std::wstring> columns;
    std::set<std::wstring> taken;
    for (size_t i = 0; i < fields.size(); ++i) {
        std::wstring name;
        for (wchar_t c : fields[i].name)
            if (c != L'j' && c != L'|' && c != L'[' && c != L']' && c >= 32 && c != 127) name += c;
        while (AnsiLength(name) > kMaxColumnBytes) name.pop_back();
        if (name.empty()) name = L"field" + std::to_wstring(i);
        columns.push_back(Unique(name, taken, true, kMaxColumnBytes));
    }
    return columns;
}

std::wstring BuildFieldList(const std::vector<std::wstring>& keys, const std::vector<std::wstring>& columns)
{
    std::wstring list;
    for (size_t i = 0; i < keys.size() && i < columns.size(); ++i) {
        if (i) list += L'|';
        list += keys[i] + L"jjjj" + std::to_wstring(i) + L"j" + columns[i];
    }
    return list;
}

std::wstring NumberedElementName(const std::wstring& key)
{
    size_t dashes = key.find(L"----");
    if (dashes == std::wstring::npos || dashes == 0) return std::wstring();
    size_t digits = dashes + 4, end = digits;
    while (end < key.size() && key[end] >= L'0' && key[end] <= L'9') ++end;
    if (end == digits || end >= key.size() || key[end] != L'-') return std::wstring();
    std::wstring field = key.substr(0, dashes);
    if (key.compare(end + 1, std::wstring::npos, field) != 0) return std::wstring();
    return field + L"jjjj" + key.substr(digits, end - digits);
}

} // namespace viewer
