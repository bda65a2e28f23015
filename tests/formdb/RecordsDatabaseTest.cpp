// The records list's statements on real database files: rows streamed templates first with columns
// in field-index order, an unregistered or locked file, deletes in one transaction and stopped by a
// failing trigger or a file they cannot be written to, the frozen count and column list, bound
// texts, and renumbering the field list by whole names.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdio>

#include "formdb/Database.h"
#include "formdb/DatabaseStatement.h"
#include "formdb/FormDatabase.h"
#include "formdb/RecordsDatabase.h"
#include "tests/formdb/RecordsFileFixture.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TraceViewer.h"

namespace {

struct SeenRow
{
    long long id;
    bool isTemplate;
    std::vector<std::string> cells;
    bool operator==(const SeenRow& other) const
    {
        return id == other.id && isTemplate == other.isTemplate && cells == other.cells;
    }
};

std::vector<SeenRow> ReadAll(const std::wstring& path, RecordListColumns* columns, RecordListResult* result)
{
    std::vector<SeenRow> rows;
    *result = ReadRecordList(
        path,
        [&](const RecordListColumns& c) {
            *columns = c;
            return true;
        },
        [&](const StoredRecordRow& row) {
            SeenRow seen{row.rowId, row.isTemplate, {}};
            for (std::string_view cell : *row.cells)
                seen.cells.emplace_back(cell);
            rows.push_back(seen);
            return true;
        });
    return rows;
}

} // namespace

TEST_F(RecordsFile, RowsComeTemplatesFirstWithColumnsInFieldIndexOrder)
{
    Exec("INSERT INTO submissions ([Name],[FirstName],[Birth],submdate,fxml) VALUES ('Jones','Ann','1/2/1970','12/31/2025','<x/>');"
         "INSERT INTO submissions ([Name],[FirstName],[Birth],submdate,fxml) VALUES ('Smith',NULL,'','1/2/2026','<x/>');"
         "INSERT INTO templates ([Name],[FirstName],[Birth],submdate,fxml,RSRV_TEMPLATE_NAME) VALUES ('Acme','','','1/1/2026','<t/>','Acme default');");
    RecordListColumns columns;
    RecordListResult result;
    const std::vector<SeenRow> rows = ReadAll(path, &columns, &result);
    ASSERT_TRUE(result.ok) << result.message;
    EXPECT_EQ(3, columns.count);
    EXPECT_EQ("[FirstName],[Name],[Birth]", columns.columns);
    EXPECT_EQ(kFieldList, columns.fieldList);
    const std::vector<SeenRow> expected = {
        {1, true, {"Acme default", "", "Acme", ""}},
        {1, false, {"12/31/2025", "Ann", "Jones", "1/2/1970"}},
        {2, false, {"1/2/2026", "", "Smith", ""}},
    };
    EXPECT_EQ(expected, rows);
    EXPECT_EQ(1, result.templates);
    EXPECT_EQ(2, result.records);
}

// The debug viewer shows "Read4" once for each template row, between the templates' select and the
// records' select, and never for a record.
TEST_F(RecordsFile, EachTemplateRowReadIsTraced)
{
    Exec("INSERT INTO templates ([Name],[FirstName],[Birth],submdate,fxml,RSRV_TEMPLATE_NAME) VALUES ('A','','','1/1/2026','<t/>','one');"
         "INSERT INTO templates ([Name],[FirstName],[Birth],submdate,fxml,RSRV_TEMPLATE_NAME) VALUES ('B','','','1/1/2026','<t/>','two');"
         "INSERT INTO templates ([Name],[FirstName],[Birth],submdate,fxml,RSRV_TEMPLATE_NAME) VALUES ('C','','','1/1/2026','<t/>','three');"
         "INSERT INTO submissions ([Name],[FirstName],[Birth],submdate,fxml) VALUES ('Jones','Ann','','12/31/2025','<x/>');"
         "INSERT INTO submissions ([Name],[FirstName],[Birth],submdate,fxml) VALUES ('Smith','Bob','','1/2/2026','<x/>');");
    TraceViewer viewer;
    ASSERT_TRUE(viewer.Ready());
    RecordListColumns columns;
    RecordListResult result;
    ASSERT_EQ(5u, ReadAll(path, &columns, &result).size());
    ASSERT_TRUE(result.ok) << result.message;

    const std::string text = viewer.TextA();
    const size_t templates = text.find("select _ROWID_, RSRV_TEMPLATE_NAME, [FirstName],[Name],[Birth]  from templates\r\n");
    const size_t records = text.find("select _ROWID_, submdate, [FirstName],[Name],[Birth] from submissions\r\n");
    ASSERT_NE(std::string::npos, templates) << text;
    ASSERT_NE(std::string::npos, records) << text;
    ASSERT_LT(templates, records) << text;
    std::vector<size_t> reads;
    for (size_t at = text.find("Read4\r\n"); at != std::string::npos; at = text.find("Read4\r\n", at + 1))
        reads.push_back(at);
    ASSERT_EQ(3u, reads.size()) << text;
    for (size_t at : reads)
    {
        EXPECT_GT(at, templates);
        EXPECT_LT(at, records);
    }
}

TEST_F(RecordsFile, AnEmptyFormGivesColumnsAndNoRows)
{
    RecordListColumns columns;
    RecordListResult result;
    EXPECT_TRUE(ReadAll(path, &columns, &result).empty());
    EXPECT_TRUE(result.ok);
    EXPECT_EQ(3, columns.count);
}

TEST_F(RecordsFile, AFileWithoutFormInfoIsNotRegisteredAndALockedOneSaysSo)
{
    Exec("DROP TABLE FormInfo");
    RecordListColumns columns;
    RecordListResult result;
    ReadAll(path, &columns, &result);
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.notRegistered);

    Exec("CREATE TABLE FormInfo (RegDate,formcolumns, frozen,zoomfactor,formtype)");
    ReadAll(path, &columns, &result);
    EXPECT_TRUE(result.notRegistered) << "a FormInfo without its row";

    // Another program holds the file exclusively: reading fails with SQLite's words, not as unregistered.
    Exec("INSERT INTO FormInfo VALUES ('1/1/2020','PATjjjj1jName','1','0,0','x')");
    sqlite3* other = nullptr;
    ASSERT_EQ(SQLITE_OK, sqlite3_open_v2(std::string(path.begin(), path.end()).c_str(), &other, SQLITE_OPEN_READWRITE, nullptr));
    ASSERT_EQ(SQLITE_OK, sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr));
    ReadAll(path, &columns, &result);
    EXPECT_FALSE(result.ok);
    EXPECT_FALSE(result.notRegistered);
    EXPECT_EQ("Can't open database: database is locked\n", result.message);
    EXPECT_EQ("db", result.caption);
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
}

TEST_F(RecordsFile, DeletesStopAtTheFirstFailureAndKeepWhatWentBefore)
{
    Exec("INSERT INTO submissions ([Name],submdate) VALUES ('a','1/1/2026');"
         "INSERT INTO submissions ([Name],submdate) VALUES ('b','1/2/2026');"
         "INSERT INTO submissions ([Name],submdate) VALUES ('c','1/3/2026');"
         "INSERT INTO templates ([Name],RSRV_TEMPLATE_NAME) VALUES ('t','T');"
         "CREATE TRIGGER keep_b BEFORE DELETE ON submissions WHEN old.[Name]='b' "
         "BEGIN SELECT RAISE(ABORT, 'record b is kept'); END;");
    const DeleteOutcome outcome =
        DeleteRecordRows(path, {{1, true}, {1, false}, {2, false}, {3, false}});
    EXPECT_FALSE(outcome.ok);
    EXPECT_EQ(2, outcome.deleted);
    EXPECT_EQ("SQL error: record b is kept\nDeleted before the failure: 2 of 4.", outcome.message);
    EXPECT_EQ("db", outcome.caption);
    EXPECT_EQ("0", One("SELECT count(*) FROM templates"));
    EXPECT_EQ("b,c", One("SELECT group_concat([Name]) FROM (SELECT [Name] FROM submissions ORDER BY _ROWID_)"));

    const DeleteOutcome gone = DeleteRecordRows(path, {{3, false}, {99, false}});
    EXPECT_TRUE(gone.ok) << gone.message;
    EXPECT_EQ(2, gone.deleted);
    EXPECT_EQ("b", One("SELECT group_concat([Name]) FROM submissions"));
}

// The file change counter of the database header (bytes 24-27, big-endian): one more for every
// committed write transaction.
unsigned FileChangeCounter(const std::wstring& path)
{
    unsigned char header[28] = {};
    FILE* file = _wfopen(path.c_str(), L"rb");
    if (!file)
        return 0;
    const size_t read = fread(header, 1, sizeof header, file);
    fclose(file);
    EXPECT_EQ(sizeof header, read);
    return (unsigned(header[24]) << 24) | (unsigned(header[25]) << 16) | (unsigned(header[26]) << 8) | header[27];
}

TEST_F(RecordsFile, DeletesAreWrittenInOneTransaction)
{
    Exec("INSERT INTO submissions ([Name],submdate) VALUES ('a','1/1/2026');"
         "INSERT INTO submissions ([Name],submdate) VALUES ('b','1/2/2026');"
         "INSERT INTO submissions ([Name],submdate) VALUES ('c','1/3/2026');"
         "INSERT INTO templates ([Name],RSRV_TEMPLATE_NAME) VALUES ('t','T');");
    const unsigned before = FileChangeCounter(path);
    const DeleteOutcome outcome = DeleteRecordRows(path, {{1, false}, {1, true}, {3, false}});
    EXPECT_TRUE(outcome.ok) << outcome.message;
    EXPECT_EQ(3, outcome.deleted);
    EXPECT_EQ(before + 1, FileChangeCounter(path));
    EXPECT_EQ("b", One("SELECT group_concat([Name]) FROM submissions"));
    EXPECT_EQ("0", One("SELECT count(*) FROM templates"));
}

TEST_F(RecordsFile, DeletesThatCannotBeCommittedLeaveEveryRecord)
{
    Exec("INSERT INTO submissions ([Name],submdate) VALUES ('a','1/1/2026');"
         "INSERT INTO submissions ([Name],submdate) VALUES ('b','1/2/2026');");
    // A reader in the middle of a query holds the file: the deletes cannot be written.
    sqlite3* reader = nullptr;
    ASSERT_EQ(SQLITE_OK, sqlite3_open_v2(std::string(path.begin(), path.end()).c_str(), &reader, SQLITE_OPEN_READONLY, nullptr));
    sqlite3_stmt* select = nullptr;
    ASSERT_EQ(SQLITE_OK, sqlite3_prepare_v2(reader, "SELECT [Name] FROM submissions", -1, &select, nullptr));
    ASSERT_EQ(SQLITE_ROW, sqlite3_step(select));
    const DeleteOutcome outcome = DeleteRecordRows(path, {{1, false}, {2, false}});
    sqlite3_finalize(select);
    sqlite3_close(reader);
    EXPECT_FALSE(outcome.ok);
    EXPECT_EQ(0, outcome.deleted);
    EXPECT_EQ("SQL error: database is locked\nDeleted before the failure: 0 of 2.", outcome.message);
    EXPECT_EQ("db", outcome.caption);
    EXPECT_EQ("a,b", One("SELECT group_concat([Name]) FROM (SELECT [Name] FROM submissions ORDER BY _ROWID_)"));
}

TEST_F(RecordsFile, FrozenCountAndColumnListRoundTrip)
{
    FrozenCount frozen = ReadFrozenCount(path);
    ASSERT_TRUE(frozen.ok);
    EXPECT_EQ(1, frozen.value);
    ASSERT_TRUE(WriteFrozenCount(path, 3).ok);
    EXPECT_EQ(3, ReadFrozenCount(path).value);
    EXPECT_EQ("3", One("SELECT frozen FROM FormInfo"));

    ASSERT_TRUE(WriteFormColumnsText(path, "Xjjjj1jA|Yjjjj2jB").ok);
    const FormColumnsText text = ReadFormColumnsText(path);
    ASSERT_TRUE(text.ok);
    EXPECT_EQ("Xjjjj1jA|Yjjjj2jB", text.text);
}

TEST_F(RecordsFile, MissingFileIsNotCreated)
{
    const std::wstring missing = folder.File(L"none.gdb");
    const FrozenCount frozen = ReadFrozenCount(missing);
    EXPECT_FALSE(frozen.ok);
    EXPECT_EQ(0u, frozen.message.find("Can't open database: "));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(missing.c_str()));
}

TEST_F(RecordsFile, StatementsWithABoundTextStoreItAsItIs)
{
    const std::string text = "O'Brien\"; DROP TABLE submissions; --\xC3\xA9";
    const RecordsOutcome done =
        ExecuteRecordsStatementWithText(path, "UPDATE FormInfo SET zoomfactor = ?", text);
    ASSERT_TRUE(done.ok) << done.message;
    EXPECT_EQ(text, One("SELECT zoomfactor FROM FormInfo"));
    EXPECT_EQ("0", One("SELECT count(*) FROM submissions"));

    const RecordsOutcome bad = ExecuteRecordsStatement(path, "UPDATE NoSuchTable SET a = 1");
    EXPECT_FALSE(bad.ok);
    EXPECT_EQ("no such table: NoSuchTable", bad.message);
    EXPECT_EQ("db", bad.caption);
}

TEST(RenumberFieldList, WholeNamesOnlyAndEveryOtherByteKept)
{
    const std::string list = "K1jjjj1jFirstName|K2jjjj2jName|K3jjjj3jNameSuffixjextra";
    std::string result;
    ASSERT_TRUE(RenumberFieldList(list, {"Name", "FirstName", "NameSuffix"}, {1, 2, 3}, &result));
    EXPECT_EQ("K1jjjj2jFirstName|K2jjjj1jName|K3jjjj3jNameSuffixjextra", result);

    // A name that is only part of another field's name is not in the list: nothing comes back.
    result = "untouched";
    EXPECT_FALSE(RenumberFieldList(list, {"First"}, {1}, &result));
    EXPECT_FALSE(RenumberFieldList(list, {"Nam"}, {1}, &result));
    EXPECT_EQ("untouched", result);

    // Several digits, and an index growing by a digit.
    ASSERT_TRUE(RenumberFieldList("Ajjjj123jX|Bjjjj7jY", {"Y", "X"}, {1, 10}, &result));
    EXPECT_EQ("Ajjjj10jX|Bjjjj1jY", result);
}
