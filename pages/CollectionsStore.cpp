// The collections page's records and saves over the statements' database functions.
#include "pages/CollectionsStore.h"

#include "export/RecordBalance.h"
#include "export/RecordElements.h"

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
    if (!saved.ok) return false;
    // The date trigger reads the balance that the totals and the "Past Due" choices read: a line the
    // statement leaves blank counts the record's own charge.
    long long balance = saved.balanceCents;
    RecordElements statement;
    statement.Load(xml);
    std::string error;
    ReadCollectionRows(dbPath, saved.rowId, [&](const CollectionRow& row) {
        RecordElements record;
        record.Load(row.fxml);
        balance = RecordBalanceCents(record, statement);
    }, &error);
    return StoreStatementChanges(dbPath, saved.rowId, xml, balance != 0, today);
}
