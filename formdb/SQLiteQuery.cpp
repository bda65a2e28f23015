// QueryFirstValue over the SQLite wrapper classes; every Sharption becomes the empty result.
#include "formdb/SQLiteQuery.h"
#include "formdb/SQLiteWrappers.h"

namespace {

CString FirstValue(SQLiteConnection& connection, const char* sql)
{
    CString result;
    SQLiteCommand command(sql, &connection);
    try {
        connection.Open();
        SQLiteDataReader reader = command.ExecuteReader();
        if (reader.Read())
            result = CString(reader.GetText(0), reader.GetBytes(0));
    } catch (const Sharption&) {
        result.Empty();   // the caller sees an empty value; nothing is shown
    }
    connection.Close();
    return result;
}

} // namespace

CString QueryFirstValue(const wchar_t* fileName, const char* sql)
{
    SQLiteConnection connection(fileName, DatabaseAccess::ReadOnly);
    return FirstValue(connection, sql);
}

CString QueryFirstValue(const char* ansiFileName, const char* sql)
{
    SQLiteConnection connection(ansiFileName, DatabaseAccess::ReadOnly);
    return FirstValue(connection, sql);
}
