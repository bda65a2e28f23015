// The SQL of the records list: the form's columns, the rows of templates and submissions streamed to
// the caller as SQLite steps through them, the frozen-column count and column list kept in FormInfo,
// deleting rows and single statements. No user interface here: a failure comes back as the message and caption to show.
#pragma once
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// What an operation came to; on failure message and caption say why (caption "db" for database
// failures).
struct RecordsOutcome
{
    bool ok = false;
    std::string message;
    std::string caption;
};

// The form's columns as the records list shows them.
struct RecordListColumns
{
    std::string fieldList; // FormInfo.formcolumns as stored
    int count = 0;         // the number of fields
    std::string columns;   // the bracketed column list in field-index order (GetNextFieldName walks it)
};

// One stored row: cells[0] is the template name (templates) or submdate (records), cells[1..N]
// the field values in the order of the column list. The views point into SQLite's memory and are
// valid only during the call.
struct StoredRecordRow
{
    long long rowId = 0;
    bool isTemplate = false;
    const std::vector<std::string_view>* cells = nullptr;
};

struct RecordListResult : RecordsOutcome
{
    bool notRegistered = false; // FormInfo could not be read: the form is not registered
    bool stopped = false;       // the caller's callback asked to stop
    int templates = 0;          // rows handed over
    int records = 0;
};

// Reads the column list, then hands every row of templates and then of submissions to onRow, one at
// a time (nothing is collected). onColumns runs once before the rows; either callback stops the
// reading by answering false.
RecordListResult ReadRecordList(const std::wstring& dbPath,
                                const std::function<bool(const RecordListColumns&)>& onColumns,
                                const std::function<bool(const StoredRecordRow&)>& onRow);

// FormInfo.zoomfactor, the print offsets ("x,y") as stored and decoded; read only, empty when the
// database or the value cannot be read.
std::wstring ReadPrintOffsetsText(const std::wstring& dbPath);
// Replaces FormInfo.zoomfactor (the text is bound, as it is); on failure the message is the open error
// or SQLite's own text.
RecordsOutcome WritePrintOffsetsText(const std::wstring& dbPath, const std::wstring& text);

// FormInfo.formcolumns as stored.
struct FormColumnsText : RecordsOutcome
{
    std::string text;
};
FormColumnsText ReadFormColumnsText(const std::wstring& dbPath);
// Replaces FormInfo.formcolumns (the text is bound, as it is).
RecordsOutcome WriteFormColumnsText(const std::wstring& dbPath, const std::string& text);

// FormInfo.frozen as an integer (a missing or non-numeric value reads as 0).
struct FrozenCount : RecordsOutcome
{
    int value = 0;
};
FrozenCount ReadFrozenCount(const std::wstring& dbPath);
RecordsOutcome WriteFrozenCount(const std::wstring& dbPath, int count);

// A row of templates or submissions.
struct StoredRecordKey
{
    long long rowId = 0;
    bool isTemplate = false;
};

struct DeleteOutcome : RecordsOutcome
{
    int deleted = 0; // how many of the keys, from the first on, are gone
};
// Deletes the rows one statement each, in order, in one transaction, and stops at the first failure;
// the rows deleted before it stay deleted (deleted counts what is gone from the file: 0 when the
// failure or the commit undid the transaction). A key whose row is already gone counts as deleted.
DeleteOutcome DeleteRecordRows(const std::wstring& dbPath, const std::vector<StoredRecordKey>& keys);

// One SQL statement; with a text, that text (UTF-8) is bound to parameter 1.
RecordsOutcome ExecuteRecordsStatement(const std::wstring& dbPath, const char* sql);
RecordsOutcome ExecuteRecordsStatementWithText(const std::wstring& dbPath, const char* sql, const std::string& text);

// A form's field list with the index of each entry whose name equals one of the names (whole names,
// compared byte for byte) replaced by the new index; every other byte is kept. newIndexes[i] goes
// with names[i]. False (and *result untouched) when a name is not in the list or the list cannot be
// read.
bool RenumberFieldList(const std::string& fieldList, const std::vector<std::string>& names,
                       const std::vector<int>& newIndexes, std::string* result);
