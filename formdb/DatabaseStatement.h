// One prepared SQL statement of a Database: its text is traced before it is compiled, parameters are
// bound by number (from 1), each step is checked, and the statement is finalised by the destructor.
#pragma once
#include "formdb/Database.h"
#include "framework/CString.h"

enum class StepResult { Row, Done, Error };

class Statement
{
public:
    Statement() = default;
    ~Statement() { Finalize(); }
    Statement(Statement&& other) noexcept;
    Statement& operator=(Statement&& other) noexcept;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    // Sends sql to the debug viewer, then compiles its first statement. false when the database is not
    // open or SQLite refuses the text (ErrorText() tells why, e.g. "no such table: FormInfo").
    bool Prepare(const Database& db, const char* sql);
    bool IsPrepared() const { return m_stmt != nullptr; }

    // Binding; false (with ErrorText) when the statement is not prepared or the index is out of range.
    // Texts are copied. A null text binds the empty text.
    bool BindText(int index, const char* bytes, int length = -1);       // raw bytes
    bool BindAnsiText(int index, const CString& text);                  // converted to the ANSI code page
    bool BindInt(int index, int value);
    bool BindInt64(int index, long long value);
    bool BindBlob(int index, const void* data, int size);
    bool BindNull(int index);

    // One step. Row: a row is ready to read; Done: the statement has finished (further steps keep
    // answering Done without running it again); Error: the step failed (ErrorText; Failed() is true;
    // further steps answer Error until Reset).
    StepResult Step();
    // Steps until Done; true when the statement ran to its end without an error.
    bool Run();
    // Makes the statement ready to run again (also after a failed step); bindings are kept.
    bool Reset();
    bool Failed() const { return m_failed; }

    // Columns of the current row, numbered from 0. A SQL NULL, a missing row or a bad index reads as
    // the empty text, 0, or a null blob with size 0. Pointers stay valid until the next step.
    int ColumnCount() const { return m_stmt ? sqlite3_column_count(m_stmt) : 0; }
    bool ColumnIsNull(int column) const;
    const char* ColumnText(int column) const;                          // raw bytes, never null
    CString ColumnAnsiText(int column) const;                          // from the ANSI code page
    int ColumnInt(int column) const;
    long long ColumnInt64(int column) const;
    const void* ColumnBlob(int column) const;
    int ColumnBytes(int column) const;

    void Finalize();
    sqlite3_stmt* Handle() const { return m_stmt; }

    // The text of the last failure of Prepare, a bind or a step (SQLite's own words).
    const char* ErrorText() const { return m_error.c_str(); }

private:
    bool CheckBind(int rc);
    bool HasColumn(int column) const;

    sqlite3_stmt* m_stmt = nullptr;
    bool m_done = false;
    bool m_failed = false;
    std::string m_error;
};
