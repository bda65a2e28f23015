// The form pages' database writes when SQLite's file calls fail: registration, Save as New, Update and
// Save (of a record and of a template), Save as Template, deleting selected rows, a statement's save
// (and its store alone) and the frozen-count write, each run once per read, write, sync, lock, size
// query and truncation it makes, with that call failing (alone, then with every later one of its
// kind; writes also as a full disk). Each run either completes or tells the user and leaves the file
// as it was; either way the next open reads it.
#include <gtest/gtest.h>
#include <objbase.h>
#include <sqlite3.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "bridge/HTMLCtrl.h"
#include "formdb/FormDatabase.h"
#include "formdb/StatementsDatabase.h"
#include "grid/GridCtrl.h"
#include "pages/CollectionsStore.h"
#include "pages/RecordsGrid.h"
#include "pages/SaveFormRecord.h"
#include "tests/pages/GridWindow.h"
#include "tests/pages/FormPageFixture.h"
#include "tests/support/DatabaseSnapshot.h"
#include "tests/support/FailingVfs.h"
#include "tests/support/TempFolder.h"

namespace {

const char kFieldList[] = "F2jjjj1jPatient|F1jjjj0jInsured|F10jjjj2jAmount";
const wchar_t kReply[] = L"F1=Brown|F2=Bea|F10=30.00";
// No operation here makes this many calls of one kind.
const long kMostCalls = 400;

struct Fault
{
    VfsCall call;
    int error;
};
const Fault kFaults[] = {{VfsCall::Read, SQLITE_IOERR_READ},      {VfsCall::Write, SQLITE_IOERR_WRITE},
                         {VfsCall::Write, SQLITE_FULL},           {VfsCall::Sync, SQLITE_IOERR_FSYNC},
                         {VfsCall::Lock, SQLITE_IOERR_LOCK},      {VfsCall::FileSize, SQLITE_IOERR_FSTAT},
                         {VfsCall::Truncate, SQLITE_IOERR_TRUNCATE}};

class GridHost : public TestHost
{
public:
    void ShowFormPage() override {}
};

// The files of a folder, by name.
std::vector<std::wstring> FolderFiles(const std::wstring& folder)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW((folder + L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.push_back(found.cFileName);
    while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

std::string Narrow(const std::wstring& text)
{
    return std::string(text.begin(), text.end());
}

class DatabaseFailures : public ::testing::Test, public GridWindow
{
protected:
    void SetUp() override
    {
        AfxSetMessageBoxSink([this](HWND, const CString& text, const CString& caption, UINT) {
            boxes.push_back({text.GetString(), caption.GetString()});
            return IDOK;
        });
        host.storeFolder = store.Path().c_str();
        host.formName = L"claim";
        host.frame = &frame;
        CreateGridWindow(L"database failure test");
    }
    void TearDown() override
    {
        DestroyGridWindow();
        AfxSetMessageBoxSink(nullptr);
    }

    std::wstring Path() const { return store.File(L"claim.gdb"); }

    // A registered form with three records and two templates, kept as the bytes every run starts from.
    void MakeFilledDatabase()
    {
        ASSERT_TRUE(CreateFormDatabase(Path(), kFieldList, "CMS-1500").ok);
        const char* replies[] = {"F1=Jones|F2=Al|F10=10.00", "F1=Smith|F2=Ann|F10=20.00", "F1=Young|F2=Cy|F10=5.00"};
        for (const char* reply : replies)
            ASSERT_EQ(StoreOutcome::Stored, Store(reply, false, "").outcome);
        ASSERT_EQ(StoreOutcome::Stored, Store("F1=Acme", true, "Acme default").outcome);
        ASSERT_EQ(StoreOutcome::Stored, Store("F1=Best", true, "Best default").outcome);
        KeepAsBefore();
    }
    StoreResult Store(const char* reply, bool isTemplate, const char* name)
    {
        RecordToStore record;
        record.reply = reply;
        record.formXml = std::string("<form>") + reply + "</form>";
        record.isTemplate = isTemplate;
        record.templateName = name;
        record.saveDate = "12/6/2026";
        return StoreFormRecord(Path(), record);
    }
    void KeepAsBefore()
    {
        before = ReadWholeFile(Path());
        ASSERT_FALSE(before.empty());
        beforeState = ReadDatabaseSnapshot(Path());
        ASSERT_EQ("ok", beforeState.integrity);
    }
    // Puts the file back as it was before the operation, with nothing beside it.
    void Restore()
    {
        for (const std::wstring& name : FolderFiles(store.Path()))
            DeleteFileW(store.File(name).c_str());
        if (!before.empty())
        {
            ASSERT_TRUE(WriteWholeFile(Path(), before));
        }
        boxes.clear();
    }
    // The state an operation leaves when nothing fails.
    DatabaseSnapshot Completed(const std::function<void()>& prepare, const std::function<bool()>& operate)
    {
        Restore();
        prepare();
        EXPECT_TRUE(operate());
        EXPECT_TRUE(boxes.empty()) << (boxes.empty() ? "" : Narrow(boxes[0].text));
        const DatabaseSnapshot after = ReadDatabaseSnapshot(Path());
        EXPECT_EQ("ok", after.integrity);
        EXPECT_NE(beforeState.rows, after.rows);
        return after;
    }

    // Runs the operation with each call of each kind failing in turn, transient and persistent, until
    // a run meets no fault. prepare runs before the fault is armed; check judges every run that met one
    // (operate's answer, and where it failed for the messages). Returns how many runs failed.
    int FailEachCall(const std::function<void()>& prepare, const std::function<bool()>& operate,
                     const std::function<void(bool, const std::string&)>& check)
    {
        int failedRuns = 0;
        for (const Fault& fault : kFaults)
            for (bool persistent : {false, true})
                for (long n = 1;; ++n)
                {
                    Restore();
                    prepare();
                    vfs.Arm(fault.call, n, fault.error, persistent);
                    const bool ok = operate();
                    vfs.Disarm();
                    const std::string where = std::string(VfsCallName(fault.call)) + " " + std::to_string(n) +
                                              " failing with " + std::to_string(fault.error) +
                                              (persistent ? " and after" : " alone");
                    if (!vfs.Fired())
                    {
                        EXPECT_TRUE(ok) << "no fault met, " << where;
                        break;
                    }
                    failedRuns += ok ? 0 : 1;
                    check(ok, where);
                    if (n >= kMostCalls)
                    {
                        ADD_FAILURE() << "still meeting faults at " << where;
                        break;
                    }
                }
        return failedRuns;
    }

    // A run that completed leaves the state after and says nothing; one that failed says so once, under
    // the caption (none: the caller's answer tells), and leaves the file byte for byte as before with
    // nothing beside it. The file is read by SQLite first, as the program's next open would (rolling
    // back a journal left behind).
    void CheckCompletedOrUnchanged(bool ok, const std::string& where, const DatabaseSnapshot& after,
                                   const wchar_t* caption)
    {
        const DatabaseSnapshot state = ReadDatabaseSnapshot(Path());
        EXPECT_EQ("ok", state.integrity) << where;
        if (ok)
        {
            EXPECT_EQ(after.rows, state.rows) << where;
            EXPECT_TRUE(boxes.empty()) << where << ": " << (boxes.empty() ? "" : Narrow(boxes[0].text));
            return;
        }
        EXPECT_EQ(beforeState.rows, state.rows) << where;
        EXPECT_TRUE(ReadWholeFile(Path()) == before) << "file bytes changed, " << where;
        // Beside it at most the journal SQLite keeps after a rollback it could not finish (the open
        // above has dealt with it).
        const std::vector<std::wstring> files = FolderFiles(store.Path());
        EXPECT_TRUE(files == std::vector<std::wstring>{L"claim.gdb"} ||
                    files == (std::vector<std::wstring>{L"claim.gdb", L"claim.gdb-journal"}))
            << Narrow(files.back()) << ", " << where;
        if (!caption)
        {
            EXPECT_TRUE(boxes.empty()) << where;
            return;
        }
        ASSERT_EQ(1u, boxes.size()) << "the user was not told, " << where;
        EXPECT_FALSE(boxes[0].text.empty()) << where;
        EXPECT_EQ(caption, boxes[0].caption) << where;
    }

    // Save as New, Update and Save or Save as Template through the form page's store.
    void CheckSave(int isTemplate, const wchar_t* templateName, BOOL update, int replacedRow)
    {
        MakeFilledDatabase();
        CHTMLCtrl browser;
        auto save = [&] {
            int empty = 0;
            return SaveFormRecord(host, kReply, isTemplate, templateName, update, empty, browser, replacedRow) > 0;
        };
        const DatabaseSnapshot after = Completed([] {}, save);
        const int failed = FailEachCall([] {}, save, [&](bool ok, const std::string& where) {
            CheckCompletedOrUnchanged(ok, where, after, L"db");
        });
        EXPECT_GT(failed, 10);
    }

    // The grid's rows as records: "t1" template 1, "r2" record 2.
    std::vector<std::string> GridRecords()
    {
        std::vector<std::string> keys;
        for (int row = grid.GetFixedRowCount(); row < grid.GetRowCount(); ++row)
        {
            RecordKey key;
            keys.push_back(GetRowRecord(grid, row, key) ? (key.isTemplate ? "t" : "r") + std::to_string(key.id)
                                                        : "none");
        }
        return keys;
    }

    TempFolder store;
    GridHost host;
    std::vector<RecordedBox> boxes;
    FailingVfs vfs;
    std::string before;
    DatabaseSnapshot beforeState;
};

TEST_F(DatabaseFailures, RegistrationCreatesTheWholeDatabaseOrNoFile)
{
    // Registration writes a file of its own: before it there is none.
    auto registration = [&] {
        const RegistrationResult result = CreateFormDatabase(Path(), kFieldList, "CMS-1500");
        if (!result.ok)
            boxes.push_back({std::wstring(result.message.begin(), result.message.end()), L"Registration Error"});
        return result.ok;
    };
    Restore();
    ASSERT_TRUE(registration());
    const DatabaseSnapshot after = ReadDatabaseSnapshot(Path());
    ASSERT_EQ("ok", after.integrity);
    ASSERT_NE(std::string::npos, after.rows.find("|F2jjjj1jPatient|F1jjjj0jInsured|F10jjjj2jAmount|1|0,0|CMS-1500\n"))
        << after.rows;

    const int failed = FailEachCall([] {}, registration, [&](bool ok, const std::string& where) {
        if (ok)
        {
            EXPECT_EQ(after.rows, ReadDatabaseSnapshot(Path()).rows) << where;
            return;
        }
        // Nothing is left: neither the database nor its temporary file or journal.
        EXPECT_EQ(std::vector<std::wstring>{}, FolderFiles(store.Path())) << where;
        ASSERT_EQ(1u, boxes.size()) << where;
        EXPECT_FALSE(boxes[0].text.empty()) << where;
        EXPECT_EQ(FormRegistration::Missing, CheckFormRegistration(Path())) << where;
        // The next registration succeeds.
        boxes.clear();
        EXPECT_TRUE(registration()) << where;
        EXPECT_EQ(after.rows, ReadDatabaseSnapshot(Path()).rows) << where;
    });
    EXPECT_GT(failed, 10);
}

TEST_F(DatabaseFailures, SaveAsNewStoresTheRowOrNothing)
{
    CheckSave(0, L"", FALSE, 0);
}

TEST_F(DatabaseFailures, UpdateAndSaveReplacesTheRowOrNothing)
{
    CheckSave(0, L"", TRUE, 2);
}

TEST_F(DatabaseFailures, SaveAsTemplateStoresTheTemplateOrNothing)
{
    CheckSave(1, L"Brown default", FALSE, 0);
}

TEST_F(DatabaseFailures, UpdatingATemplateReplacesItOrNothing)
{
    CheckSave(1, L"Acme default", TRUE, 1);
}

TEST_F(DatabaseFailures, FrozenCountIsWrittenOrLeftAsItWas)
{
    MakeFilledDatabase();
    auto prepare = [&] {
        // Emptied and filled as the records page does each time it is shown.
        grid.DeleteAllItems();
        ASSERT_EQ(0, LoadRecordGrids(grid, host));
        grid.SetFixedColumnCount(3);
    };
    auto write = [&] { return SetFrozenColumns(grid, host) == 0; };
    const DatabaseSnapshot after = Completed(prepare, write);
    const int failed = FailEachCall(prepare, write, [&](bool ok, const std::string& where) {
        CheckCompletedOrUnchanged(ok, where, after, L"db");
    });
    EXPECT_GT(failed, 5);
}

TEST_F(DatabaseFailures, StatementStoreAddsItsColumnsAndStoresOrChangesNothing)
{
    MakeFilledDatabase();
    // The first statement stored on this file also adds the statement columns.
    ASSERT_EQ(std::string::npos, beforeState.rows.find("<null>|<null>|0"));
    auto store = [&] {
        return StoreStatementChanges(Path(), 2, L"<r><ID>2</ID></r>", true, L"03/01/2024");
    };
    const DatabaseSnapshot after = Completed([] {}, store);
    EXPECT_NE(std::string::npos, after.rows.find("|<r><ID>2</ID></r>|03/01/2024|1\n")) << after.rows;
    const int failed = FailEachCall([] {}, store, [&](bool ok, const std::string& where) {
        CheckCompletedOrUnchanged(ok, where, after, nullptr);
    });
    EXPECT_GT(failed, 10);
}

TEST_F(DatabaseFailures, StatementSaveStoresOrLeavesTheRecordsAsTheyWere)
{
    ASSERT_TRUE(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    MakeFilledDatabase();
    // The save first reads the record for its balance; that read, like any first read of the
    // statements, may add the empty statement columns. The file with them, made by SQLite on a copy:
    std::string withColumns;
    {
        const std::wstring copy = store.File(L"copy.gdb");
        ASSERT_TRUE(WriteWholeFile(copy, before));
        sqlite3* raw = nullptr;
        ASSERT_EQ(SQLITE_OK, sqlite3_open_v2(Narrow(copy).c_str(), &raw, SQLITE_OPEN_READWRITE, nullptr));
        EXPECT_EQ(SQLITE_OK, sqlite3_exec(raw, "ALTER TABLE submissions ADD COLUMN collectionsXML TEXT;"
                                               "ALTER TABLE submissions ADD COLUMN memorizedDate TEXT;"
                                               "ALTER TABLE submissions ADD COLUMN dateTrigger INTEGER DEFAULT 0;",
                                          nullptr, nullptr, nullptr));
        sqlite3_close(raw);
        withColumns = ReadDatabaseSnapshot(copy).rows;
        DeleteFileW(copy.c_str());
    }
    auto save = [&] {
        // A false answer makes the page's "saveChanges" command show "Saving is failed".
        return SaveStatementChanges(Path(), L"<r><ID>2</ID><TotalDue_1>12.50</TotalDue_1></r>", L"03/01/2024");
    };
    const DatabaseSnapshot after = Completed([] {}, save);
    EXPECT_NE(std::string::npos,
              after.rows.find("|<r><ID>2</ID><TotalDue_1>12.50</TotalDue_1></r>|03/01/2024|1\n"))
        << after.rows;
    const int failed = FailEachCall([] {}, save, [&](bool ok, const std::string& where) {
        const DatabaseSnapshot state = ReadDatabaseSnapshot(Path());
        EXPECT_EQ("ok", state.integrity) << where;
        if (ok)
        {
            EXPECT_EQ(after.rows, state.rows) << where;
        }
        else
            EXPECT_TRUE(state.rows == beforeState.rows || state.rows == withColumns) << state.rows << where;
    });
    EXPECT_GT(failed, 10);
    ::CoUninitialize();
}

TEST_F(DatabaseFailures, DeletingSelectedRowsListsWhatIsGoneFromTheFile)
{
    MakeFilledDatabase();
    // The four selected rows in the order they are deleted, and the state after the first k of them,
    // each made by SQLite itself on a copy.
    const std::vector<std::string> selected = {"t1", "t2", "r1", "r2"};
    const char* const deletes[] = {"DELETE FROM templates WHERE _ROWID_=1", "DELETE FROM templates WHERE _ROWID_=2",
                                   "DELETE FROM submissions WHERE _ROWID_=1",
                                   "DELETE FROM submissions WHERE _ROWID_=2"};
    std::vector<std::string> prefixRows = {beforeState.rows};
    {
        const std::wstring copy = store.File(L"copy.gdb");
        ASSERT_TRUE(WriteWholeFile(copy, before));
        sqlite3* raw = nullptr;
        ASSERT_EQ(SQLITE_OK, sqlite3_open_v2(Narrow(copy).c_str(), &raw, SQLITE_OPEN_READWRITE, nullptr));
        for (const char* sql : deletes)
        {
            EXPECT_EQ(SQLITE_OK, sqlite3_exec(raw, sql, nullptr, nullptr, nullptr)) << sqlite3_errmsg(raw);
            sqlite3_close(raw);
            prefixRows.push_back(ReadDatabaseSnapshot(copy).rows);
            ASSERT_EQ(SQLITE_OK, sqlite3_open_v2(Narrow(copy).c_str(), &raw, SQLITE_OPEN_READWRITE, nullptr));
        }
        sqlite3_close(raw);
        DeleteFileW(copy.c_str());
    }

    auto prepare = [&] {
        // Emptied and filled as the records page does each time it is shown.
        grid.DeleteAllItems();
        ASSERT_EQ(0, LoadRecordGrids(grid, host));
        ASSERT_EQ((std::vector<std::string>{"t1", "t2", "r1", "r2", "r3"}), GridRecords());
        grid.SetSelectedRange(1, 0, 4, grid.GetColumnCount() - 1, TRUE);
    };
    auto remove = [&] { return DeleteSelectedRows(grid, host) == 0; };
    const DatabaseSnapshot after = Completed(prepare, remove);
    EXPECT_EQ(prefixRows.back(), after.rows);
    EXPECT_EQ(std::vector<std::string>{"r3"}, GridRecords());

    int rolledBack = 0;
    const int failed = FailEachCall(prepare, remove, [&](bool ok, const std::string& where) {
        const DatabaseSnapshot state = ReadDatabaseSnapshot(Path());
        EXPECT_EQ("ok", state.integrity) << where;
        size_t gone = 0;
        while (gone < prefixRows.size() && prefixRows[gone] != state.rows)
            ++gone;
        ASSERT_LT(gone, prefixRows.size()) << "the file lost rows that were not selected first, " << where;
        // The list shows exactly the rows the file still holds.
        std::vector<std::string> shown(selected.begin() + static_cast<long>(gone), selected.end());
        shown.push_back("r3");
        EXPECT_EQ(shown, GridRecords()) << where;
        if (ok)
        {
            EXPECT_EQ(selected.size(), gone) << where;
            EXPECT_TRUE(boxes.empty()) << where;
            return;
        }
        EXPECT_LT(gone, selected.size()) << "a failure was reported after everything was deleted, " << where;
        rolledBack += gone == 0 ? 1 : 0;
        ASSERT_EQ(1u, boxes.size()) << "the user was not told, " << where;
        EXPECT_EQ(L"db", boxes[0].caption) << where;
        const std::wstring count = L"Deleted before the failure: " + std::to_wstring(gone) + L" of 4.";
        const std::wstring& text = boxes[0].text;
        EXPECT_TRUE(text.rfind(L"Can't open database: ", 0) == 0 ||
                    (text.size() > count.size() && text.compare(text.size() - count.size(), count.size(), count) == 0))
            << Narrow(text) << ", " << where;
    });
    EXPECT_GT(failed, 10);
    // Among them failures in the middle of the deletes that SQLite undid as a whole.
    EXPECT_GT(rolledBack, 0);
}

} // namespace
