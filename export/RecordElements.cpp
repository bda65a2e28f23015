// A single-pass reader of elements and their texts. It knows no DTD and resolves only the predefined
// entities and character references.
#include "export/RecordElements.h"

#include "framework/TextEscapes.h"

#include <algorithm>
#include <cwchar>

namespace {
bool IsSpace(wchar_t c)
{
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n';
}

bool IsNameEnd(wchar_t c)
{
    return IsSpace(c) || c == L'/' || c == L'>' || c == L'=' || c == L'<' || c == L'"' || c == L'\'' || c == L'&';
}

// Decodes character data [p, end) into out; false on a bad reference or a stray "<".
bool DecodeText(const wchar_t* p, const wchar_t* end, std::wstring& out)
{
    while (p < end) {
        if (*p != L'&') {
            out += *p++;
            continue;
        }
        const wchar_t* semi = std::wmemchr(p, L';', end - p);
        if (!semi || semi - p > kMaxXmlReferenceName || !AppendXmlReference(p + 1, semi, out)) return false;
        p = semi + 1;
    }
    return true;
}

bool AllSpace(const wchar_t* p, const wchar_t* end)
{
    for (; p < end; ++p)
        if (!IsSpace(*p)) return false;
    return true;
}
} // namespace

bool RecordElements::Load(const std::wstring& xml)
{
    m_elements.clear();
    m_depth.clear();
    m_byName.clear();
    m_loaded = Parse(xml);
    if (!m_loaded) {
        m_elements.clear();
        m_depth.clear();
        return false;
    }
    m_byName.resize(m_elements.size());
    for (size_t i = 0; i < m_elements.size(); ++i) m_byName[i] = i;
    std::stable_sort(m_byName.begin(), m_byName.end(),
                     [this](size_t a, size_t b) { return m_elements[a].name < m_elements[b].name; });
    return true;
}

bool RecordElements::Parse(const std::wstring& xml)
{
    std::vector<size_t> open; // indexes of the elements not yet closed
    m_elements.reserve(xml.size() / 64); // about the length of one field element
    m_depth.reserve(xml.size() / 64);
    const wchar_t* p = xml.c_str();
    const wchar_t* const end = p + xml.size();
    bool rootClosed = false;
    while (p < end) {
        if (*p != L'<') {
            const wchar_t* lt = std::wmemchr(p, L'<', end - p);
            const wchar_t* stop = lt ? lt : end;
            if (open.empty()) {
                if (!AllSpace(p, stop)) return false;
            } else if (!AllSpace(p, stop)) {
                std::wstring text;
                if (!DecodeText(p, stop, text)) return false;
                for (size_t index : open) m_elements[index].text += text;
            }
            p = stop;
            continue;
        }
        if (end - p >= 4 && std::wmemcmp(p, L"<!--", 4) == 0) {
            const wchar_t* close = std::wcsstr(p + 4, L"-->");
            if (!close || close >= end) return false;
            p = close + 3;
        } else if (end - p >= 9 && std::wmemcmp(p, L"<![CDATA[", 9) == 0) {
            const wchar_t* close = std::wcsstr(p + 9, L"]]>");
            if (!close || close >= end || open.empty()) return false;
            for (size_t index : open) m_elements[index].text.append(p + 9, close);
            p = close + 3;
        } else if (end - p >= 2 && p[1] == L'?') {
            const wchar_t* close = std::wcsstr(p + 2, L"?>");
            if (!close || close >= end) return false;
            p = close + 2;
        } else if (end - p >= 2 && p[1] == L'!') {
            return false; // a document type: never read
        } else if (end - p >= 2 && p[1] == L'/') {
            const wchar_t* nameStart = p + 2;
            const wchar_t* q = nameStart;
            while (q < end && !IsNameEnd(*q)) ++q;
            if (open.empty() || m_elements[open.back()].name.compare(0, std::wstring::npos, nameStart, q - nameStart) != 0)
                return false;
            while (q < end && IsSpace(*q)) ++q;
            if (q >= end || *q != L'>') return false;
            open.pop_back();
            if (open.empty()) rootClosed = true;
            p = q + 1;
        } else {
            if (rootClosed) return false;
            const wchar_t* nameStart = p + 1;
            const wchar_t* q = nameStart;
            while (q < end && !IsNameEnd(*q)) ++q;
            if (q == nameStart) return false;
            m_elements.push_back(RecordElement{std::wstring(nameStart, q), std::wstring()});
            m_depth.push_back(static_cast<int>(open.size()));
            // Attributes are stepped over; quoted values may hold ">" and "/".
            bool selfClosing = false;
            for (;;) {
                while (q < end && IsSpace(*q)) ++q;
                if (q >= end) return false;
                if (*q == L'>') { ++q; break; }
                if (*q == L'/' && q + 1 < end && q[1] == L'>') { q += 2; selfClosing = true; break; }
                while (q < end && !IsNameEnd(*q)) ++q;
                while (q < end && IsSpace(*q)) ++q;
                if (q >= end || *q != L'=') return false;
                ++q;
                while (q < end && IsSpace(*q)) ++q;
                if (q >= end || (*q != L'"' && *q != L'\'')) return false;
                const wchar_t* close = std::wmemchr(q + 1, *q, end - q - 1);
                if (!close) return false;
                q = close + 1;
            }
            if (selfClosing) {
                if (open.empty()) rootClosed = true;
            } else {
                open.push_back(m_elements.size() - 1);
            }
            p = q;
        }
    }
    return open.empty() && rootClosed;
}

size_t RecordElements::LowerBound(const std::wstring& name) const
{
    return std::lower_bound(m_byName.begin(), m_byName.end(), name,
                            [this](size_t index, const std::wstring& wanted) { return m_elements[index].name < wanted; }) -
           m_byName.begin();
}

const RecordElement* RecordElements::Find(const std::wstring& name) const
{
    const size_t at = LowerBound(name);
    return at < m_byName.size() && m_elements[m_byName[at]].name == name ? &m_elements[m_byName[at]] : nullptr;
}

const RecordElement* RecordElements::FindStartingWith(const std::wstring& prefix) const
{
    // The names that start with prefix are one run of the sorted names; the first in document order wins.
    size_t first = m_elements.size();
    for (size_t at = LowerBound(prefix); at < m_byName.size() && m_elements[m_byName[at]].name.compare(0, prefix.size(), prefix) == 0; ++at)
        if (m_byName[at] < first) first = m_byName[at];
    return first < m_elements.size() ? &m_elements[first] : nullptr;
}

const RecordElement* RecordElements::Child(const std::wstring& name) const
{
    for (size_t i = 0; i < m_elements.size(); ++i)
        if (m_depth[i] == 1 && m_elements[i].name == name) return &m_elements[i];
    return nullptr;
}
