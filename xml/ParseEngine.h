// A cursor over a private copy of a text, with the scanning and capturing steps the XML parser is
// made of. The cursor never moves past the terminating zero.
#pragma once
#include "xml/KitTypes.h"
#include <string.h>

// A set of bytes for the scanning steps, looked up by table.
struct ByteSet {
    explicit ByteSet(const char* bytes)
    {
        memset(in, 0, sizeof in);
        for (const unsigned char* p = (const unsigned char*)bytes; *p; ++p)
            in[*p] = true;
    }
    bool contains(char c) const { return in[(unsigned char)c]; }
    bool in[256];
};

class ParseEngine
{
public:
    ParseEngine();
    explicit ParseEngine(const DataBuffer& data);
    virtual ~ParseEngine() {}
    ParseEngine(const ParseEngine&) = delete;
    ParseEngine& operator=(const ParseEngine&) = delete;

    void setText(const char* text);
    void setTextN(const char* text, int length);
    // Reads the caller's text in place (it must outlive the engine): no copy of a large text.
    void viewText(const char* text);

    // Position and looking ahead.
    int index() const { return m_index; }
    const char* cursor() const { return m_text + m_index; }
    const char* end() const { return m_text + m_length; }
    bool atEnd() const { return m_index >= m_length; }
    char current() const { return m_text[m_index]; }
    void advance(int n) { m_index = m_index + n > m_length ? m_length : m_index + n; }
    void moveTo(const char* p) { m_index = (int)(p - m_text); }
    // Inline, so that the length of a literal is known when compiling.
    bool beginsWith(const char* s) const
    {
        size_t n = strlen(s);
        return (size_t)(m_length - m_index) >= n && memcmp(cursor(), s, n) == 0;
    }
    bool beginsWithNoCase(const char* s) const;
    // A CDATA section begins at the cursor; the second byte rules out nearly every other markup.
    bool atCdata() const
    {
        return m_length - m_index >= 9 && m_text[m_index + 1] == '!' && memcmp(cursor(), "<![CDATA[", 9) == 0;
    }
    // Inline: called several times for every element.
    void skipBlanks()
    {
        while (m_index < m_length && isBlank(m_text[m_index]))
            ++m_index;
    }

    // The cursor steps.
    void skipToChar(char c);
    bool skipToCharUnless(char target, char stop);
    void captureUntilAnyOf(const char* set, kit::StringBuffer& out);
    // Moves to the first byte in the set (or the end) and returns where the cursor started.
    const char* skipUntil(const ByteSet& set)
    {
        const char* start = cursor();
        while (m_index < m_length && !set.contains(m_text[m_index]))
            ++m_index;
        return start;
    }
    // captureUntilAnyOf for a set of exactly 7, 5 or 2 bytes: the set is held in registers and
    // compared without a call per byte.
    void captureUntilAny7(const char* set, kit::StringBuffer& out) { captureUntilAnyFixed<7>(set, out); }
    void captureUntilAny5(const char* set, kit::StringBuffer& out) { captureUntilAnyFixed<5>(set, out); }
    void captureUntilAny2(const char* set, kit::StringBuffer& out) { captureUntilAnyFixed<2>(set, out); }
    void captureUntilChar(char c, kit::StringBuffer& out);
    bool captureBalanced(char open, char close, int depth, kit::StringBuffer& out);
    bool captureThrough(const char* s, kit::StringBuffer& out);
    bool skipPast(const char* s);

    // Most bytes lie above the space: one comparison rules them out.
    static bool isBlank(char c)
    {
        return (unsigned char)c <= ' ' && (c == ' ' || c == '\t' || c == '\r' || c == '\n');
    }
    // First occurrence of s (byte for byte) in [from, end); NULL when absent.
    const char* find(const char* from, const char* s) const;

private:
    void repoint();
    template <int N>
    void captureUntilAnyFixed(const char* set, kit::StringBuffer& out)
    {
        char bytes[N];
        for (int k = 0; k < N; ++k)
            bytes[k] = set[k];
        int start = m_index;
        for (; m_index < m_length; ++m_index) {
            char c = m_text[m_index];
            bool hit = false;
            for (int k = 0; k < N; ++k)
                hit |= c == bytes[k];
            if (hit)
                break;
        }
        out.appendN(m_text + start, m_index - start);
    }

    kit::StringBuffer m_buffer;
    const char* m_text;
    int m_index = 0;
    int m_length = 0;
};
