// Rows of the per-form database: storing a "Save" reply as a record or template (an update
// replaces the old row in the same transaction), and reading a row's form XML or template name.
#include "formdb/FormDatabase.h"

#include <algorithm>
#include <vector>

#include "formdb/FieldNames.h"
#include "formdb/FieldValues.h"
#include "formdb/FormDatabaseAccess.h"

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

std::string OpenError(const FormDbConnection& db)
{
    return "Can't open database: " + db.ErrorText() + "\n";
}

bool SameIgnoringAsciiCase(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return (x >= 'A' && x <= 'Z' ? x - 'A' + 'a' : x) == (y >= 'A' && y <= 'Z' ? y - 'A' + 'a' : y);
           });
}

// The carried columns that the table has, or false when its columns cannot be read.
bool CarriedColumnsOf(FormDbConnection& db, const std::string& table, std::vector<std::string>& present)
{
    FormDbStatement info;
    if (!info.Prepare(db, "PRAGMA table_info(" + table + ")"))
        return false;
    int rc;
    while ((rc = info.Step()) == SQLITE_ROW)
    {
        const std::string name = info.ColumnText(1);
        for (const char* carried : kCarriedColumns)
            if (SameIgnoringAsciiCase(name, carried))
                present.push_back(carried);
    }
    return rc == SQLITE_DONE;
}

// Copies the carried columns of the old row to the new one.
bool CarryOver(FormDbConnection& db, const std::string& table, long long fromRow, long long toRow)
{
    std::vector<std::string> columns;
    if (!CarriedColumnsOf(db, table, columns))
        return false;
    if (columns.empty())
        return true;
    std::string sql = "UPDATE " + table + " SET ";
    for (size_t i = 0; i < columns.size(); ++i)
        sql += (i ? "," : "") + ("[" + columns[i] + "]=(SELECT [" + columns[i] + "] FROM " + table +
                                 " WHERE _ROWID_=?1)");
    sql += " WHERE _ROWID_=?2";
    FormDbStatement update;
    return update.Prepare(db, sql) && update.BindInt(1, fromRow) && update.BindInt(2, toRow) && update.StepDone();
}

RowText ReadOneText(const std::wstring& dbPath, const std::string& sql, long long rowId)
{
    RowText result;
    result.caption = "db";
    FormDbConnection db;
    if (!db.OpenExisting(dbPath))
    {
        result.message = OpenError(db);
        return result;
    }
    FormDbStatement query;
    if (!query.Prepare(db, sql) || !query.BindInt(1, rowId))
    {
        result.message = "prepare failure";
        return result;
    }
    const int rc = query.Step();
    if (rc != SQLITE_ROW && rc != SQLITE_DONE)
    {
        result.message = "SQL error: " + db.ErrorText() + "\n";
        return result;
    }
    result.ok = true;
    result.found = rc == SQLITE_ROW;
    if (result.found)
        result.text = query.ColumnText(0);
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
    FormDbConnection db;
    if (!db.OpenExisting(dbPath))
        return Failed(OpenError(db));

    std::string fieldList, formType;
    {
        FormDbStatement info;
        if (!info.Prepare(db, "SELECT formcolumns,formtype from FormInfo"))
            return Failed("prepare failure");
        const int rc = info.Step();
        if (rc == SQLITE_ROW)
        {
            fieldList = info.ColumnText(0);
            formType = info.ColumnText(1);
        }
        else if (rc != SQLITE_DONE)
            return Failed("SQL error: " + db.ErrorText() + "\n");
    }

    const FieldNameList names = ParseFieldNames(fieldList, kOrderAsListed);
    if (names.count < 0)
        return Failed(names.error, names.errorCaption);
    FormDbStatement insert;
    if (!insert.Prepare(db, BuildInsertText(names.columns, names.count, record.isTemplate)))
        return Failed(kNotCompatible);
    const std::vector<std::string> values =
        ReplyValuesForFields(record.reply, fieldList, formType, static_cast<size_t>(names.count));
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
        bound = bound && insert.BindText(i + 1, values[i]);
    bound = bound && insert.BindText(names.count + 1, record.saveDate.empty() ? UtcDateText() : record.saveDate) &&
            insert.BindText(names.count + 2, record.formXml) &&
            (!record.isTemplate || insert.BindText(names.count + 3, record.templateName));
    if (!bound)
        return Failed("SQL error: " + db.ErrorText() + "\n");

    if (!db.Begin())
        return Failed("SQL error: " + db.ErrorText() + "\n");
    if (!insert.StepDone())
    {
        const std::string error = db.ErrorText();
        insert.Finalize();
        db.Rollback();
        return Failed("SQL error: " + error + "\n");
    }
    const long long newRow = db.LastInsertRowId();
    insert.Finalize();

    if (record.update)
    {
        const std::string table = record.isTemplate ? "templates" : "submissions";
        if (!CarryOver(db, table, record.replacedRowId, newRow))
        {
            const std::string error = db.ErrorText();
            db.Rollback();
            return Failed("SQL error: " + error + "\n");
        }
        FormDbStatement remove;
        if (!remove.Prepare(db, "DELETE FROM " + table + " WHERE _ROWID_=?"))
        {
            db.Rollback();
            return Failed("prepare failure");
        }
        const bool removed = remove.BindInt(1, record.replacedRowId) && remove.StepDone();
        const std::string error = db.ErrorText();
        remove.Finalize();
        if (!removed)
        {
            db.Rollback();
            return Failed("SQL error: " + error + "\n");
        }
    }
    if (!db.Commit())
    {
        const std::string error = db.ErrorText();
        db.Rollback();
        return Failed("SQL error: " + error + "\n");
    }

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
    return ReadOneText(dbPath, "SELECT RSRV_TEMPLATE_NAME FROM templates WHERE _ROWID_=?", rowId);
}
