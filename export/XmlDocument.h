// A small wrapper over the system's XML DOM (MSXML through COM): a document parsed from text held in
// memory, and shared handles to its nodes and node lists. Failures are results, never exceptions.
#pragma once
#include <windows.h>
#include <memory>
#include <string>

struct IXMLDOMDocument2;
struct IXMLDOMNode;
struct IXMLDOMNodeList;

namespace VesqaXml {

class CXmlNode;
class CXmlNodes;
using CXmlNodePtr = std::shared_ptr<CXmlNode>;
using CXmlNodesPtr = std::shared_ptr<CXmlNodes>;

// One node of a document; the handle keeps the node (and its tree) alive. An empty shared pointer
// stands for "not found".
class CXmlNode
{
public:
    explicit CXmlNode(IXMLDOMNode* node); // takes over the reference
    ~CXmlNode();
    CXmlNode(const CXmlNode&) = delete;
    CXmlNode& operator=(const CXmlNode&) = delete;

    // The first child element whose local name equals name; with create, a new element of that name
    // is appended when there is none.
    CXmlNodePtr GetChild(const std::wstring& name, bool create = false);
    // The first node the XPath selects from this node.
    CXmlNodePtr SelectNode(const std::wstring& xpath);
    std::wstring GetName() const;
    // The element children, in document order.
    CXmlNodesPtr GetChildren();
    // The node's text; an empty text with a default given gets the default written into the node.
    std::wstring GetText(const wchar_t* defaultText = nullptr);
    // The text read as a decimal integer; an empty text gets the default written first.
    int GetInt(int defaultValue);

    IXMLDOMNode* Interface() const { return m_node; }

private:
    IXMLDOMNode* m_node;
};

// A list of nodes as the DOM returned it.
class CXmlNodes
{
public:
    explicit CXmlNodes(IXMLDOMNodeList* list); // takes over the reference
    ~CXmlNodes();
    CXmlNodes(const CXmlNodes&) = delete;
    CXmlNodes& operator=(const CXmlNodes&) = delete;

    int GetCount() const;
    CXmlNodePtr GetItem(int index) const; // empty when out of range

private:
    IXMLDOMNodeList* m_list;
};

// A document parsed from text. Documents never fetch anything: external entities and DTDs are not
// resolved, and script and document() stay off in transformations, since record texts can come
// from a PDF someone else filled in. COM must be initialised on the calling thread.
class CXmlDocument
{
public:
    CXmlDocument() = default;
    ~CXmlDocument();
    CXmlDocument(const CXmlDocument&) = delete;
    CXmlDocument& operator=(const CXmlDocument&) = delete;

    // Creates an empty DOM document of the newest MSXML version present; false when none is.
    bool Create();
    // Create, then parse the text; false when either fails (malformed text included).
    bool LoadXml(const std::wstring& text);
    void Close();

    CXmlNodePtr GetRoot() const;
    // The first node the XPath selects below the document element.
    CXmlNodePtr GetNode(const std::wstring& xpath) const;

    // The MSXML version created: 60, 30, 50, 40, 26, or 0 for the version-independent document.
    int GetVersion() const { return m_version; }

private:
    IXMLDOMDocument2* m_document = nullptr;
    std::wstring m_text;
    int m_version = 0;
};

} // namespace VesqaXml
