// The statement columns and saves on real SQLite files: the columns added to a table with rows (all or
// none), a saved statement's text kept as UTF-8 through a rebuild of the data, balances in cents, the
// record id read strictly, exactly one row changed, and both changes of a save or neither.
#include <gtest/gtest.h>

#include "export/CollectionsRecord.h"
#include "export/CollectionsSort.h"
#include "formdb/Database.h"
#include "formdb/DatabaseStatement.h"
#include "pages/CollectionsStore.h"
#include "tests/support/TraceViewer.h"
#include "tests/support/TempFolder.h"

#include <windows.h>
#include <objbase.h>
#include <string>
#include <vector>

namespace {

// "Müller 日本" as UTF-16 and as the UTF-8 bytes SQLite must hold (hex from Python's encoder).
const wchar_t kWideName[] = L"M\xFCller \x65E5\x672C";
const char kUtf8NameHex[] = "4DC3BC6C6C657220E697A5E69CAC";

class CollectionsStoreTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // The saved statement is read with the system's XML DOM.
        ASSERT_TRUE(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        m_com = true;
        ::Database db;
        ASSERT_TRUE(db.Create(Path().c_str())) << db.ErrorText();
        // The table as registration makes it: the form's columns, submdate and fxml; no statement columns.
        ASSERT_TRUE(db.Execute("CREATE TABLE submissions (_2_PATIENT_S_NAME_Last_First_Middle_Initial, submdate, fxml)"))
            << db.ErrorText();
        Statement insert;
        ASSERT_TRUE(insert.Prepare(db, "INSERT INTO submissions VALUES (?, ?, ?)"));
        for (const char* name : {"Adams", "\x4D\xC3\xBC\x6C\x6C\x65\x72\x20\xE6\x97\xA5\xE6\x9C\xAC", "Clark"}) {
            const std::string fxml = std::string("<fields><numberedFields><_2_PATIENT_S_NAME_Last_First_Middle_Initialjjjj1>") +
                                     name + "</_2_PATIENT_S_NAME_Last_First_Middle_Initialjjjj1></numberedFields></fields>";
            ASSERT_TRUE(insert.Reset());
            ASSERT_TRUE(insert.BindText(1, name) && insert.BindText(2, "1/15/2024") && insert.BindText(3, fxml.c_str()));
            ASSERT_TRUE(insert.Run()) << insert.ErrorText();
        }
    }

    std::wstring Path() const { return m_folder.File(L"claim.gdb"); }

    // Every row of a query, its columns joined with "|" (NULL as "~").
    std::vector<std::string> Rows(const char* sql)
    {
        std::vector<std::string> rows;
        ::Database db;
        EXPECT_TRUE(db.Open(Path().c_str())) << db.ErrorText();
        Statement query;
        EXPECT_TRUE(query.Prepare(db, sql)) << query.ErrorText();
        while (query.Step() == StepResult::Row) {
            std::string row;
            for (int c = 0; c < query.ColumnCount(); ++c)
                row += (c ? "|" : "") + (query.ColumnIsNull(c) ? std::string("~") : std::string(query.ColumnText(c)));
            rows.push_back(row);
        }
        EXPECT_FALSE(query.Failed()) << query.ErrorText();
        return rows;
    }
    std::string One(const char* sql)
    {
        const std::vector<std::string> rows = Rows(sql);
        return rows.empty() ? "<no row>" : rows[0];
    }
    void Exec(const char* sql)
    {
        ::Database db;
        ASSERT_TRUE(db.Open(Path().c_str())) << db.ErrorText();
        ASSERT_TRUE(db.Execute(sql)) << db.ErrorText();
    }
    void AddColumns()
    {
        ::Database db;
        ASSERT_TRUE(db.Open(Path().c_str()));
        std::string error;
        ASSERT_TRUE(EnsureStatementColumns(db, &error)) << error;
    }
    bool Save(const std::wstring& xml, const wchar_t* today = L"03/01/2024")
    {
        return SaveStatementChanges(Path(), xml, today);
    }
    std::string StatementColumnsOfAllRows()
    {
        std::string all;
        for (const std::string& row : Rows("SELECT _ROWID_, collectionsXML, memorizedDate, dateTrigger FROM submissions"))
            all += row + "\n";
        return all;
    }

    void TearDown() override
    {
        if (m_com) ::CoUninitialize();
    }

    TempFolder m_folder;
    bool m_com = false;
};

// Denies the second ALTER TABLE it is asked about, so that adding the columns fails midway.
int DenySecondAlter(void* count, int action, const char*, const char*, const char*, const char*)
{
    if (action != SQLITE_ALTER_TABLE) return SQLITE_OK;
    return ++*static_cast<int*>(count) == 2 ? SQLITE_DENY : SQLITE_OK;
}

} // namespace

TEST_F(CollectionsStoreTest, ColumnsAreAddedToATableWithRowsKeepingEveryRow)
{
    const std::vector<std::string> before = Rows("SELECT _ROWID_, * FROM submissions");
    ASSERT_EQ(3u, before.size());
    {
        ::Database db;
        ASSERT_TRUE(db.Open(Path().c_str()));
        std::string error;
        ASSERT_TRUE(EnsureStatementColumns(db, &error)) << error;
        ASSERT_TRUE(EnsureStatementColumns(db, &error)) << error; // a second time finds them there
    }
    EXPECT_EQ((std::vector<std::string>{"0|_2_PATIENT_S_NAME_Last_First_Middle_Initial", "1|submdate", "2|fxml",
                                        "3|collectionsXML", "4|memorizedDate", "5|dateTrigger"}),
              Rows("SELECT cid, name FROM pragma_table_info('submissions')"));
    EXPECT_EQ(before, Rows("SELECT _ROWID_, _2_PATIENT_S_NAME_Last_First_Middle_Initial, submdate, fxml FROM submissions"));
    EXPECT_EQ("1|~|~|0\n2|~|~|0\n3|~|~|0\n", StatementColumnsOfAllRows());
}

TEST_F(CollectionsStoreTest, AColumnWrittenInOtherCaseCountsAsThere)
{
    // A database whose statement columns were added by hand in lower case.
    Exec("ALTER TABLE submissions ADD COLUMN collectionsxml TEXT");
    Exec("ALTER TABLE submissions ADD COLUMN MEMORIZEDDATE TEXT");
    {
        ::Database db;
        ASSERT_TRUE(db.Open(Path().c_str()));
        std::string error;
        ASSERT_TRUE(EnsureStatementColumns(db, &error)) << error;
    }
    EXPECT_EQ((std::vector<std::string>{"0|_2_PATIENT_S_NAME_Last_First_Middle_Initial", "1|submdate", "2|fxml",
                                        "3|collectionsxml", "4|MEMORIZEDDATE", "5|dateTrigger"}),
              Rows("SELECT cid, name FROM pragma_table_info('submissions')"));
}

TEST_F(CollectionsStoreTest, ColumnsFailingMidwayLeaveTheTableAsItWas)
{
    const std::vector<std::string> before = Rows("SELECT _ROWID_, * FROM submissions");
    {
        ::Database db;
        ASSERT_TRUE(db.Open(Path().c_str()));
        int alters = 0;
        ASSERT_EQ(SQLITE_OK, sqlite3_set_authorizer(db.Handle(), DenySecondAlter, &alters));
        std::string error;
        EXPECT_FALSE(EnsureStatementColumns(db, &error));
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(2, alters) << "the first column was added, the second refused";
    }
    EXPECT_EQ((std::vector<std::string>{"_2_PATIENT_S_NAME_Last_First_Middle_Initial", "submdate", "fxml"}),
              Rows("SELECT name FROM pragma_table_info('submissions')"));
    EXPECT_EQ(before, Rows("SELECT _ROWID_, * FROM submissions"));
    // Nothing is left half-done: the next use adds all three.
    ::Database db;
    ASSERT_TRUE(db.Open(Path().c_str()));
    std::string error;
    ASSERT_TRUE(EnsureStatementColumns(db, &error)) << error;
    EXPECT_EQ("6", One("SELECT count(*) FROM pragma_table_info('submissions')"));
}

TEST_F(CollectionsStoreTest, SavedTextIsUtf8AndSurvivesARebuild)
{
    const std::wstring xml = L"<r><ID>2</ID><Notes>" + std::wstring(kWideName) +
                             L" &amp; Co</Notes><TotalDue_1>12.50</TotalDue_1></r>";
    ASSERT_TRUE(Save(xml));
    // The stored bytes are UTF-8.
    EXPECT_NE(std::string::npos, One("SELECT hex(collectionsXML) FROM submissions WHERE _ROWID_ = 2").find(kUtf8NameHex));

    // Rebuilt as the page builds it: the one row, its XML, the envelope and the sort.
    CollectionsContext context;
    context.statementId = 2;
    context.filters.pastDue = kPastDueAll;
    context.year = 2024;
    context.month = 3;
    context.day = 1;
    CollectionTotals totals;
    std::wstring data;
    int rows = 0;
    std::string error;
    ASSERT_EQ(CollectionsReadResult::Done,
              ReadCollectionRows(Path(), 2, [&](const CollectionRow& row) {
                  ++rows;
                  data += WrapCollections(BuildRecordCollectionsXml(row, context, totals));
              }, &error)) << error;
    EXPECT_EQ(1, rows);
    const std::wstring sent = SortCollections(WrapXfaData(data), kSortPatientAtoZ);
    EXPECT_NE(std::wstring::npos, sent.find(L"<Notes>" + std::wstring(kWideName) + L" &amp; Co</Notes>"));
    EXPECT_NE(std::wstring::npos, sent.find(L"<FirstPatientName>" + std::wstring(kWideName) + L"</FirstPatientName>"));
    EXPECT_NE(std::wstring::npos, sent.find(L"<TotalDue_1>12.50</TotalDue_1>"));
    EXPECT_EQ(1250, totals.cents[CollectionTotals::TotalDue]);
}

TEST_F(CollectionsStoreTest, BalanceInCentsDatesTheFirstSaveUntilItIsZero)
{
    // Fifty cents is a balance: the statement is dated and the trigger set.
    ASSERT_TRUE(Save(L"<r><ID>1</ID><TotalDue_1>0.50</TotalDue_1><TotalDue_2></TotalDue_2></r>"));
    EXPECT_EQ("03/01/2024|1", One("SELECT memorizedDate, dateTrigger FROM submissions WHERE _ROWID_ = 1"));
    // A later save with a balance keeps the first date.
    ASSERT_TRUE(Save(L"<r><ID>1</ID><TotalDue_1>0.20</TotalDue_1></r>", L"03/09/2024"));
    EXPECT_EQ("03/01/2024|1", One("SELECT memorizedDate, dateTrigger FROM submissions WHERE _ROWID_ = 1"));
    // Amounts that cancel to 0 clear the date and re-arm the trigger.
    ASSERT_TRUE(Save(L"<r><ID>1</ID><TotalDue_1>10.25</TotalDue_1><TotalDue_6>-10.25</TotalDue_6></r>", L"03/10/2024"));
    EXPECT_EQ("|0", One("SELECT memorizedDate, dateTrigger FROM submissions WHERE _ROWID_ = 1"));
    ASSERT_TRUE(Save(L"<r><ID>1</ID><TotalDue_3>0.01</TotalDue_3></r>", L"03/11/2024"));
    EXPECT_EQ("03/11/2024|1", One("SELECT memorizedDate, dateTrigger FROM submissions WHERE _ROWID_ = 1"));
    // The other rows are untouched.
    EXPECT_EQ("~|~|0", One("SELECT collectionsXML, memorizedDate, dateTrigger FROM submissions WHERE _ROWID_ = 2"));
}

TEST_F(CollectionsStoreTest, ALineLeftBlankCountsTheRecordsChargeForTheDate)
{
    // Record 3 charges 150.00 on line 1: a statement that leaves the line's balance blank still owes
    // it, as the totals and the "Past Due" choices count it; a balance saved as 0.00 owes nothing.
    Exec("UPDATE submissions SET fxml = '<fields><numberedFields><_24f_1_Charges_dollarsjjjj1>150"
         "</_24f_1_Charges_dollarsjjjj1><_24f_1_Charges_centsjjjj2>00</_24f_1_Charges_centsjjjj2>"
         "</numberedFields></fields>' WHERE _ROWID_ = 3");
    ASSERT_TRUE(Save(L"<r><ID>3</ID><PatientPd_1>50.00</PatientPd_1><TotalDue_1></TotalDue_1></r>"));
    EXPECT_EQ("03/01/2024|1", One("SELECT memorizedDate, dateTrigger FROM submissions WHERE _ROWID_ = 3"));
    ASSERT_TRUE(Save(L"<r><ID>3</ID><PatientPd_1>150.00</PatientPd_1><TotalDue_1>0.00</TotalDue_1></r>", L"03/05/2024"));
    EXPECT_EQ("|0", One("SELECT memorizedDate, dateTrigger FROM submissions WHERE _ROWID_ = 3"));
    ASSERT_TRUE(Save(L"<r><ID>3</ID><TotalDue_1>0.50</TotalDue_1></r>", L"03/06/2024"));
    EXPECT_EQ("03/06/2024|1", One("SELECT memorizedDate, dateTrigger FROM submissions WHERE _ROWID_ = 3"));
}

TEST_F(CollectionsStoreTest, AmountThatDoesNotParseCountsZeroAndIsTraced)
{
    TraceViewer viewer;
    ASSERT_TRUE(viewer.Ready());
    const SavedStatement saved = ParseSavedStatement(L"<r><ID>3</ID><TotalDue_1>ten</TotalDue_1><TotalDue_2>1.05</TotalDue_2></r>");
    ASSERT_TRUE(saved.ok);
    EXPECT_EQ(3, saved.rowId);
    EXPECT_EQ(105, saved.balanceCents);
    EXPECT_NE(std::wstring::npos, viewer.Text().find(L"TotalDue_1=\"ten\"")) << std::string(viewer.Text().begin(), viewer.Text().end());
    EXPECT_EQ(std::wstring::npos, viewer.Text().find(L"TotalDue_2="));
}

TEST_F(CollectionsStoreTest, RecordIdIsReadStrictlyAndNothingElseIsWritten)
{
    AddColumns();
    for (const wchar_t* id : {L"2 OR 1=1", L"2x", L"", L"-2", L"2.0", L"0x2", L"99999999999", L"1; DROP TABLE submissions"}) {
        EXPECT_FALSE(ParseSavedStatement(L"<r><ID>" + std::wstring(id) + L"</ID></r>").ok) << std::string(id, id + wcslen(id));
        EXPECT_FALSE(Save(L"<r><ID>" + std::wstring(id) + L"</ID><TotalDue_1>5</TotalDue_1></r>"));
    }
    EXPECT_FALSE(Save(L"<r><TotalDue_1>5</TotalDue_1></r>")); // no ID at all
    EXPECT_FALSE(Save(L"<r><ID>2</r>"));                      // not XML
    EXPECT_EQ("3", One("SELECT count(*) FROM submissions"));
    EXPECT_EQ("0", One("SELECT count(*) FROM submissions WHERE collectionsXML IS NOT NULL OR dateTrigger <> 0"));
    // White space around the number is allowed; the row is the one named.
    ASSERT_TRUE(Save(L"<r><ID> 2 </ID><TotalDue_1>5</TotalDue_1></r>"));
    EXPECT_EQ("2", One("SELECT group_concat(_ROWID_) FROM submissions WHERE collectionsXML IS NOT NULL"));
}

TEST_F(CollectionsStoreTest, SavingARecordThatIsNotThereFails)
{
    AddColumns();
    EXPECT_FALSE(Save(L"<r><ID>7</ID><TotalDue_1>5</TotalDue_1></r>"));
    EXPECT_FALSE(Save(L"<r><ID>0</ID><TotalDue_1>0</TotalDue_1></r>"));
    EXPECT_EQ("0", One("SELECT count(*) FROM submissions WHERE collectionsXML IS NOT NULL OR dateTrigger <> 0"));
}

TEST_F(CollectionsStoreTest, BothChangesOfASaveOrNeither)
{
    ASSERT_TRUE(Save(L"<r><ID>2</ID><TotalDue_1>0</TotalDue_1></r>")); // the columns are there now
    Exec("CREATE TRIGGER refuse_date BEFORE UPDATE OF dateTrigger ON submissions "
         "BEGIN SELECT RAISE(ABORT, 'refused'); END");
    const std::string before = StatementColumnsOfAllRows();
    EXPECT_FALSE(Save(L"<r><ID>2</ID><Notes>with balance</Notes><TotalDue_1>5</TotalDue_1></r>"));
    EXPECT_FALSE(Save(L"<r><ID>2</ID><Notes>paid</Notes><TotalDue_1>0</TotalDue_1></r>"));
    EXPECT_EQ(before, StatementColumnsOfAllRows());
    EXPECT_EQ("<r><ID>2</ID><TotalDue_1>0</TotalDue_1></r>", One("SELECT collectionsXML FROM submissions WHERE _ROWID_ = 2"));
}

TEST_F(CollectionsStoreTest, ColumnsCannotBeAddedWhileAnotherProgramWrites)
{
    // Another connection holds the write lock: the columns cannot be added, and nothing is half-added.
    sqlite3* writer = nullptr;
    const std::wstring path = Path();
    ASSERT_EQ(SQLITE_OK, sqlite3_open_v2(std::string(path.begin(), path.end()).c_str(), &writer, SQLITE_OPEN_READWRITE, nullptr));
    ASSERT_EQ(SQLITE_OK, sqlite3_exec(writer, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr));
    std::string error;
    bool added = true;
    {
        ::Database db;
        ASSERT_TRUE(db.Open(path.c_str())) << db.ErrorText();
        added = EnsureStatementColumns(db, &error);
    }
    sqlite3_exec(writer, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(writer);
    EXPECT_FALSE(added);
    EXPECT_EQ("database is locked", error);
    EXPECT_EQ("3", One("SELECT count(*) FROM pragma_table_info('submissions')"));
    // Once the other program is done they are added.
    AddColumns();
    EXPECT_EQ("6", One("SELECT count(*) FROM pragma_table_info('submissions')"));
}
