// Rows of the per-form database: storing a "Save" reply as a record or template (an update
// replaces the old row in the same transaction), and reading a row's form XML or template name.
#include "formdb/FormDatabase.h"

#include <algorithm>
#include <vector>

#include "common/Diagnostics.h"
#include "formdb/FieldNames.h"
#include "formdb/FieldValues.h"
#include "formdb/DatabaseStatement.h"
#include "formdb/DatabaseTransaction.h"
#include "formdb/FormDatabaseOpen.h"
#include "formdb/StoredText.h"

namespace {

const char kNotCompatible[] = "prepare failure:The document data is not compatible with the DB structure";
const char kEmptyData[] = "The document data is not compatible with the DB structure or is empty";

// Columns the collections page adds to records; an update keeps them.
const char* const kCarriedColumns[] = {"collectionsXML", "memorizedDate", "dateTrigger"};

StoreResult Failed(const std::string& message, const std::string& caption = "db")
{
    StoreResult result;
    result.outcome = StoreOutcome::Failed;
    result.rowId = -1;
    result.message = message;
    result.caption = caption;
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

bool BindString(Statement& statement, int index, const std::string& value)
{
    return statement.BindText(index, value.data(), static_cast<int>(value.size()));
}

std::string ColumnString(const Statement& statement, int column)
{
    return std::string(statement.ColumnText(column), statement.ColumnBytes(column));
}

bool SameIgnoringAsciiCase(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return (x >= 'A' && x <= 'Z' ? x - 'A' + 'a' : x) == (y >= 'A' && y <= 'Z' ? y - 'A' + 'a' : y);
           });
}

// The carried columns that the table has, or false when its columns cannot be read.
bool CarriedColumnsOf(Database& db, const std::string& table, std::vector<std::string>& present,
                      std::string& error)
{
    Statement info;
    if (!info.Prepare(db, ("PRAGMA table_info(" + table + ")").c_str()))
    {
        error = info.ErrorText();
        return false;
    }
    StepResult step;
    while ((step = info.Step()) == StepResult::Row)
    {
        const std::string name = ColumnString(info, 1);
        for (const char* carried : kCarriedColumns)
            if (SameIgnoringAsciiCase(name, carried))
                present.push_back(carried);
    }
    error = info.ErrorText();
    return step == StepResult::Done;
}

// Copies the carried columns of the old row to the new one.
bool CarryOver(Database& db, const std::string& table, long long fromRow, long long toRow, std::string& error)
{
    std::vector<std::string> columns;
    if (!CarriedColumnsOf(db, table, columns, error))
        return false;
    if (columns.empty())
        return true;
    std::string sql = "UPDATE " + table + " SET ";
    for (size_t i = 0; i < columns.size(); ++i)
        sql += (i ? "," : "") + ("[" + columns[i] + "]=(SELECT [" + columns[i] + "] FROM " + table +
                                 " WHERE _ROWID_=?1)");
    sql += " WHERE _ROWID_=?2";
    Statement update;
    const bool done = update.Prepare(db, sql.c_str()) && update.BindInt64(1, fromRow) && update.BindInt64(2, toRow) &&
                      update.Run();
    error = update.ErrorText();
    return done;
}

RowText ReadOneText(const std::wstring& dbPath, const std::string& sql, long long rowId)
{
    RowText result;
    result.caption = "db";
    Database db;
    if (!OpenFormDatabase(db, dbPath))
    {
        result.message = OpenError(db);
        return result;
    }
    Statement query;
    if (!query.Prepare(db, sql.c_str()) || !query.BindInt64(1, rowId))
    {
        result.message = "prepare failure";
        return result;
    }
    const StepResult step = query.Step();
    if (step == StepResult::Error)
    {
        result.message = SqlError(query.ErrorText());
        return result;
    }
    result.ok = true;
    result.found = step == StepResult::Row;
    if (result.found)
        result.text = ColumnString(query, 0);
    return result;
}

} // namespace

std::string BuildInsertText(const std::string& columns, int fieldCount, bool isTemplate)
{
    std::string sql = isTemplate ? "INSERT INTO templates (" + columns + ",submdate,fxml, RSRV_TEMPLATE_NAME) VALUES ("
                                 : "INSERT INTO submissions (" + columns + ",submdate,fxml) VALUES (";
    sql.reserve(sql.size() + 2 * static_cast<size_t>(std::max(fieldCount, 0)) + 8);
    for (int i = 0; i < fieldCount; ++i)
        sql += "?,";
    sql += isTemplate ? "?,?,?)" : "?,?)";
    return sql;
}

StoreResult StoreFormRecord(const std::wstring& dbPath, const RecordToStore& record)
{
    Database db;
    if (!OpenFormDatabase(db, dbPath))
        return Failed(OpenError(db));

    std::string fieldList, formType;
    {
        Statement info;
        if (!info.Prepare(db, "SELECT formcolumns,formtype from FormInfo"))
            return Failed("prepare failure");
        const StepResult step = info.Step();
        if (step == StepResult::Row)
        {
            fieldList = ColumnString(info, 0);
            formType = ColumnString(info, 1);
        }
        else if (step == StepResult::Error)
            return Failed(SqlError(info.ErrorText()));
    }

    const FieldNameList names = ParseFieldNames(fieldList, kOrderAsListed);
    if (names.count < 0)
        return Failed(names.error, names.errorCaption);
    Statement insert;
    if (!insert.Prepare(db, BuildInsertText(names.columns, names.count, record.isTemplate).c_str()))
        return Failed(kNotCompatible);
    // The reply is UTF-8; the keys are compared in UTF-8 too, whatever the stored list's encoding.
    // The column list keeps the stored bytes: they name the columns the tables were created with.
    const std::vector<std::string> values =
        ReplyValuesForFields(record.reply, StoredTextToUtf8(fieldList), formType, static_cast<size_t>(names.count));
    if (std::all_of(values.begin(), values.end(), [](const std::string& v) { return v.empty(); }))
    {
        StoreResult empty;
        empty.outcome = StoreOutcome::Empty;
        empty.rowId = 0;
        empty.message = kEmptyData;
        empty.caption = "db";
        return empty;
    }
    bool bound = true;
    for (int i = 0; i < names.count; ++i)
        bound = bound && BindString(insert, i + 1, values[i]);
    bound = bound && BindString(insert, names.count + 1, record.saveDate.empty() ? UtcDateText() : record.saveDate) &&
            BindString(insert, names.count + 2, record.formXml) &&
            (!record.isTemplate || BindString(insert, names.count + 3, record.templateName));
    if (!bound)
    {
        DebugTraceA("bind error", TRUE);
        return Failed(SqlError(insert.ErrorText()));
    }

    // The old row goes only in the same transaction as a new row that is in.
    Transaction transaction(db);
    if (!transaction.Active())
        return Failed(SqlError(db.ErrorText()));
    if (!insert.Run())
    {
        const std::string stepError = "step error=" + std::to_string(sqlite3_errcode(db.Handle()));
        DebugTraceA(stepError.c_str(), TRUE);
        return Failed(SqlError(insert.ErrorText()));
    }
    const long long newRow = db.LastInsertRowId();
    insert.Finalize();

    if (record.update)
    {
        const std::string table = record.isTemplate ? "templates" : "submissions";
        std::string error;
        if (!CarryOver(db, table, record.replacedRowId, newRow, error))
            return Failed(SqlError(error.c_str()));
        // When the old row was deleted meanwhile, SQLite may have given its id to the new row:
        // that row is never the one removed.
        Statement remove;
        if (!remove.Prepare(db, ("DELETE FROM " + table + " WHERE _ROWID_=?1 AND _ROWID_<>?2").c_str()))
            return Failed("prepare failure");
        if (!remove.BindInt64(1, record.replacedRowId) || !remove.BindInt64(2, newRow) || !remove.Run())
            return Failed(SqlError(remove.ErrorText()));
        // A template's name comes from its old row: without that row the new one would be nameless.
        if (record.isTemplate && db.Changes() == 0)
            return Failed(TemplateGoneMessage(record.replacedRowId), "Formstead");
    }
    if (!transaction.Commit())
        return Failed(SqlError(db.ErrorText()));

    StoreResult stored;
    stored.outcome = StoreOutcome::Stored;
    stored.rowId = newRow;
    return stored;
}

RowText ReadRecordXml(const std::wstring& dbPath, bool isTemplate, long long rowId)
{
    return ReadOneText(dbPath,
                       isTemplate ? "select fxml from templates  WHERE _ROWID_=?"
                                  : "select fxml from submissions WHERE _ROWID_=?",
                       rowId);
}

RowText ReadTemplateName(const std::wstring& dbPath, long long rowId)
{
    RowText name = ReadOneText(dbPath, "SELECT RSRV_TEMPLATE_NAME FROM templates WHERE _ROWID_=?", rowId);
    name.text = StoredTextToUtf8(name.text);
    return name;
}

std::string TemplateGoneMessage(long long rowId)
{
    return "The template being updated (template number " + std::to_string(rowId) +
           ") no longer exists: it was deleted meanwhile. Nothing was saved.";
}
