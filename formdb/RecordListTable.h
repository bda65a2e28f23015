// The records list's own copy of the submissions' list columns. A record's form XML runs to tens of
// kilobytes and, with the large pages of new databases, shares its page with the row's other
// columns: listing submissions would read every byte of every record. New databases therefore keep
// submdate and the field columns of every record once more, without the XML, in a table of their
// own that triggers keep in step with submissions in the same statement, whoever writes the file.
// submissions itself is unchanged (every reader and writer of its columns, fxml included, works as
// before); files without the copy are listed from submissions as they always were.
#pragma once
#include <string>
#include <vector>

class Database;

// The copy's table; its rows carry the row ids of their submissions.
extern const char kRecordListTable[];

// The statements that make the copy and its triggers for the bracketed column list of the fields
// ("[A],[B],..."), to be run in registration's transaction while submissions is still empty.
std::vector<std::string> RecordListTableStatements(const std::string& columns);

// Whether the database holds the copy with every one of its triggers: only then does it mirror
// submissions. False also when the schema cannot be read.
bool HasRecordListTable(Database& db);
