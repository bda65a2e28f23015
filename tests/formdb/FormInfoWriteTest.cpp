// Writing the frozen-column count and the column list on real database files that refuse the write:
// a trigger, a folder in the way of the journal and another program's pending write. The stored
// values stay.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include "formdb/RecordsDatabase.h"
#include "tests/formdb/RecordsFileFixture.h"

namespace {
// The records file, with the journal's place cleared again after each test.
struct FormInfoWrites : RecordsFile
{
    void TearDown() override { RemoveDirectoryW((path + L"-journal").c_str()); }
};
} // namespace

TEST_F(FormInfoWrites, FrozenCountAndColumnListThatCannotBeWrittenKeepTheStoredValues)
{
    // A trigger refuses every change of FormInfo.
    Exec("CREATE TRIGGER keep_form_info BEFORE UPDATE ON FormInfo BEGIN SELECT RAISE(ABORT, 'FormInfo is kept'); END");
    RecordsOutcome written = WriteFrozenCount(path, 4);
    EXPECT_FALSE(written.ok);
    EXPECT_EQ("SQL error: FormInfo is kept\n", written.message);
    EXPECT_EQ("db", written.caption);
    written = WriteFormColumnsText(path, "Xjjjj1jA");
    EXPECT_FALSE(written.ok);
    EXPECT_EQ("SQL error: FormInfo is kept\n", written.message);
    EXPECT_EQ("1", One("SELECT frozen FROM FormInfo"));
    EXPECT_EQ(kFieldList, One("SELECT formcolumns FROM FormInfo"));
    Exec("DROP TRIGGER keep_form_info");

    // A folder stands where SQLite writes its journal: nothing can be written.
    const std::wstring journal = path + L"-journal";
    ASSERT_TRUE(CreateDirectoryW(journal.c_str(), nullptr));
    written = WriteFrozenCount(path, 5);
    const RecordsOutcome columns = WriteFormColumnsText(path, "Xjjjj1jA");
    ASSERT_TRUE(RemoveDirectoryW(journal.c_str()));
    EXPECT_FALSE(written.ok);
    EXPECT_EQ(0u, written.message.find("SQL error: ")) << written.message;
    EXPECT_FALSE(columns.ok);
    EXPECT_EQ(0u, columns.message.find("SQL error: ")) << columns.message;
    EXPECT_EQ("1", One("SELECT frozen FROM FormInfo"));
    EXPECT_EQ(kFieldList, One("SELECT formcolumns FROM FormInfo"));

    // Another program in the middle of writing holds the file.
    sqlite3* writer = nullptr;
    ASSERT_EQ(SQLITE_OK, sqlite3_open_v2(std::string(path.begin(), path.end()).c_str(), &writer, SQLITE_OPEN_READWRITE, nullptr));
    ASSERT_EQ(SQLITE_OK, sqlite3_exec(writer, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr));
    written = WriteFrozenCount(path, 6);
    sqlite3_exec(writer, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(writer);
    EXPECT_FALSE(written.ok);
    EXPECT_NE(std::string::npos, written.message.find("database is locked")) << written.message;
    EXPECT_EQ("1", One("SELECT frozen FROM FormInfo"));
}
