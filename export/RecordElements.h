// Every element of an XML text in document order, with its name and its text (the character data
// of the element and its descendants), read in one pass. The statement builder looks up dozens of
// fields in each of thousands of records; one scan per record replaces a DOM and an XPath per field.
#pragma once
#include <string>
#include <vector>

struct RecordElement
{
    std::wstring name; // as written, prefix included
    std::wstring text; // entities decoded; white-space-only runs between tags dropped
};

class RecordElements
{
public:
    // False (and no elements) when the text is not well-formed XML or declares a document type.
    bool Load(const std::wstring& xml);
    bool IsLoaded() const { return m_loaded; }
    const std::vector<RecordElement>& Elements() const { return m_elements; }

    // The first element named exactly name (the XPath "//name"); null when there is none.
    const RecordElement* Find(const std::wstring& name) const;
    // The first element whose name starts with prefix ("//*[starts-with(name(),'prefix')]").
    const RecordElement* FindStartingWith(const std::wstring& prefix) const;
    // The document element's child named exactly name.
    const RecordElement* Child(const std::wstring& name) const;

private:
    bool Parse(const std::wstring& xml);
    // The first position of m_byName whose name is not less than name.
    size_t LowerBound(const std::wstring& name) const;

    std::vector<RecordElement> m_elements;
    std::vector<int> m_depth; // depth of each element; the document element has 0
    // Element indexes ordered by name, equal names in document order: one block instead of a tree
    // node per element, searched by halving.
    std::vector<size_t> m_byName;
    bool m_loaded = false;
};
