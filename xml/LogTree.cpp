// Entries of the operation log, the context stack, and the three renderings of the tree.
#include "xml/LogTree.h"
#include <stdio.h>
#include <string.h>

namespace {

kit::StringBuffer* copyText(const char* text)
{
    if (!text)
        return nullptr;
    kit::StringBuffer* sb = new (std::nothrow) kit::StringBuffer();
    if (sb)
        sb->append(text);
    return sb;
}

void appendIndent(kit::StringBuffer& out, int level)
{
    out.appendCharN(' ', 2 * level);
}

// The value of an entry as its XML rendering writes it: raw, or inside a CDATA section.
void appendXmlValue(kit::StringBuffer& out, const kit::StringBuffer& text)
{
    if (LogEntry2::needsCdata(sbText(text))) {
        out.append("<![CDATA[");
        out.appendSb(text);
        out.append("]]>");
    } else {
        out.appendSb(text);
    }
}

void appendHtmlEscaped(kit::StringBuffer& out, const kit::StringBuffer& text)
{
    kit::StringBuffer copy;
    copy.appendSb(text);
    copy.encodeXmlEntities();
    out.appendSb(copy);
}

} // namespace

LogEntry2::LogEntry2() {}

LogEntry2::~LogEntry2()
{
    delete m_tag;
    delete m_text;
    deleteChildren();
}

void LogEntry2::deleteChildren()
{
    if (!m_children)
        return;
    m_children->deleteAll();
    delete m_children;
    m_children = nullptr;
}

void LogEntry2::setKind(char kind, const char* tag, const char* text)
{
    delete m_tag;
    delete m_text;
    m_tag = copyText(tag);
    m_text = copyText(text);
    m_kind = kind;
}

void LogEntry2::setContext(const char* tag)
{
    setKind('C', tag, nullptr);
    deleteChildren();
    m_children = new (std::nothrow) ExtPtrArray();
}

void LogEntry2::setTagged(const char* tag, const char* value) { setKind('T', tag, value); }
void LogEntry2::setError(const char* text) { setKind('E', nullptr, text); }
void LogEntry2::setInfo(const char* text) { setKind('I', nullptr, text); }
void LogEntry2::setRaw(const char* text) { setKind('X', nullptr, text); }

void LogEntry2::appendChild(LogEntry2* child)
{
    if (m_children)
        m_children->appendPtr(child);
    else
        delete child;
}

bool LogEntry2::removeEmptyLastContext()
{
    if (!m_children || m_children->getSize() == 0)
        return false;
    LogEntry2* last = static_cast<LogEntry2*>(m_children->lastElement());
    if (!last || last->m_kind != 'C' || (last->m_children && last->m_children->getSize() > 0))
        return false;
    delete static_cast<LogEntry2*>(m_children->pop());
    return true;
}

bool LogEntry2::needsCdata(const char* text)
{
    if (!text)
        return false;
    if (strstr(text, "<![CDATA[") && strstr(text, "]]>"))
        return false;
    return strpbrk(text, "\n\t&<>") != nullptr;
}

void LogEntry2::renderXml(kit::StringBuffer& out) const
{
    switch (m_kind) {
    case 'E':
    case 'I':
        if (!m_text)
            return;
        out.append(m_kind == 'E' ? "<error>" : "<info>");
        appendXmlValue(out, *m_text);
        out.append(m_kind == 'E' ? "</error>\r\n" : "</info>\r\n");
        return;
    case 'X':
        if (!m_text)
            return;
        out.appendSb(*m_text);
        out.append("\r\n");
        return;
    case 'T':
        if (!m_text || !m_tag)
            return;
        out.appendChar('<');
        out.appendSb(*m_tag);
        out.appendChar('>');
        appendXmlValue(out, *m_text);
        out.append("</");
        out.appendSb(*m_tag);
        out.append(">\r\n");
        return;
    case 'C':
        if (!m_children || !m_tag)
            return;
        out.appendChar('<');
        out.appendSb(*m_tag);
        out.append(">\r\n");
        for (int i = 0; i < m_children->getSize(); ++i)
            static_cast<LogEntry2*>(m_children->getAt(i))->renderXml(out);
        out.append("</");
        out.appendSb(*m_tag);
        out.append(">\r\n");
        return;
    }
}

void LogEntry2::renderHtml(kit::StringBuffer& out) const
{
    switch (m_kind) {
    case 'E':
    case 'I':
    case 'X':
        if (!m_text)
            return;
        appendHtmlEscaped(out, *m_text);
        out.append("<br>\r\n");
        return;
    case 'T':
        if (!m_text || !m_tag)
            return;
        out.appendSb(*m_tag);
        out.append(": ");
        appendHtmlEscaped(out, *m_text);
        out.append("<br>\r\n");
        return;
    case 'C':
        if (!m_children || !m_tag)
            return;
        out.appendSb(*m_tag);
        out.append(":<blockquote>\r\n");
        for (int i = 0; i < m_children->getSize(); ++i)
            static_cast<LogEntry2*>(m_children->getAt(i))->renderHtml(out);
        out.append("</blockquote>\r\n");
        return;
    }
}

void LogEntry2::renderText(kit::StringBuffer& out, int level) const
{
    switch (m_kind) {
    case 'E':
    case 'I':
    case 'X':
        if (!m_text)
            return;
        appendIndent(out, level);
        out.appendSb(*m_text);
        out.append("\r\n");
        return;
    case 'T':
        if (!m_text || !m_tag)
            return;
        appendIndent(out, level);
        out.appendSb(*m_tag);
        out.append(": ");
        out.appendSb(*m_text);
        out.append("\r\n");
        return;
    case 'C':
        if (!m_children || !m_tag)
            return;
        appendIndent(out, level);
        out.appendSb(*m_tag);
        out.append(":\r\n");
        for (int i = 0; i < m_children->getSize(); ++i)
            static_cast<LogEntry2*>(m_children->getAt(i))->renderText(out, level + 1);
        return;
    }
}

ErrorLog::ErrorLog()
{
    clear();
}

ErrorLog::~ErrorLog()
{
    delete root();
}

LogEntry2* ErrorLog::root() const
{
    return static_cast<LogEntry2*>(const_cast<ExtPtrArray&>(m_stack).getAt(0));
}

void ErrorLog::clear()
{
    delete root();
    m_stack.removeAll();
    m_entries = 0;
    LogEntry2* top = new (std::nothrow) LogEntry2();
    if (!top)
        return;
    top->setContext("KitLog");
    m_stack.appendPtr(top);
}

void ErrorLog::appendToCurrent(LogEntry2* entry)
{
    LogEntry2* current = static_cast<LogEntry2*>(m_stack.lastElement());
    if (!current || m_entries >= MaxEntries) {
        delete entry;
        return;
    }
    ++m_entries;
    current->appendChild(entry);
}

void ErrorLog::enterContext(const char* tag)
{
    LogEntry2* entry = new (std::nothrow) LogEntry2();
    if (!entry)
        return;
    entry->setContext(tag);
    LogEntry2* current = static_cast<LogEntry2*>(m_stack.lastElement());
    // Past the bound a context is kept on the stack (so leaving stays balanced) but not in the tree.
    if (!current || m_entries >= MaxEntries) {
        delete entry;
        entry = nullptr;
    } else {
        ++m_entries;
        current->appendChild(entry);
    }
    m_stack.appendPtr(entry);
}

void ErrorLog::leaveContext()
{
    if (m_stack.getSize() <= 1)
        return;
    m_stack.pop();
    if (m_stack.getSize() > 1) {
        LogEntry2* current = static_cast<LogEntry2*>(m_stack.lastElement());
        // A pruned context no longer counts against the bound on entries.
        if (current && current->removeEmptyLastContext() && m_entries > 0)
            --m_entries;
    }
}

namespace {
LogEntry2* newEntry()
{
    return new (std::nothrow) LogEntry2();
}
} // namespace

void ErrorLog::addError(const char* text)
{
    if (LogEntry2* e = newEntry()) {
        e->setError(text);
        appendToCurrent(e);
    }
}

void ErrorLog::addInfo(const char* text)
{
    if (LogEntry2* e = newEntry()) {
        e->setInfo(text);
        appendToCurrent(e);
    }
}

void ErrorLog::addRaw(const char* text)
{
    if (LogEntry2* e = newEntry()) {
        e->setRaw(text);
        appendToCurrent(e);
    }
}

void ErrorLog::addTagged(const char* tag, const char* value)
{
    if (LogEntry2* e = newEntry()) {
        e->setTagged(tag, value);
        appendToCurrent(e);
    }
}

void ErrorLog::addTaggedInt(const char* tag, int value)
{
    char text[16];
    snprintf(text, sizeof text, "%d", value);
    addTagged(tag, text);
}

void ErrorLog::getXml(kit::StringBuffer& out) const
{
    if (LogEntry2* top = root())
        top->renderXml(out);
}

void ErrorLog::getHtml(kit::StringBuffer& out) const
{
    if (LogEntry2* top = root())
        top->renderHtml(out);
}

void ErrorLog::getText(kit::StringBuffer& out) const
{
    if (LogEntry2* top = root())
        top->renderText(out, 0);
}
