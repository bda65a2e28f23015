// Registration, Save as New, Update and Save and the deletion of selected records, each ended
// without warning at every SQL statement in turn (in a child process): afterwards the database
// opens, passes SQLite's integrity check and holds either the state before or the state after the
// operation, never a mixture. A file of the builds that kept a list copy loses all of the copy or
// none of it, and no record.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <windows.h>

#include <string>
#include <vector>

#include "formdb/FormDatabase.h"
#include "tests/support/DatabaseSnapshot.h"
#include "tests/support/TempFolder.h"
#include "CrashOperations.h"

namespace {

const long kMostStatements = 200;

std::string Utf8(const std::wstring& text)
{
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(bytes > 0 ? bytes - 1 : 0, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &out[0], bytes, nullptr, nullptr);
    return out;
}

bool FileExists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

using FileState = DatabaseSnapshot;

FileState ReadState(const std::wstring& path)
{
    return ReadDatabaseSnapshot(path);
}

// Runs the driver on the database, ended at the statement (0: never); its exit code, or -1 when it
// could not be started or did not end within the watchdog's minute.
long RunDriver(const std::wstring& operation, const std::wstring& db, long statement)
{
    wchar_t self[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return -1;
    std::wstring driver(self);
    driver = driver.substr(0, driver.find_last_of(L"\\/") + 1) + L"crash_driver.exe";
    std::wstring command = L"\"" + driver + L"\" " + operation + L" \"" + db + L"\" " + std::to_wstring(statement);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(driver.c_str(), &command[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                        &startup, &process))
        return -1;
    DWORD code = 0;
    long result = -1;
    if (WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0 && GetExitCodeProcess(process.hProcess, &code))
        result = static_cast<long>(code);
    else
        TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return result;
}

class CrashSafety : public ::testing::Test
{
protected:
    // A registered form with three records and two templates.
    void MakeFilledDatabase(const std::wstring& path)
    {
        ASSERT_TRUE(CreateFormDatabase(path, kFieldList, kFormType).ok);
        const char* replies[] = {"F1=Jones|F2=Al|F10=10.00", "F1=Smith|F2=Ann|F10=20.00", "F1=Young|F2=Cy|F10=5.00"};
        for (const char* reply : replies)
            ASSERT_EQ(StoreOutcome::Stored, Store(path, reply, false, "").outcome);
        ASSERT_EQ(StoreOutcome::Stored, Store(path, "F1=Acme", true, "Acme default").outcome);
        ASSERT_EQ(StoreOutcome::Stored, Store(path, "F1=Best", true, "Best default").outcome);
    }

    StoreResult Store(const std::wstring& path, const char* reply, bool isTemplate, const char* name)
    {
        RecordToStore record;
        record.reply = reply;
        record.formXml = std::string("<form>") + reply + "</form>";
        record.isTemplate = isTemplate;
        record.templateName = name;
        record.saveDate = "12/6/2026";
        return StoreFormRecord(path, record);
    }

    bool CopyDatabase(const std::wstring& from, const std::wstring& to)
    {
        DeleteFileW((to + L"-journal").c_str());
        return CopyFileW(from.c_str(), to.c_str(), FALSE) != FALSE;
    }

    // Ends the operation at statement 1, 2, 3, ... until it completes; after each run the file holds
    // the state before or the state after. Returns the number of statements the operation ran.
    long EndAtEveryStatement(const std::wstring& operation, const std::wstring& before, const FileState& after)
    {
        for (long n = 1; n <= kMostStatements; ++n) {
            if (before.empty())
                DeleteFileW(db.c_str());
            else
                EXPECT_TRUE(CopyDatabase(before, db));
            const long code = RunDriver(operation, db, n);
            EXPECT_TRUE(code == 0 || code == static_cast<long>(kKilledExitCode)) << "statement " << n << ": " << code;
            if (before.empty() && !FileExists(db)) {
                EXPECT_NE(0, code) << "completed without a database";
            } else {
                const FileState state = ReadState(db);
                EXPECT_EQ("ok", state.integrity) << "ended at statement " << n;
                if (before.empty()) {
                    EXPECT_EQ(after.rows, state.rows) << "ended at statement " << n;
                } else if (state.rows != after.rows) {
                    EXPECT_EQ(beforeState.rows, state.rows) << "neither before nor after, ended at statement " << n;
                }
            }
            if (code != static_cast<long>(kKilledExitCode))
                return n - 1;
        }
        ADD_FAILURE() << "the operation did not complete within " << kMostStatements << " statements";
        return kMostStatements;
    }

    // The state after a run that is never ended.
    FileState Completed(const std::wstring& operation, const std::wstring& before)
    {
        if (before.empty())
            DeleteFileW(db.c_str());
        else
            EXPECT_TRUE(CopyDatabase(before, db));
        EXPECT_EQ(0, RunDriver(operation, db, 0));
        return ReadState(db);
    }

    void CheckOperation(const std::wstring& operation, const std::string& afterRowsPart)
    {
        MakeFilledDatabase(original);
        beforeState = ReadState(original);
        ASSERT_EQ("ok", beforeState.integrity);
        const FileState after = Completed(operation, original);
        ASSERT_EQ("ok", after.integrity);
        ASSERT_NE(beforeState.rows, after.rows);
        EXPECT_NE(std::string::npos, after.rows.find(afterRowsPart)) << after.rows;
        EXPECT_GT(EndAtEveryStatement(operation, original, after), 3);
    }

    // The filled database as two earlier builds made it: with a copy of the list's columns that three
    // triggers keep in step with submissions.
    void AddListCopy(const std::wstring& path)
    {
        sqlite3* raw = nullptr;
        ASSERT_EQ(SQLITE_OK, sqlite3_open_v2(Utf8(path).c_str(), &raw, SQLITE_OPEN_READWRITE, nullptr));
        const char* const copyRow = "INSERT INTO submissions_list (_ROWID_,[Insured],[Patient],[Amount],submdate) "
                                    "VALUES (new._ROWID_,new.[Insured],new.[Patient],new.[Amount],new.submdate);";
        const std::string sql =
            std::string("BEGIN; CREATE TABLE submissions_list ([Insured],[Patient],[Amount],submdate);"
                        "INSERT INTO submissions_list (_ROWID_,[Insured],[Patient],[Amount],submdate) "
                        "SELECT _ROWID_,[Insured],[Patient],[Amount],submdate FROM submissions;"
                        "CREATE TRIGGER submissions_list_insert AFTER INSERT ON submissions BEGIN ") +
            copyRow +
            " END; CREATE TRIGGER submissions_list_update AFTER UPDATE ON submissions BEGIN "
            "DELETE FROM submissions_list WHERE _ROWID_=old._ROWID_; " +
            copyRow +
            " END; CREATE TRIGGER submissions_list_delete AFTER DELETE ON submissions BEGIN "
            "DELETE FROM submissions_list WHERE _ROWID_=old._ROWID_; END; COMMIT;";
        char* error = nullptr;
        EXPECT_EQ(SQLITE_OK, sqlite3_exec(raw, sql.c_str(), nullptr, nullptr, &error)) << (error ? error : "");
        sqlite3_free(error);
        sqlite3_close(raw);
    }

    TempFolder folder;
    std::wstring db = folder.File(L"claim.gdb");
    std::wstring original = folder.File(L"original.gdb");
    FileState beforeState;
};

TEST_F(CrashSafety, RegistrationLeavesNoDatabaseOrAWholeOne)
{
    const FileState after = Completed(L"register", L"");
    ASSERT_EQ("ok", after.integrity);
    EXPECT_NE(std::string::npos, after.rows.find("[FormInfo]\n1|")) << after.rows;
    EXPECT_NE(std::string::npos, after.rows.find("|F2jjjj1jPatient|F1jjjj0jInsured|F10jjjj2jAmount|1|0,0|CMS-1500\n"))
        << after.rows;
    EXPECT_NE(std::string::npos, after.rows.find("[submissions]\n[templates]\n")) << after.rows;
    EXPECT_EQ("", after.triggers);
    EXPECT_GT(EndAtEveryStatement(L"register", L"", after), 3);
}

TEST_F(CrashSafety, SaveAsNewAddsTheWholeRowOrNothing)
{
    CheckOperation(L"save", "4|Brown|Bea|30.00|12/7/2026|<form>F1=Brown|F2=Bea|F10=30.00</form>\n[templates]");
}

TEST_F(CrashSafety, UpdateAndSaveReplacesTheRowOrNothing)
{
    CheckOperation(L"update", "[submissions]\n1|Jones|Al|10.00|12/6/2026|<form>F1=Jones|F2=Al|F10=10.00</form>\n"
                              "3|Young|Cy|5.00|12/6/2026|<form>F1=Young|F2=Cy|F10=5.00</form>\n"
                              "4|Brown|Bea|30.00|12/7/2026|<form>F1=Brown|F2=Bea|F10=30.00</form>\n"
                              "[templates]");
}

TEST_F(CrashSafety, UpdatingATemplateReplacesItOrNothing)
{
    CheckOperation(L"update-template", "[templates]\n2|Best|||12/6/2026|<form>F1=Best</form>|Best default\n"
                                       "3|Brown|Bea|30.00|12/7/2026|<form>F1=Brown|F2=Bea|F10=30.00</form>|Acme default\n");
}

TEST_F(CrashSafety, DeletingSelectedRecordsRemovesAllOrNone)
{
    CheckOperation(L"delete", "[submissions]\n2|Smith|Ann|20.00|12/6/2026|<form>F1=Smith|F2=Ann|F10=20.00</form>\n"
                              "[templates]\n2|Best|");
}

TEST_F(CrashSafety, AFileWithTheListCopyLosesAllOfItOrNoneAndEveryRecordStays)
{
    MakeFilledDatabase(original);
    AddListCopy(original);
    beforeState = ReadState(original);
    ASSERT_EQ("ok", beforeState.integrity);
    ASSERT_EQ("submissions_list_delete\nsubmissions_list_insert\nsubmissions_list_update\n", beforeState.triggers);
    const std::string copySection = "[submissions_list]\n1|Jones|Al|10.00|12/6/2026\n2|Smith|Ann|20.00|12/6/2026\n"
                                    "3|Young|Cy|5.00|12/6/2026\n";
    const size_t copyAt = beforeState.rows.find(copySection);
    ASSERT_NE(std::string::npos, copyAt) << beforeState.rows;
    // Between the two: the copy dropped, nothing else changed yet.
    std::string withoutCopy = beforeState.rows;
    withoutCopy.erase(copyAt, copySection.size());

    const FileState after = Completed(L"update", original);
    ASSERT_EQ("ok", after.integrity);
    EXPECT_EQ("", after.triggers);
    EXPECT_EQ(std::string::npos, after.rows.find("submissions_list"));
    EXPECT_NE(std::string::npos, after.rows.find("[submissions]\n1|Jones|Al|10.00|12/6/2026|<form>F1=Jones|F2=Al|F10=10.00</form>\n"
                                                 "3|Young|Cy|5.00|12/6/2026|<form>F1=Young|F2=Cy|F10=5.00</form>\n"
                                                 "4|Brown|Bea|30.00|12/7/2026|<form>F1=Brown|F2=Bea|F10=30.00</form>\n"
                                                 "[templates]"))
        << after.rows;

    long n = 1;
    for (; n <= kMostStatements; ++n) {
        ASSERT_TRUE(CopyDatabase(original, db));
        const long code = RunDriver(L"update", db, n);
        ASSERT_TRUE(code == 0 || code == static_cast<long>(kKilledExitCode)) << "statement " << n << ": " << code;
        const FileState state = ReadState(db);
        EXPECT_EQ("ok", state.integrity) << "ended at statement " << n;
        if (state.rows == beforeState.rows)
            EXPECT_EQ(beforeState.triggers, state.triggers) << "the copy without its triggers, statement " << n;
        else if (state.rows == withoutCopy)
            EXPECT_EQ("", state.triggers) << "triggers without the copy, statement " << n;
        else
            EXPECT_EQ(after.rows, state.rows) << "a mixture, ended at statement " << n;
        if (code == 0)
            break;
    }
    EXPECT_GT(n, 3);
}

TEST_F(CrashSafety, FilesMadeBeforeTheListCopyAreUpdatedWholeOrNotAtAll)
{
    // The layout of files made before the copy and of new files alike: FormInfo, submissions, templates.
    MakeFilledDatabase(original);
    beforeState = ReadState(original);
    ASSERT_EQ("ok", beforeState.integrity);
    ASSERT_EQ("", beforeState.triggers);
    const FileState after = Completed(L"update", original);
    ASSERT_EQ("ok", after.integrity);
    EXPECT_NE(std::string::npos, after.rows.find("3|Young|Cy|5.00|12/6/2026|<form>F1=Young|F2=Cy|F10=5.00</form>\n"
                                                 "4|Brown|Bea|30.00|12/7/2026|<form>F1=Brown|F2=Bea|F10=30.00</form>\n"
                                                 "[templates]"))
        << after.rows;
    EXPECT_GT(EndAtEveryStatement(L"update", original, after), 3);
}

} // namespace
