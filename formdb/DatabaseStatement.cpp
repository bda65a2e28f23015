// Statement: traced prepare, binding, checked stepping and column reading over one sqlite3_stmt.
#include "formdb/DatabaseStatement.h"
#include <utility>

Statement::Statement(Statement&& other) noexcept
    : m_stmt(std::exchange(other.m_stmt, nullptr)), m_done(other.m_done), m_failed(other.m_failed),
      m_error(std::move(other.m_error))
{
}

Statement& Statement::operator=(Statement&& other) noexcept
{
    if (this != &other) {
        Finalize();
        m_stmt = std::exchange(other.m_stmt, nullptr);
        m_done = other.m_done;
        m_failed = other.m_failed;
        m_error = std::move(other.m_error);
    }
    return *this;
}

void Statement::Finalize()
{
    if (m_stmt)
        sqlite3_finalize(m_stmt);
    m_stmt = nullptr;
    m_done = false;
}

bool Statement::Prepare(const Database& db, const char* sql)
{
    Finalize();
    m_failed = false;
    m_error.clear();
    if (PrepareTracedStatement(db.Handle(), sql, &m_stmt, &m_error) != SQLITE_OK) {
        m_failed = true;
        return false;
    }
    return true;
}

bool Statement::CheckBind(int rc)
{
    if (rc == SQLITE_OK)
        return true;
    m_error = m_stmt ? sqlite3_errmsg(sqlite3_db_handle(m_stmt)) : "statement is not prepared";
    return false;
}

bool Statement::BindText(int index, const char* bytes, int length)
{
    if (!m_stmt)
        return CheckBind(SQLITE_MISUSE);
    return CheckBind(sqlite3_bind_text(m_stmt, index, bytes ? bytes : "", bytes ? length : 0, SQLITE_TRANSIENT));
}

bool Statement::BindAnsiText(int index, const CString& text)
{
    CStringA ansi(text);
    return BindText(index, ansi.GetString(), ansi.GetLength());
}

bool Statement::BindInt(int index, int value)
{
    return CheckBind(m_stmt ? sqlite3_bind_int(m_stmt, index, value) : SQLITE_MISUSE);
}

bool Statement::BindInt64(int index, long long value)
{
    return CheckBind(m_stmt ? sqlite3_bind_int64(m_stmt, index, value) : SQLITE_MISUSE);
}

bool Statement::BindBlob(int index, const void* data, int size)
{
    if (!m_stmt)
        return CheckBind(SQLITE_MISUSE);
    if (!data || size <= 0)
        return CheckBind(sqlite3_bind_zeroblob(m_stmt, index, 0));
    return CheckBind(sqlite3_bind_blob(m_stmt, index, data, size, SQLITE_TRANSIENT));
}

bool Statement::BindNull(int index)
{
    return CheckBind(m_stmt ? sqlite3_bind_null(m_stmt, index) : SQLITE_MISUSE);
}

StepResult Statement::Step()
{
    if (!m_stmt) {
        m_failed = true;
        m_error = "statement is not prepared";
        return StepResult::Error;
    }
    if (m_failed)
        return StepResult::Error;  // not run again until Reset
    if (m_done)
        return StepResult::Done;   // SQLite would silently start the statement over
    int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return StepResult::Row;
    if (rc == SQLITE_DONE) {
        m_done = true;
        return StepResult::Done;
    }
    m_failed = true;
    m_error = sqlite3_errmsg(sqlite3_db_handle(m_stmt));
    sqlite3_reset(m_stmt);
    return StepResult::Error;
}

bool Statement::Run()
{
    StepResult result;
    while ((result = Step()) == StepResult::Row) {
    }
    return result == StepResult::Done;
}

bool Statement::Reset()
{
    if (!m_stmt)
        return false;
    sqlite3_reset(m_stmt);
    m_done = false;
    m_failed = false;
    return true;
}

bool Statement::HasColumn(int column) const
{
    return m_stmt && !m_done && column >= 0 && column < sqlite3_data_count(m_stmt);
}

bool Statement::ColumnIsNull(int column) const
{
    return !HasColumn(column) || sqlite3_column_type(m_stmt, column) == SQLITE_NULL;
}

const char* Statement::ColumnText(int column) const
{
    const unsigned char* text = HasColumn(column) ? sqlite3_column_text(m_stmt, column) : nullptr;
    return text ? reinterpret_cast<const char*>(text) : "";
}

CString Statement::ColumnAnsiText(int column) const
{
    return CString(ColumnText(column), ColumnBytes(column));
}

int Statement::ColumnInt(int column) const
{
    return HasColumn(column) ? sqlite3_column_int(m_stmt, column) : 0;
}

long long Statement::ColumnInt64(int column) const
{
    return HasColumn(column) ? sqlite3_column_int64(m_stmt, column) : 0;
}

const void* Statement::ColumnBlob(int column) const
{
    return HasColumn(column) ? sqlite3_column_blob(m_stmt, column) : nullptr;
}

int Statement::ColumnBytes(int column) const
{
    return HasColumn(column) ? sqlite3_column_bytes(m_stmt, column) : 0;
}
