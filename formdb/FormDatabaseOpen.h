// Opening a form's database for its operations. Files made by two earlier builds also kept a copy
// of the list's columns: table submissions_list, kept in step by three triggers on submissions. A
// copy that another tool dropped without its triggers made every save fail ("no such table"), and
// the list now reads submissions itself, so the copy is dropped the first time such a file is opened
// here. It held nothing but copies of submissions' columns: no record is lost with it.
#pragma once
#include <string>

#include "formdb/Database.h"

// Opens an existing form database read-write (as Database::Open), then drops the list copy of
// earlier builds if any part of it is there. The drop is one transaction: when it fails (the file
// is locked or read-only) the file stays as it was, the reason goes to the debug viewer, and the open
// still succeeds; the next open tries again.
bool OpenFormDatabase(Database& db, const std::wstring& path);

// Drops the table submissions_list and its three triggers, whichever of them are there, in one
// transaction. True when none is left (also when there was none); false with SQLite's words in
// *error, the file unchanged.
bool DropRecordListCopy(Database& db, std::string* error);
