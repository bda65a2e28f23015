// The statement columns of a form's submissions table: added when a database is first used for
// statements, read for the collection data, and written when a statement's changes are saved.
#pragma once
#include <functional>
#include <string>

#include "export/CollectionsRecord.h"

class Database;

// Adds whichever of collectionsXML, memorizedDate and dateTrigger (default 0) submissions lacks, all
// in one transaction; false (with *error) when that fails, and nothing is changed.
bool EnsureStatementColumns(Database& db, std::string* error);

enum class CollectionsReadResult { Done, OpenFailed, PrepareFailed };

// Runs the collections query (every submission, or the one row when statementId is 0 or more) and
// hands each row to onRow. On OpenFailed, *error holds the database's text.
CollectionsReadResult ReadCollectionRows(const std::wstring& dbPath, int statementId,
                                         const std::function<void(const CollectionRow&)>& onRow, std::string* error);

// What a statement's saved XML says: its record and its balance in cents.
struct SavedStatement
{
    bool ok = false;
    int rowId = 0;
    long long balanceCents = 0;
};
// Reads the document element's ID (strictly a whole number) and TotalDue_1..6 (cents).
SavedStatement ParseSavedStatement(const std::wstring& xml);

// Stores the statement's XML in its row and keeps the date of the first save with a balance until
// the balance is 0 again (then the date is cleared and the trigger re-armed). Both changes in one
// transaction, each on exactly one row; false when the text is not a statement or a change fails.
bool SaveStatementChanges(const std::wstring& dbPath, const std::wstring& xml, const std::wstring& today);
