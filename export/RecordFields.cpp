// The record field reader: a small recursive-descent walk over the UTF-16 text with an explicit stack
// of open element names.
#include "export/RecordFields.h"

#include "framework/TextEscapes.h"

#include <vector>

namespace {

struct Name
{
    const wchar_t* start;
    size_t length;
};

bool IsSpace(wchar_t c)
{
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n';
}

bool IsNameChar(wchar_t c)
{
    return !(IsSpace(c) || c == L'/' || c == L'>' || c == L'<' || c == L'=' || c == L'"' || c == L'\'' ||
             c == L'&' || c == 0);
}

bool SameName(const Name& a, const Name& b)
{
    return a.length == b.length && std::char_traits<wchar_t>::compare(a.start, b.start, a.length) == 0;
}

bool IsLocalName(const Name& name, const wchar_t* local, size_t localLength)
{
    size_t colon = name.length;
    for (size_t i = 0; i < name.length; ++i)
        if (name.start[i] == L':')
            colon = i;
    const size_t start = colon == name.length ? 0 : colon + 1;
    return name.length - start == localLength &&
           std::char_traits<wchar_t>::compare(name.start + start, local, localLength) == 0;
}

const int kSpaceInherit = -1;
const int kSpaceDefault = 0;
const int kSpacePreserve = 1;

// A field's text as the DOM reads it with white space not preserved: its character data, line ends
// as LF, without the white space at either end that comes from plain text (a CDATA section, even
// an empty one, keeps its own and stops the trimming at its place).
class FieldText
{
public:
    void Clear()
    {
        m_text.clear();
        m_keepFrom = std::wstring::npos;
        m_keepTo = 0;
    }
    // Plain text, with its line ends still as written (CR LF or CR become LF).
    void AppendPlain(const wchar_t* start, const wchar_t* end)
    {
        const size_t before = m_text.size();
        AppendNormalised(start, end);
        NoteContent(before);
    }
    // Characters of a reference: kept as they are (a CR written as a reference stays a CR).
    void AppendReference(const std::wstring& characters)
    {
        const size_t before = m_text.size();
        m_text += characters;
        NoteContent(before);
    }
    void AppendSection(const wchar_t* start, const wchar_t* end)
    {
        const size_t before = m_text.size();
        AppendNormalised(start, end);
        if (m_keepFrom == std::wstring::npos)
            m_keepFrom = before;
        m_keepTo = m_text.size();
    }
    const std::wstring& Whole() const { return m_text; }
    // The text without its plain white space at either end (cut in place: the text is done).
    const std::wstring& Trimmed()
    {
        if (m_keepFrom == std::wstring::npos)
            m_text.clear();
        else
        {
            m_text.erase(m_keepTo);
            m_text.erase(0, m_keepFrom);
        }
        m_keepFrom = m_text.empty() ? std::wstring::npos : 0;
        m_keepTo = m_text.size();
        return m_text;
    }

private:
    static bool IsXmlSpace(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n'; }

    void AppendNormalised(const wchar_t* start, const wchar_t* end)
    {
        for (const wchar_t* p = start; p < end;)
        {
            const wchar_t* cr = std::char_traits<wchar_t>::find(p, static_cast<size_t>(end - p), L'\r');
            if (!cr)
            {
                m_text.append(p, end);
                return;
            }
            m_text.append(p, cr);
            m_text += L'\n';
            p = cr + 1 < end && cr[1] == L'\n' ? cr + 2 : cr + 1;
        }
    }

    // The characters from index from on are plain text: its first and last non-blank mark the kept span.
    void NoteContent(size_t from)
    {
        for (size_t i = from; i < m_text.size(); ++i)
            if (!IsXmlSpace(m_text[i]))
            {
                if (m_keepFrom == std::wstring::npos)
                    m_keepFrom = i;
                break;
            }
        for (size_t i = m_text.size(); i > from; --i)
            if (!IsXmlSpace(m_text[i - 1]))
            {
                m_keepTo = i;
                break;
            }
    }

    std::wstring m_text;
    size_t m_keepFrom = std::wstring::npos; // the kept span: from the first character that is no
    size_t m_keepTo = 0;                    // plain blank to the end of the last
};

class Reader
{
public:
    Reader(const std::wstring& text, const RecordFieldSink& sink)
        : m_p(text.c_str()), m_end(text.c_str() + text.size()), m_sink(sink)
    {
    }

    bool Document()
    {
        if (!Misc())
            return false;
        if (!At(L"<") || m_p + 1 >= m_end || !IsNameChar(m_p[1]))
            return false;
        if (!Elements())
            return false;
        return Misc() && m_p == m_end;
    }

private:
    bool At(const wchar_t* s) const
    {
        const wchar_t* p = m_p;
        for (; *s; ++s, ++p)
            if (p >= m_end || *p != *s)
                return false;
        return true;
    }

    bool SkipPast(const wchar_t* marker, size_t length)
    {
        for (const wchar_t* p = m_p; p + length <= m_end; ++p)
            if (std::char_traits<wchar_t>::compare(p, marker, length) == 0)
            {
                m_p = p + length;
                return true;
            }
        return false;
    }

    void SkipSpace()
    {
        while (m_p < m_end && IsSpace(*m_p))
            ++m_p;
    }

    // White space, comments and processing instructions outside the document element; a document
    // type declaration is refused.
    bool Misc()
    {
        for (;;)
        {
            SkipSpace();
            if (At(L"<?"))
            {
                if (!SkipPast(L"?>", 2))
                    return false;
            }
            else if (At(L"<!--"))
            {
                m_p += 4;
                if (!SkipPast(L"-->", 3))
                    return false;
            }
            else if (At(L"<!"))
                return false;
            else
                return true;
        }
    }

    bool ReadName(Name& name)
    {
        name.start = m_p;
        while (m_p < m_end && IsNameChar(*m_p))
            ++m_p;
        name.length = static_cast<size_t>(m_p - name.start);
        return name.length > 0;
    }

    // Attributes up to ">" or "/>"; empty is set for "/>". space becomes kSpacePreserve or
    // kSpaceDefault when the tag sets xml:space to "preserve" or "default"; other values are ignored.
    bool TagRest(bool& empty, int& space)
    {
        space = kSpaceInherit;
        for (;;)
        {
            const bool spaced = m_p < m_end && IsSpace(*m_p);
            SkipSpace();
            if (m_p >= m_end)
                return false;
            if (*m_p == L'>')
            {
                ++m_p;
                empty = false;
                return true;
            }
            if (At(L"/>"))
            {
                m_p += 2;
                empty = true;
                return true;
            }
            Name attribute;
            if (!spaced || !ReadName(attribute))
                return false;
            SkipSpace();
            if (m_p >= m_end || *m_p != L'=')
                return false;
            ++m_p;
            SkipSpace();
            if (m_p >= m_end || (*m_p != L'"' && *m_p != L'\''))
                return false;
            const wchar_t quote = *m_p++;
            const wchar_t* value = m_p;
            while (m_p < m_end && *m_p != quote)
            {
                if (*m_p == L'<')
                    return false;
                ++m_p;
            }
            if (m_p >= m_end)
                return false;
            if (attribute.length == 9 && std::char_traits<wchar_t>::compare(attribute.start, L"xml:space", 9) == 0)
            {
                std::wstring setting;
                if (!DecodeAttributeValue(value, m_p, setting))
                    return false;
                if (setting == L"preserve")
                    space = kSpacePreserve;
                else if (setting == L"default")
                    space = kSpaceDefault;
            }
            ++m_p;
        }
    }

    // An attribute's value with its references decoded; false when one is not known.
    static bool DecodeAttributeValue(const wchar_t* p, const wchar_t* end, std::wstring& out)
    {
        while (p < end)
        {
            if (*p != L'&')
            {
                out += *p++;
                continue;
            }
            const wchar_t* semicolon = std::char_traits<wchar_t>::find(p, static_cast<size_t>(end - p), L';');
            if (!semicolon || semicolon - p - 1 > kMaxXmlReferenceName || !AppendXmlReference(p + 1, semicolon, out))
                return false;
            p = semicolon + 1;
        }
        return true;
    }

    // An entity reference after "&": predefined entities and character references only.
    bool Reference(FieldText* text)
    {
        const wchar_t* semicolon = m_p;
        while (semicolon < m_end && *semicolon != L';' && semicolon - m_p < kMaxXmlReferenceName)
            ++semicolon;
        if (semicolon >= m_end || *semicolon != L';')
            return false;
        m_reference.clear();
        if (!AppendXmlReference(m_p, semicolon, m_reference))
            return false;
        if (text)
            text->AppendReference(m_reference);
        m_p = semicolon + 1;
        return true;
    }

    // The document element and everything in it. Depth 1 is the document element, 2 its children
    // (topmostSubform among them), 3 the fields.
    bool Elements()
    {
        std::vector<Name> open;
        std::vector<bool> preserve; // xml:space="preserve" in scope, per open element
        bool inSubform = false, subformSeen = false, fieldPreserves = false;
        size_t subformDepth = 0;
        FieldText value;
        Name field = {nullptr, 0};
        for (;;)
        {
            if (m_p >= m_end)
                return false;
            FieldText* text = inSubform && open.size() > subformDepth ? &value : nullptr;
            if (*m_p != L'<')
            {
                if (open.empty())
                    return false;
                const wchar_t* run = m_p;
                while (m_p < m_end && *m_p != L'<' && *m_p != L'&')
                    ++m_p;
                if (text)
                    text->AppendPlain(run, m_p);
                if (m_p < m_end && *m_p == L'&')
                {
                    ++m_p;
                    if (!Reference(text))
                        return false;
                }
                continue;
            }
            if (At(L"<!--"))
            {
                m_p += 4;
                if (!SkipPast(L"-->", 3))
                    return false;
                continue;
            }
            if (At(L"<![CDATA["))
            {
                m_p += 9;
                const wchar_t* start = m_p;
                if (!SkipPast(L"]]>", 3))
                    return false;
                if (text)
                    text->AppendSection(start, m_p - 3);
                continue;
            }
            if (At(L"<?"))
            {
                if (!SkipPast(L"?>", 2))
                    return false;
                continue;
            }
            if (At(L"</"))
            {
                m_p += 2;
                Name name;
                if (!ReadName(name) || open.empty() || !SameName(name, open.back()))
                    return false;
                SkipSpace();
                if (m_p >= m_end || *m_p != L'>')
                    return false;
                ++m_p;
                if (!Close(open, inSubform, subformDepth, field, value, fieldPreserves))
                    return false;
                preserve.pop_back();
                if (open.empty())
                    return true;
                continue;
            }
            ++m_p;
            Name name;
            bool empty = false;
            int space = kSpaceInherit;
            if (!ReadName(name) || !TagRest(empty, space))
                return false;
            open.push_back(name);
            preserve.push_back(space == kSpaceInherit ? !preserve.empty() && preserve.back() : space == kSpacePreserve);
            if (open.size() == 2 && !subformSeen && IsLocalName(name, L"topmostSubform", 14))
            {
                subformSeen = inSubform = true;
                subformDepth = 2;
            }
            else if (inSubform && open.size() == subformDepth + 1)
            {
                field = name;
                fieldPreserves = preserve.back();
                value.Clear();
            }
            if (empty)
            {
                if (!Close(open, inSubform, subformDepth, field, value, fieldPreserves))
                    return false;
                preserve.pop_back();
                if (open.empty())
                    return true;
            }
        }
    }

    bool Close(std::vector<Name>& open, bool& inSubform, size_t subformDepth, const Name& field, FieldText& value,
               bool preserves)
    {
        if (inSubform && open.size() == subformDepth + 1)
            m_sink(field.start, field.length, preserves ? value.Whole() : value.Trimmed());
        else if (inSubform && open.size() == subformDepth)
            inSubform = false;
        open.pop_back();
        return true;
    }

    const wchar_t* m_p;
    const wchar_t* m_end;
    const RecordFieldSink& m_sink;
    std::wstring m_reference;
};

} // namespace

bool ReadRecordFields(const std::wstring& xml, const RecordFieldSink& onField)
{
    Reader reader(xml, onField);
    return reader.Document();
}
