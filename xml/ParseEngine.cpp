// The parser's cursor steps; the hot ones search sixteen bytes at a time.
#include "xml/ParseEngine.h"
#include "xml/ByteScan.h"

namespace {
char lowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? (char)(c + 32) : c;
}
} // namespace

ParseEngine::ParseEngine()
{
    repoint();
}

ParseEngine::ParseEngine(const DataBuffer& data)
{
    DataBuffer& d = const_cast<DataBuffer&>(data);
    if (d.getSize() > 0)
        m_buffer.appendN(reinterpret_cast<const char*>(d.getData()), (int)d.getSize());
    repoint();
}

void ParseEngine::repoint()
{
    // The text ends at its first zero byte, wherever the bytes came from.
    m_text = sbText(m_buffer);
    m_length = (int)strlen(m_text);
    if (m_index > m_length)
        m_index = m_length;
}

void ParseEngine::setText(const char* text)
{
    m_buffer.append(text);
    repoint();
}

void ParseEngine::viewText(const char* text)
{
    m_text = text ? text : "";
    m_length = (int)textLength(m_text);
    m_index = 0;
}

void ParseEngine::setTextN(const char* text, int length)
{
    m_buffer.appendN(text, length);
    repoint();
}

bool ParseEngine::beginsWithNoCase(const char* s) const
{
    size_t n = strlen(s);
    if ((size_t)(m_length - m_index) < n)
        return false;
    const char* p = cursor();
    for (size_t i = 0; i < n; ++i)
        if (lowerAscii(p[i]) != lowerAscii(s[i]))
            return false;
    return true;
}

void ParseEngine::skipToChar(char c)
{
    const char* p = findByte(cursor(), end(), c);
    m_index = p ? (int)(p - m_text) : m_length;
}

bool ParseEngine::skipToCharUnless(char target, char stop)
{
    while (m_index < m_length) {
        char c = m_text[m_index];
        if (c == target)
            return true;
        if (c == stop)
            return false;
        ++m_index;
    }
    return true;
}

void ParseEngine::captureUntilAnyOf(const char* set, kit::StringBuffer& out)
{
    int start = m_index;
    while (m_index < m_length && !strchr(set, m_text[m_index]))
        ++m_index;
    out.appendN(m_text + start, m_index - start);
}

void ParseEngine::captureUntilChar(char c, kit::StringBuffer& out)
{
    int start = m_index;
    skipToChar(c);
    out.appendN(m_text + start, m_index - start);
}

bool ParseEngine::captureBalanced(char open, char close, int depth, kit::StringBuffer& out)
{
    int start = m_index;
    while (m_index < m_length) {
        char c = m_text[m_index++];
        if (c == close)
            --depth;
        else if (c == open)
            ++depth;
        if (depth == 0) {
            out.appendN(m_text + start, m_index - start);
            return true;
        }
    }
    out.appendN(m_text + start, m_index - start);
    return false;
}

const char* ParseEngine::find(const char* from, const char* s) const
{
    size_t n = strlen(s);
    const char* last = end();
    while ((size_t)(last - from) >= n) {
        const char* p = findByte(from, last, s[0]);
        if (!p || (size_t)(last - p) < n)
            return nullptr;
        if (memcmp(p, s, n) == 0)
            return p;
        from = p + 1;
    }
    return nullptr;
}

bool ParseEngine::captureThrough(const char* s, kit::StringBuffer& out)
{
    size_t n = strlen(s);
    for (const char* p = cursor(); (size_t)(end() - p) >= n; ++p) {
        size_t i = 0;
        while (i < n && lowerAscii(p[i]) == lowerAscii(s[i]))
            ++i;
        if (i == n) {
            out.appendN(cursor(), (int)(p + n - cursor()));
            moveTo(p + n);
            return true;
        }
    }
    return false;
}

bool ParseEngine::skipPast(const char* s)
{
    const char* p = find(cursor(), s);
    if (!p)
        return false;
    moveTo(p + strlen(s));
    return true;
}
