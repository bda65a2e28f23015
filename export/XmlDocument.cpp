// The DOM wrapper over MSXML. mingw's headers declare the interfaces but not every class id, so the
// document classes and the one interface id used by name are defined here.
#include "export/XmlDocument.h"

#include <msxml2.h>
#include <cwchar>
#include <cstdlib>

namespace VesqaXml {

namespace {

const IID kIidDocument2 = {0x2933bf95, 0x7b36, 0x11d2, {0xb2, 0x0e, 0x00, 0xc0, 0x4f, 0x98, 0x3e, 0x60}};

struct DocumentClass
{
    CLSID id;
    int version;
};

// Newest first, as the DOM documents are tried.
const DocumentClass kDocumentClasses[] = {
    {{0x88d96a05, 0xf192, 0x11d4, {0xa6, 0x5f, 0x00, 0x40, 0x96, 0x32, 0x51, 0xe5}}, 60},
    {{0xf5078f32, 0xc551, 0x11d3, {0x89, 0xb9, 0x00, 0x00, 0xf8, 0x1f, 0xe2, 0x21}}, 30},
    {{0x88d969e5, 0xf192, 0x11d4, {0xa6, 0x5f, 0x00, 0x40, 0x96, 0x32, 0x51, 0xe5}}, 50},
    {{0x88d969c0, 0xf192, 0x11d4, {0xa6, 0x5f, 0x00, 0x40, 0x96, 0x32, 0x51, 0xe5}}, 40},
    {{0xf5078f1b, 0xc551, 0x11d3, {0x89, 0xb9, 0x00, 0x00, 0xf8, 0x1f, 0xe2, 0x21}}, 26},
    {{0x2933bf90, 0x7b36, 0x11d2, {0xb2, 0x0e, 0x00, 0xc0, 0x4f, 0x98, 0x3e, 0x60}}, 0},
};

// A BSTR owned for the length of one call.
class Bstr
{
public:
    explicit Bstr(const std::wstring& text) : m_text(::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
    Bstr() = default;
    ~Bstr() { ::SysFreeString(m_text); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    operator BSTR() const { return m_text; }
    BSTR* Out() { return &m_text; }
    std::wstring Text() const { return m_text ? std::wstring(m_text, ::SysStringLen(m_text)) : std::wstring(); }

private:
    BSTR m_text = nullptr;
};

template <class T> void Release(T*& p)
{
    if (p)
        p->Release();
    p = nullptr;
}

void SetProperty(IXMLDOMDocument2* document, const wchar_t* name, bool value)
{
    VARIANT v;
    ::VariantInit(&v);
    v.vt = VT_BOOL;
    v.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    Bstr bname(name);
    document->setProperty(bname, v); // a version that lacks the property keeps its safe default
}

void SetProperty(IXMLDOMDocument2* document, const wchar_t* name, const wchar_t* value)
{
    VARIANT v;
    ::VariantInit(&v);
    v.vt = VT_BSTR;
    v.bstrVal = ::SysAllocString(value);
    Bstr bname(name);
    document->setProperty(bname, v);
    ::VariantClear(&v);
}

CXmlNodePtr Wrap(IXMLDOMNode* node)
{
    return node ? std::make_shared<CXmlNode>(node) : CXmlNodePtr();
}

} // namespace

// ---- node

CXmlNode::CXmlNode(IXMLDOMNode* node) : m_node(node) {}

CXmlNode::~CXmlNode()
{
    Release(m_node);
}

CXmlNodePtr CXmlNode::GetChild(const std::wstring& name, bool create)
{
    if (!m_node)
        return nullptr;
    // A walk over the children, not an XPath made from the name: any name is matched literally.
    IXMLDOMNode* child = nullptr;
    if (FAILED(m_node->get_firstChild(&child)))
        return nullptr;
    while (child)
    {
        DOMNodeType type = NODE_INVALID;
        if (SUCCEEDED(child->get_nodeType(&type)) && type == NODE_ELEMENT)
        {
            Bstr local;
            if (SUCCEEDED(child->get_baseName(local.Out())) && local.Text() == name)
                return Wrap(child);
        }
        IXMLDOMNode* next = nullptr;
        if (FAILED(child->get_nextSibling(&next)))
            next = nullptr;
        child->Release();
        child = next;
    }
    if (!create)
        return nullptr;

    IXMLDOMDocument* owner = nullptr;
    if (FAILED(m_node->get_ownerDocument(&owner)) || !owner)
        return nullptr;
    IXMLDOMElement* element = nullptr;
    Bstr tag(name);
    const HRESULT made = owner->createElement(tag, &element);
    owner->Release();
    if (FAILED(made) || !element)
        return nullptr;
    IXMLDOMNode* appended = nullptr;
    const HRESULT added = m_node->appendChild(element, &appended);
    element->Release();
    if (FAILED(added))
    {
        Release(appended);
        return nullptr;
    }
    return Wrap(appended);
}

CXmlNodePtr CXmlNode::SelectNode(const std::wstring& xpath)
{
    if (!m_node)
        return nullptr;
    IXMLDOMNode* found = nullptr;
    Bstr query(xpath);
    if (m_node->selectSingleNode(query, &found) != S_OK)
    {
        Release(found);
        return nullptr;
    }
    return Wrap(found);
}

std::wstring CXmlNode::GetName() const
{
    Bstr name;
    if (!m_node || FAILED(m_node->get_nodeName(name.Out())))
        return std::wstring();
    return name.Text();
}

CXmlNodesPtr CXmlNode::GetChildren()
{
    if (!m_node)
        return nullptr;
    IXMLDOMNodeList* list = nullptr;
    Bstr query(L"child::*");
    if (FAILED(m_node->selectNodes(query, &list)) || !list)
        return nullptr;
    return std::make_shared<CXmlNodes>(list);
}

std::wstring CXmlNode::GetText(const wchar_t* defaultText)
{
    Bstr text;
    if (!m_node || FAILED(m_node->get_text(text.Out())))
        return std::wstring();
    std::wstring value = text.Text();
    if (value.empty() && defaultText && *defaultText)
    {
        Bstr written{std::wstring(defaultText)};
        if (SUCCEEDED(m_node->put_text(written)))
            value = defaultText;
    }
    return value;
}

int CXmlNode::GetInt(int defaultValue)
{
    wchar_t formatted[16];
    std::swprintf(formatted, 16, L"%d", defaultValue);
    const std::wstring text = GetText(formatted);
    if (text.empty())
        return defaultValue;
    return static_cast<int>(std::wcstol(text.c_str(), nullptr, 10));
}

// ---- node list

CXmlNodes::CXmlNodes(IXMLDOMNodeList* list) : m_list(list) {}

CXmlNodes::~CXmlNodes()
{
    Release(m_list);
}

int CXmlNodes::GetCount() const
{
    long length = 0;
    if (!m_list || FAILED(m_list->get_length(&length)))
        return 0;
    return static_cast<int>(length);
}

CXmlNodePtr CXmlNodes::GetItem(int index) const
{
    if (!m_list || index < 0)
        return nullptr;
    IXMLDOMNode* node = nullptr;
    if (m_list->get_item(index, &node) != S_OK)
    {
        Release(node);
        return nullptr;
    }
    return Wrap(node);
}

// ---- document

CXmlDocument::~CXmlDocument()
{
    Close();
}

bool CXmlDocument::Create()
{
    Close();
    for (const DocumentClass& candidate : kDocumentClasses)
    {
        void* made = nullptr;
        if (SUCCEEDED(::CoCreateInstance(candidate.id, nullptr, CLSCTX_ALL, kIidDocument2, &made)) && made)
        {
            m_document = static_cast<IXMLDOMDocument2*>(made);
            m_version = candidate.version;
            break;
        }
    }
    if (!m_document)
        return false;
    SetProperty(m_document, L"SelectionLanguage", L"XPath");
    if (m_version == 40)
        SetProperty(m_document, L"NewParser", true);
    SetProperty(m_document, L"AllowXsltScript", false);
    SetProperty(m_document, L"AllowDocumentFunction", false);
    SetProperty(m_document, L"ProhibitDTD", true);
    SetProperty(m_document, L"ResolveExternals", false);
    m_document->put_resolveExternals(VARIANT_FALSE);
    m_document->put_validateOnParse(VARIANT_FALSE);
    m_document->put_preserveWhiteSpace(VARIANT_FALSE);
    return true;
}

bool CXmlDocument::LoadXml(const std::wstring& text)
{
    if (!Create())
        return false;
    VARIANT_BOOL loaded = VARIANT_FALSE;
    Bstr source(text);
    return SUCCEEDED(m_document->loadXML(source, &loaded)) && loaded == VARIANT_TRUE;
}

void CXmlDocument::Close()
{
    m_text.clear();
    m_version = 0;
    Release(m_document);
}

CXmlNodePtr CXmlDocument::GetRoot() const
{
    if (!m_document)
        return nullptr;
    IXMLDOMElement* root = nullptr;
    if (m_document->get_documentElement(&root) != S_OK || !root)
    {
        Release(root);
        return nullptr;
    }
    return Wrap(root);
}

CXmlNodePtr CXmlDocument::GetNode(const std::wstring& xpath) const
{
    CXmlNodePtr root = GetRoot();
    return root ? root->SelectNode(xpath) : nullptr;
}

} // namespace VesqaXml
