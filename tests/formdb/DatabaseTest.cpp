// Database, Statement and Transaction on real SQLite files in a temporary folder: opening never creates,
// creating is explicit, binding and reading every kind of value, checked steps and rollback guards.
#include "formdb/Database.h"
#include "formdb/DatabaseStatement.h"
#include "formdb/DatabaseTransaction.h"
#include "tests/support/TempFolder.h"
#include <gtest/gtest.h>
#include <windows.h>

namespace {

bool FileExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Counts rows with SQLite's own interface, independent of the classes under test.
int CountRows(const std::wstring& path, const char* table)
{
    sqlite3* db = nullptr;
    char name[MAX_PATH * 3];
    WideCharToMultiByte(CP_UTF8, 0, path.c_str(), -1, name, sizeof name, nullptr, nullptr);
    if (sqlite3_open_v2(name, &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return -1;
    }
    std::string sql = std::string("select count(*) from ") + table;
    sqlite3_stmt* st = nullptr;
    int count = -1;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW)
        count = sqlite3_column_int(st, 0);
    sqlite3_finalize(st);
    sqlite3_close(db);
    return count;
}

class DatabaseFile : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_db.Create(m_path.c_str())) << m_db.ErrorText();
        ASSERT_TRUE(m_db.Execute("CREATE TABLE t (a, b);"
                                 "CREATE TABLE u (x UNIQUE);"
                                 "CREATE TABLE guarded (x);"
                                 "CREATE TRIGGER refuse BEFORE INSERT ON guarded WHEN new.x < 0 "
                                 "BEGIN SELECT RAISE(ABORT, 'negative values are refused'); END;"))
            << m_db.ErrorText();
    }

    TempFolder m_folder;
    std::wstring m_path = m_folder.File(L"form.gdb");
    Database m_db;
};

} // namespace

TEST(DatabaseOpen, MissingFilesAndFoldersAreNeverCreated)
{
    TempFolder folder;
    Database db;
    EXPECT_FALSE(db.Open(folder.File(L"missing.gdb").c_str()));
    EXPECT_STREQ("unable to open database file", db.ErrorText());
    EXPECT_FALSE(db.IsOpen());
    EXPECT_FALSE(FileExists(folder.File(L"missing.gdb")));

    EXPECT_FALSE(db.Open(folder.File(L"no folder\\missing.gdb").c_str(), DatabaseAccess::ReadOnly));
    EXPECT_FALSE(FileExists(folder.File(L"no folder")));

    EXPECT_FALSE(db.Open(folder.Path().c_str()));            // a folder is no database
    EXPECT_FALSE(db.Open(L""));
    EXPECT_FALSE(db.Open(nullptr));
    EXPECT_STREQ("unable to open database file", db.ErrorText());

    EXPECT_FALSE(db.Create(folder.File(L"no folder\\new.gdb").c_str()));
    EXPECT_FALSE(FileExists(folder.File(L"no folder")));
}

TEST(DatabaseOpen, FilesThatAreNotDatabasesAreRefusedAndLeftAlone)
{
    TempFolder folder;
    std::wstring path = folder.File(L"letter.gdb");
    std::string bytes = "Dear patient,\r\n" + std::string(3000, '.');
    ASSERT_TRUE(WriteWholeFile(path, bytes));
    Database db;
    EXPECT_FALSE(db.Open(path.c_str()));
    EXPECT_STREQ("file is not a database", db.ErrorText());
    EXPECT_FALSE(db.Create(path.c_str()));
    EXPECT_STREQ("file is not a database", db.ErrorText());
    EXPECT_FALSE(db.IsOpen());
    EXPECT_EQ(bytes, ReadWholeFile(path));
}

TEST(DatabaseOpen, CreateMakesTheFileAndOpenFindsItAgain)
{
    TempFolder folder;
    std::wstring path = folder.File(L"new.gdb");
    {
        Database db;
        ASSERT_TRUE(db.Create(path.c_str())) << db.ErrorText();
        ASSERT_TRUE(db.Execute("CREATE TABLE FormInfo (RegDate,formcolumns, frozen,zoomfactor,formtype);"
                               "INSERT INTO FormInfo VALUES ('4/29/2010', 'jjjj1jA', '1', '0,0', '1500')"));
        EXPECT_EQ(SQLITE_OK, db.Close());
        EXPECT_FALSE(db.IsOpen());
        EXPECT_EQ(SQLITE_OK, db.Close());                   // closing twice is harmless
    }
    ASSERT_TRUE(FileExists(path));
    Database again;
    ASSERT_TRUE(again.Open(path.c_str())) << again.ErrorText();
    ASSERT_TRUE(again.Create(path.c_str()));                // an existing database is opened, not replaced
    EXPECT_EQ(1, CountRows(path, "FormInfo"));
}

TEST(DatabaseOpen, NonAsciiFoldersReachSQLiteIntact)
{
    TempFolder folder;
    std::wstring sub = folder.File(L"Caf\u00e9 \u4e2d\u6587");
    ASSERT_TRUE(CreateDirectoryW(sub.c_str(), nullptr)) << "non-ASCII file names need the C.UTF-8 locale (scripts/wine-env.sh)";
    std::wstring path = sub + L"\\Form \u00e9.gdb";
    Database db;
    ASSERT_TRUE(db.Create(path.c_str())) << db.ErrorText();
    ASSERT_TRUE(db.Execute("CREATE TABLE t (a); INSERT INTO t VALUES (1)"));
    ASSERT_EQ(SQLITE_OK, db.Close());
    EXPECT_TRUE(FileExists(path));                          // exactly that name, not a mangled one
    ASSERT_TRUE(db.Open(path.c_str(), DatabaseAccess::ReadOnly)) << db.ErrorText();
    EXPECT_EQ(1, CountRows(path, "t"));
}

TEST(DatabaseOpen, ReadOnlyAccessRefusesWrites)
{
    TempFolder folder;
    std::wstring path = folder.File(L"Vantorel.gdb");
    {
        Database db;
        ASSERT_TRUE(db.Create(path.c_str()));
        ASSERT_TRUE(db.Execute("CREATE TABLE Logo (id, bmp, x, url, title)"));
    }
    Database db;
    ASSERT_TRUE(db.Open(path.c_str(), DatabaseAccess::ReadOnly));
    EXPECT_FALSE(db.Execute("INSERT INTO Logo (title) VALUES ('x')"));
    EXPECT_STREQ("attempt to write a readonly database", db.ErrorText());
    EXPECT_EQ(0, CountRows(path, "Logo"));
}

TEST_F(DatabaseFile, ExecuteStopsAtTheFirstFailingStatement)
{
    EXPECT_FALSE(m_db.Execute("INSERT INTO t VALUES (1, 2); INSERT INTO nowhere VALUES (1); INSERT INTO t VALUES (3, 4)"));
    EXPECT_STREQ("no such table: nowhere", m_db.ErrorText());
    EXPECT_EQ(1, CountRows(m_path, "t"));
    EXPECT_TRUE(m_db.Execute("  -- nothing but a comment\n"));
    EXPECT_TRUE(m_db.Execute(""));

    Database closed;
    EXPECT_FALSE(closed.Execute("select 1"));
    EXPECT_STREQ("database is not open", closed.ErrorText());
}

TEST_F(DatabaseFile, PrepareFailuresCarrySQLiteText)
{
    Statement st;
    EXPECT_FALSE(st.Prepare(m_db, "SELECT formcolumns from FormInfo"));
    EXPECT_STREQ("no such table: FormInfo", st.ErrorText());
    EXPECT_TRUE(st.Failed());
    EXPECT_EQ(StepResult::Error, st.Step());
    EXPECT_FALSE(st.Prepare(m_db, "SELEC 1"));
    EXPECT_STREQ("near \"SELEC\": syntax error", st.ErrorText());
    EXPECT_FALSE(st.Prepare(m_db, "   "));
    EXPECT_STREQ("no SQL statement", st.ErrorText());
    EXPECT_FALSE(st.IsPrepared());

    Database closed;
    EXPECT_FALSE(st.Prepare(closed, "select 1"));
    EXPECT_STREQ("database is not open", st.ErrorText());
    EXPECT_FALSE(st.BindInt(1, 1));
}

TEST_F(DatabaseFile, EveryKindOfValueIsBoundAndReadBack)
{
    Statement insert;
    ASSERT_TRUE(insert.Prepare(m_db, "INSERT INTO t VALUES (?, ?)"));
    const unsigned char blob[] = {0x00, 0xff, 0x10, 0x00};
    ASSERT_TRUE(insert.BindAnsiText(1, CString(L"caf\u00e9 \u4e2d")));
    ASSERT_TRUE(insert.BindBlob(2, blob, sizeof blob));
    ASSERT_TRUE(insert.Run()) << insert.ErrorText();
    EXPECT_EQ(1, m_db.LastInsertRowId());

    ASSERT_TRUE(insert.Reset());
    ASSERT_TRUE(insert.BindNull(1));
    ASSERT_TRUE(insert.BindInt64(2, 1LL << 40));
    ASSERT_TRUE(insert.Run());
    ASSERT_TRUE(insert.Reset());
    ASSERT_TRUE(insert.BindText(1, "raw\0bytes", 9));
    ASSERT_TRUE(insert.BindBlob(2, nullptr, 0));
    ASSERT_TRUE(insert.Run());
    ASSERT_TRUE(insert.Reset());
    ASSERT_TRUE(insert.BindText(1, nullptr));
    ASSERT_TRUE(insert.BindInt(2, -7));
    ASSERT_TRUE(insert.Run());
    EXPECT_EQ(4, m_db.LastInsertRowId());
    EXPECT_EQ(1, m_db.Changes());

    Statement read;
    ASSERT_TRUE(read.Prepare(m_db, "select a, b, hex(a), typeof(b) from t order by _ROWID_"));
    ASSERT_EQ(4, read.ColumnCount());

    ASSERT_EQ(StepResult::Row, read.Step());
    EXPECT_STREQ("caf\xe9 ?", read.ColumnText(0));          // stored as ANSI bytes
    EXPECT_STREQ("636166E9203F", read.ColumnText(2));
    EXPECT_EQ(CString(L"caf\u00e9 ?"), read.ColumnAnsiText(0));
    ASSERT_EQ(4, read.ColumnBytes(1));
    EXPECT_EQ(0, memcmp(blob, read.ColumnBlob(1), sizeof blob));

    ASSERT_EQ(StepResult::Row, read.Step());
    EXPECT_TRUE(read.ColumnIsNull(0));
    EXPECT_STREQ("", read.ColumnText(0));                   // NULL reads as empty text, never null
    EXPECT_TRUE(read.ColumnAnsiText(0).IsEmpty());
    EXPECT_EQ(0, read.ColumnInt(0));
    EXPECT_EQ(1LL << 40, read.ColumnInt64(1));

    ASSERT_EQ(StepResult::Row, read.Step());
    EXPECT_EQ(9, read.ColumnBytes(0));
    EXPECT_EQ(std::string("raw\0bytes", 9), std::string(read.ColumnText(0), 9));
    EXPECT_STREQ("blob", read.ColumnText(3));
    EXPECT_EQ(0, read.ColumnBytes(1));
    EXPECT_FALSE(read.ColumnIsNull(1));

    ASSERT_EQ(StepResult::Row, read.Step());
    EXPECT_FALSE(read.ColumnIsNull(0));                     // a null text pointer binds ""
    EXPECT_STREQ("", read.ColumnText(0));
    EXPECT_EQ(-7, read.ColumnInt(1));

    // Columns outside the row read as nothing.
    EXPECT_STREQ("", read.ColumnText(4));
    EXPECT_STREQ("", read.ColumnText(-1));
    EXPECT_EQ(0, read.ColumnInt(9));
    EXPECT_EQ(nullptr, read.ColumnBlob(4));
    EXPECT_TRUE(read.ColumnIsNull(4));

    EXPECT_EQ(StepResult::Done, read.Step());
    EXPECT_STREQ("", read.ColumnText(0));                   // no row after the end
    EXPECT_FALSE(read.Failed());
}

TEST_F(DatabaseFile, BindingOutsideTheParametersFails)
{
    Statement st;
    ASSERT_TRUE(st.Prepare(m_db, "INSERT INTO t (a) VALUES (?)"));
    EXPECT_FALSE(st.BindInt(2, 1));
    EXPECT_STREQ("column index out of range", st.ErrorText());
    EXPECT_FALSE(st.BindText(0, "x"));
    EXPECT_TRUE(st.BindText(1, "x"));
}

TEST_F(DatabaseFile, AFinishedStatementIsNotRunAgainUntilReset)
{
    Statement insert;
    ASSERT_TRUE(insert.Prepare(m_db, "INSERT INTO t (a) VALUES ('once')"));
    EXPECT_EQ(StepResult::Done, insert.Step());
    EXPECT_EQ(StepResult::Done, insert.Step());
    EXPECT_TRUE(insert.Run());
    EXPECT_EQ(1, CountRows(m_path, "t"));
    ASSERT_TRUE(insert.Reset());
    EXPECT_TRUE(insert.Run());
    EXPECT_EQ(2, CountRows(m_path, "t"));
}

TEST_F(DatabaseFile, StepsThatFailAtRunTimeAreErrors)
{
    Statement unique;
    ASSERT_TRUE(unique.Prepare(m_db, "INSERT INTO u VALUES (?)"));
    ASSERT_TRUE(unique.BindInt(1, 5));
    ASSERT_TRUE(unique.Run());
    ASSERT_TRUE(unique.Reset());
    EXPECT_EQ(StepResult::Error, unique.Step());
    EXPECT_TRUE(unique.Failed());
    EXPECT_STREQ("UNIQUE constraint failed: u.x", unique.ErrorText());
    EXPECT_EQ(StepResult::Error, unique.Step());            // stays failed until Reset
    ASSERT_TRUE(unique.Reset());
    ASSERT_TRUE(unique.BindInt(1, 6));
    EXPECT_TRUE(unique.Run());
    EXPECT_EQ(2, CountRows(m_path, "u"));

    Statement guarded;
    ASSERT_TRUE(guarded.Prepare(m_db, "INSERT INTO guarded VALUES (-1)"));
    EXPECT_FALSE(guarded.Run());
    EXPECT_STREQ("negative values are refused", guarded.ErrorText());
    EXPECT_EQ(0, CountRows(m_path, "guarded"));

    // A select that fails on its second row: the first row is read, then the step is an error.
    ASSERT_TRUE(m_db.Execute("INSERT INTO t VALUES (1, 1); INSERT INTO t VALUES (2, -9223372036854775808)"));
    Statement overflow;
    ASSERT_TRUE(overflow.Prepare(m_db, "select a, abs(b) from t"));
    ASSERT_EQ(StepResult::Row, overflow.Step());
    EXPECT_EQ(1, overflow.ColumnInt(1));
    EXPECT_EQ(StepResult::Error, overflow.Step());
    EXPECT_STREQ("integer overflow", overflow.ErrorText());
}

TEST_F(DatabaseFile, ClosingWaitsForStatementsToEnd)
{
    Statement st;
    ASSERT_TRUE(st.Prepare(m_db, "select * from t"));
    EXPECT_EQ(SQLITE_BUSY, m_db.Close());
    EXPECT_TRUE(m_db.IsOpen());
    st.Finalize();
    EXPECT_EQ(SQLITE_OK, m_db.Close());
    EXPECT_FALSE(m_db.IsOpen());
}

TEST_F(DatabaseFile, MovedObjectsKeepOneOwner)
{
    Statement first;
    ASSERT_TRUE(first.Prepare(m_db, "select 1"));
    Statement second(std::move(first));
    EXPECT_FALSE(first.IsPrepared());
    ASSERT_EQ(StepResult::Row, second.Step());
    EXPECT_EQ(1, second.ColumnInt(0));
    Statement third;
    ASSERT_TRUE(third.Prepare(m_db, "select 2"));
    third = std::move(second);                               // the old statement of third is finalised
    EXPECT_EQ(third.Handle(), sqlite3_next_stmt(m_db.Handle(), nullptr));
    EXPECT_EQ(nullptr, sqlite3_next_stmt(m_db.Handle(), third.Handle()));
    third.Finalize();

    Database moved(std::move(m_db));
    EXPECT_FALSE(m_db.IsOpen());
    EXPECT_TRUE(moved.IsOpen());
    EXPECT_TRUE(moved.Execute("INSERT INTO t VALUES (1, 1)"));
    Database target;
    ASSERT_TRUE(target.Create(m_folder.File(L"other.gdb").c_str()));
    target = std::move(moved);
    EXPECT_TRUE(target.Execute("INSERT INTO t VALUES (2, 2)"));
    EXPECT_EQ(SQLITE_OK, target.Close());
    EXPECT_EQ(2, CountRows(m_path, "t"));
}

TEST_F(DatabaseFile, TransactionsCommitOrRollBackWhole)
{
    {
        Transaction tx(m_db);
        ASSERT_TRUE(tx.Active()) << m_db.ErrorText();
        ASSERT_TRUE(m_db.Execute("INSERT INTO t VALUES ('kept', 1)"));
        EXPECT_TRUE(tx.Commit());
        EXPECT_FALSE(tx.Active());
        EXPECT_FALSE(tx.Commit());
    }
    EXPECT_EQ(1, CountRows(m_path, "t"));
    {
        // Replacing a row: the delete is undone when the insert fails.
        Transaction tx(m_db);
        ASSERT_TRUE(tx.Active());
        ASSERT_TRUE(m_db.Execute("DELETE FROM t"));
        EXPECT_FALSE(m_db.Execute("INSERT INTO guarded VALUES (-5)"));
    }
    EXPECT_EQ(1, CountRows(m_path, "t"));
    {
        Transaction tx(m_db);
        ASSERT_TRUE(m_db.Execute("DELETE FROM t"));
        EXPECT_TRUE(tx.Rollback());
        EXPECT_FALSE(tx.Rollback());
    }
    EXPECT_EQ(1, CountRows(m_path, "t"));
}

TEST_F(DatabaseFile, FailedCommitStaysActiveAndIsRolledBack)
{
    ASSERT_TRUE(m_db.Execute("PRAGMA foreign_keys = ON;"
                             "CREATE TABLE parent (id PRIMARY KEY);"
                             "CREATE TABLE child (pid REFERENCES parent(id) DEFERRABLE INITIALLY DEFERRED)"));
    {
        Transaction tx(m_db);
        ASSERT_TRUE(tx.Active());
        ASSERT_TRUE(m_db.Execute("INSERT INTO child VALUES (42)"));
        EXPECT_FALSE(tx.Commit());
        EXPECT_STREQ("FOREIGN KEY constraint failed", m_db.ErrorText());
        EXPECT_TRUE(tx.Active());

        Transaction nested(m_db);
        EXPECT_FALSE(nested.Active());
        EXPECT_STREQ("cannot start a transaction within a transaction", m_db.ErrorText());
    }
    EXPECT_EQ(0, CountRows(m_path, "child"));
    {
        Transaction tx(m_db);
        ASSERT_TRUE(m_db.Execute("INSERT INTO t VALUES (1, 1)"));
        EXPECT_EQ(SQLITE_OK, m_db.Close());                  // closing rolls back; the guard has no more to do
        EXPECT_TRUE(tx.Rollback());
    }
    EXPECT_EQ(0, CountRows(m_path, "t"));
    Database closed;
    Transaction none(closed);
    EXPECT_FALSE(none.Active());
}
