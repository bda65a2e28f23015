// The per-form database's layout on real files: registration makes FormInfo, submissions and
// templates and nothing else; files of the two builds that kept a copy of the list's columns (table
// and triggers, made here by literal SQL as those builds made them) lose the copy whole, or keep it
// whole while it cannot be dropped, and never a record; files made before the copy are listed and
// written as they always were.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <string>
#include <vector>

#include "formdb/Database.h"
#include "formdb/DatabaseStatement.h"
#include "formdb/FormDatabase.h"
#include "formdb/FormDatabaseOpen.h"
#include "formdb/RecordsDatabase.h"
#include "tests/support/TempFolder.h"

namespace {

// Index 2 is listed first: the list shows FirstName, Name, Birth.
const char kFieldList[] = "PATjjjj2jName|FIRSTjjjj1jFirstName|DOBjjjj3jBirth";
const char kListColumns[] = "_ROWID_,[FirstName],[Name],[Birth],submdate";

std::string Utf8(const std::wstring& text)
{
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(bytes > 0 ? bytes - 1 : 0, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &out[0], bytes, nullptr, nullptr);
    return out;
}

struct FileLayouts : ::testing::Test
{
    TempFolder folder;
    std::wstring path = folder.File(L"claim.gdb");
    sqlite3* raw = nullptr;

    void TearDown() override { Close(); }

    // SQLite's own connection to the file, as another program would have it.
    sqlite3* Raw()
    {
        if (!raw)
        {
            EXPECT_EQ(SQLITE_OK, sqlite3_open_v2(Utf8(path).c_str(), &raw, SQLITE_OPEN_READWRITE, nullptr));
        }
        return raw;
    }
    void Close()
    {
        sqlite3_close(raw);
        raw = nullptr;
    }
    void Exec(const std::string& sql)
    {
        char* error = nullptr;
        ASSERT_EQ(SQLITE_OK, sqlite3_exec(Raw(), sql.c_str(), nullptr, nullptr, &error))
            << (error ? error : "") << " in " << sql;
        Close();
    }
    // Every row of a query as "a|b|c" lines.
    std::string Rows(const std::string& sql)
    {
        std::string rows;
        sqlite3_stmt* stmt = nullptr;
        EXPECT_EQ(SQLITE_OK, sqlite3_prepare_v2(Raw(), sql.c_str(), -1, &stmt, nullptr)) << sqlite3_errmsg(Raw());
        while (stmt && sqlite3_step(stmt) == SQLITE_ROW)
        {
            for (int c = 0; c < sqlite3_column_count(stmt); ++c)
            {
                const unsigned char* text = sqlite3_column_text(stmt, c);
                rows += (c ? "|" : "") + (text ? std::string(reinterpret_cast<const char*>(text)) : "<null>");
            }
            rows += "\n";
        }
        sqlite3_finalize(stmt);
        Close();
        return rows;
    }
    std::string Submissions() { return Rows(std::string("SELECT ") + kListColumns + " FROM submissions ORDER BY 1"); }
    std::string Copy() { return Rows(std::string("SELECT ") + kListColumns + " FROM submissions_list ORDER BY 1"); }
    std::string Schema() { return Rows("SELECT type, name FROM sqlite_master ORDER BY type, name"); }

    // The records of the list as the page gets them: "id|cell|cell|..." lines.
    std::string Listed()
    {
        std::string rows;
        const RecordListResult result = ReadRecordList(
            path, [](const RecordListColumns&) { return true; },
            [&](const StoredRecordRow& row) {
                if (row.isTemplate)
                    return true;
                rows += std::to_string(row.rowId);
                for (std::string_view cell : *row.cells)
                    rows += "|" + std::string(cell);
                rows += "\n";
                return true;
            });
        EXPECT_TRUE(result.ok) << result.message;
        return rows;
    }

    StoreResult Save(const char* reply, long long replaced = 0)
    {
        RecordToStore record;
        record.reply = reply;
        record.formXml = std::string("<form>") + reply + "</form>";
        record.saveDate = "12/7/2026";
        record.update = replaced > 0;
        record.replacedRowId = replaced;
        return StoreFormRecord(path, record);
    }

    // A file as registration made it before the copy: the same tables, no copy, 4 KB pages.
    void MakeFileWithoutCopy()
    {
        ASSERT_EQ(SQLITE_OK, sqlite3_open_v2(Utf8(path).c_str(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                                             nullptr));
        Exec(std::string("CREATE TABLE FormInfo (RegDate,formcolumns, frozen,zoomfactor,formtype);"
                         "INSERT INTO FormInfo VALUES ('1/2/2025','") +
             kFieldList +
             "','1','0,0','CMS-1500');"
             "CREATE TABLE submissions ([FirstName],[Name],[Birth],submdate,fxml);"
             "CREATE TABLE templates ([FirstName],[Name],[Birth],submdate,fxml, RSRV_TEMPLATE_NAME);");
    }

    // A file as the last builds made it: 64 KB pages, the three tables, and the list copy with the
    // three triggers that kept it equal to submissions.
    void MakeFileWithCopy()
    {
        ASSERT_EQ(SQLITE_OK, sqlite3_open_v2(Utf8(path).c_str(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                                             nullptr));
        const std::string copyRow = "INSERT INTO submissions_list (_ROWID_,[FirstName],[Name],[Birth],submdate) "
                                    "VALUES (new._ROWID_,new.[FirstName],new.[Name],new.[Birth],new.submdate);";
        Exec(std::string("PRAGMA page_size = 65536; BEGIN;"
                         "CREATE TABLE FormInfo (RegDate,formcolumns, frozen,zoomfactor,formtype);"
                         "INSERT INTO FormInfo VALUES ('1/2/2026','") +
             kFieldList +
             "','1','0,0','CMS-1500');"
             "CREATE TABLE submissions ([FirstName],[Name],[Birth],submdate,fxml);"
             "CREATE TABLE templates ([FirstName],[Name],[Birth],submdate,fxml, RSRV_TEMPLATE_NAME);"
             "CREATE TABLE submissions_list ([FirstName],[Name],[Birth],submdate);"
             "CREATE TRIGGER submissions_list_insert AFTER INSERT ON submissions BEGIN " +
             copyRow +
             " END;"
             "CREATE TRIGGER submissions_list_update AFTER UPDATE ON submissions BEGIN "
             "DELETE FROM submissions_list WHERE _ROWID_=old._ROWID_; " +
             copyRow +
             " END;"
             "CREATE TRIGGER submissions_list_delete AFTER DELETE ON submissions BEGIN "
             "DELETE FROM submissions_list WHERE _ROWID_=old._ROWID_; END;"
             "INSERT INTO submissions ([Name],[FirstName],[Birth],submdate,fxml) "
             "VALUES ('Jones','Ann','1/2/1970','12/31/2025','<form>Jones</form>');"
             "INSERT INTO submissions ([Name],[FirstName],submdate,fxml) "
             "VALUES ('Smith','Bo','1/2/2026','<form>Smith</form>');"
             "INSERT INTO templates ([Name],submdate,fxml,RSRV_TEMPLATE_NAME) "
             "VALUES ('Acme','1/1/2026','<t/>','Acme default');"
             "COMMIT;");
    }

    std::string AllOf(const char* table) { return Rows(std::string("SELECT _ROWID_,* FROM ") + table + " ORDER BY 1"); }
};

} // namespace

TEST_F(FileLayouts, RegistrationMakesTheThreeTablesAndNothingElse)
{
    ASSERT_TRUE(CreateFormDatabase(path, kFieldList, "CMS-1500").ok);
    EXPECT_EQ("table|FormInfo\ntable|submissions\ntable|templates\n", Schema());
    EXPECT_EQ("FirstName|Name|Birth|submdate|fxml\n",
              Rows("SELECT group_concat(name, '|') FROM pragma_table_info('submissions')"));
    EXPECT_EQ("FirstName|Name|Birth|submdate|fxml|RSRV_TEMPLATE_NAME\n",
              Rows("SELECT group_concat(name, '|') FROM pragma_table_info('templates')"));
    EXPECT_EQ("65536\n", Rows("PRAGMA page_size"));
}

TEST_F(FileLayouts, AFileWithTheCopyLosesItAtItsFirstOpenAndKeepsEveryRecord)
{
    MakeFileWithCopy();
    ASSERT_EQ("table|FormInfo\ntable|submissions\ntable|submissions_list\ntable|templates\n"
              "trigger|submissions_list_delete\ntrigger|submissions_list_insert\ntrigger|submissions_list_update\n",
              Schema());
    ASSERT_EQ("1|Ann|Jones|1/2/1970|12/31/2025\n2|Bo|Smith|<null>|1/2/2026\n", Copy());
    const std::string records = AllOf("submissions");
    const std::string templates = AllOf("templates");
    const std::string formInfo = AllOf("FormInfo");

    // Showing the list is the first open: the copy goes, the list comes from submissions.
    EXPECT_EQ("1|12/31/2025|Ann|Jones|1/2/1970\n2|1/2/2026|Bo|Smith|\n", Listed());
    EXPECT_EQ("table|FormInfo\ntable|submissions\ntable|templates\n", Schema());
    EXPECT_EQ(records, AllOf("submissions"));
    EXPECT_EQ(templates, AllOf("templates"));
    EXPECT_EQ(formInfo, AllOf("FormInfo"));
    EXPECT_EQ("ok\n", Rows("PRAGMA integrity_check"));

    // Saving, updating and deleting work on it as on a new file.
    ASSERT_EQ(3, Save("PAT=Young|FIRST=Cy").rowId);
    ASSERT_EQ(4, Save("PAT=Smith|FIRST=Bob", 2).rowId);
    ASSERT_TRUE(DeleteRecordRows(path, {{1, false}}).ok);
    EXPECT_EQ("3|12/7/2026|Cy|Young|\n4|12/7/2026|Bob|Smith|\n", Listed());
    EXPECT_EQ("65536\n", Rows("PRAGMA page_size")) << "an existing file keeps its pages";
}

TEST_F(FileLayouts, AFileWhoseCopyAnotherToolDroppedWithoutItsTriggersSavesAgain)
{
    MakeFileWithCopy();
    Exec("DROP TABLE submissions_list");
    // What every save met before: the triggers' table is gone.
    char* error = nullptr;
    EXPECT_NE(SQLITE_OK, sqlite3_exec(Raw(), "INSERT INTO submissions (submdate) VALUES ('x')", nullptr, nullptr, &error));
    EXPECT_NE(std::string::npos, std::string(error ? error : "").find("no such table")) << (error ? error : "");
    sqlite3_free(error);
    Close();

    const StoreResult saved = Save("PAT=Young|FIRST=Cy");
    ASSERT_EQ(StoreOutcome::Stored, saved.outcome) << saved.message;
    EXPECT_EQ(3, saved.rowId);
    EXPECT_EQ("table|FormInfo\ntable|submissions\ntable|templates\n", Schema());
    EXPECT_EQ("1|12/31/2025|Ann|Jones|1/2/1970\n2|1/2/2026|Bo|Smith|\n3|12/7/2026|Cy|Young|\n", Listed());
}

TEST_F(FileLayouts, ACopyThatCannotBeDroppedNowStaysWholeAndTheListStillReads)
{
    MakeFileWithCopy();
    const std::string schema = Schema();
    const std::string copy = Copy();
    // Another program is reading the file: the drop cannot commit.
    sqlite3_stmt* reading = nullptr;
    ASSERT_EQ(SQLITE_OK, sqlite3_prepare_v2(Raw(), "SELECT _ROWID_ FROM submissions", -1, &reading, nullptr));
    ASSERT_EQ(SQLITE_ROW, sqlite3_step(reading));
    {
        Database db;
        ASSERT_TRUE(db.Open(path.c_str())) << db.ErrorText();
        std::string error;
        EXPECT_FALSE(DropRecordListCopy(db, &error));
        EXPECT_NE(std::string::npos, error.find("locked")) << error;
    }
    std::string listed;
    const RecordListResult result = ReadRecordList(
        path, [](const RecordListColumns&) { return true; },
        [&](const StoredRecordRow& row) {
            listed += std::to_string(row.rowId) + (row.isTemplate ? "T " : "R ");
            return true;
        });
    EXPECT_TRUE(result.ok) << result.message;
    EXPECT_EQ("1T 1R 2R ", listed);
    sqlite3_finalize(reading);
    Close();
    EXPECT_EQ(schema, Schema()) << "the copy and every trigger are still there";
    EXPECT_EQ(copy, Copy());

    // Once the file is free the next open drops it.
    Database db;
    ASSERT_TRUE(OpenFormDatabase(db, path));
    db.Close();
    EXPECT_EQ("table|FormInfo\ntable|submissions\ntable|templates\n", Schema());
}

TEST_F(FileLayouts, AFileMadeBeforeTheCopyIsListedAndWrittenAsBefore)
{
    MakeFileWithoutCopy();
    Exec("INSERT INTO submissions ([Name],[FirstName],submdate,fxml) VALUES ('Jones','Ann','12/31/2025','<old/>');");
    const std::string schema = Schema();
    EXPECT_EQ("1|12/31/2025|Ann|Jones|\n", Listed());
    ASSERT_EQ(2, Save("PAT=Smith|FIRST=Bo").rowId);
    ASSERT_EQ(3, Save("PAT=Smith|FIRST=Bob", 2).rowId);
    ASSERT_TRUE(DeleteRecordRows(path, {{1, false}}).ok);
    EXPECT_EQ("3|12/7/2026|Bob|Smith|\n", Listed());
    EXPECT_EQ(schema, Schema()) << "the file is not given the copy";
    EXPECT_EQ("4096\n", Rows("PRAGMA page_size"));
    const RowText xml = ReadRecordXml(path, false, 3);
    EXPECT_EQ("<form>PAT=Smith|FIRST=Bob</form>", xml.text);
}

TEST_F(FileLayouts, TheWidestFormSavesAndLists)
{
    // 4,999 fields: every statement names every column.
    std::string list;
    for (int i = 0; i < 4999; ++i)
        list += (i ? "|" : "") + std::string("K") + std::to_string(i) + "jjjj" + std::to_string(i) + "jC" +
                std::to_string(i);
    ASSERT_TRUE(CreateFormDatabase(path, list, "CMS-1500").ok);
    ASSERT_EQ(1, Save("K0=first|K2500=middle|K4998=last").rowId);
    EXPECT_EQ("1|first|middle|last|12/7/2026\n",
              Rows("SELECT _ROWID_,[C0],[C2500],[C4998],submdate FROM submissions"));
    std::vector<std::string> cells;
    const RecordListResult result = ReadRecordList(
        path, [](const RecordListColumns&) { return true; },
        [&](const StoredRecordRow& row) {
            for (std::string_view cell : *row.cells)
                cells.emplace_back(cell);
            return true;
        });
    ASSERT_TRUE(result.ok) << result.message;
    ASSERT_EQ(5000u, cells.size());
    EXPECT_EQ("12/7/2026", cells[0]);
    EXPECT_EQ("first", cells[1]);
    EXPECT_EQ("middle", cells[2501]);
    EXPECT_EQ("last", cells[4999]);
    EXPECT_EQ("", cells[2]);
}
