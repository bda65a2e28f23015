// The per-form database on real files: registration all or nothing, never overwriting a registered
// database, storing records and templates, Update and Save as one transaction, reading rows back.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <windows.h>

#include <vector>

#include "formdb/FormDatabase.h"
#include "tests/support/TempFolder.h"

namespace {

using Rows = std::vector<std::vector<std::string>>;

std::string Utf8(const std::wstring& text)
{
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(bytes - 1, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &out[0], bytes, nullptr, nullptr);
    return out;
}

// Runs SQL on the file and returns every row as text ("<null>" for NULL); fails the test on errors.
Rows Query(const std::wstring& path, const std::string& sql, int flags = SQLITE_OPEN_READWRITE)
{
    Rows rows;
    sqlite3* db = nullptr;
    EXPECT_EQ(SQLITE_OK, sqlite3_open_v2(Utf8(path).c_str(), &db, flags, nullptr)) << sql;
    sqlite3_stmt* stmt = nullptr;
    EXPECT_EQ(SQLITE_OK, sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr)) << sqlite3_errmsg(db);
    int rc;
    while (stmt && (rc = sqlite3_step(stmt)) == SQLITE_ROW)
    {
        std::vector<std::string> row;
        for (int i = 0; i < sqlite3_column_count(stmt); ++i)
        {
            const unsigned char* text = sqlite3_column_text(stmt, i);
            row.push_back(text ? reinterpret_cast<const char*>(text) : "<null>");
        }
        rows.push_back(row);
    }
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return rows;
}

std::vector<std::string> FilesIn(const std::wstring& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do
    {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..")
            names.push_back(Utf8(name));
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

std::vector<std::string> ColumnsOf(const std::wstring& db, const std::string& table)
{
    std::vector<std::string> names;
    for (const auto& row : Query(db, "PRAGMA table_info(" + table + ")"))
        names.push_back(row[1]);
    return names;
}

const std::string kFieldList = "F2jjjj1jPatient|F1jjjj0jInsured|F10jjjj2jAmount";

class FormDatabaseTest : public ::testing::Test
{
protected:
    void Register(const std::string& list = kFieldList)
    {
        const RegistrationResult result = CreateFormDatabase(db, list, "CMS-1500");
        ASSERT_TRUE(result.ok) << result.message;
    }
    StoreResult Store(const std::string& reply, bool isTemplate = false, const std::string& name = "",
                      long long replaced = 0)
    {
        RecordToStore record;
        record.reply = reply;
        record.formXml = "<form>" + reply + "</form>";
        record.isTemplate = isTemplate;
        record.templateName = name;
        record.update = replaced > 0;
        record.replacedRowId = replaced;
        record.saveDate = "12/6/2026";
        return StoreFormRecord(db, record);
    }

    TempFolder folder;
    std::wstring db = folder.File(L"claim.gdb");
};

} // namespace

namespace
{
// Today's UTC date as M/D/YYYY, worked out by SQLite itself in a memory database.
std::string SqliteUtcDate()
{
    sqlite3* memory = nullptr;
    std::string date;
    if (sqlite3_open(":memory:", &memory) == SQLITE_OK)
    {
        sqlite3_stmt* query = nullptr;
        if (sqlite3_prepare_v2(memory, "SELECT ltrim(strftime('%m','now'),'0') || '/' || ltrim(strftime('%d','now'),'0')"
                                       " || '/' || strftime('%Y','now')", -1, &query, nullptr) == SQLITE_OK &&
            sqlite3_step(query) == SQLITE_ROW)
            date = reinterpret_cast<const char*>(sqlite3_column_text(query, 0));
        sqlite3_finalize(query);
    }
    sqlite3_close(memory);
    return date;
}
} // namespace

TEST_F(FormDatabaseTest, RegistrationCreatesTheThreeTablesAndOnlyTheDatabaseFile)
{
    const std::string dayBefore = SqliteUtcDate();
    const RegistrationResult result = CreateFormDatabase(db, kFieldList, "CMS-1500" + std::string(60, 'x'));
    ASSERT_TRUE(result.ok) << result.message;
    EXPECT_TRUE(result.warning.empty());
    EXPECT_EQ(std::vector<std::string>{"claim.gdb"}, FilesIn(folder.Path()));

    const Rows info = Query(db, "SELECT RegDate,formcolumns,frozen,zoomfactor,formtype FROM FormInfo");
    ASSERT_EQ(1u, info.size());
    const std::string dayAfter = SqliteUtcDate();   // the registration may straddle midnight UTC
    ASSERT_FALSE(dayBefore.empty());
    EXPECT_TRUE(info[0][0] == dayBefore || info[0][0] == dayAfter) << info[0][0] << " vs " << dayBefore;
    EXPECT_EQ(kFieldList, info[0][1]);
    EXPECT_EQ("1", info[0][2]);
    EXPECT_EQ("0,0", info[0][3]);
    EXPECT_EQ(("CMS-1500" + std::string(60, 'x')).substr(0, 48), info[0][4]);

    EXPECT_EQ((std::vector<std::string>{"Insured", "Patient", "Amount", "submdate", "fxml"}),
              ColumnsOf(db, "submissions"));
    EXPECT_EQ((std::vector<std::string>{"Insured", "Patient", "Amount", "submdate", "fxml", "RSRV_TEMPLATE_NAME"}),
              ColumnsOf(db, "templates"));
    EXPECT_EQ(FormRegistration::Registered, CheckFormRegistration(db));
}

TEST_F(FormDatabaseTest, FailedRegistrationLeavesNoFile)
{
    EXPECT_EQ(FormRegistration::Missing, CheckFormRegistration(db));
    const RegistrationResult badName = CreateFormDatabase(db, "Ajjjj0jsubmdate", "CMS-1500");
    EXPECT_FALSE(badName.ok);
    EXPECT_NE(std::string::npos, badName.message.find("submdate"));
    EXPECT_TRUE(FilesIn(folder.Path()).empty());

    EXPECT_FALSE(CreateFormDatabase(db, "", "CMS-1500").ok);
    EXPECT_TRUE(FilesIn(folder.Path()).empty());

    // A folder that does not exist.
    const RegistrationResult noFolder = CreateFormDatabase(folder.File(L"missing\\claim.gdb"), kFieldList, "CMS-1500");
    EXPECT_FALSE(noFolder.ok);
    EXPECT_EQ(0u, noFolder.message.find("Can't open database: ")) << noFolder.message;
    EXPECT_TRUE(FilesIn(folder.Path()).empty());
}

TEST_F(FormDatabaseTest, LockedDatabaseIsNeitherRegisteredNorReplaced)
{
    Register();
    ASSERT_EQ(StoreOutcome::Stored, Store("F1=Jones").outcome);
    const std::string before = ReadWholeFile(db);

    // Another program holds the database while the form page looks at it.
    sqlite3* other = nullptr;
    ASSERT_EQ(SQLITE_OK, sqlite3_open_v2(Utf8(db).c_str(), &other, SQLITE_OPEN_READWRITE, nullptr));
    ASSERT_EQ(SQLITE_OK, sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr));
    std::string why;
    EXPECT_EQ(FormRegistration::Unreadable, CheckFormRegistration(db, &why));
    EXPECT_FALSE(why.empty());
    const RegistrationResult again = CreateFormDatabase(db, kFieldList, "CMS-1500");
    EXPECT_FALSE(again.ok);
    EXPECT_TRUE(again.movedAsidePath.empty());
    EXPECT_NE(std::string::npos, again.message.find("cannot be read")) << again.message;
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);

    EXPECT_EQ(before, ReadWholeFile(db));
    EXPECT_EQ(std::vector<std::string>{"claim.gdb"}, FilesIn(folder.Path()));
    EXPECT_EQ(FormRegistration::Registered, CheckFormRegistration(db));
    // An empty file is no registration and may be replaced.
    const std::wstring empty = folder.File(L"empty.gdb");
    ASSERT_TRUE(WriteWholeFile(empty, ""));
    EXPECT_EQ(FormRegistration::Unregistered, CheckFormRegistration(empty));
}

TEST_F(FormDatabaseTest, FormOfTheLargestFieldCountRegisters)
{
    // 4,999 fields plus the record columns: SQLite is built with room for them.
    std::string list;
    for (int i = 0; i < 4999; ++i)
        list += (i ? "|" : "") + std::string("Kjjjj") + std::to_string(i) + "jC" + std::to_string(i);
    const RegistrationResult wide = CreateFormDatabase(db, list, "CMS-1500");
    ASSERT_TRUE(wide.ok) << wide.message;
    EXPECT_EQ(5001u, ColumnsOf(db, "submissions").size());
    EXPECT_EQ(5002u, ColumnsOf(db, "templates").size());
}

TEST_F(FormDatabaseTest, RegisteredDatabaseIsNeverReplaced)
{
    Register();
    ASSERT_EQ(StoreOutcome::Stored, Store("F1=Jones").outcome);
    const std::string before = ReadWholeFile(db);
    const RegistrationResult again = CreateFormDatabase(db, "Xjjjj0jOther", "AcroForm");
    EXPECT_TRUE(again.ok);
    EXPECT_TRUE(again.movedAsidePath.empty());
    EXPECT_EQ(before, ReadWholeFile(db));
    EXPECT_EQ(std::vector<std::string>{"claim.gdb"}, FilesIn(folder.Path()));
}

TEST_F(FormDatabaseTest, UnregisteredFileIsMovedAsideUnderADatedName)
{
    const std::string junk = "not a database at all";
    ASSERT_TRUE(WriteWholeFile(db, junk));
    EXPECT_EQ(FormRegistration::Unregistered, CheckFormRegistration(db));
    const RegistrationResult result = CreateFormDatabase(db, kFieldList, "CMS-1500");
    ASSERT_TRUE(result.ok) << result.message;
    ASSERT_FALSE(result.movedAsidePath.empty());
    EXPECT_EQ(0u, result.movedAsidePath.find(db + L"."));
    EXPECT_EQ(junk, ReadWholeFile(result.movedAsidePath));
    EXPECT_EQ(FormRegistration::Registered, CheckFormRegistration(db));
    EXPECT_EQ(2u, FilesIn(folder.Path()).size());

    // A database whose FormInfo table is empty is not registered either.
    const std::wstring other = folder.File(L"other.gdb");
    Query(other, "CREATE TABLE FormInfo (RegDate)", SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    EXPECT_EQ(FormRegistration::Unregistered, CheckFormRegistration(other));
}

TEST_F(FormDatabaseTest, SaveAsNewStoresEachValueUnderItsColumn)
{
    Register();
    const std::string hostile = "O'Brien\"); DROP TABLE submissions;--";
    const StoreResult result = Store("F10=12.50|F2=" + hostile + "|F1=Jones");
    ASSERT_EQ(StoreOutcome::Stored, result.outcome) << result.message;
    EXPECT_GT(result.rowId, 0);
    const Rows rows = Query(db, "SELECT _ROWID_,Insured,Patient,Amount,submdate,fxml FROM submissions");
    ASSERT_EQ(1u, rows.size());
    EXPECT_EQ(std::to_string(result.rowId), rows[0][0]);
    EXPECT_EQ("Jones", rows[0][1]);
    EXPECT_EQ(hostile, rows[0][2]);
    EXPECT_EQ("12.50", rows[0][3]);
    EXPECT_EQ("12/6/2026", rows[0][4]);
    EXPECT_EQ("<form>F10=12.50|F2=" + hostile + "|F1=Jones</form>", rows[0][5]);

    // A missing field is stored empty; a large form XML is stored whole.
    RecordToStore big;
    big.reply = "F1=Only";
    big.formXml = std::string(300000, 'x');
    const StoreResult second = StoreFormRecord(db, big);
    ASSERT_EQ(StoreOutcome::Stored, second.outcome);
    const Rows stored = Query(db, "SELECT Patient,length(fxml),submdate FROM submissions WHERE _ROWID_=" +
                                      std::to_string(second.rowId));
    EXPECT_EQ("", stored[0][0]);
    EXPECT_EQ("300000", stored[0][1]);
    EXPECT_EQ(UtcDateText(), stored[0][2]);
}

TEST_F(FormDatabaseTest, TemplateKeepsItsNameAndReadsBack)
{
    Register();
    const StoreResult result = Store("F1=Acme Insurance", true, "Acme's default");
    ASSERT_EQ(StoreOutcome::Stored, result.outcome) << result.message;
    const Rows rows = Query(db, "SELECT Insured,RSRV_TEMPLATE_NAME FROM templates");
    ASSERT_EQ(1u, rows.size());
    EXPECT_EQ("Acme Insurance", rows[0][0]);
    EXPECT_EQ("Acme's default", rows[0][1]);
    EXPECT_TRUE(Query(db, "SELECT * FROM submissions").empty());

    const RowText name = ReadTemplateName(db, result.rowId);
    EXPECT_TRUE(name.ok && name.found);
    EXPECT_EQ("Acme's default", name.text);
    const RowText xml = ReadRecordXml(db, true, result.rowId);
    EXPECT_TRUE(xml.found);
    EXPECT_EQ("<form>F1=Acme Insurance</form>", xml.text);
    // The same id in the records table is another row (here: none).
    const RowText record = ReadRecordXml(db, false, result.rowId);
    EXPECT_TRUE(record.ok);
    EXPECT_FALSE(record.found);
}

TEST_F(FormDatabaseTest, EmptyFormStoresNothing)
{
    Register();
    const StoreResult result = Store("F1=|F2=|F10=");
    EXPECT_EQ(StoreOutcome::Empty, result.outcome);
    EXPECT_EQ(0, result.rowId);
    EXPECT_EQ("The document data is not compatible with the DB structure or is empty", result.message);
    EXPECT_EQ(StoreOutcome::Empty, Store("--").outcome); // a form that never answered
    EXPECT_TRUE(Query(db, "SELECT * FROM submissions").empty());
}

TEST_F(FormDatabaseTest, DatabaseFailuresAreReportedAndCreateNothing)
{
    const StoreResult missing = Store("F1=Jones");
    EXPECT_EQ(StoreOutcome::Failed, missing.outcome);
    EXPECT_EQ(-1, missing.rowId);
    EXPECT_EQ(0u, missing.message.find("Can't open database: "));
    EXPECT_EQ("db", missing.caption);
    EXPECT_TRUE(FilesIn(folder.Path()).empty());

    Register();
    Query(db, "ALTER TABLE submissions RENAME COLUMN Patient TO Renamed");
    const StoreResult incompatible = Store("F1=Jones");
    EXPECT_EQ(StoreOutcome::Failed, incompatible.outcome);
    EXPECT_EQ("prepare failure:The document data is not compatible with the DB structure", incompatible.message);
}

TEST_F(FormDatabaseTest, UpdateReplacesTheRowAndCarriesStatementColumns)
{
    Register();
    Query(db, "ALTER TABLE submissions ADD COLUMN collectionsXML");
    Query(db, "ALTER TABLE submissions ADD COLUMN memorizedDate");
    Query(db, "ALTER TABLE submissions ADD COLUMN dateTrigger");
    const long long other = Store("F1=Other").rowId;
    const long long old = Store("F1=Jones|F2=Ann").rowId;
    Query(db, "UPDATE submissions SET collectionsXML='<c/>',memorizedDate='1/2/2026',dateTrigger='7' WHERE _ROWID_=" +
                  std::to_string(old));

    const StoreResult updated = Store("F1=Jones|F2=Anne", false, "", old);
    ASSERT_EQ(StoreOutcome::Stored, updated.outcome) << updated.message;
    EXPECT_NE(old, updated.rowId);
    const Rows rows = Query(db, "SELECT _ROWID_,Patient,collectionsXML,memorizedDate,dateTrigger FROM submissions "
                                "ORDER BY _ROWID_");
    ASSERT_EQ(2u, rows.size());
    EXPECT_EQ(std::to_string(other), rows[0][0]);
    EXPECT_EQ("<null>", rows[0][2]);
    EXPECT_EQ(std::to_string(updated.rowId), rows[1][0]);
    EXPECT_EQ("Anne", rows[1][1]);
    EXPECT_EQ("<c/>", rows[1][2]);
    EXPECT_EQ("1/2/2026", rows[1][3]);
    EXPECT_EQ("7", rows[1][4]);

    // Templates have none of those columns: the update works without them.
    const long long tpl = Store("F1=T", true, "t").rowId;
    const StoreResult tplUpdated = Store("F1=T2", true, "t", tpl);
    ASSERT_EQ(StoreOutcome::Stored, tplUpdated.outcome) << tplUpdated.message;
    EXPECT_EQ((Rows{{"T2", "t"}}), Query(db, "SELECT Insured,RSRV_TEMPLATE_NAME FROM templates"));
}

TEST_F(FormDatabaseTest, FailingUpdateKeepsTheOldRow)
{
    Register();
    const long long old = Store("F1=Jones").rowId;
    Query(db, "CREATE TRIGGER refuse BEFORE INSERT ON submissions BEGIN SELECT RAISE(ABORT, 'disk says no'); END");
    const StoreResult failed = Store("F1=Smith", false, "", old);
    EXPECT_EQ(StoreOutcome::Failed, failed.outcome);
    EXPECT_EQ(-1, failed.rowId);
    EXPECT_EQ("SQL error: disk says no\n", failed.message);
    EXPECT_EQ((Rows{{std::to_string(old), "Jones"}}), Query(db, "SELECT _ROWID_,Insured FROM submissions"));

    // A failing delete after a good insert rolls the insert back too.
    Query(db, "DROP TRIGGER refuse");
    Query(db, "CREATE TRIGGER keep BEFORE DELETE ON submissions BEGIN SELECT RAISE(ABORT, 'kept'); END");
    const StoreResult kept = Store("F1=Smith", false, "", old);
    EXPECT_EQ(StoreOutcome::Failed, kept.outcome);
    EXPECT_EQ((Rows{{std::to_string(old), "Jones"}}), Query(db, "SELECT _ROWID_,Insured FROM submissions"));

    // Empty new data keeps the old row as well.
    EXPECT_EQ(StoreOutcome::Empty, Store("F1=", false, "", old).outcome);
    EXPECT_EQ(1u, Query(db, "SELECT * FROM submissions").size());
}

TEST(FormDatabaseSql, InsertTextQuotesColumnsAndBindsEveryValue)
{
    EXPECT_EQ("INSERT INTO submissions ([A],[B c],submdate,fxml) VALUES (?,?,?,?)",
              BuildInsertText("[A],[B c]", 2, false));
    EXPECT_EQ("INSERT INTO templates ([A],submdate,fxml, RSRV_TEMPLATE_NAME) VALUES (?,?,?,?)",
              BuildInsertText("[A]", 1, true));
}

TEST_F(FormDatabaseTest, ValuesAndTemplateNamesAreStoredAsUtf8)
{
    Register();
    // "Müller 日本" and the template name "Zoë's" as the form's reply and the name reach the store: UTF-8.
    const StoreResult result = Store("F1=M\xC3\xBCller \xE6\x97\xA5\xE6\x9C\xAC", true, "Zo\xC3\xAB's");
    ASSERT_EQ(StoreOutcome::Stored, result.outcome) << result.message;
    EXPECT_EQ((Rows{{"M\xC3\xBCller \xE6\x97\xA5\xE6\x9C\xAC", "Zo\xC3\xAB's", "9"}}),
              Query(db, "SELECT Insured,RSRV_TEMPLATE_NAME,length(Insured) FROM templates"));
    const RowText name = ReadTemplateName(db, result.rowId);
    ASSERT_TRUE(name.ok && name.found);
    EXPECT_EQ("Zo\xC3\xAB's", name.text);
}

TEST_F(FormDatabaseTest, TemplateNamesWrittenAsAnsiReadBackAsUtf8)
{
    Register();
    Query(db, "INSERT INTO templates (Insured,RSRV_TEMPLATE_NAME) VALUES ('x',CAST(X'5A6FEB2773' AS TEXT))");
    const long long old = std::stoll(Query(db, "SELECT _ROWID_ FROM templates")[0][0]);
    const RowText name = ReadTemplateName(db, old);
    ASSERT_TRUE(name.ok && name.found);
    EXPECT_EQ("Zo\xC3\xAB's", name.text);
    const RowText none = ReadTemplateName(db, old + 1);
    EXPECT_TRUE(none.ok);
    EXPECT_FALSE(none.found);
}

TEST_F(FormDatabaseTest, KeysOfAnAnsiFieldListFindTheirUtf8Values)
{
    // A field list stored as ANSI bytes ("Größe") against the UTF-8 reply.
    Register("Gr\xF6\xDF" "ejjjj0jSize|Bjjjj1jB");
    const StoreResult result = Store("B=b|Gr\xC3\xB6\xC3\x9F" "e=XL %7C %3D");
    ASSERT_EQ(StoreOutcome::Stored, result.outcome) << result.message;
    EXPECT_EQ((Rows{{"XL | =", "b"}}), Query(db, "SELECT Size,B FROM submissions"));
}

TEST_F(FormDatabaseTest, UpdateOfATemplateThatIsGoneStoresNothing)
{
    Register();
    const long long kept = Store("F1=Kept", true, "kept").rowId;
    const long long gone = Store("F1=Gone", true, "gone").rowId;
    Query(db, "DELETE FROM templates WHERE _ROWID_=" + std::to_string(gone));

    const StoreResult result = Store("F1=New", true, "", gone);
    EXPECT_EQ(StoreOutcome::Failed, result.outcome);
    EXPECT_EQ(-1, result.rowId);
    EXPECT_EQ("The template being updated (template number " + std::to_string(gone) +
                  ") no longer exists: it was deleted meanwhile. Nothing was saved.",
              result.message);
    EXPECT_EQ("Formstead", result.caption);
    EXPECT_EQ((Rows{{std::to_string(kept), "Kept", "kept"}}),
              Query(db, "SELECT _ROWID_,Insured,RSRV_TEMPLATE_NAME FROM templates"));
}

TEST_F(FormDatabaseTest, EntryWithoutAKeyBeforeTheMarkerIsRefusedAtRegistration)
{
    for (const char* type : {"0X", "CMS-1500"})
    {
        const RegistrationResult result = CreateFormDatabase(db, "Ajjjj0jA|jjjj1jName|Bjjjj2jB", type);
        EXPECT_FALSE(result.ok) << type;
        EXPECT_EQ("The form's field list cannot be used: entry 2 \"jjjj1jName\" has no field key before \"jjjj\", "
                  "so its value could never be saved.",
                  result.message);
        EXPECT_TRUE(FilesIn(folder.Path()).empty());
    }
    // The same names behind keys register.
    EXPECT_TRUE(CreateFormDatabase(db, "Ajjjj0jA|Njjjj1jName|Bjjjj2jB", "0X").ok);
}

TEST_F(FormDatabaseTest, UpdateOfARecordThatIsGoneKeepsTheNewRowEvenUnderTheOldId)
{
    Register();
    const long long gone = Store("F1=Jones").rowId;
    Query(db, "DELETE FROM submissions");
    // SQLite hands the freed id to the new row; the update must not delete it as the old one.
    const StoreResult result = Store("F1=Smith", false, "", gone);
    ASSERT_EQ(StoreOutcome::Stored, result.outcome) << result.message;
    EXPECT_EQ((Rows{{std::to_string(result.rowId), "Smith"}}), Query(db, "SELECT _ROWID_,Insured FROM submissions"));
}

namespace {
// Installs a file mover for one test and takes it away again.
struct FileMoverForTest
{
    explicit FileMoverForTest(RegistrationFileMover mover) { SetRegistrationFileMover(std::move(mover)); }
    ~FileMoverForTest() { SetRegistrationFileMover(nullptr); }
};
} // namespace

TEST_F(FormDatabaseTest, OldFileThatCannotBeMovedAsideStaysAndNothingElseIsLeft)
{
    const std::string junk = "not a database at all";
    ASSERT_TRUE(WriteWholeFile(db, junk));
    // Another program holds the file open without letting it be renamed.
    HANDLE held = CreateFileW(db.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    const RegistrationResult result = CreateFormDatabase(db, kFieldList, "CMS-1500");
    CloseHandle(held);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(0u, result.message.find("The existing database file could not be moved aside: ")) << result.message;
    EXPECT_TRUE(result.movedAsidePath.empty());
    EXPECT_EQ(junk, ReadWholeFile(db));
    EXPECT_EQ(std::vector<std::string>{"claim.gdb"}, FilesIn(folder.Path()));
}

TEST_F(FormDatabaseTest, NewFileThatCannotBePutInPlaceBringsTheOldOneBack)
{
    const std::string junk = "not a database at all";
    ASSERT_TRUE(WriteWholeFile(db, junk));
    std::vector<std::wstring> moves;
    {
        // Moving aside works; moving the new file onto the database's name fails as a full disk would.
        FileMoverForTest mover([&](const std::wstring& from, const std::wstring& to) {
            moves.push_back(to);
            if (to == db && from.find(L".bak") == std::wstring::npos)
            {
                SetLastError(ERROR_DISK_FULL);
                return false;
            }
            return MoveFileExW(from.c_str(), to.c_str(), 0) != FALSE;
        });
        const RegistrationResult result = CreateFormDatabase(db, kFieldList, "CMS-1500");
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(0u, result.message.find("The new database file could not be put in place: ")) << result.message;
        EXPECT_TRUE(result.movedAsidePath.empty());
    }
    ASSERT_EQ(3u, moves.size()); // aside, into place, back
    EXPECT_EQ(junk, ReadWholeFile(db));
    EXPECT_EQ(std::vector<std::string>{"claim.gdb"}, FilesIn(folder.Path()));
}

TEST_F(FormDatabaseTest, OldFileThatCannotComeBackIsNamedInTheMessage)
{
    const std::string junk = "not a database at all";
    ASSERT_TRUE(WriteWholeFile(db, junk));
    FileMoverForTest mover([&](const std::wstring& from, const std::wstring& to) {
        if (to == db)
        {
            SetLastError(ERROR_ACCESS_DENIED);
            return false;
        }
        return MoveFileExW(from.c_str(), to.c_str(), 0) != FALSE;
    });
    const RegistrationResult result = CreateFormDatabase(db, kFieldList, "CMS-1500");
    EXPECT_FALSE(result.ok);
    ASSERT_FALSE(result.movedAsidePath.empty());
    EXPECT_EQ(junk, ReadWholeFile(result.movedAsidePath));
    const std::string asideName = Utf8(result.movedAsidePath.substr(folder.Path().size()));
    EXPECT_NE(std::string::npos, result.message.find("\nThe old database file is kept as ")) << result.message;
    EXPECT_NE(std::string::npos, result.message.find(asideName)) << result.message;
    EXPECT_EQ(std::vector<std::string>{asideName}, FilesIn(folder.Path()));
}

TEST_F(FormDatabaseTest, TablesThatCannotBeBuiltLeaveNoDatabase)
{
    // A folder stands where SQLite would write the new file's journal: the first table cannot be made.
    const std::wstring journal = db + L".new-journal";
    ASSERT_TRUE(CreateDirectoryW(journal.c_str(), nullptr));
    const RegistrationResult result = CreateFormDatabase(db, kFieldList, "CMS-1500");
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(0u, result.message.find("SQL error: ")) << result.message;
    EXPECT_EQ(std::vector<std::string>{"claim.gdb.new-journal"}, FilesIn(folder.Path()));
    EXPECT_EQ(FormRegistration::Missing, CheckFormRegistration(db));
    ASSERT_TRUE(RemoveDirectoryW(journal.c_str()));

    // An unregistered file stays as it was.
    ASSERT_TRUE(WriteWholeFile(db, "old"));
    ASSERT_TRUE(CreateDirectoryW(journal.c_str(), nullptr));
    EXPECT_FALSE(CreateFormDatabase(db, kFieldList, "CMS-1500").ok);
    EXPECT_EQ("old", ReadWholeFile(db));
    ASSERT_TRUE(RemoveDirectoryW(journal.c_str()));
    EXPECT_EQ(std::vector<std::string>{"claim.gdb"}, FilesIn(folder.Path()));
}

TEST_F(FormDatabaseTest, RefusedFieldListsCarryTheListOrTheNameAsTheirMessage)
{
    // A list that cannot be read: the whole list, as the field-name reader shows it.
    const std::string unreadable = "F1jjjj0jA|garbage";
    RegistrationResult result = CreateFormDatabase(db, unreadable, "CMS-1500");
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(unreadable, result.message);
    EXPECT_EQ("get_db_fieldnames", result.caption);
    // A name with a square bracket: the name alone.
    result = CreateFormDatabase(db, "F1jjjj0jA|F2jjjj1jB[2]", "CMS-1500");
    EXPECT_EQ("B[2]", result.message);
    EXPECT_EQ("get_db_fieldnames ERROR", result.caption);
    // Other unusable names: the name and why.
    result = CreateFormDatabase(db, "F1jjjj0jfxml", "CMS-1500");
    EXPECT_EQ("fxml\n(it is the reserved column name \"fxml\")", result.message);
    EXPECT_EQ("get_db_fieldnames ERROR", result.caption);
    EXPECT_TRUE(FilesIn(folder.Path()).empty());
    // Failures of the database itself keep the registration's own caption.
    EXPECT_TRUE(CreateFormDatabase(folder.File(L"missing\\claim.gdb"), kFieldList, "CMS-1500").caption.empty());

    // The limit: a warning, and the registration goes on.
    std::string list;
    for (int i = 0; i < 4999; ++i)
        list += (i ? "|" : "") + std::string("Kjjjj") + std::to_string(i) + "jC" + std::to_string(i);
    result = CreateFormDatabase(db, list, "CMS-1500");
    EXPECT_TRUE(result.ok) << result.message;
    EXPECT_EQ("More the 102 columns found. can register only up to 1024 columns.", result.warning);
    EXPECT_EQ("db", result.warningCaption);
}
