// The operating-system version the file functions consult, and the library's critical section.
#pragma once
#include <windows.h>

class WindowsVersion
{
public:
    WindowsVersion();
    virtual ~WindowsVersion() {}
    bool isMajorVersion4() const { return m_info.dwMajorVersion == 4; }

private:
    OSVERSIONINFOA m_info;
};

// True on a system that has only the ANSI file calls (asked once per process).
bool systemIsMajorVersion4();

class KitCritSec
{
public:
    KitCritSec() { InitializeCriticalSection(&m_cs); }
    // Waits for a holder on another thread before the section goes.
    virtual ~KitCritSec()
    {
        EnterCriticalSection(&m_cs);
        LeaveCriticalSection(&m_cs);
        DeleteCriticalSection(&m_cs);
    }
    KitCritSec(const KitCritSec&) = delete;
    KitCritSec& operator=(const KitCritSec&) = delete;

    void enterCriticalSection() { EnterCriticalSection(&m_cs); }
    void leaveCriticalSection() { LeaveCriticalSection(&m_cs); }

private:
    CRITICAL_SECTION m_cs;
};
