// Reading the records list's rows ahead: batches filled on the reading thread, taken in order by
// the caller.
#include "formdb/RecordsDatabaseReadAhead.h"

#include "formdb/Database.h"
#include "formdb/DatabaseStatement.h"

namespace {

// Rows a batch holds: enough that handing a batch over is rare, few enough that a handful of
// batches stay small (a claim's list columns take one or two kilobytes).
const size_t kRowsPerBatch = 256;

} // namespace

void RecordRowBatch::Clear(bool templates, int cells)
{
    isTemplate = templates;
    cellCount = cells;
    rowIds.clear();
    bytes.clear();
    cellEnds.clear();
}

RecordRowQueue::RecordRowQueue(size_t batches)
{
    for (size_t i = 0; i < batches; i++)
    {
        m_batches.push_back(std::make_unique<RecordRowBatch>());
        m_empty.push_back(m_batches.back().get());
    }
}

RecordRowBatch* RecordRowQueue::TakeEmpty()
{
    std::unique_lock<std::mutex> held(m_lock);
    m_changed.wait(held, [this] { return m_cancelled || !m_empty.empty(); });
    if (m_cancelled)
        return nullptr;
    RecordRowBatch* batch = m_empty.back();
    m_empty.pop_back();
    return batch;
}

void RecordRowQueue::PushFull(RecordRowBatch* batch)
{
    {
        std::lock_guard<std::mutex> held(m_lock);
        m_full.push_back(batch);
    }
    m_changed.notify_all();
}

void RecordRowQueue::Finish()
{
    {
        std::lock_guard<std::mutex> held(m_lock);
        m_finished = true;
    }
    m_changed.notify_all();
}

bool RecordRowQueue::Cancelled()
{
    std::lock_guard<std::mutex> held(m_lock);
    return m_cancelled;
}

RecordRowBatch* RecordRowQueue::TakeFull()
{
    std::unique_lock<std::mutex> held(m_lock);
    m_changed.wait(held, [this] { return m_finished || !m_full.empty(); });
    if (m_full.empty())
        return nullptr;
    RecordRowBatch* batch = m_full.front();
    m_full.pop_front();
    return batch;
}

void RecordRowQueue::GiveBack(RecordRowBatch* batch)
{
    {
        std::lock_guard<std::mutex> held(m_lock);
        m_empty.push_back(batch);
    }
    m_changed.notify_all();
}

void RecordRowQueue::Cancel()
{
    {
        std::lock_guard<std::mutex> held(m_lock);
        m_cancelled = true;
    }
    m_changed.notify_all();
}

RecordReadOutcome ReadRowsAhead(Database& db, const std::string& sql, bool isTemplate, int cellCount,
                                RecordRowQueue& queue)
{
    RecordReadOutcome outcome;
    Statement select;
    if (!select.Prepare(db, sql.c_str()))
    {
        outcome.kind = RecordReadOutcome::PrepareFailed;
        return outcome;
    }
    RecordRowBatch* batch = nullptr;
    StepResult step;
    while ((step = select.Step()) == StepResult::Row)
    {
        if (!batch)
        {
            batch = queue.TakeEmpty();
            if (!batch)
            {
                outcome.kind = RecordReadOutcome::Cancelled;
                return outcome;
            }
            batch->Clear(isTemplate, cellCount);
        }
        batch->rowIds.push_back(select.ColumnInt64(0));
        for (int c = 0; c < cellCount; ++c)
        {
            const char* text = select.ColumnText(c + 1);
            batch->bytes.insert(batch->bytes.end(), text, text + select.ColumnBytes(c + 1));
            batch->cellEnds.push_back(static_cast<uint32_t>(batch->bytes.size()));
        }
        if (batch->Rows() == kRowsPerBatch)
        {
            queue.PushFull(batch);
            batch = nullptr;
        }
    }
    // The rows read before a failing step are handed over before it is reported.
    if (batch)
        queue.PushFull(batch);
    if (step == StepResult::Error)
    {
        outcome.kind = RecordReadOutcome::StepFailed;
        outcome.error = select.ErrorText();
    }
    return outcome;
}
