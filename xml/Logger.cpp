// LogBase's shared operations and the Logger: each operation of the log tree under the log's lock,
// with tags of tagged values normalised first.
#include "xml/LogBase.h"
#include "xml/KitServices.h"
#include "xml/WinFiles.h"
#include <stdio.h>

namespace {

// Copies the tag, trims blanks at both ends and turns inner spaces into '_'.
void normaliseTag(const char* tag, kit::StringBuffer& out)
{
    out.append(tag);
    out.trim();
    out.replaceChar(' ', '_');
}

class LockScope
{
public:
    explicit LockScope(CRITICAL_SECTION& cs) : m_cs(cs) { EnterCriticalSection(&m_cs); }
    ~LockScope() { LeaveCriticalSection(&m_cs); }
    LockScope(const LockScope&) = delete;
    LockScope& operator=(const LockScope&) = delete;

private:
    CRITICAL_SECTION& m_cs;
};

} // namespace

void LogBase::logWindowsError(uint32_t code)
{
    if (code == 0)
        return;
    kit::StringBuffer text;
    text.appendWindowsError(code);
    logData("WindowsError", sbText(text));
}

void LogBase::logDataQP(const char* tag, const char* value)
{
    kit::StringBuffer encoded;
    if (value) {
        ContentCoding coder;
        coder.encodeQuotedPrintable(reinterpret_cast<const unsigned char*>(value), (int)strlen(value), encoded);
    }
    logData(tag, sbText(encoded));
}

Logger::Logger()
{
    InitializeCriticalSection(&m_lock);
}

Logger::~Logger()
{
    DeleteCriticalSection(&m_lock);
}

void Logger::getLogXml(kit::StringBuffer& out)
{
    LockScope lock(m_lock);
    out.clear();
    m_log.getXml(out);
}

void Logger::getLogHtml(kit::StringBuffer& out)
{
    LockScope lock(m_lock);
    out.clear();
    m_log.getHtml(out);
}

void Logger::getLogText(kit::StringBuffer& out)
{
    LockScope lock(m_lock);
    out.clear();
    m_log.getText(out);
}

bool Logger::logError(const char* text)
{
    if (!text)
        return true;
    LockScope lock(m_lock);
    m_log.addError(text);
    return true;
}

bool Logger::logInfo(const char* text)
{
    if (!text)
        return true;
    LockScope lock(m_lock);
    m_log.addInfo(text);
    return true;
}

bool Logger::logRaw(const char* text)
{
    if (!text)
        return true;
    LockScope lock(m_lock);
    m_log.addRaw(text);
    return true;
}

bool Logger::clearLog()
{
    LockScope lock(m_lock);
    m_log.clear();
    return true;
}

bool Logger::enterContext(const char* tag, int flag)
{
    LockScope lock(m_lock);
    m_log.enterContext(tag);
    return true;
}

bool Logger::leaveContext()
{
    LockScope lock(m_lock);
    m_log.leaveContext();
    return true;
}

bool Logger::addTaggedValue(const char* tag, const char* value)
{
    kit::StringBuffer name;
    normaliseTag(tag, name);
    if (sbLength(name) == 0)
        return false;
    LockScope lock(m_lock);
    m_log.addTagged(sbText(name), value ? value : "(NULL)");
    return true;
}

bool Logger::logData(const char* tag, const char* value)
{
    return addTaggedValue(tag, value);
}

bool Logger::logDataInt(const char* tag, int value)
{
    char text[16];
    snprintf(text, sizeof text, "%d", value);
    return addTaggedValue(tag, text);
}

bool Logger::logDataInt64(const char* tag, int64_t value)
{
    kit::StringBuffer text;
    appendInt64(value, text);
    return addTaggedValue(tag, sbText(text));
}

bool Logger::logDataHex(const char* tag, uint32_t value)
{
    char text[16];
    snprintf(text, sizeof text, "0x%x", value);
    return addTaggedValue(tag, text);
}

void Logger::logTickCount(const char* tag)
{
    char text[16];
    snprintf(text, sizeof text, "%lx", GetTickCount());
    addTaggedValue(tag, text);
}

bool Logger::saveLog(int unused, const char* path)
{
    kit::StringBuffer xml;
    {
        LockScope lock(m_lock);
        m_log.getXml(xml);
    }
    return writeWholeFile(path, sbText(xml), (uint32_t)sbLength(xml), nullptr);
}
