// The statement columns of a form's submissions table: added when a database is first used for
// statements, read for the collection data, and written when a statement's changes are saved.
#pragma once
#include <functional>
#include <string>

class Database;

// Adds whichever of collectionsXML, memorizedDate and dateTrigger (default 0) submissions lacks, all
// in one transaction (the caller's, when one is open); false (with *error) when that fails, and
// nothing is changed once that transaction is rolled back.
bool EnsureStatementColumns(Database& db, std::string* error);

// One submission as the statements read it, texts decoded.
struct StatementSourceRow
{
    std::wstring fxml;
    std::wstring submdate;
    long long rowId = 0;
    std::wstring collectionsXml;
    std::wstring memorizedDate;
};

enum class CollectionsReadResult { Done, OpenFailed, PrepareFailed };

// Runs the collections query (every submission, or the one row when statementId is 0 or more) and
// hands each row to onRow, which may take its texts. On OpenFailed, *error holds the database's text.
CollectionsReadResult ReadStatementSourceRows(const std::wstring& dbPath, int statementId,
                                              const std::function<void(StatementSourceRow&)>& onRow,
                                              std::string* error);

// Stores a statement's XML in its row and keeps the date of the first save with a balance until the
// balance is 0 again (then the date is cleared and the trigger re-armed). Both changes, and the
// statement columns when the file lacks them, in one transaction, each change on exactly one row;
// false when any fails.
bool StoreStatementChanges(const std::wstring& dbPath, int rowId, const std::wstring& xml, bool hasBalance,
                           const std::wstring& today);
