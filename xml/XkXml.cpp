// The public handle classes over ClsXml: tags and texts cross here between the caller's code page
// (ANSI, or UTF-8 with the utf8 flag) and the tree's UTF-8.
#include "xml/XkXml.h"
#include "xml/ClsXml.h"
#include "xml/XString.h"
#include <new>

XkString::XkString()
    : m_value(new (std::nothrow) XString()), m_spare(new (std::nothrow) kit::StringBuffer())
{
}

XkString::~XkString()
{
    delete m_value;
    delete m_spare;
}

const char* XkString::getString()
{
    return m_value ? m_value->getAnsi() : "";
}

const char* XkString::getStringUtf8()
{
    return m_value ? m_value->getUtf8() : "";
}

void XkString::clear()
{
    if (m_value)
        m_value->clear();
}

XkXml::XkXml() : m_impl(new (std::nothrow) ClsXml()) {}

XkXml::XkXml(ClsXml* impl) : m_impl(impl) {}

XkXml::~XkXml()
{
    delete m_impl;
}

XkXml* XkXml::wrap(ClsXml* impl)
{
    if (!impl)
        return nullptr;
    XkXml* handle = new (std::nothrow) XkXml(impl);
    if (!handle) {
        delete impl;
        return nullptr;
    }
    handle->SetUtf8(m_utf8);
    return handle;
}

XkString& XkXml::nextResultSlot()
{
    if (++m_resultIndex == kResultSlots)
        m_resultIndex = 0;
    XkString& slot = m_results[m_resultIndex];
    slot.clear();
    return slot;
}

const char* XkXml::resultText(XkString& slot)
{
    return m_utf8 ? slot.getStringUtf8() : slot.getString();
}

bool XkXml::LoadXml(const char* text)
{
    if (!m_impl)
        return false;
    if (m_utf8 || !text)
        return m_impl->LoadXml(text, true);
    // ANSI text reaches the parser as UTF-8, so that non-ASCII characters survive the load.
    XString utf8;
    utf8.setFromAnsi(text);
    const char* converted = utf8.getUtf8();
    // A text cut short by a conversion that ran out of memory is not the document.
    if (utf8.lostBytes())
        return false;
    return m_impl->LoadXml(converted, true);
}

XkXml* XkXml::GetRoot()
{
    return m_impl ? wrap(m_impl->GetRoot()) : nullptr;
}

XkXml* XkXml::GetChildWithTag(const char* tag)
{
    if (!m_impl)
        return nullptr;
    XString name;
    name.setFromText(tag, m_utf8);
    return wrap(m_impl->GetChildWithTag(name));
}

int XkXml::NumChildren()
{
    return m_impl ? m_impl->NumChildren() : 0;
}

XkXml* XkXml::GetChild(int index)
{
    return m_impl ? wrap(m_impl->GetChild(index)) : nullptr;
}

const char* XkXml::getChildContent(const char* tag)
{
    XkString& slot = nextResultSlot();
    if (!GetChildContent(tag, slot))
        return nullptr;
    return resultText(slot);
}

bool XkXml::GetChildContent(const char* tag, XkString& out)
{
    if (!m_impl || !out.value())
        return false;
    XString name;
    name.setFromText(tag, m_utf8);
    return m_impl->GetChildContent(name, *out.value());
}

bool XkXml::SwapNode(XkXml* other)
{
    if (!m_impl || !other || !other->m_impl)
        return false;
    return m_impl->SwapNode(other->m_impl);
}

const char* XkXml::getXml()
{
    XkString& slot = nextResultSlot();
    GetXml(slot);
    return resultText(slot);
}

void XkXml::GetXml(XkString& out)
{
    if (m_impl && out.value())
        m_impl->GetXml(*out.value());
}
