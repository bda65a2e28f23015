// The form XML a form answers "Save" with and accepts back with "FieldSet|": a document element
// holding topmostSubform (one element per field key) and, for keys "F----N-F", elements "Fjjjj"N.
#pragma once
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace viewer {

// Builds the form XML from field keys and values (same order). Pure ASCII: characters beyond it are
// written as character references, so the text survives any code page on its way to the database.
std::wstring BuildFormXml(const std::vector<std::wstring>& keys, const std::vector<std::wstring>& values);

// A parsed XML element: its name (prefix kept), its text (concatenated character data) and children.
struct XmlElement
{
    std::wstring name;
    std::wstring text;
    std::vector<std::unique_ptr<XmlElement>> children;

    // The name without a namespace prefix.
    std::wstring LocalName() const;
    const XmlElement* Child(const std::wstring& localName) const;
    // The first element of this subtree, in document order, whose local name matches.
    const XmlElement* Find(const std::wstring& localName) const;
};

// Parses XML text; nullptr when it is not well-formed.
std::unique_ptr<XmlElement> ParseXml(const std::wstring& text);

// Values for the given keys from a form XML: a key is looked up under topmostSubform first, then
// anywhere in the document (data sent to a form from other sources); a key not found gets "".
// Returns false, leaving values alone, when the text is not empty and is not XML.
bool ReadFormXml(const std::wstring& text, const std::vector<std::wstring>& keys, std::vector<std::wstring>& values);

std::wstring EscapeXmlText(const std::wstring& text);

} // namespace viewer
