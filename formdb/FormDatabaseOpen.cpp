// Opening a form database, with the list copy of earlier builds dropped whole or not at all.
#include "formdb/FormDatabaseOpen.h"

#include "common/Diagnostics.h"
#include "formdb/DatabaseStatement.h"
#include "formdb/DatabaseTransaction.h"

namespace {

const char kDropCopy[] = "DROP TRIGGER IF EXISTS submissions_list_insert;"
                         "DROP TRIGGER IF EXISTS submissions_list_update;"
                         "DROP TRIGGER IF EXISTS submissions_list_delete;"
                         "DROP TABLE IF EXISTS submissions_list;";

// How many of the copy's four objects the schema holds; -1 when the schema cannot be read.
int CopyObjects(Database& db, std::string* error)
{
    Statement query;
    if (!query.Prepare(db, "SELECT count(*) FROM sqlite_master WHERE name IN ('submissions_list',"
                           "'submissions_list_insert','submissions_list_update','submissions_list_delete')") ||
        query.Step() != StepResult::Row)
    {
        if (error)
            *error = query.ErrorText();
        return -1;
    }
    return query.ColumnInt(0);
}

} // namespace

bool DropRecordListCopy(Database& db, std::string* error)
{
    const int objects = CopyObjects(db, error);
    if (objects <= 0)
        return objects == 0;
    Transaction transaction(db);
    if (!transaction.Active() || !db.Execute(kDropCopy) || !transaction.Commit())
    {
        if (error)
            *error = db.ErrorText();
        return false; // the transaction's end rolls back whatever was dropped
    }
    return true;
}

bool OpenFormDatabase(Database& db, const std::wstring& path)
{
    if (!db.Open(path.c_str()))
        return false;
    std::string error;
    if (!DropRecordListCopy(db, &error))
        DebugTraceA(("list copy of an earlier build not dropped: " + error).c_str(), TRUE);
    return true;
}
