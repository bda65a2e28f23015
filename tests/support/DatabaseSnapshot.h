// What SQLite itself reads from a database file, for tests that compare a file before and after an
// operation: the integrity check's answer, every row of every table and the triggers' names.
#pragma once
#include <string>

struct DatabaseSnapshot
{
    std::string integrity; // "ok" for a sound file; "cannot open: ..." when it does not open
    std::string rows;      // "[table]\n" then each row "rowid|col|col...\n", tables by name, rows by rowid
    std::string triggers;  // the names of the file's triggers, one a line
};

// Opens the file read-write with the default VFS (so a hot journal is rolled back, as the program's
// next open would) and reads it.
DatabaseSnapshot ReadDatabaseSnapshot(const std::wstring& path);
