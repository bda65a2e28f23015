// Records the pauses the program asks for (AfxSleep), for the life of the object: instead of spending
// them, or besides, for tests whose other events come from real timers.
#pragma once
#include "framework/Seams.h"
#include <vector>

class SleepRecorder
{
public:
    explicit SleepRecorder(bool alsoSleep = false)
    {
        AfxSetSleeper([this, alsoSleep](DWORD ms) {
            m_sleeps.push_back(ms);
            if (alsoSleep)
                ::Sleep(ms);
        });
    }
    ~SleepRecorder() { AfxSetSleeper(nullptr); }
    SleepRecorder(const SleepRecorder&) = delete;
    SleepRecorder& operator=(const SleepRecorder&) = delete;

    const std::vector<DWORD>& Sleeps() const { return m_sleeps; }
    // True when exactly `count` pauses of `ms` each were asked for.
    bool Are(size_t count, DWORD ms) const { return m_sleeps == std::vector<DWORD>(count, ms); }
    void Clear() { m_sleeps.clear(); }

private:
    std::vector<DWORD> m_sleeps;
};
