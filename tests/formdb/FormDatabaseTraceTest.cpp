// A record whose insert fails leaves its step error in the debug viewer, besides the message.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <windows.h>

#include "formdb/FormDatabase.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TraceViewer.h"

TEST(FormDatabaseTrace, FailedInsertTracesItsStepError)
{
    TempFolder folder;
    const std::wstring db = folder.File(L"claim.gdb");
    ASSERT_TRUE(CreateFormDatabase(db, "F1jjjj0jName", "CMS-1500").ok);
    {
        sqlite3* handle = nullptr;
        ASSERT_EQ(SQLITE_OK, sqlite3_open16(db.c_str(), &handle));
        ASSERT_EQ(SQLITE_OK, sqlite3_exec(handle, "CREATE TRIGGER refuse BEFORE INSERT ON submissions "
                                                  "BEGIN SELECT RAISE(ABORT, 'refused'); END",
                                          nullptr, nullptr, nullptr));
        sqlite3_close(handle);
    }
    TraceViewer viewer;
    ASSERT_TRUE(viewer.Ready());
    RecordToStore record;
    record.reply = "F1=Jones";
    EXPECT_EQ(StoreOutcome::Failed, StoreFormRecord(db, record).outcome);
    // SQLITE_CONSTRAINT is what an aborting trigger gives.
    EXPECT_NE(std::string::npos, viewer.TextA().find("step error=" + std::to_string(SQLITE_CONSTRAINT) + "\r\n"))
        << viewer.TextA();
}
