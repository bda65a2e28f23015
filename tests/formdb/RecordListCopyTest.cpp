// The records list's copy of the submissions' list columns, on real database files: registration
// makes it, every way of writing submissions (a Save, an update, a delete, plain SQL of another
// program, a column the collections page adds) keeps it equal to submissions as SQLite itself reads
// them, the list is read from it, and files without it (made before, or with a trigger or column
// gone) are listed from submissions and written exactly as before.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <string>
#include <vector>

#include "formdb/Database.h"
#include "formdb/DatabaseStatement.h"
#include "formdb/FormDatabase.h"
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

struct ListCopy : ::testing::Test
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
};

} // namespace

TEST_F(ListCopy, RegistrationMakesTheCopyAndItsTriggersBesideTheTablesAsBefore)
{
    ASSERT_TRUE(CreateFormDatabase(path, kFieldList, "CMS-1500").ok);
    EXPECT_EQ("table|FormInfo\ntable|submissions\ntable|submissions_list\ntable|templates\n"
              "trigger|submissions_list_delete\ntrigger|submissions_list_insert\ntrigger|submissions_list_update\n",
              Schema());
    // submissions keeps every column a caller of the form's database expects, the form XML included.
    EXPECT_EQ("FirstName|Name|Birth|submdate|fxml\n",
              Rows("SELECT group_concat(name, '|') FROM pragma_table_info('submissions')"));
    EXPECT_EQ("FirstName|Name|Birth|submdate\n",
              Rows("SELECT group_concat(name, '|') FROM pragma_table_info('submissions_list')"));
    EXPECT_EQ("65536\n", Rows("PRAGMA page_size"));
}

TEST_F(ListCopy, EveryWriteOfSubmissionsKeepsTheCopyEqualToIt)
{
    ASSERT_TRUE(CreateFormDatabase(path, kFieldList, "CMS-1500").ok);
    ASSERT_EQ(1, Save("PAT=Jones|FIRST=Ann|DOB=1/2/1970").rowId);
    ASSERT_EQ(2, Save("PAT=Smith|FIRST=Bo").rowId);
    ASSERT_EQ(3, Save("PAT=Young|FIRST=Cy|DOB=3/4/1980").rowId);
    EXPECT_EQ("1|Ann|Jones|1/2/1970|12/7/2026\n2|Bo|Smith||12/7/2026\n3|Cy|Young|3/4/1980|12/7/2026\n", Copy());

    // Update and Save: a new row in, the old one out, in one transaction.
    ASSERT_EQ(4, Save("PAT=Smith|FIRST=Bob|DOB=5/6/1990", 2).rowId);
    // Deleting selected records.
    ASSERT_TRUE(DeleteRecordRows(path, {{1, false}}).ok);
    // Another program's plain SQL, and a column the collections page adds and writes.
    Exec("INSERT INTO submissions ([Name],[FirstName],submdate,fxml) VALUES ('Adams','Di','1/1/2026','<x/>');"
         "UPDATE submissions SET [Birth]='7/8/1999' WHERE [Name]='Young';"
         "ALTER TABLE submissions ADD COLUMN collectionsXML TEXT;"
         "UPDATE submissions SET collectionsXML='<c/>';"
         "UPDATE submissions SET _ROWID_=9 WHERE _ROWID_=3;");
    const std::string expected = "4|Bob|Smith|5/6/1990|12/7/2026\n5|Di|Adams|<null>|1/1/2026\n"
                                 "9|Cy|Young|7/8/1999|12/7/2026\n";
    EXPECT_EQ(expected, Submissions());
    EXPECT_EQ(expected, Copy());

    // The form XML stays where every reader of submissions finds it.
    const RowText xml = ReadRecordXml(path, false, 4);
    ASSERT_TRUE(xml.ok && xml.found) << xml.message;
    EXPECT_EQ("<form>PAT=Smith|FIRST=Bob|DOB=5/6/1990</form>", xml.text);
    EXPECT_EQ("ok\n", Rows("PRAGMA integrity_check"));
}

TEST_F(ListCopy, TheListIsReadFromTheCopy)
{
    ASSERT_TRUE(CreateFormDatabase(path, kFieldList, "CMS-1500").ok);
    ASSERT_EQ(1, Save("PAT=Jones|FIRST=Ann").rowId);
    EXPECT_EQ("1|12/7/2026|Ann|Jones|\n", Listed());
    // A change made to the copy alone shows: the rows come from it, not from submissions.
    Exec("UPDATE submissions_list SET [Name]='FromCopy'");
    EXPECT_EQ("1|12/7/2026|Ann|FromCopy|\n", Listed());
}

TEST_F(ListCopy, AFileWithoutTheCopyIsListedAndWrittenAsBefore)
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

TEST_F(ListCopy, ACopyWithoutAllItsTriggersOrColumnsIsNotTrusted)
{
    ASSERT_TRUE(CreateFormDatabase(path, kFieldList, "CMS-1500").ok);
    ASSERT_EQ(1, Save("PAT=Jones|FIRST=Ann").rowId);
    // Without its update trigger the copy may be stale: the list reads submissions.
    Exec("DROP TRIGGER submissions_list_update; UPDATE submissions SET [Name]='Changed'");
    EXPECT_EQ("1|12/7/2026|Ann|Changed|\n", Listed());

    // A copy whose triggers are all there but that lacks a listed column: submissions again.
    const std::wstring other = folder.File(L"other.gdb");
    path = other;
    ASSERT_TRUE(CreateFormDatabase(path, kFieldList, "CMS-1500").ok);
    ASSERT_EQ(1, Save("PAT=Jones|FIRST=Ann|DOB=1/2/1970").rowId);
    Exec("DROP TABLE submissions_list; CREATE TABLE submissions_list ([FirstName],[Name],submdate);");
    EXPECT_EQ("1|12/7/2026|Ann|Jones|1/2/1970\n", Listed());
}

TEST_F(ListCopy, TheWidestFormSavesAndListsThroughItsCopy)
{
    // 4,999 fields: the copy's triggers name every column twice.
    std::string list;
    for (int i = 0; i < 4999; ++i)
        list += (i ? "|" : "") + std::string("K") + std::to_string(i) + "jjjj" + std::to_string(i) + "jC" +
                std::to_string(i);
    ASSERT_TRUE(CreateFormDatabase(path, list, "CMS-1500").ok);
    ASSERT_EQ(1, Save("K0=first|K2500=middle|K4998=last").rowId);
    EXPECT_EQ("1|first|middle|last|12/7/2026\n",
              Rows("SELECT _ROWID_,[C0],[C2500],[C4998],submdate FROM submissions_list"));
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
