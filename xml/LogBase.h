// The operation log every library object writes to: the interface (LogBase), the log that drops
// everything (LogNull) and the thread-safe log of named contexts (Logger).
#pragma once
#include <windows.h>
#include <stdint.h>
#include "xml/LogTree.h"

class LogBase
{
public:
    virtual ~LogBase() {}
    virtual void getLogXml(kit::StringBuffer& out) {}
    virtual void getLogHtml(kit::StringBuffer& out) {}
    virtual void getLogText(kit::StringBuffer& out) {}
    virtual bool logError(const char* text) { return true; }
    virtual bool logInfo(const char* text) { return true; }
    virtual bool logRaw(const char* text) { return true; }
    virtual bool clearLog() { return true; }
    virtual bool enterContext(const char* tag, int flag) { return true; }
    virtual bool leaveContext() { return true; }
    virtual bool logData(const char* tag, const char* value) { return true; }
    virtual bool logDataInt(const char* tag, int value) { return true; }
    virtual bool logDataInt64(const char* tag, int64_t value) { return true; }
    virtual bool logDataHex(const char* tag, uint32_t value) { return true; }
    // Logs the system's text for a Windows error code under "WindowsError"; 0 logs nothing.
    virtual void logWindowsError(uint32_t code);
    virtual void logTickCount(const char* tag) {}
    virtual bool saveLog(int unused, const char* path) { return true; }

    // Logs the value quoted-printable encoded under the tag.
    void logDataQP(const char* tag, const char* value);
};

class LogNull : public LogBase
{
};

// The log each implementation object embeds; every operation runs under its own lock.
class Logger : public LogBase
{
public:
    Logger();
    ~Logger() override;
    Logger(const Logger&) = delete;
    Logger& operator=(const Logger&) = delete;

    void getLogXml(kit::StringBuffer& out) override;
    void getLogHtml(kit::StringBuffer& out) override;
    void getLogText(kit::StringBuffer& out) override;
    bool logError(const char* text) override;
    bool logInfo(const char* text) override;
    bool logRaw(const char* text) override;
    bool clearLog() override;
    bool enterContext(const char* tag, int flag) override;
    bool leaveContext() override;
    bool logData(const char* tag, const char* value) override;
    bool logDataInt(const char* tag, int value) override;
    bool logDataInt64(const char* tag, int64_t value) override;
    bool logDataHex(const char* tag, uint32_t value) override;
    void logTickCount(const char* tag) override;
    bool saveLog(int unused, const char* path) override;

private:
    bool addTaggedValue(const char* tag, const char* value);

    CRITICAL_SECTION m_lock;
    ErrorLog m_log;
};
