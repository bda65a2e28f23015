// SQLiteConnection, SQLiteCommand and SQLiteDataReader over the opening and traced prepare of Database.
#include "formdb/SQLiteWrappers.h"
#include <utility>

namespace {
const char kNoSuchColumn[] = "There is no such column";
const char kNoStatement[] = "The query has no statement";
} // namespace

// ---- SQLiteConnection -----------------------------------------------------------------------------

SQLiteConnection::SQLiteConnection(const wchar_t* fileName, DatabaseAccess access)
    : m_fileName(fileName), m_access(access)
{
}

SQLiteConnection::SQLiteConnection(const char* ansiFileName, DatabaseAccess access)
    : m_fileName(ansiFileName), m_access(access)
{
}

SQLiteConnection::~SQLiteConnection()
{
    if (m_db)
        sqlite3_close_v2(m_db);   // closes once the last reader has finalised its statement
}

int SQLiteConnection::Open()
{
    if (m_db)
        return SQLITE_MISUSE;   // already open
    m_openError.clear();
    int rc = OpenDatabaseFile(m_fileName, m_access, &m_db, &m_openError);
    m_state = rc == SQLITE_OK ? StateOpen : StateClosed;
    return rc;
}

int SQLiteConnection::Close()
{
    int rc = sqlite3_close(m_db);
    if (rc == SQLITE_OK) {
        m_db = nullptr;
        m_state = StateClosed;
    } else {
        m_state = StateOpen;
    }
    return rc;
}

// ---- SQLiteDataReader -----------------------------------------------------------------------------

SQLiteDataReader::SQLiteDataReader(const char* sql, sqlite3* db) : m_db(db)
{
    std::string error;
    if (PrepareTracedStatement(db, sql, &m_stmt, &error) != SQLITE_OK)
        throw Sharption(error.c_str());
    m_columnCount = sqlite3_column_count(m_stmt);
}

SQLiteDataReader::~SQLiteDataReader()
{
    sqlite3_finalize(m_stmt);
}

SQLiteDataReader::SQLiteDataReader(SQLiteDataReader&& other) noexcept
    : m_columnCount(other.m_columnCount), m_lastResult(other.m_lastResult), m_db(other.m_db),
      m_stmt(std::exchange(other.m_stmt, nullptr))
{
}

SQLiteDataReader& SQLiteDataReader::operator=(SQLiteDataReader&& other) noexcept
{
    if (this != &other) {
        sqlite3_finalize(m_stmt);
        m_columnCount = other.m_columnCount;
        m_lastResult = other.m_lastResult;
        m_db = other.m_db;
        m_stmt = std::exchange(other.m_stmt, nullptr);
    }
    return *this;
}

bool SQLiteDataReader::Read()
{
    if (m_lastResult == SQLITE_DONE)
        return false;   // stepping again would start the query over
    if (!m_stmt)
        throw Sharption(kNoStatement);
    m_lastResult = sqlite3_step(m_stmt);
    if (m_lastResult == SQLITE_ROW)
        return true;
    if (m_lastResult == SQLITE_DONE)
        return false;
    Sharption failure(sqlite3_errmsg(m_db));
    sqlite3_finalize(m_stmt);
    m_stmt = nullptr;
    throw failure;
}

void SQLiteDataReader::CheckColumn(int column) const
{
    if (column < 0 || column >= m_columnCount)
        throw Sharption(kNoSuchColumn);
    if (!m_stmt)
        throw Sharption(kNoStatement);
}

const char* SQLiteDataReader::GetText(int column) const
{
    CheckColumn(column);
    const unsigned char* text = sqlite3_column_text(m_stmt, column);
    return text ? reinterpret_cast<const char*>(text) : "";
}

const void* SQLiteDataReader::GetBlob(int column) const
{
    CheckColumn(column);
    return sqlite3_column_blob(m_stmt, column);
}

int SQLiteDataReader::GetBytes(int column) const
{
    CheckColumn(column);
    return sqlite3_column_bytes(m_stmt, column);
}

// ---- SQLiteCommand --------------------------------------------------------------------------------

SQLiteCommand::SQLiteCommand(const char* sql, SQLiteConnection* connection)
    : m_connection(connection), m_sql(sql ? sql : "")
{
}

SQLiteDataReader SQLiteCommand::ExecuteReader()
{
    if (!m_connection || m_connection->GetState() != SQLiteConnection::StateOpen)
        throw Sharption(m_connection && *m_connection->OpenError() ? m_connection->OpenError()
                                                                    : "database is not open");
    return SQLiteDataReader(m_sql.c_str(), m_connection->GetHandle());
}
