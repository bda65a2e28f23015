// ProgressMonitor: turns amounts of work into rising percentages for an optional event sink.
#pragma once
#include <cstdint>

// Receives progress reports; setting *abort asks the worker to stop.
class ProgressSink
{
public:
    virtual ~ProgressSink() {}
    virtual void percentDone(uint32_t percent, bool* abort) = 0;
};

class ProgressMonitor
{
public:
    explicit ProgressMonitor(ProgressSink* sink = nullptr);

    void reset(uint32_t total);
    void setAmountDone64(uint64_t done, bool* abort);
    void setAmountDone(uint32_t done, bool* abort);
    void consumeProgress(uint64_t amount);
    void finish();
    static uint32_t percentOf(int64_t done, int64_t total);

    void setSuspended(bool suspended) { m_suspended = suspended; }
    void setHoldBack100(bool hold) { m_holdBack100 = hold; }
    bool abortRequested() const { return m_abortRequested; }
    uint64_t amountDone() const { return m_done; }
    uint32_t lastReported() const { return m_lastPercent; }

private:
    // Reports when the percentage rose; the sink's abort answer is returned.
    bool reportChange(uint32_t before);
    void report(uint32_t percent, bool* abort);

    uint64_t m_total;
    uint64_t m_done;
    uint32_t m_lastPercent;
    ProgressSink* m_sink;
    bool m_abortRequested;
    uint32_t m_lastReportTime;
    bool m_suspended;
    bool m_holdBack100;
};
