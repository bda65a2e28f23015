// ProgressMonitor: clamped amounts, percentages with large totals scaled down, and reports that
// only ever rise.
#include "kit/ProgressMonitor.h"
#include <windows.h>

ProgressMonitor::ProgressMonitor(ProgressSink* sink)
    : m_total(0), m_done(0), m_lastPercent(0), m_sink(sink), m_abortRequested(false), m_lastReportTime(0),
      m_suspended(false), m_holdBack100(false)
{
}

void ProgressMonitor::reset(uint32_t total)
{
    m_total = total;
    m_done = 0;
    m_abortRequested = false;
    m_lastPercent = 0;
}

uint32_t ProgressMonitor::percentOf(int64_t done, int64_t total)
{
    if (total <= 0)
        return 100;
    while (total > 1000000) {
        total /= 10;
        done /= 10;
    }
    return (uint32_t)(done * 100 / total);
}

void ProgressMonitor::report(uint32_t percent, bool* abort)
{
    m_lastReportTime = GetTickCount();
    m_lastPercent = percent;
    bool stop = false;
    m_sink->percentDone(percent, &stop);
    if (abort)
        *abort = stop;
}

bool ProgressMonitor::reportChange(uint32_t before)
{
    if (!m_sink)
        return false;
    uint32_t now = percentOf((int64_t)m_done, (int64_t)m_total);
    if (now <= before || now <= m_lastPercent)
        return false;
    if (now >= 100 && m_holdBack100)
        return false;
    bool stop = false;
    report(now, &stop);
    return stop;
}

void ProgressMonitor::setAmountDone64(uint64_t done, bool* abort)
{
    uint32_t before = percentOf((int64_t)m_done, (int64_t)m_total);
    m_done = done > m_total ? m_total : done;
    bool stop = reportChange(before);
    if (abort)
        *abort = stop;
    if (stop)
        m_abortRequested = true;
}

void ProgressMonitor::setAmountDone(uint32_t done, bool* abort) { setAmountDone64(done, abort); }

void ProgressMonitor::consumeProgress(uint64_t amount)
{
    if (m_suspended)
        return;
    uint32_t before = percentOf((int64_t)m_done, (int64_t)m_total);
    uint64_t done = m_done + amount;
    m_done = (done < m_done || done > m_total) ? m_total : done;
    reportChange(before);
}

void ProgressMonitor::finish()
{
    if (m_done < m_total)
        consumeProgress(m_total - m_done);
    if (m_holdBack100 && m_sink)
        report(100, nullptr);
}
