// Small classes for read queries: SQLiteConnection (a database file), SQLiteCommand (an SQL text on a
// connection) and SQLiteDataReader (a prepared statement stepped row by row). Failures throw Sharption
// with SQLite's error text; QueryFirstValue (SQLiteQuery.h) is the usual way to use them.
#pragma once
#include "formdb/Database.h"
#include "framework/CString.h"
#include <exception>
#include <string>

class Sharption : public std::exception
{
public:
    explicit Sharption(const char* message) : m_message(message ? message : "") {}
    const char* what() const noexcept override { return m_message.c_str(); }

private:
    std::string m_message;
};

class SQLiteConnection
{
public:
    enum { StateOpen = 5001, StateClosed = 5002 };

    // Stores the file name and access; opens nothing. A relative name is taken from the current folder.
    explicit SQLiteConnection(const wchar_t* fileName, DatabaseAccess access = DatabaseAccess::ReadWrite);
    explicit SQLiteConnection(const char* ansiFileName, DatabaseAccess access = DatabaseAccess::ReadWrite);
    virtual ~SQLiteConnection();
    SQLiteConnection(const SQLiteConnection&) = delete;
    SQLiteConnection& operator=(const SQLiteConnection&) = delete;

    // Opens the existing file (never creating it); SQLite's result code. The state becomes StateOpen on
    // success; on failure it stays StateClosed and OpenError() keeps SQLite's text. Does not throw.
    int Open();
    // sqlite3_close: StateClosed when it succeeds; with unfinalised statements SQLite refuses and the
    // state stays StateOpen. SQLite's result code.
    int Close();

    int GetState() const { return m_state; }
    sqlite3* GetHandle() const { return m_db; }
    const CString& GetFileName() const { return m_fileName; }
    const char* OpenError() const { return m_openError.c_str(); }

private:
    sqlite3* m_db = nullptr;
    int m_state = StateClosed;
    CString m_fileName;
    DatabaseAccess m_access;
    std::string m_openError;
};

// Owns its statement and finalises it exactly once (when a step fails, or at its end). Move-only.
class SQLiteDataReader
{
public:
    // Prepares sql (traced) on db; throws Sharption with SQLite's text when that fails.
    SQLiteDataReader(const char* sql, sqlite3* db);
    virtual ~SQLiteDataReader();
    SQLiteDataReader(SQLiteDataReader&& other) noexcept;
    SQLiteDataReader& operator=(SQLiteDataReader&& other) noexcept;
    SQLiteDataReader(const SQLiteDataReader&) = delete;
    SQLiteDataReader& operator=(const SQLiteDataReader&) = delete;

    // One step: true with a row to read, false at the end (and on every call after it). A failed step
    // finalises the statement and throws Sharption with SQLite's text.
    bool Read();

    // Column values of the current row (columns from 0). An index not below the column count throws
    // Sharption "There is no such column". GetText never answers null: SQL NULL reads as "". GetBlob
    // answers null for NULL and empty blobs. Pointers stay valid until the next Read.
    const char* GetText(int column) const;
    const void* GetBlob(int column) const;
    int GetBytes(int column) const;

    int GetColumnCount() const { return m_columnCount; }
    int GetLastResult() const { return m_lastResult; }

private:
    void CheckColumn(int column) const;

    int m_columnCount = 0;
    int m_lastResult = SQLITE_OK;
    sqlite3* m_db = nullptr;
    sqlite3_stmt* m_stmt = nullptr;
};

class SQLiteCommand
{
public:
    SQLiteCommand(const char* sql, SQLiteConnection* connection);
    virtual ~SQLiteCommand() = default;

    // A reader on the command's text. Throws Sharption when the connection is not open (with the
    // text of its failed open) or when the text cannot be prepared.
    SQLiteDataReader ExecuteReader();

private:
    SQLiteConnection* m_connection;
    std::string m_sql;
};
