// Writing and reading the form XML of the bridge's "Save" and "FieldSet|" commands.
#include "viewer/FormXml.h"
#include "framework/TextEscapes.h"
#include "viewer/FormFieldNames.h"
#include "viewer/PdfForm.h"
#include <cwchar>

namespace viewer {

namespace {
const int kMaxDepth = 256;

class XmlReader
{
public:
    explicit XmlReader(const std::wstring& text) : m_text(text) {}

    std::unique_ptr<XmlElement> Document()
    {
        SkipMisc();
        if (!At(L"<")) return nullptr;
        auto root = Element(0);
        if (!root) return nullptr;
        SkipMisc();
        return m_pos == m_text.size() ? std::move(root) : nullptr;
    }

private:
    bool At(const wchar_t* s) const { return m_text.compare(m_pos, std::wcslen(s), s) == 0; }
    bool SkipPast(const wchar_t* s)
    {
        size_t at = m_text.find(s, m_pos);
        if (at == std::wstring::npos) return false;
        m_pos = at + std::wcslen(s);
        return true;
    }
    void SkipSpace()
    {
        while (m_pos < m_text.size() && (m_text[m_pos] == L' ' || m_text[m_pos] == L'\t' || m_text[m_pos] == L'\r' ||
                                         m_text[m_pos] == L'\n'))
            ++m_pos;
    }
    // Declarations, comments, processing instructions and white space outside the root.
    void SkipMisc()
    {
        for (;;) {
            SkipSpace();
            if (At(L"<?")) { if (!SkipPast(L"?>")) return; }
            else if (At(L"<!--")) { if (!SkipPast(L"-->")) return; }
            else if (At(L"<!DOCTYPE")) { if (!SkipPast(L">")) return; }
            else return;
        }
    }
    static bool IsNameChar(wchar_t c)
    {
        return !(c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == L'/' || c == L'>' || c == L'=' || c == L'<' ||
                 c == L'"' || c == L'\'' || c == L'&');
    }
    std::wstring Name()
    {
        size_t start = m_pos;
        while (m_pos < m_text.size() && IsNameChar(m_text[m_pos])) ++m_pos;
        return m_text.substr(start, m_pos - start);
    }
    bool Entity(std::wstring& out)
    {
        const size_t end = m_text.find(L';', m_pos);
        if (end == std::wstring::npos || end - m_pos > kMaxXmlReferenceName) return false;
        const wchar_t* name = m_text.c_str() + m_pos + 1;
        m_pos = end + 1;
        return AppendXmlReference(name, m_text.c_str() + end, out);
    }
    std::unique_ptr<XmlElement> Element(int depth)
    {
        if (depth > kMaxDepth) return nullptr;
        ++m_pos; // '<'
        auto element = std::make_unique<XmlElement>();
        element->name = Name();
        if (element->name.empty()) return nullptr;
        // Attributes are read over and dropped: the form XML carries none that matter.
        for (;;) {
            SkipSpace();
            if (m_pos >= m_text.size()) return nullptr;
            if (At(L"/>")) {
                m_pos += 2;
                return element;
            }
            if (At(L">")) {
                ++m_pos;
                break;
            }
            if (Name().empty()) return nullptr;
            SkipSpace();
            if (!At(L"=")) return nullptr;
            ++m_pos;
            SkipSpace();
            if (m_pos >= m_text.size() || (m_text[m_pos] != L'"' && m_text[m_pos] != L'\'')) return nullptr;
            size_t close = m_text.find(m_text[m_pos], m_pos + 1);
            if (close == std::wstring::npos) return nullptr;
            m_pos = close + 1;
        }
        for (;;) {
            if (m_pos >= m_text.size()) return nullptr;
            wchar_t c = m_text[m_pos];
            if (c == L'<') {
                if (At(L"</")) {
                    m_pos += 2;
                    std::wstring closing = Name();
                    SkipSpace();
                    if (closing != element->name || !At(L">")) return nullptr;
                    ++m_pos;
                    return element;
                }
                if (At(L"<!--")) {
                    if (!SkipPast(L"-->")) return nullptr;
                } else if (At(L"<![CDATA[")) {
                    size_t end = m_text.find(L"]]>", m_pos);
                    if (end == std::wstring::npos) return nullptr;
                    element->text += m_text.substr(m_pos + 9, end - m_pos - 9);
                    m_pos = end + 3;
                } else if (At(L"<?")) {
                    if (!SkipPast(L"?>")) return nullptr;
                } else {
                    auto child = Element(depth + 1);
                    if (!child) return nullptr;
                    element->children.push_back(std::move(child));
                }
            } else if (c == L'&') {
                if (!Entity(element->text)) return nullptr;
            } else {
                element->text += c;
                ++m_pos;
            }
        }
    }

    const std::wstring& m_text;
    size_t m_pos = 0;
};

bool IsBlank(const std::wstring& s)
{
    return s.find_first_not_of(L" \t\r\n") == std::wstring::npos;
}
} // namespace

std::wstring XmlElement::LocalName() const
{
    size_t colon = name.find(L':');
    return colon == std::wstring::npos ? name : name.substr(colon + 1);
}

const XmlElement* XmlElement::Child(const std::wstring& localName) const
{
    for (const auto& child : children)
        if (child->LocalName() == localName) return child.get();
    return nullptr;
}

const XmlElement* XmlElement::Find(const std::wstring& localName) const
{
    if (LocalName() == localName) return this;
    for (const auto& child : children)
        if (const XmlElement* found = child->Find(localName)) return found;
    return nullptr;
}

std::unique_ptr<XmlElement> ParseXml(const std::wstring& text)
{
    return XmlReader(text).Document();
}

std::wstring EscapeXmlText(const std::wstring& text)
{
    std::wstring out;
    XmlEscaping how;
    how.apostrophe = false;
    how.asciiOnly = true;
    AppendEscapedXml(out, text, how);
    return out;
}

std::wstring BuildFormXml(const std::vector<std::wstring>& keys, const std::vector<std::wstring>& values)
{
    std::wstring fields, numbered;
    for (size_t i = 0; i < keys.size(); ++i) {
        std::wstring value = i < values.size() ? EscapeXmlText(values[i]) : std::wstring();
        fields += L"<" + keys[i] + L">" + value + L"</" + keys[i] + L">";
        std::wstring element = NumberedElementName(keys[i]);
        if (!element.empty()) numbered += L"<" + element + L">" + value + L"</" + element + L">";
    }
    std::wstring xml = L"<fields><topmostSubform>" + fields + L"</topmostSubform>";
    if (!numbered.empty()) xml += L"<numberedFields>" + numbered + L"</numberedFields>";
    return xml + L"</fields>";
}

bool ReadFormXml(const std::wstring& text, const std::vector<std::wstring>& keys, std::vector<std::wstring>& values)
{
    std::vector<std::wstring> result(keys.size());
    if (!IsBlank(text)) {
        std::unique_ptr<XmlElement> root = ParseXml(text);
        if (!root) return false;
        const XmlElement* subform = root->Find(L"topmostSubform");
        for (size_t i = 0; i < keys.size(); ++i) {
            const XmlElement* element = subform ? subform->Child(keys[i]) : nullptr;
            if (!element) element = root->Find(keys[i]);
            if (element) result[i] = element->text;
        }
    }
    values = result;
    return true;
}

} // namespace viewer
