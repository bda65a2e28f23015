// Opening and creating database files (UTF-8 names from UTF-16 paths, never creating on open), the
// traced prepare, and running whole SQL texts.
#include "formdb/Database.h"
#include "common/Diagnostics.h"
#include <windows.h>
#include <utility>

namespace {

TracedStatementHook g_statementHook = nullptr;
long g_tracedStatements = 0;

// Every SQL text is traced here, and counted for the test hook.
void TraceStatement(const char* sql)
{
    SQLiteTraceToViewer(sql ? sql : "", TRUE);
    if (g_statementHook)
        g_statementHook(++g_tracedStatements);
}

std::string Utf8FromWide(const wchar_t* text)
{
    if (!text || !*text)
        return std::string();
    int bytes = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (bytes <= 1)
        return std::string();
    std::string utf8(static_cast<size_t>(bytes), '\0');
    if (WideCharToMultiByte(CP_UTF8, 0, text, -1, &utf8[0], bytes, nullptr, nullptr) != bytes)
        return std::string();
    utf8.resize(static_cast<size_t>(bytes - 1));
    return utf8;
}

// Compiles the first statement of sql without tracing; *tail points after it.
int PrepareOne(sqlite3* db, const char* sql, sqlite3_stmt** stmt, const char** tail, std::string* error)
{
    *stmt = nullptr;
    if (!db) {
        *error = "database is not open";
        return SQLITE_MISUSE;
    }
    int rc = sqlite3_prepare_v2(db, sql ? sql : "", -1, stmt, tail);
    if (rc != SQLITE_OK) {
        *error = sqlite3_errmsg(db);
        sqlite3_finalize(*stmt);
        *stmt = nullptr;
    }
    return rc;
}

// Opens with the given flags and reads the file header, so that a file that is not a database fails
// here and not at some later statement.
int OpenWithFlags(const wchar_t* path, int flags, sqlite3** db, std::string* error)
{
    *db = nullptr;
    std::string name = Utf8FromWide(path);
    if (name.empty()) {
        *error = sqlite3_errstr(SQLITE_CANTOPEN);
        return SQLITE_CANTOPEN;
    }
    sqlite3* opened = nullptr;
    int rc = sqlite3_open_v2(name.c_str(), &opened, flags, nullptr);
    if (rc == SQLITE_OK) {
        sqlite3_stmt* check = nullptr;
        rc = PrepareTracedStatement(opened, "PRAGMA schema_version", &check, error);
        if (rc == SQLITE_OK) {
            int step = sqlite3_step(check);
            if (step != SQLITE_ROW) {
                rc = step == SQLITE_DONE ? SQLITE_ERROR : step;
                *error = sqlite3_errmsg(opened);
            }
        }
        sqlite3_finalize(check);
    } else {
        *error = opened ? sqlite3_errmsg(opened) : sqlite3_errstr(rc);
    }
    if (rc != SQLITE_OK) {
        sqlite3_close(opened);
        return rc;
    }
    *db = opened;
    return SQLITE_OK;
}

} // namespace

int OpenDatabaseFile(const wchar_t* path, DatabaseAccess access, sqlite3** db, std::string* error)
{
    int flags = access == DatabaseAccess::ReadOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE;
    return OpenWithFlags(path, flags, db, error);
}

void SetTracedStatementHook(TracedStatementHook hook)
{
    g_statementHook = hook;
    g_tracedStatements = 0;
}

int PrepareTracedStatement(sqlite3* db, const char* sql, sqlite3_stmt** stmt, std::string* error)
{
    TraceStatement(sql);
    int rc = PrepareOne(db, sql, stmt, nullptr, error);
    if (rc == SQLITE_OK && !*stmt) {
        *error = "no SQL statement";
        return SQLITE_MISUSE;
    }
    return rc;
}

Database::~Database()
{
    if (m_db)
        sqlite3_close_v2(m_db);   // frees the connection once any forgotten statement is finalised
}

Database::Database(Database&& other) noexcept
    : m_db(std::exchange(other.m_db, nullptr)), m_error(std::move(other.m_error))
{
}

Database& Database::operator=(Database&& other) noexcept
{
    if (this != &other) {
        if (m_db)
            sqlite3_close_v2(m_db);
        m_db = std::exchange(other.m_db, nullptr);
        m_error = std::move(other.m_error);
    }
    return *this;
}

bool Database::Attach(int rc, sqlite3* db, const std::string& error)
{
    if (rc != SQLITE_OK) {
        m_error = error;
        return false;
    }
    m_db = db;
    m_error.clear();
    return true;
}

bool Database::Open(const wchar_t* path, DatabaseAccess access)
{
    if (m_db && Close() != SQLITE_OK)
        return false;
    sqlite3* db = nullptr;
    std::string error;
    int rc = OpenDatabaseFile(path, access, &db, &error);
    return Attach(rc, db, error);
}

bool Database::Create(const wchar_t* path)
{
    if (m_db && Close() != SQLITE_OK)
        return false;
    sqlite3* db = nullptr;
    std::string error;
    int rc = OpenWithFlags(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, &db, &error);
    return Attach(rc, db, error);
}

int Database::Close()
{
    if (!m_db)
        return SQLITE_OK;
    int rc = sqlite3_close(m_db);
    if (rc == SQLITE_OK)
        m_db = nullptr;
    else
        m_error = sqlite3_errmsg(m_db);
    return rc;
}

bool Database::Execute(const char* sql)
{
    TraceStatement(sql);
    const char* next = sql ? sql : "";
    while (*next) {
        sqlite3_stmt* stmt = nullptr;
        const char* tail = nullptr;
        if (PrepareOne(m_db, next, &stmt, &tail, &m_error) != SQLITE_OK)
            return false;
        if (!stmt)
            break;   // only blanks or comments remain
        int rc;
        while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        }
        if (rc != SQLITE_DONE)
            m_error = sqlite3_errmsg(m_db);
        sqlite3_finalize(stmt);
        if (rc != SQLITE_DONE)
            return false;
        next = tail;
    }
    return true;
}
