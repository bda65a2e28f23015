// A record whose insert fails leaves its step error in the debug viewer, besides the message.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <windows.h>

#include "formdb/FormDatabase.h"
#include "tests/support/TempFolder.h"

namespace {

// A "TavikDebug" window whose edit control 1020 collects the trace lines.
struct ViewerWindow
{
    ViewerWindow()
    {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"TavikDebug";
        registered = RegisterClassW(&wc) != 0; // another test may have registered the class already
        frame = CreateWindowW(L"TavikDebug", L"", WS_OVERLAPPED, 0, 0, 100, 50, nullptr, nullptr, wc.hInstance, nullptr);
        edit = CreateWindowW(L"EDIT", L"", WS_CHILD | ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL, 0, 0, 100, 50, frame, reinterpret_cast<HMENU>(1020),
                             wc.hInstance, nullptr);
    }
    ~ViewerWindow()
    {
        DestroyWindow(frame);
        if (registered)
            UnregisterClassW(L"TavikDebug", GetModuleHandleW(nullptr));
    }
    std::string Lines() const
    {
        std::string text(GetWindowTextLengthA(edit) + 1, '\0');
        text.resize(GetWindowTextA(edit, &text[0], static_cast<int>(text.size())));
        return text;
    }
    bool registered = false;
    HWND frame, edit;
};

} // namespace

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
    ViewerWindow viewer;
    ASSERT_EQ(viewer.frame, FindWindowW(L"TavikDebug", nullptr));
    RecordToStore record;
    record.reply = "F1=Jones";
    EXPECT_EQ(StoreOutcome::Failed, StoreFormRecord(db, record).outcome);
    // SQLITE_CONSTRAINT is what an aborting trigger gives.
    EXPECT_NE(std::string::npos, viewer.Lines().find("step error=" + std::to_string(SQLITE_CONSTRAINT) + "\r\n"))
        << viewer.Lines();
}
