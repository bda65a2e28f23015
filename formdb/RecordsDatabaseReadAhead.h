// The records list's rows read ahead on a thread of their own: while the caller files one batch of
// rows (into a grid, say), SQLite steps through the next ones, so a long list costs about the
// longer of the two, not their sum. Rows stay in order; a few batches are kept and reused.
#pragma once
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

class Database;

// Rows of one select, each row's cells copied one after another.
struct RecordRowBatch
{
    bool isTemplate = false;
    int cellCount = 0;
    std::vector<long long> rowIds;
    std::vector<char> bytes;
    std::vector<uint32_t> cellEnds;   // cellCount a row: where each cell's bytes end

    size_t Rows() const { return rowIds.size(); }
    // Cell c of row r, valid until the batch is reused.
    std::string_view Cell(size_t r, int c) const
    {
        const size_t index = r * static_cast<size_t>(cellCount) + static_cast<size_t>(c);
        const uint32_t begin = index == 0 ? 0 : cellEnds[index - 1];
        return std::string_view(bytes.data() + begin, cellEnds[index] - begin);
    }
    void Clear(bool templates, int cells);
};

// The hand-over between the reading thread and the caller: a fixed number of batches go round,
// so the reader waits when it is that far ahead.
class RecordRowQueue
{
public:
    explicit RecordRowQueue(size_t batches);
    RecordRowQueue(const RecordRowQueue&) = delete;
    RecordRowQueue& operator=(const RecordRowQueue&) = delete;

    // Reader's side. A batch to fill; null once the caller has stopped taking rows.
    RecordRowBatch* TakeEmpty();
    void PushFull(RecordRowBatch* batch);
    // No more batches come.
    void Finish();
    // Whether the caller has stopped taking rows.
    bool Cancelled();

    // Caller's side. The next batch in order; null when the reader has finished and all were taken.
    RecordRowBatch* TakeFull();
    void GiveBack(RecordRowBatch* batch);
    // The caller takes no more rows: the reader stops at its next batch.
    void Cancel();

private:
    std::mutex m_lock;
    std::condition_variable m_changed;
    std::vector<std::unique_ptr<RecordRowBatch>> m_batches;
    std::vector<RecordRowBatch*> m_empty;
    std::deque<RecordRowBatch*> m_full;
    bool m_finished = false;
    bool m_cancelled = false;
};

// How the reader's selects ended.
struct RecordReadOutcome
{
    enum Kind { Done, PrepareFailed, StepFailed, Cancelled } kind = Done;
    std::string error;   // SQLite's words for a failed step
};

// One select of the list (column 0 the row id, columns 1..cellCount the cells), every row copied
// into batches of queue; stops early when the queue is cancelled.
RecordReadOutcome ReadRowsAhead(Database& db, const std::string& sql, bool isTemplate, int cellCount,
                                RecordRowQueue& queue);
