// The tree behind a Logger: entries of kind context, tagged value, error, information or raw text,
// a stack of open contexts under the root "KitLog", and the XML, HTML and text renderings.
#pragma once
#include "xml/KitTypes.h"

class LogEntry2 : public KitObject
{
public:
    LogEntry2();
    ~LogEntry2() override;
    LogEntry2(const LogEntry2&) = delete;
    LogEntry2& operator=(const LogEntry2&) = delete;

    void setContext(const char* tag);
    void setTagged(const char* tag, const char* value);
    void setError(const char* text);
    void setInfo(const char* text);
    void setRaw(const char* text);

    char kind() const { return m_kind; }
    ExtPtrArray* children() { return m_children; }
    void appendChild(LogEntry2* child);
    // Removes and deletes the last child when it is a context without children; true when it did.
    bool removeEmptyLastContext();

    void renderXml(kit::StringBuffer& out) const;
    void renderHtml(kit::StringBuffer& out) const;
    void renderText(kit::StringBuffer& out, int level) const;

    static bool needsCdata(const char* text);

private:
    void setKind(char kind, const char* tag, const char* text);
    void deleteChildren();

    ExtPtrArray* m_children = nullptr;
    char m_kind = 'I';
    kit::StringBuffer* m_tag = nullptr;
    kit::StringBuffer* m_text = nullptr;
};

class ErrorLog
{
public:
    // Entries beyond this many in one log are dropped, so a runaway loop cannot exhaust memory.
    static const int MaxEntries = 10000;

    ErrorLog();
    virtual ~ErrorLog();
    ErrorLog(const ErrorLog&) = delete;
    ErrorLog& operator=(const ErrorLog&) = delete;

    void clear();
    void enterContext(const char* tag);
    void leaveContext();
    void addError(const char* text);
    void addInfo(const char* text);
    void addRaw(const char* text);
    void addTagged(const char* tag, const char* value);
    void addTaggedInt(const char* tag, int value);

    void getXml(kit::StringBuffer& out) const;
    void getHtml(kit::StringBuffer& out) const;
    void getText(kit::StringBuffer& out) const;

private:
    LogEntry2* root() const;
    void appendToCurrent(LogEntry2* entry);

    ExtPtrArray m_stack;
    int m_entries = 0;
};
