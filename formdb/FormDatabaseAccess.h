// The few SQLite calls the per-form database code makes, in one place: open an existing file
// (never creating it), create a new one, prepare, bind, step, read, run a statement, transactions.
#pragma once
#include <sqlite3.h>

#include <string>

class FormDbStatement;

class FormDbConnection
{
public:
    FormDbConnection() = default;
    ~FormDbConnection() { Close(); }
    FormDbConnection(const FormDbConnection&) = delete;
    FormDbConnection& operator=(const FormDbConnection&) = delete;

    // Opens an existing database file read-write; false (with ErrorText) when it is missing or fails.
    bool OpenExisting(const std::wstring& path);
    // Creates a database file that does not exist yet.
    bool CreateNew(const std::wstring& path);
    void Close();

    // Runs one statement without results; false with ErrorText on failure.
    bool Execute(const std::string& sql);
    bool Begin() { return Execute("BEGIN"); }
    bool Commit() { return Execute("COMMIT"); }
    void Rollback();

    std::string ErrorText() const;
    sqlite3* Handle() const { return m_db; }
    long long LastInsertRowId() const { return sqlite3_last_insert_rowid(m_db); }

private:
    bool Open(const std::wstring& path, int flags);
    sqlite3* m_db = nullptr;
    std::string m_openError;
};

class FormDbStatement
{
public:
    FormDbStatement() = default;
    ~FormDbStatement() { Finalize(); }
    FormDbStatement(const FormDbStatement&) = delete;
    FormDbStatement& operator=(const FormDbStatement&) = delete;

    // Prepares the text on the connection; false when SQLite refuses it.
    bool Prepare(FormDbConnection& db, const std::string& sql);
    bool BindText(int index, const std::string& value);
    bool BindInt(int index, long long value);
    // One step: SQLITE_ROW, SQLITE_DONE or an error code.
    int Step();
    // Steps once and reports whether it completed (SQLITE_DONE).
    bool StepDone() { return Step() == SQLITE_DONE; }
    // Column text of the current row; empty for NULL.
    std::string ColumnText(int column) const;
    void Finalize();

private:
    sqlite3_stmt* m_stmt = nullptr;
};
