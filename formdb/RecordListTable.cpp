// The list columns' copy: one table and three triggers that repeat every insert, update and delete
// of submissions on it, so that it holds exactly the rows of submissions, under the same row ids.
#include "formdb/RecordListTable.h"

#include "formdb/DatabaseStatement.h"

const char kRecordListTable[] = "submissions_list";

namespace {

const char* const kTriggers[] = {"submissions_list_insert", "submissions_list_update", "submissions_list_delete"};

// "new.[A],new.[B],..." for "[A],[B],...": the names hold no brackets, so every "[" opens one.
std::string Qualified(const std::string& columns, const char* row)
{
    std::string out;
    out.reserve(columns.size() * 2);
    for (char c : columns)
    {
        if (c == '[')
            out += row;
        out += c;
    }
    return out;
}

} // namespace

std::vector<std::string> RecordListTableStatements(const std::string& columns)
{
    const std::string table = kRecordListTable;
    const std::string copyRow = "INSERT INTO " + table + " (_ROWID_," + columns + ",submdate) VALUES (new._ROWID_," +
                                Qualified(columns, "new.") + ",new.submdate);";
    const std::string dropRow = "DELETE FROM " + table + " WHERE _ROWID_=old._ROWID_;";
    return {
        "CREATE TABLE " + table + " (" + columns + ",submdate)",
        std::string("CREATE TRIGGER ") + kTriggers[0] + " AFTER INSERT ON submissions BEGIN " + copyRow + " END",
        // Any update (also of columns the list does not show, or of the row id) renews the copy.
        std::string("CREATE TRIGGER ") + kTriggers[1] + " AFTER UPDATE ON submissions BEGIN " + dropRow + " " +
            copyRow + " END",
        std::string("CREATE TRIGGER ") + kTriggers[2] + " AFTER DELETE ON submissions BEGIN " + dropRow + " END",
    };
}

bool HasRecordListTable(Database& db)
{
    Statement schema;
    if (!schema.Prepare(db, "SELECT count(*) FROM sqlite_master WHERE (type='table' AND name=?1) OR "
                            "(type='trigger' AND tbl_name='submissions' AND name IN (?2,?3,?4))") ||
        !schema.BindText(1, kRecordListTable))
        return false;
    for (int i = 0; i < 3; ++i)
        if (!schema.BindText(i + 2, kTriggers[i]))
            return false;
    return schema.Step() == StepResult::Row && schema.ColumnInt(0) == 4;
}
