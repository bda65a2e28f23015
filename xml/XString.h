// A text held in up to three forms at once (UTF-16LE, the ANSI code page, UTF-8), each produced from
// another only when somebody asks for it.
#pragma once
#include "xml/KitTypes.h"
#include <stdint.h>

class XString : public KitObject
{
public:
    XString();
    ~XString() override {}
    XString(const XString&) = delete;
    XString& operator=(const XString&) = delete;

    void clear();
    void setFromAnsi(const char* text);
    void setFromUtf8(const char* text);
    void setFromText(const char* text, bool isUtf8);
    void setFromUtf16(const wchar_t* units);

    const wchar_t* getUtf16();
    const char* getAnsi();
    const char* getUtf8();
    bool isAnsiExact();
    // True when memory ran out while a form was set or converted: a form may then be incomplete.
    bool lostBytes() const { return m_lost || m_ansi.lostBytes() || m_utf8.lostBytes() || m_utf16.lostBytes(); }
    int getNumChars();
    bool beginsWithUtf8(const char* s);

    // A writer may produce the UTF-8 form in place, so that a large text is not copied again: the
    // returned buffer starts empty, and endUtf8Writing makes its content the string's value.
    kit::StringBuffer& beginUtf8Writing();
    void endUtf8Writing();

    void appendAnsi(const char* s);
    void appendUtf8(const char* s);
    void appendUtf16(const wchar_t* units);
    void appendX(XString& other);
    void toLowerCase();
    void replaceAnsiChar(char a, char b);

private:
    enum { Undecided = 0, Exact = 1, NotExact = 2 };
    void makeUtf16Valid();
    void makeAnsiValid();
    void makeUtf8Valid();
    void setOnlyValid(bool utf16, bool ansi, bool utf8);
    uint32_t utf16ByteLength() const; // without the terminating 0 unit

    int m_state = Undecided;
    bool m_lost = false; // a conversion's output could not grow
    bool m_utf16Valid = true;
    bool m_ansiValid = true;
    bool m_utf8Valid = true;
    DataBuffer m_utf16;
    kit::StringBuffer m_ansi;
    kit::StringBuffer m_utf8;
};
