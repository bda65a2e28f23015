// The one way into SQLite files: opening an existing database (never creating it), creating a new one
// for registration, and the traced prepare that every SQL text goes through.
//
// Use:
//     Database db;
//     if (!db.Open(path))                       // path is UTF-16; SQLite gets it as UTF-8
//         report(db.ErrorText());               // e.g. "unable to open database file"
//     Statement st;
//     if (!st.Prepare(db, "select fxml from submissions where _ROWID_ = ?"))
//         report(st.ErrorText());
//     st.BindInt(1, id);
//     while (st.Step() == StepResult::Row)
//         use(st.ColumnText(0));
//     if (st.Failed()) report(st.ErrorText());
// Statements (DatabaseStatement.h) and transactions (DatabaseTransaction.h) must end before their
// database closes. Column texts of the form databases are UTF-8, with ANSI text from files written
// before (StoredText.h); the form XML is ANSI. Bind and read them as raw bytes.
#pragma once
#include <sqlite3.h>
#include <string>

enum class DatabaseAccess { ReadWrite, ReadOnly };

// Opens an existing database file into *db (null on failure) and checks that it is a database. Never
// creates a file. Returns SQLite's result code; on failure *error receives SQLite's text.
int OpenDatabaseFile(const wchar_t* path, DatabaseAccess access, sqlite3** db, std::string* error);

// Compiles the first statement of sql after sending its text to the debug viewer. Returns SQLite's
// result code; an SQL text without a statement gives SQLITE_MISUSE. On failure *stmt is null and
// *error holds the reason.
int PrepareTracedStatement(sqlite3* db, const char* sql, sqlite3_stmt** stmt, std::string* error);

// Test hook: called with the running count (from 1) of traced SQL texts, before each is compiled or
// run. Crash tests install one that ends the process at a chosen statement; there is none otherwise.
using TracedStatementHook = void (*)(long count);
void SetTracedStatementHook(TracedStatementHook hook);

// A connection to one database file, closed by the destructor. Move-only.
class Database
{
public:
    Database() = default;
    ~Database();
    Database(Database&& other) noexcept;
    Database& operator=(Database&& other) noexcept;
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Opens an existing database file. A missing file, a folder or a file that is not an SQLite database
    // fails: false, with SQLite's text in ErrorText(). An open connection is closed first.
    bool Open(const wchar_t* path, DatabaseAccess access = DatabaseAccess::ReadWrite);

    // Opens the file read-write, creating an empty database when it does not exist. Only form
    // registration creates databases; everything else uses Open.
    bool Create(const wchar_t* path);

    // Closes the connection; SQLite's result code. While statements are unfinalised it answers
    // SQLITE_BUSY and the connection stays open. Closing a closed database answers SQLITE_OK.
    int Close();

    bool IsOpen() const { return m_db != nullptr; }
    sqlite3* Handle() const { return m_db; }

    // Runs every statement of sql to its end, discarding rows; false on the first failure.
    bool Execute(const char* sql);

    long long LastInsertRowId() const { return m_db ? sqlite3_last_insert_rowid(m_db) : 0; }
    int Changes() const { return m_db ? sqlite3_changes(m_db) : 0; }

    // The text of the last failure of Open, Create, Execute or Close (UTF-8, SQLite's own words).
    const char* ErrorText() const { return m_error.c_str(); }

private:
    bool Attach(int rc, sqlite3* db, const std::string& error);

    sqlite3* m_db = nullptr;
    std::string m_error;
};
