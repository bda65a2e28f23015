// The public XML handle: one element of a document. Lookups return new handles that the caller
// deletes; text results stay valid for the next nine text results of the same handle.
#pragma once

class ClsXml;
class XString;
namespace kit { class StringBuffer; }

class XkObject
{
public:
    virtual ~XkObject() {}
};

class XkString : public XkObject
{
public:
    XkString();
    ~XkString() override;
    XkString(const XkString&) = delete;
    XkString& operator=(const XkString&) = delete;

    const char* getString();     // the ANSI form
    const char* getStringUtf8(); // the UTF-8 form
    void clear();
    XString* value() { return m_value; }

private:
    XString* m_value;
    kit::StringBuffer* m_spare;
    bool m_utf8 = false;
};

class XkXml : public XkObject
{
public:
    XkXml();
    ~XkXml() override;
    XkXml(const XkXml&) = delete;
    XkXml& operator=(const XkXml&) = delete;

    bool LoadXml(const char* text);
    XkXml* GetRoot();
    XkXml* GetChildWithTag(const char* tag);
    int NumChildren();
    XkXml* GetChild(int index);
    const char* getChildContent(const char* tag);
    bool SwapNode(XkXml* other);
    const char* getXml();

    bool GetChildContent(const char* tag, XkString& out);
    void GetXml(XkString& out);
    void SetUtf8(bool utf8) { m_utf8 = utf8; }

private:
    static const int kResultSlots = 10;
    explicit XkXml(ClsXml* impl);
    XkXml* wrap(ClsXml* impl);
    XkString& nextResultSlot();
    const char* resultText(XkString& slot);

    ClsXml* m_impl;
    bool m_utf8 = false;
    int m_resultIndex = 0;
    XkString m_results[kResultSlots];
};
