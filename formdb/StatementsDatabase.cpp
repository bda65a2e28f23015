// SQL of the patient statements on the per-form database: the statement columns of submissions,
// the rows the collection data is built from, and a saved statement's XML and date.
#include "formdb/StatementsDatabase.h"

#include "common/Diagnostics.h"
#include "formdb/Database.h"
#include "formdb/DatabaseStatement.h"
#include "formdb/DatabaseTransaction.h"
#include "formdb/FormDatabaseOpen.h"
#include "formdb/StoredText.h"

#include <set>

namespace {
std::wstring ColumnText(const Statement& statement, int column)
{
    return DecodeStoredText(statement.ColumnText(column), static_cast<size_t>(statement.ColumnBytes(column)));
}

std::string AsciiLower(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}
} // namespace

bool EnsureStatementColumns(Database& db, std::string* error)
{
    std::set<std::string> present;
    {
        Statement info;
        if (!info.Prepare(db, "PRAGMA table_info(submissions)")) {
            if (error) *error = info.ErrorText();
            return false;
        }
        StepResult step;
        // SQLite's column names ignore ASCII case: "memorizeddate" already is "memorizedDate".
        while ((step = info.Step()) == StepResult::Row) present.insert(AsciiLower(info.ColumnText(1)));
        if (step == StepResult::Error || present.empty()) {
            if (error) *error = present.empty() ? "no such table: submissions" : info.ErrorText();
            return false;
        }
    }
    const char* const columns[][2] = {{"collectionsXML", "ALTER TABLE submissions ADD COLUMN collectionsXML TEXT"},
                                      {"memorizedDate", "ALTER TABLE submissions ADD COLUMN memorizedDate TEXT"},
                                      {"dateTrigger", "ALTER TABLE submissions ADD COLUMN dateTrigger INTEGER DEFAULT 0"}};
    bool missing = false;
    for (const auto& column : columns) missing = missing || !present.count(AsciiLower(column[0]));
    if (!missing) return true;
    auto addMissing = [&] {
        for (const auto& column : columns) {
            if (!present.count(AsciiLower(column[0])) && !db.Execute(column[1])) {
                if (error) *error = db.ErrorText();
                return false;
            }
        }
        return true;
    };
    // Inside the caller's transaction the columns stand or fall with its other changes.
    if (!sqlite3_get_autocommit(db.Handle())) return addMissing();
    Transaction transaction(db);
    if (!transaction.Active()) {
        if (error) *error = db.ErrorText();
        return false;
    }
    if (!addMissing()) return false; // rolled back: no column added
    if (!transaction.Commit()) {
        if (error) *error = db.ErrorText();
        return false;
    }
    return true;
}

CollectionsReadResult ReadStatementSourceRows(const std::wstring& dbPath, int statementId,
                                              const std::function<void(StatementSourceRow&)>& onRow,
                                              std::string* error)
{
    Database db;
    if (!OpenFormDatabase(db, dbPath)) {
        if (error) *error = db.ErrorText();
        return CollectionsReadResult::OpenFailed;
    }
    std::string why;
    if (!EnsureStatementColumns(db, &why)) DebugTraceA(("statement columns not added: " + why).c_str(), TRUE);
    Statement query;
    const char* sql = statementId < 0
        ? "select fxml,submdate,_ROWID_, collectionsXML, memorizedDate from submissions"
        : "select fxml,submdate,_ROWID_, collectionsXML, memorizedDate from submissions WHERE _ROWID_ = ?";
    if (!query.Prepare(db, sql) || (statementId >= 0 && !query.BindInt(1, statementId)))
        return CollectionsReadResult::PrepareFailed;
    StatementSourceRow row;
    while (query.Step() == StepResult::Row) {
        row.fxml = ColumnText(query, 0);
        row.submdate = ColumnText(query, 1);
        row.rowId = query.ColumnInt64(2);
        row.collectionsXml = ColumnText(query, 3);
        row.memorizedDate = ColumnText(query, 4);
        onRow(row);
    }
    if (query.Failed()) DebugTraceA(query.ErrorText(), TRUE);
    return CollectionsReadResult::Done;
}

bool StoreStatementChanges(const std::wstring& dbPath, int rowId, const std::wstring& xml, bool hasBalance,
                           const std::wstring& today)
{
    Database db;
    if (!OpenFormDatabase(db, dbPath)) return false;
    // The columns a first save adds go in the same transaction as the save: a failed save leaves the
    // file as it was.
    Transaction transaction(db);
    if (!transaction.Active()) return false;
    std::string error;
    if (!EnsureStatementColumns(db, &error)) return false;
    const std::string text = EncodeStoredText(xml);
    Statement store;
    if (!store.Prepare(db, "UPDATE submissions set collectionsXML = ? where _ROWID_ = ?") ||
        !store.BindText(1, text.data(), static_cast<int>(text.size())) || !store.BindInt(2, rowId) ||
        !store.Run() || db.Changes() != 1)
        return false;
    store.Finalize();
    // The first save with a balance dates the statement; a balance of 0 clears the date and re-arms
    // the trigger. Either way exactly the one row is written.
    Statement date;
    if (!hasBalance) {
        if (!date.Prepare(db, "UPDATE submissions set dateTrigger = 0, memorizedDate = '' where _ROWID_ = ?") ||
            !date.BindInt(1, rowId))
            return false;
    } else {
        const std::string day = EncodeStoredText(today);
        if (!date.Prepare(db, "UPDATE submissions set memorizedDate = CASE WHEN ifnull(dateTrigger, 0) = 0 THEN ? "
                              "ELSE memorizedDate END, dateTrigger = 1 where _ROWID_ = ?") ||
            !date.BindText(1, day.data(), static_cast<int>(day.size())) || !date.BindInt(2, rowId))
            return false;
    }
    if (!date.Run() || db.Changes() != 1) return false;
    date.Finalize();
    return transaction.Commit();
}
