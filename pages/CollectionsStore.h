// The collections page's records and saves: the statement rows of the form's database as collection
// rows, and a statement's changes parsed and stored.
#pragma once
#include <functional>
#include <string>

#include "export/CollectionsRecord.h"
#include "export/SavedStatement.h"
#include "formdb/StatementsDatabase.h"

// The statement rows (every submission, or the one row when statementId is 0 or more) as collection
// rows. On OpenFailed, *error holds the database's text.
CollectionsReadResult ReadCollectionRows(const std::wstring& dbPath, int statementId,
                                         const std::function<void(const CollectionRow&)>& onRow, std::string* error);

// Stores the statement's XML in its row (see StoreStatementChanges); false when the text is not a
// statement or a change fails.
bool SaveStatementChanges(const std::wstring& dbPath, const std::wstring& xml, const std::wstring& today);
