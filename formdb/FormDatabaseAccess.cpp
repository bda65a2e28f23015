// SQLite calls of the per-form database code. Paths reach SQLite as UTF-8.
#include "formdb/FormDatabaseAccess.h"

#include <windows.h>

#include "common/Diagnostics.h"

namespace {
std::string Utf8Path(const std::wstring& path)
{
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, path.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string utf8(bytes > 0 ? bytes - 1 : 0, '\0');
    if (bytes > 1)
        WideCharToMultiByte(CP_UTF8, 0, path.c_str(), -1, &utf8[0], bytes, nullptr, nullptr);
    return utf8;
}
} // namespace

bool FormDbConnection::Open(const std::wstring& path, int flags)
{
    Close();
    const int rc = sqlite3_open_v2(Utf8Path(path).c_str(), &m_db, flags, nullptr);
    if (rc == SQLITE_OK)
        return true;
    m_openError = m_db ? sqlite3_errmsg(m_db) : sqlite3_errstr(rc);
    sqlite3_close(m_db);
    m_db = nullptr;
    return false;
}

bool FormDbConnection::OpenExisting(const std::wstring& path)
{
    return Open(path, SQLITE_OPEN_READWRITE);
}

bool FormDbConnection::CreateNew(const std::wstring& path)
{
    if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES)
    {
        m_openError = "the file already exists";
        return false;
    }
    return Open(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
}

void FormDbConnection::Close()
{
    if (m_db)
        sqlite3_close(m_db);
    m_db = nullptr;
}

bool FormDbConnection::Execute(const std::string& sql)
{
    FormDbStatement statement;
    if (!statement.Prepare(*this, sql))
        return false;
    const int rc = statement.Step();
    return rc == SQLITE_DONE || rc == SQLITE_ROW;
}

void FormDbConnection::Rollback()
{
    if (m_db && !sqlite3_get_autocommit(m_db))
        Execute("ROLLBACK");
}

std::string FormDbConnection::ErrorText() const
{
    return m_db ? sqlite3_errmsg(m_db) : m_openError;
}

bool FormDbStatement::Prepare(FormDbConnection& db, const std::string& sql)
{
    Finalize();
    SQLiteTraceToViewer(sql.c_str(), TRUE);
    if (!db.Handle())
        return false;
    return sqlite3_prepare_v2(db.Handle(), sql.c_str(), static_cast<int>(sql.size()), &m_stmt, nullptr) ==
           SQLITE_OK && m_stmt;
}

bool FormDbStatement::BindText(int index, const std::string& value)
{
    return sqlite3_bind_text(m_stmt, index, value.data(), static_cast<int>(value.size()), SQLITE_TRANSIENT) ==
           SQLITE_OK;
}

bool FormDbStatement::BindInt(int index, long long value)
{
    return sqlite3_bind_int64(m_stmt, index, value) == SQLITE_OK;
}

int FormDbStatement::Step()
{
    return m_stmt ? sqlite3_step(m_stmt) : SQLITE_MISUSE;
}

std::string FormDbStatement::ColumnText(int column) const
{
    const unsigned char* text = sqlite3_column_text(m_stmt, column);
    return text ? std::string(reinterpret_cast<const char*>(text), sqlite3_column_bytes(m_stmt, column))
                : std::string();
}

void FormDbStatement::Finalize()
{
    if (m_stmt)
        sqlite3_finalize(m_stmt);
    m_stmt = nullptr;
}
