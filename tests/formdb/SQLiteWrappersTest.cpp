// SQLiteConnection, SQLiteCommand, SQLiteDataReader and QueryFirstValue on real database files: state
// codes, open and prepare failures, NULLs and blobs, steps that fail at run time, read-only access.
#include "formdb/SQLiteQuery.h"
#include "formdb/SQLiteWrappers.h"
#include "tests/support/TempFolder.h"
#include <gtest/gtest.h>
#include <windows.h>

namespace {

int OpenStatements(sqlite3* db)
{
    int n = 0;
    for (sqlite3_stmt* st = sqlite3_next_stmt(db, nullptr); st; st = sqlite3_next_stmt(db, st))
        ++n;
    return n;
}

// Runs a reader to its end, giving the Sharption text it threw, or "" when it threw none.
std::string ThrownBy(SQLiteCommand& command)
{
    try {
        SQLiteDataReader reader = command.ExecuteReader();
        while (reader.Read()) {
        }
    } catch (const Sharption& e) {
        return e.what();
    }
    return "";
}

// A per-form database with the registration tables and a few awkward rows.
class FormFile : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Database db;
        ASSERT_TRUE(db.Create(m_path.c_str())) << db.ErrorText();
        ASSERT_TRUE(db.Execute(
            "CREATE TABLE FormInfo (RegDate,formcolumns, frozen,zoomfactor,formtype);"
            "INSERT INTO FormInfo VALUES ('4/29/2010', 'jjjj1jName|jjjj2jDate', '1', NULL, '1500');"
            "CREATE TABLE t (a, b);"
            "INSERT INTO t VALUES ('caf\xe9', x'00ff0010');"
            "INSERT INTO t VALUES (NULL, NULL);"
            "INSERT INTO t VALUES ('', x'');"
            "CREATE TABLE u (x UNIQUE);"
            "CREATE TABLE guarded (x);"
            "CREATE TRIGGER refuse BEFORE INSERT ON guarded BEGIN SELECT RAISE(ABORT, 'no rows here'); END;"
            "CREATE TABLE big (n); INSERT INTO big VALUES (1); INSERT INTO big VALUES (-9223372036854775808)"))
            << db.ErrorText();
    }

    TempFolder m_folder;
    std::wstring m_path = m_folder.File(L"CMS1500.gdb");
};

} // namespace

TEST_F(FormFile, ConnectionStateCodesFollowOpenAndClose)
{
    SQLiteConnection connection(m_path.c_str());
    EXPECT_EQ(5002, connection.GetState());
    EXPECT_EQ(SQLITE_OK, connection.Open());
    EXPECT_EQ(5001, connection.GetState());
    EXPECT_EQ(SQLITE_MISUSE, connection.Open());           // already open
    EXPECT_EQ(5001, connection.GetState());
    EXPECT_EQ(SQLITE_OK, connection.Close());
    EXPECT_EQ(5002, connection.GetState());
    EXPECT_EQ(SQLITE_OK, connection.Close());
    EXPECT_EQ(5002, connection.GetState());
}

TEST_F(FormFile, CloseWithAnUnfinalisedReaderKeepsTheConnectionOpen)
{
    SQLiteConnection connection(m_path.c_str());
    ASSERT_EQ(SQLITE_OK, connection.Open());
    SQLiteCommand command("select a from t", &connection);
    {
        SQLiteDataReader reader = command.ExecuteReader();
        ASSERT_TRUE(reader.Read());
        EXPECT_EQ(SQLITE_BUSY, connection.Close());
        EXPECT_EQ(5001, connection.GetState());
    }
    EXPECT_EQ(SQLITE_OK, connection.Close());
    EXPECT_EQ(5002, connection.GetState());
}

TEST(SQLiteOpen, MissingFileFailsWithSQLiteTextAndCreatesNothing)
{
    TempFolder folder;
    std::wstring path = folder.File(L"Missing.gdb");
    SQLiteConnection connection(path.c_str());
    EXPECT_EQ(SQLITE_CANTOPEN, connection.Open());
    EXPECT_EQ(5002, connection.GetState());
    EXPECT_STREQ("unable to open database file", connection.OpenError());
    SQLiteCommand command("select RegDate from FormInfo", &connection);
    EXPECT_EQ("unable to open database file", ThrownBy(command));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(path.c_str()));

    SQLiteCommand orphan("select 1", nullptr);
    EXPECT_EQ("database is not open", ThrownBy(orphan));
}

TEST(SQLiteOpen, FileThatIsNotADatabaseFailsToOpen)
{
    TempFolder folder;
    std::wstring path = folder.File(L"notes.gdb");
    ASSERT_TRUE(WriteWholeFile(path, std::string(4096, 'N')));
    SQLiteConnection connection(path.c_str());
    EXPECT_EQ(SQLITE_NOTADB, connection.Open());
    EXPECT_EQ(5002, connection.GetState());
    SQLiteCommand command("select 1", &connection);
    EXPECT_EQ("file is not a database", ThrownBy(command));
    EXPECT_EQ(std::string(4096, 'N'), ReadWholeFile(path));
}

TEST_F(FormFile, PrepareFailuresThrowSQLiteText)
{
    SQLiteConnection connection(m_path.c_str());
    ASSERT_EQ(SQLITE_OK, connection.Open());
    SQLiteCommand noTable("select * from Logo", &connection);
    EXPECT_EQ("no such table: Logo", ThrownBy(noTable));
    SQLiteCommand syntax("select from where", &connection);
    EXPECT_EQ("near \"from\": syntax error", ThrownBy(syntax));
    SQLiteCommand empty("", &connection);
    EXPECT_EQ("no SQL statement", ThrownBy(empty));
    EXPECT_EQ(0, OpenStatements(connection.GetHandle()));
    EXPECT_EQ(SQLITE_OK, connection.Close());
}

TEST_F(FormFile, ReaderGivesTextBlobsAndEmptyTextForNull)
{
    SQLiteConnection connection(m_path.c_str());
    ASSERT_EQ(SQLITE_OK, connection.Open());
    SQLiteCommand command("select a, b from t order by _ROWID_", &connection);
    SQLiteDataReader reader = command.ExecuteReader();
    EXPECT_EQ(2, reader.GetColumnCount());

    ASSERT_TRUE(reader.Read());
    EXPECT_STREQ("caf\xe9", reader.GetText(0));
    ASSERT_EQ(4, reader.GetBytes(1));
    EXPECT_EQ(0, memcmp("\x00\xff\x00\x10", reader.GetBlob(1), 4));

    ASSERT_TRUE(reader.Read());
    ASSERT_NE(nullptr, reader.GetText(0));
    EXPECT_STREQ("", reader.GetText(0));
    EXPECT_EQ(nullptr, reader.GetBlob(1));
    EXPECT_EQ(0, reader.GetBytes(1));

    ASSERT_TRUE(reader.Read());
    EXPECT_STREQ("", reader.GetText(0));
    EXPECT_EQ(0, reader.GetBytes(1));

    EXPECT_FALSE(reader.Read());
    EXPECT_EQ(SQLITE_DONE, reader.GetLastResult());
    EXPECT_FALSE(reader.Read());                           // the end stays the end
}

TEST_F(FormFile, ColumnIndexMustBeBelowTheColumnCount)
{
    SQLiteConnection connection(m_path.c_str());
    ASSERT_EQ(SQLITE_OK, connection.Open());
    SQLiteCommand command("select a, b from t", &connection);
    SQLiteDataReader reader = command.ExecuteReader();
    ASSERT_TRUE(reader.Read());
    for (int column : {2, -1}) {
        try {
            reader.GetText(column);
            ADD_FAILURE() << "column " << column << " was read";
        } catch (const Sharption& e) {
            EXPECT_STREQ("There is no such column", e.what());
        }
    }
    EXPECT_THROW(reader.GetBlob(2), Sharption);
    EXPECT_THROW(reader.GetBytes(2), Sharption);
    EXPECT_NO_THROW(reader.GetBytes(1));
}

TEST_F(FormFile, FailedStepThrowsAndFinalisesOnce)
{
    SQLiteConnection connection(m_path.c_str());
    ASSERT_EQ(SQLITE_OK, connection.Open());
    SQLiteCommand command("select abs(n) from big", &connection);
    {
        SQLiteDataReader reader = command.ExecuteReader();
        ASSERT_TRUE(reader.Read());
        EXPECT_STREQ("1", reader.GetText(0));
        try {
            reader.Read();
            ADD_FAILURE() << "the overflow was not reported";
        } catch (const Sharption& e) {
            EXPECT_STREQ("integer overflow", e.what());
        }
        EXPECT_EQ(0, OpenStatements(connection.GetHandle()));   // released by the reader at once
        EXPECT_THROW(reader.Read(), Sharption);
        EXPECT_THROW(reader.GetText(0), Sharption);
        EXPECT_EQ(SQLITE_OK, connection.Close());               // nothing left that holds it open
    }                                                           // and the destructor finalises nothing
    EXPECT_EQ(5002, connection.GetState());
}

TEST_F(FormFile, ConstraintsAndTriggersFailTheStep)
{
    SQLiteConnection connection(m_path.c_str());
    ASSERT_EQ(SQLITE_OK, connection.Open());
    SQLiteCommand insert("INSERT INTO u VALUES (7)", &connection);
    EXPECT_EQ("", ThrownBy(insert));
    EXPECT_EQ("UNIQUE constraint failed: u.x", ThrownBy(insert));
    SQLiteCommand guarded("INSERT INTO guarded VALUES (1)", &connection);
    EXPECT_EQ("no rows here", ThrownBy(guarded));
    EXPECT_EQ(0, OpenStatements(connection.GetHandle()));
}

TEST_F(FormFile, ReadersMoveWithoutAnotherFinalise)
{
    SQLiteConnection connection(m_path.c_str());
    ASSERT_EQ(SQLITE_OK, connection.Open());
    SQLiteCommand first("select a from t order by _ROWID_", &connection);
    SQLiteCommand second("select RegDate from FormInfo", &connection);
    SQLiteDataReader a = first.ExecuteReader();
    ASSERT_TRUE(a.Read());
    SQLiteDataReader moved(std::move(a));
    EXPECT_STREQ("caf\xe9", moved.GetText(0));
    EXPECT_EQ(1, OpenStatements(connection.GetHandle()));
    SQLiteDataReader other = second.ExecuteReader();
    EXPECT_EQ(2, OpenStatements(connection.GetHandle()));
    other = std::move(moved);                                   // finalises other's own statement
    EXPECT_EQ(1, OpenStatements(connection.GetHandle()));
    ASSERT_TRUE(other.Read());
    EXPECT_STREQ("", other.GetText(0));
}

TEST_F(FormFile, ReadOnlyConnectionRefusesWrites)
{
    SQLiteConnection connection(m_path.c_str(), DatabaseAccess::ReadOnly);
    ASSERT_EQ(SQLITE_OK, connection.Open());
    SQLiteCommand insert("INSERT INTO t VALUES (1, 2)", &connection);
    EXPECT_EQ("attempt to write a readonly database", ThrownBy(insert));
}

TEST_F(FormFile, QueryFirstValueReadsColumnZeroOfTheFirstRow)
{
    EXPECT_EQ(CString(L"4/29/2010"), QueryFirstValue(m_path.c_str(), "select RegDate from FormInfo"));
    EXPECT_EQ(CString(L"caf\u00e9"), QueryFirstValue(m_path.c_str(), "select a from t order by _ROWID_"));
    EXPECT_EQ(CString(L"1500"), QueryFirstValue(m_path.c_str(), "select formtype, RegDate from FormInfo"));
    EXPECT_EQ(CString(L"1"), QueryFirstValue(m_path.c_str(), "select abs(n) from big"));   // only one step
}

TEST_F(FormFile, QueryFirstValueIsEmptyOnEveryFailure)
{
    const wchar_t* path = m_path.c_str();
    EXPECT_TRUE(QueryFirstValue(path, "select zoomfactor from FormInfo").IsEmpty());          // NULL
    EXPECT_TRUE(QueryFirstValue(path, "select a from t where 0").IsEmpty());                 // no row
    EXPECT_TRUE(QueryFirstValue(path, "select title from Logo").IsEmpty());                  // no table
    EXPECT_TRUE(QueryFirstValue(path, "selec 1").IsEmpty());                                 // syntax
    EXPECT_TRUE(QueryFirstValue(path, "").IsEmpty());                                        // no statement
    EXPECT_TRUE(QueryFirstValue(path, nullptr).IsEmpty());
    EXPECT_TRUE(QueryFirstValue(path, "select n from big order by abs(n)").IsEmpty());       // failed step
    EXPECT_TRUE(QueryFirstValue(path, "INSERT INTO u VALUES (1) RETURNING x").IsEmpty());    // read-only

    std::wstring missing = m_folder.File(L"Vantorel.gdb");
    EXPECT_TRUE(QueryFirstValue(missing.c_str(), "SELECT title from Logo").IsEmpty());
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(missing.c_str()));
    std::wstring noFolder = m_folder.File(L"gone\\x.gdb");
    EXPECT_TRUE(QueryFirstValue(noFolder.c_str(), "select 1").IsEmpty());
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(m_folder.File(L"gone").c_str()));

    std::wstring junk = m_folder.File(L"junk.gdb");
    ASSERT_TRUE(WriteWholeFile(junk, "not a database at all"));
    EXPECT_TRUE(QueryFirstValue(junk.c_str(), "select 1").IsEmpty());

    Database check;
    ASSERT_TRUE(check.Open(path));
    EXPECT_TRUE(check.Execute("INSERT INTO u VALUES (1)"));  // the refused insert above left no row
}

TEST_F(FormFile, QueryFirstValueTakesAnsiPaths)
{
    // A relative ANSI name is taken from the current folder.
    wchar_t previous[MAX_PATH];
    ASSERT_TRUE(GetCurrentDirectoryW(MAX_PATH, previous));
    ASSERT_TRUE(SetCurrentDirectoryW(m_folder.Path().c_str()));
    CString value = QueryFirstValue("CMS1500.gdb", "select formtype from FormInfo");
    SetCurrentDirectoryW(previous);
    EXPECT_EQ(CString(L"1500"), value);
}

TEST(SQLiteOpen, NonAsciiPathsWork)
{
    TempFolder folder;
    std::wstring sub = folder.File(L"Dr. M\u00fcller \u738b");
    ASSERT_TRUE(CreateDirectoryW(sub.c_str(), nullptr)) << "non-ASCII file names need the C.UTF-8 locale (scripts/wine-env.sh)";
    std::wstring path = sub + L"\\Fr\u00e9d \u8868.gdb";
    {
        Database db;
        ASSERT_TRUE(db.Create(path.c_str())) << db.ErrorText();
        ASSERT_TRUE(db.Execute("CREATE TABLE Logo (title); INSERT INTO Logo VALUES ('Formstead')"));
    }
    EXPECT_EQ(CString(L"Formstead"), QueryFirstValue(path.c_str(), "SELECT title from Logo"));
    SQLiteConnection connection(path.c_str());
    EXPECT_EQ(SQLITE_OK, connection.Open());

    // An ANSI path works where the code page can spell it.
    std::wstring ansiFolder = folder.File(L"Caf\u00e9");
    ASSERT_TRUE(CreateDirectoryW(ansiFolder.c_str(), nullptr));
    {
        Database db;
        ASSERT_TRUE(db.Create((ansiFolder + L"\\f.gdb").c_str()));
        ASSERT_TRUE(db.Execute("CREATE TABLE t (a); INSERT INTO t VALUES ('ok')"));
    }
    CStringA ansiPath(CString((ansiFolder + L"\\f.gdb").c_str()));
    EXPECT_EQ(CString(L"ok"), QueryFirstValue(ansiPath.GetString(), "select a from t"));
}
