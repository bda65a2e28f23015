// Records list statements on the per-form database: one connection per call, every statement
// prepared through the traced helper, every step checked.
#include "formdb/RecordsDatabase.h"

#include <algorithm>

#include "common/Diagnostics.h"
#include "formdb/Database.h"
#include "formdb/DatabaseStatement.h"
#include "formdb/DatabaseTransaction.h"
#include "formdb/FieldNames.h"
#include "formdb/FormDatabaseOpen.h"
#include "formdb/StoredText.h"

namespace {

const char kDb[] = "db";
const char kPrepareFailure[] = "prepare failure";
const char kMarker[] = "jjjj";

template <class Result>
Result FailedWith(const std::string& message)
{
    Result result;
    result.ok = false;
    result.message = message;
    result.caption = kDb;
    return result;
}

std::string OpenError(const Database& db)
{
    return std::string("Can't open database: ") + db.ErrorText() + "\n";
}

std::string SqlError(const char* error)
{
    return std::string("SQL error: ") + error + "\n";
}

// Streams the rows of one select: column 0 the row id, columns 1.. the cells.
bool StreamRows(Database& db, const std::string& sql, bool isTemplate, int cellCount,
                const std::function<bool(const StoredRecordRow&)>& onRow, RecordListResult& result)
{
    Statement select;
    if (!select.Prepare(db, sql.c_str()))
    {
        result = FailedWith<RecordListResult>(kPrepareFailure);
        return false;
    }
    std::vector<std::string_view> cells(static_cast<size_t>(cellCount));
    StoredRecordRow row;
    row.isTemplate = isTemplate;
    row.cells = &cells;
    StepResult step;
    while ((step = select.Step()) == StepResult::Row)
    {
        if (isTemplate)
            DebugTraceA("Read4", TRUE); // each template row read, as the debug viewer has always shown it
        row.rowId = select.ColumnInt64(0);
        for (int c = 0; c < cellCount; ++c)
        {
            const char* text = select.ColumnText(c + 1);
            cells[static_cast<size_t>(c)] = std::string_view(text, static_cast<size_t>(select.ColumnBytes(c + 1)));
        }
        if (!onRow(row))
        {
            result.stopped = true;
            return false;
        }
        ++(isTemplate ? result.templates : result.records);
    }
    if (step == StepResult::Error)
    {
        RecordListResult failed = FailedWith<RecordListResult>(SqlError(select.ErrorText()));
        failed.templates = result.templates;
        failed.records = result.records;
        result = failed;
        return false;
    }
    return true;
}

// Runs one statement that returns no rows of interest; *db must be open.
RecordsOutcome RunOne(Database& db, const char* sql, const std::string* text)
{
    Statement statement;
    if (!statement.Prepare(db, sql))
        return FailedWith<RecordsOutcome>(statement.ErrorText());
    if (text && !statement.BindText(1, text->data(), static_cast<int>(text->size())))
        return FailedWith<RecordsOutcome>(statement.ErrorText());
    if (!statement.Run())
        return FailedWith<RecordsOutcome>(statement.ErrorText());
    RecordsOutcome done;
    done.ok = true;
    return done;
}

// A statement with prepare failures reported as "prepare failure" and step failures with SQLite's text.
RecordsOutcome RunUpdate(const std::wstring& dbPath, const char* sql,
                         const std::function<bool(Statement&)>& bind)
{
    Database db;
    if (!OpenFormDatabase(db, dbPath))
        return FailedWith<RecordsOutcome>(OpenError(db));
    Statement statement;
    if (!statement.Prepare(db, sql))
        return FailedWith<RecordsOutcome>(kPrepareFailure);
    if (!bind(statement) || !statement.Run())
        return FailedWith<RecordsOutcome>(SqlError(statement.ErrorText()));
    RecordsOutcome done;
    done.ok = true;
    return done;
}

} // namespace

RecordListResult ReadRecordList(const std::wstring& dbPath,
                                const std::function<bool(const RecordListColumns&)>& onColumns,
                                const std::function<bool(const StoredRecordRow&)>& onRow)
{
    Database db;
    if (!OpenFormDatabase(db, dbPath))
        return FailedWith<RecordListResult>(OpenError(db));

    RecordListColumns columns;
    {
        Statement info;
        if (!info.Prepare(db, "SELECT formcolumns from FormInfo"))
        {
            // A locked or damaged file is not an unregistered form: say what SQLite says.
            if (sqlite3_errcode(db.Handle()) != SQLITE_ERROR)
                return FailedWith<RecordListResult>(SqlError(info.ErrorText()));
            RecordListResult result = FailedWith<RecordListResult>(info.ErrorText());
            result.notRegistered = true;
            return result;
        }
        const StepResult step = info.Step();
        if (step == StepResult::Error)
            return FailedWith<RecordListResult>(SqlError(info.ErrorText()));
        if (step == StepResult::Done)
        {
            RecordListResult result = FailedWith<RecordListResult>("FormInfo holds no row");
            result.notRegistered = true;
            return result;
        }
        columns.fieldList.assign(info.ColumnText(0), static_cast<size_t>(info.ColumnBytes(0)));
    }

    FieldNameList names = ParseFieldNames(columns.fieldList, kOrderByFieldIndex);
    if (names.count < 0)
        return FailedWith<RecordListResult>(kPrepareFailure);
    columns.count = names.count;
    columns.columns = std::move(names.columns);

    RecordListResult result;
    if (!onColumns(columns))
    {
        result.stopped = true;
        return result;
    }
    const int cellCount = columns.count + 1;
    if (!StreamRows(db, "select _ROWID_, RSRV_TEMPLATE_NAME, " + columns.columns + "  from templates", true, cellCount,
                    onRow, result) ||
        !StreamRows(db, "select _ROWID_, submdate, " + columns.columns + " from submissions", false, cellCount, onRow,
                    result))
        return result;
    result.ok = true;
    return result;
}

std::wstring ReadPrintOffsetsText(const std::wstring& dbPath)
{
    Database db;
    if (!db.Open(dbPath.c_str(), DatabaseAccess::ReadOnly))
        return std::wstring();
    Statement statement;
    if (!statement.Prepare(db, "select zoomfactor from FormInfo") || statement.Step() != StepResult::Row)
        return std::wstring();
    return DecodeStoredText(statement.ColumnText(0), static_cast<size_t>(statement.ColumnBytes(0)));
}

RecordsOutcome WritePrintOffsetsText(const std::wstring& dbPath, const std::wstring& text)
{
    Database db;
    if (!OpenFormDatabase(db, dbPath))
        return FailedWith<RecordsOutcome>(OpenError(db));
    Statement statement;
    const std::string stored = EncodeStoredText(text);
    if (!statement.Prepare(db, "UPDATE FormInfo set zoomfactor=?") ||
        !statement.BindText(1, stored.data(), static_cast<int>(stored.size())) || !statement.Run())
        return FailedWith<RecordsOutcome>(statement.ErrorText());
    RecordsOutcome done;
    done.ok = true;
    return done;
}

FormColumnsText ReadFormColumnsText(const std::wstring& dbPath)
{
    Database db;
    if (!OpenFormDatabase(db, dbPath))
        return FailedWith<FormColumnsText>(OpenError(db));
    Statement info;
    if (!info.Prepare(db, "SELECT formcolumns from FormInfo"))
        return FailedWith<FormColumnsText>(kPrepareFailure);
    const StepResult step = info.Step();
    if (step == StepResult::Error)
        return FailedWith<FormColumnsText>(SqlError(info.ErrorText()));
    if (step == StepResult::Done)
        return FailedWith<FormColumnsText>("FormInfo holds no row");
    FormColumnsText result;
    result.ok = true;
    result.text.assign(info.ColumnText(0), static_cast<size_t>(info.ColumnBytes(0)));
    return result;
}

RecordsOutcome WriteFormColumnsText(const std::wstring& dbPath, const std::string& text)
{
    return RunUpdate(dbPath, "UPDATE   FormInfo SET formcolumns = ?", [&](Statement& statement) {
        return statement.BindText(1, text.data(), static_cast<int>(text.size()));
    });
}

FrozenCount ReadFrozenCount(const std::wstring& dbPath)
{
    Database db;
    if (!OpenFormDatabase(db, dbPath))
        return FailedWith<FrozenCount>(OpenError(db));
    Statement select;
    if (!select.Prepare(db, "select frozen from forminfo"))
        return FailedWith<FrozenCount>(kPrepareFailure);
    const StepResult step = select.Step();
    if (step == StepResult::Error)
        return FailedWith<FrozenCount>(SqlError(select.ErrorText()));
    FrozenCount result;
    result.ok = true;
    result.value = step == StepResult::Row ? select.ColumnInt(0) : 0;
    return result;
}

RecordsOutcome WriteFrozenCount(const std::wstring& dbPath, int count)
{
    return RunUpdate(dbPath, "update forminfo set frozen = ? ",
                     [&](Statement& statement) { return statement.BindInt(1, count); });
}

DeleteOutcome DeleteRecordRows(const std::wstring& dbPath, const std::vector<StoredRecordKey>& keys)
{
    Database db;
    if (!OpenFormDatabase(db, dbPath))
        return FailedWith<DeleteOutcome>(OpenError(db));
    // One transaction for all the statements: a commit per row would write and flush the file once
    // for every record. A failing statement ends the loop and the rows before it are committed.
    Transaction transaction(db);
    if (!transaction.Active())
        return FailedWith<DeleteOutcome>(SqlError(db.ErrorText()));
    DeleteOutcome result;
    std::string failure;
    // One statement a table, run once a row: compiling it for every row would cost more than the
    // delete.
    Statement fromRecords, fromTemplates;
    for (const StoredRecordKey& key : keys)
    {
        Statement& remove = key.isTemplate ? fromTemplates : fromRecords;
        const bool prepared =
            remove.IsPrepared() ? remove.Reset()
                                : remove.Prepare(db, key.isTemplate ? "delete from templates where _ROWID_ = ?"
                                                                    : "delete from submissions where _ROWID_ = ?");
        if (!prepared || !remove.BindInt64(1, key.rowId) || !remove.Run())
        {
            failure = prepared ? SqlError(remove.ErrorText()) : std::string(kPrepareFailure) + "\n";
            break;
        }
        ++result.deleted;
    }
    // Some failures make SQLite roll the whole transaction back: then nothing was deleted.
    if (!failure.empty() && sqlite3_get_autocommit(db.Handle()))
        result.deleted = 0;
    else if (!transaction.Commit())
    {
        if (failure.empty())
            failure = SqlError(db.ErrorText());
        transaction.Rollback();
        result.deleted = 0;
    }
    if (failure.empty())
    {
        result.ok = true;
        return result;
    }
    const int deleted = result.deleted;
    result = FailedWith<DeleteOutcome>(failure + "Deleted before the failure: " + std::to_string(deleted) + " of " +
                                       std::to_string(keys.size()) + ".");
    result.deleted = deleted;
    return result;
}

RecordsOutcome ExecuteRecordsStatement(const std::wstring& dbPath, const char* sql)
{
    Database db;
    if (!OpenFormDatabase(db, dbPath))
        return FailedWith<RecordsOutcome>(OpenError(db));
    return RunOne(db, sql, nullptr);
}

RecordsOutcome ExecuteRecordsStatementWithText(const std::wstring& dbPath, const char* sql, const std::string& text)
{
    Database db;
    if (!OpenFormDatabase(db, dbPath))
        return FailedWith<RecordsOutcome>(OpenError(db));
    return RunOne(db, sql, &text);
}

bool RenumberFieldList(const std::string& fieldList, const std::vector<std::string>& names,
                       const std::vector<int>& newIndexes, std::string* result)
{
    if (names.size() != newIndexes.size())
        return false;
    std::vector<bool> matched(names.size(), false);
    std::string out;
    out.reserve(fieldList.size() + names.size() * 4);
    size_t start = 0;
    for (;;)
    {
        const size_t bar = fieldList.find('|', start);
        const size_t end = bar == std::string::npos ? fieldList.size() : bar;
        const std::string_view entry(fieldList.data() + start, end - start);
        const size_t marker = entry.find(kMarker);
        const size_t nameMark = marker == std::string_view::npos ? marker : entry.find('j', marker + 4);
        if (nameMark == std::string_view::npos)
            return false;
        const size_t nameEnd = std::min(entry.find('j', nameMark + 1), entry.size());
        const std::string_view name = entry.substr(nameMark + 1, nameEnd - nameMark - 1);
        size_t which = names.size();
        for (size_t i = 0; i < names.size(); ++i)
            if (!matched[i] && name == names[i])
            {
                which = i;
                break;
            }
        if (which == names.size())
            out.append(entry);
        else
        {
            matched[which] = true;
            out.append(entry.substr(0, marker + 4));
            out += std::to_string(newIndexes[which]);
            out.append(entry.substr(nameMark));
        }
        if (bar == std::string::npos)
            break;
        out += '|';
        start = bar + 1;
    }
    for (bool found : matched)
        if (!found)
            return false;
    *result = std::move(out);
    return true;
}
