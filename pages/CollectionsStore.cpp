// The collections page's records and saves over the statements' database functions.
#include "pages/CollectionsStore.h"

#include <utility>

CollectionsReadResult ReadCollectionRows(const std::wstring& dbPath, int statementId,
                                         const std::function<void(const CollectionRow&)>& onRow, std::string* error)
{
    CollectionRow row;
    return ReadStatementSourceRows(dbPath, statementId, [&](StatementSourceRow& stored) {
        row.fxml = std::move(stored.fxml);
        row.submdate = std::move(stored.submdate);
        row.rowId = stored.rowId;
        row.collectionsXml = std::move(stored.collectionsXml);
        row.memorizedDate = std::move(stored.memorizedDate);
        onRow(row);
    }, error);
}

bool SaveStatementChanges(const std::wstring& dbPath, const std::wstring& xml, const std::wstring& today)
{
    const SavedStatement saved = ParseSavedStatement(xml);
    return saved.ok && StoreStatementChanges(dbPath, saved.rowId, xml, saved.balanceCents != 0, today);
}
