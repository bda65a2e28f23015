// CString and CStringA: text storage, ANSI conversion, searching, editing and printf-style formatting.
// Formatting calls the Windows C runtime's own _vscwprintf/_vsnwprintf (not the C99 replacements), so
// %s in a wide format takes a wide string as on Windows.
#include "framework/CString.h"
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <cwctype>

namespace {

std::wstring AnsiToWideText(const char* text, int length)
{
    if (!text || length <= 0)
        return std::wstring();
    int units = MultiByteToWideChar(CP_ACP, 0, text, length, nullptr, 0);
    if (units <= 0)
        return std::wstring();
    std::wstring wide(static_cast<size_t>(units), L'\0');
    if (MultiByteToWideChar(CP_ACP, 0, text, length, &wide[0], units) != units)
        return std::wstring();
    return wide;
}

std::string WideToAnsiText(const wchar_t* text, int length)
{
    if (!text || length <= 0)
        return std::string();
    int bytes = WideCharToMultiByte(CP_ACP, 0, text, length, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0)
        return std::string();
    std::string ansi(static_cast<size_t>(bytes), '\0');
    if (WideCharToMultiByte(CP_ACP, 0, text, length, &ansi[0], bytes, nullptr, nullptr) != bytes)
        return std::string();
    return ansi;
}

bool IsInSet(wchar_t ch, const wchar_t* chars)
{
    return chars && ch != 0 && std::wcschr(chars, ch) != nullptr;
}

const wchar_t* OrEmpty(const wchar_t* text) { return text ? text : L""; }

} // namespace

// ---- construction ---------------------------------------------------------------------------------

CString::CString(const wchar_t* text) : m_text(OrEmpty(text)) {}

CString::CString(const wchar_t* text, int length)
{
    if (text && length > 0)
        m_text.assign(text, static_cast<size_t>(length));
}

CString::CString(const char* ansi) : m_text(ansi ? AnsiToWideText(ansi, static_cast<int>(std::strlen(ansi))) : std::wstring()) {}

CString::CString(const char* ansi, int length) : m_text(AnsiToWideText(ansi, length)) {}

CString::CString(const unsigned char* ansi) : CString(reinterpret_cast<const char*>(ansi)) {}

CString::CString(wchar_t ch, int repeat)
{
    if (repeat > 0)
        m_text.assign(static_cast<size_t>(repeat), ch);
}

CString& CString::operator=(const wchar_t* text)
{
    m_text = OrEmpty(text);   // safe when text points into this string: assign copies first
    return *this;
}

CString& CString::operator=(const char* ansi) { return *this = CString(ansi); }
CString& CString::operator=(const unsigned char* ansi) { return *this = CString(ansi); }

CString& CString::operator=(wchar_t ch)
{
    m_text.assign(1, ch);
    return *this;
}

// ---- raw access -----------------------------------------------------------------------------------

wchar_t CString::GetAt(int index) const
{
    return index >= 0 && index < GetLength() ? m_text[static_cast<size_t>(index)] : L'\0';
}

void CString::SetAt(int index, wchar_t ch)
{
    if (index >= 0 && index < GetLength())
        m_text[static_cast<size_t>(index)] = ch;
}

wchar_t* CString::GetBuffer(int minLength)
{
    int size = std::max(minLength, GetLength());
    m_text.resize(static_cast<size_t>(size));   // the string keeps a NUL after size units
    m_bufferSize = size;
    return &m_text[0];
}

wchar_t* CString::GetBufferSetLength(int length)
{
    length = std::max(length, 0);
    m_text.resize(static_cast<size_t>(length));
    m_bufferSize = length;
    return &m_text[0];
}

void CString::ReleaseBuffer(int newLength)
{
    int size = m_bufferSize >= 0 ? m_bufferSize : GetLength();
    if (newLength < 0)
        newLength = static_cast<int>(wcsnlen(m_text.c_str(), static_cast<size_t>(size)));
    m_text.resize(static_cast<size_t>(std::min(newLength, size)));
    m_bufferSize = -1;
}

// ---- appending and comparing ----------------------------------------------------------------------

CString& CString::operator+=(const wchar_t* text)
{
    m_text.append(OrEmpty(text));
    return *this;
}

void CString::Append(const wchar_t* text, int length)
{
    if (text && length > 0)
        m_text.append(text, static_cast<size_t>(length));
}

int CString::Compare(const wchar_t* text) const { return std::wcscmp(m_text.c_str(), OrEmpty(text)); }

int CString::CompareNoCase(const wchar_t* text) const { return _wcsicmp(m_text.c_str(), OrEmpty(text)); }

CString operator+(const CString& a, const CString& b) { CString r(a); r += b; return r; }
CString operator+(const CString& a, const wchar_t* b) { CString r(a); r += b; return r; }
CString operator+(const wchar_t* a, const CString& b) { CString r(a); r += b; return r; }
CString operator+(const CString& a, wchar_t b) { CString r(a); r += b; return r; }
CString operator+(wchar_t a, const CString& b) { CString r(a); r += b; return r; }

// ---- searching ------------------------------------------------------------------------------------

int CString::Find(wchar_t ch, int start) const
{
    if (start < 0 || start >= GetLength())
        return -1;
    size_t at = m_text.find(ch, static_cast<size_t>(start));
    return at == std::wstring::npos ? -1 : static_cast<int>(at);
}

int CString::Find(const wchar_t* sub, int start) const
{
    if (!sub || start < 0 || start > GetLength())
        return -1;
    size_t at = m_text.find(sub, static_cast<size_t>(start));
    return at == std::wstring::npos ? -1 : static_cast<int>(at);
}

int CString::FindOneOf(const wchar_t* chars) const
{
    for (int i = 0; i < GetLength(); ++i)
        if (IsInSet(m_text[static_cast<size_t>(i)], chars))
            return i;
    return -1;
}

int CString::ReverseFind(wchar_t ch) const
{
    size_t at = m_text.rfind(ch);
    return at == std::wstring::npos ? -1 : static_cast<int>(at);
}

// ---- extraction -----------------------------------------------------------------------------------

CString CString::Mid(int first) const { return Mid(first, GetLength()); }

CString CString::Mid(int first, int count) const
{
    first = std::max(first, 0);
    if (first >= GetLength() || count <= 0)
        return CString();
    count = std::min(count, GetLength() - first);
    return CString(m_text.c_str() + first, count);
}

CString CString::Left(int count) const { return Mid(0, count); }

CString CString::Right(int count) const
{
    count = std::min(std::max(count, 0), GetLength());
    return Mid(GetLength() - count, count);
}

CString CString::SpanIncluding(const wchar_t* chars) const
{
    int n = 0;
    while (n < GetLength() && IsInSet(m_text[static_cast<size_t>(n)], chars))
        ++n;
    return Left(n);
}

CString CString::SpanExcluding(const wchar_t* chars) const
{
    int n = 0;
    while (n < GetLength() && !IsInSet(m_text[static_cast<size_t>(n)], chars))
        ++n;
    return Left(n);
}

CString CString::Tokenize(const wchar_t* delimiters, int& start) const
{
    if (start < 0 || start >= GetLength()) {
        start = -1;
        return CString();
    }
    int from = start;
    while (from < GetLength() && IsInSet(m_text[static_cast<size_t>(from)], delimiters))
        ++from;
    if (from >= GetLength()) {
        start = -1;
        return CString();
    }
    int to = from;
    while (to < GetLength() && !IsInSet(m_text[static_cast<size_t>(to)], delimiters))
        ++to;
    start = to + 1;
    return Mid(from, to - from);
}

// ---- changing in place ----------------------------------------------------------------------------

CString& CString::MakeUpper()
{
    if (!m_text.empty())
        CharUpperBuffW(&m_text[0], static_cast<DWORD>(m_text.size()));
    return *this;
}

CString& CString::MakeLower()
{
    if (!m_text.empty())
        CharLowerBuffW(&m_text[0], static_cast<DWORD>(m_text.size()));
    return *this;
}

CString& CString::MakeReverse()
{
    std::reverse(m_text.begin(), m_text.end());
    return *this;
}

int CString::Replace(wchar_t oldCh, wchar_t newCh)
{
    int count = 0;
    for (wchar_t& ch : m_text)
        if (ch == oldCh) {
            ch = newCh;
            ++count;
        }
    return count;
}

int CString::Replace(const wchar_t* oldText, const wchar_t* newText)
{
    if (!oldText || !*oldText)
        return 0;
    const std::wstring from(oldText), to(OrEmpty(newText));
    std::wstring result;
    int count = 0;
    size_t pos = 0, at;
    while ((at = m_text.find(from, pos)) != std::wstring::npos) {
        result.append(m_text, pos, at - pos).append(to);
        pos = at + from.size();
        ++count;
    }
    if (count) {
        result.append(m_text, pos, std::wstring::npos);
        m_text.swap(result);
    }
    return count;
}

int CString::Remove(wchar_t ch)
{
    size_t before = m_text.size();
    m_text.erase(std::remove(m_text.begin(), m_text.end(), ch), m_text.end());
    return static_cast<int>(before - m_text.size());
}

int CString::Insert(int index, wchar_t ch)
{
    index = std::min(std::max(index, 0), GetLength());
    m_text.insert(static_cast<size_t>(index), 1, ch);
    return GetLength();
}

int CString::Insert(int index, const wchar_t* text)
{
    index = std::min(std::max(index, 0), GetLength());
    m_text.insert(static_cast<size_t>(index), std::wstring(OrEmpty(text)));
    return GetLength();
}

int CString::Delete(int index, int count)
{
    index = std::max(index, 0);
    if (count > 0 && index < GetLength())
        m_text.erase(static_cast<size_t>(index), static_cast<size_t>(std::min(count, GetLength() - index)));
    return GetLength();
}

CString& CString::TrimLeft()
{
    size_t n = 0;
    while (n < m_text.size() && std::iswspace(m_text[n]))
        ++n;
    m_text.erase(0, n);
    return *this;
}

CString& CString::TrimRight()
{
    size_t n = m_text.size();
    while (n > 0 && std::iswspace(m_text[n - 1]))
        --n;
    m_text.resize(n);
    return *this;
}

CString& CString::TrimLeft(const wchar_t* chars)
{
    size_t n = 0;
    while (n < m_text.size() && IsInSet(m_text[n], chars))
        ++n;
    m_text.erase(0, n);
    return *this;
}

CString& CString::TrimRight(const wchar_t* chars)
{
    size_t n = m_text.size();
    while (n > 0 && IsInSet(m_text[n - 1], chars))
        --n;
    m_text.resize(n);
    return *this;
}

CString& CString::TrimLeft(wchar_t ch) { const wchar_t set[2] = {ch, 0}; return TrimLeft(set); }
CString& CString::TrimRight(wchar_t ch) { const wchar_t set[2] = {ch, 0}; return TrimRight(set); }
CString& CString::Trim() { return TrimRight().TrimLeft(); }
CString& CString::Trim(wchar_t ch) { return TrimRight(ch).TrimLeft(ch); }
CString& CString::Trim(const wchar_t* chars) { return TrimRight(chars).TrimLeft(chars); }

// ---- formatting -----------------------------------------------------------------------------------

void CString::FormatV(const wchar_t* format, va_list args)
{
    m_text.clear();
    if (!format)
        return;
    va_list counting;
    va_copy(counting, args);
    int length = _vscwprintf(format, counting);
    va_end(counting);
    if (length <= 0)
        return;
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    int written = _vsnwprintf(&text[0], text.size(), format, args);
    if (written < 0)
        return;
    text.resize(static_cast<size_t>(std::min(written, length)));
    m_text.swap(text);
}

void CString::FormatPassed(const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    FormatV(format, args);
    va_end(args);
}

// ---- resources and BSTR ---------------------------------------------------------------------------

BOOL CString::LoadString(UINT id) { return LoadString(GetModuleHandleW(nullptr), id); }

BOOL CString::LoadString(HINSTANCE module, UINT id)
{
    // With a zero buffer size LoadStringW hands back a pointer into the resource and its length
    // (the resource text is not NUL-terminated).
    const wchar_t* resource = nullptr;
    int length = ::LoadStringW(module, id, reinterpret_cast<LPWSTR>(&resource), 0);
    if (length <= 0 || !resource)
        return FALSE;
    m_text.assign(resource, static_cast<size_t>(length));
    return TRUE;
}

BSTR CString::AllocSysString() const
{
    return SysAllocStringLen(m_text.data(), static_cast<UINT>(m_text.size()));
}

// ---- CStringA -------------------------------------------------------------------------------------

CStringA::CStringA(const char* text) : m_text(text ? text : "") {}

CStringA::CStringA(const char* text, int length)
{
    if (text && length > 0)
        m_text.assign(text, static_cast<size_t>(length));
}

CStringA::CStringA(const wchar_t* text) : m_text(text ? WideToAnsiText(text, static_cast<int>(std::wcslen(text))) : std::string()) {}

CStringA::CStringA(const wchar_t* text, int length) : m_text(WideToAnsiText(text, length)) {}

char CStringA::GetAt(int index) const
{
    return index >= 0 && index < GetLength() ? m_text[static_cast<size_t>(index)] : '\0';
}

CStringA& CStringA::operator+=(const char* text)
{
    m_text.append(text ? text : "");
    return *this;
}

int CStringA::Compare(const char* text) const { return std::strcmp(m_text.c_str(), text ? text : ""); }

int CStringA::Find(const char* sub, int start) const
{
    if (!sub || start < 0 || start > GetLength())
        return -1;
    size_t at = m_text.find(sub, static_cast<size_t>(start));
    return at == std::string::npos ? -1 : static_cast<int>(at);
}

void CStringA::FormatV(const char* format, va_list args)
{
    m_text.clear();
    if (!format)
        return;
    va_list counting;
    va_copy(counting, args);
    int length = _vscprintf(format, counting);
    va_end(counting);
    if (length <= 0)
        return;
    std::string text(static_cast<size_t>(length) + 1, '\0');
    int written = _vsnprintf(&text[0], text.size(), format, args);
    if (written < 0)
        return;
    text.resize(static_cast<size_t>(std::min(written, length)));
    m_text.swap(text);
}

void CStringA::FormatPassed(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    FormatV(format, args);
    va_end(args);
}
