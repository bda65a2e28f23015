// Every SQL text the database layer compiles reaches a real "TavikDebug" viewer window before it is
// compiled, including texts that SQLite then refuses.
#include "formdb/DatabaseStatement.h"
#include "formdb/DatabaseTransaction.h"
#include "formdb/SQLiteQuery.h"
#include "formdb/SQLiteWrappers.h"
#include "tests/support/TempFolder.h"
#include <gtest/gtest.h>
#include <windows.h>

namespace {

// A hidden top-level "TavikDebug" window that accepts every line into its edit control 1020.
class TraceViewer
{
public:
    TraceViewer()
    {
        static const ATOM atom = [] {
            WNDCLASSW wc = {};
            wc.lpfnWndProc = DefWindowProcW;   // answers the probe WM_USER+4 with 0
            wc.hInstance = GetModuleHandleW(nullptr);
            wc.lpszClassName = L"TavikDebug";
            return RegisterClassW(&wc);
        }();
        m_frame = atom ? CreateWindowW(L"TavikDebug", L"", WS_OVERLAPPED, 0, 0, 200, 100, nullptr, nullptr,
                                       GetModuleHandleW(nullptr), nullptr)
                       : nullptr;
        m_edit = m_frame ? CreateWindowW(L"EDIT", L"", WS_CHILD | ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL, 0, 0, 200, 100, m_frame,
                                         reinterpret_cast<HMENU>(1020), GetModuleHandleW(nullptr), nullptr)
                         : nullptr;
    }
    ~TraceViewer()
    {
        if (m_frame)
            DestroyWindow(m_frame);
    }

    // True when this window is the one a trace finds (another test program may briefly show its own).
    bool IsTheViewer() const
    {
        for (int wait = 0; wait < 100 && m_edit; ++wait) {
            if (FindWindowA("TavikDebug", nullptr) == m_frame)
                return true;
            Sleep(20);
        }
        return false;
    }

    std::string Text() const
    {
        char text[8192] = "";
        GetWindowTextA(m_edit, text, sizeof text);
        return text;
    }

private:
    HWND m_frame = nullptr;
    HWND m_edit = nullptr;
};

// Positions of the lines in the viewer's text, in the given order; -1 for a line that is missing or
// out of order.
std::vector<long> LinePositions(const std::string& text, std::initializer_list<const char*> lines)
{
    std::vector<long> positions;
    size_t from = 0;
    for (const char* line : lines) {
        size_t at = text.find(std::string(line) + "\r\n", from);
        positions.push_back(at == std::string::npos ? -1 : static_cast<long>(at));
        if (at != std::string::npos)
            from = at + 1;
    }
    return positions;
}

} // namespace

TEST(DatabaseTrace, EverySqlTextIsShownBeforeItIsCompiled)
{
    TempFolder folder;
    std::wstring path = folder.File(L"traced.gdb");
    TraceViewer viewer;
    ASSERT_TRUE(viewer.IsTheViewer());

    Database db;
    ASSERT_TRUE(db.Create(path.c_str()));
    ASSERT_TRUE(db.Execute("CREATE TABLE t (a)"));
    {
        Transaction tx(db);
        Statement insert;
        ASSERT_TRUE(insert.Prepare(db, "INSERT INTO t VALUES (?)"));
        insert.BindText(1, "x");
        ASSERT_TRUE(insert.Run());
        ASSERT_TRUE(tx.Commit());
    }
    Statement refused;
    EXPECT_FALSE(refused.Prepare(db, "select nothing from nowhere"));
    ASSERT_EQ(SQLITE_OK, db.Close());

    SQLiteConnection connection(path.c_str());
    ASSERT_EQ(SQLITE_OK, connection.Open());
    SQLiteCommand command("select a from t", &connection);
    EXPECT_NO_THROW(command.ExecuteReader());
    EXPECT_EQ(SQLITE_OK, connection.Close());
    EXPECT_EQ(CString(L"x"), QueryFirstValue(path.c_str(), "select a from t where a = 'x'"));

    ASSERT_TRUE(viewer.IsTheViewer());
    std::vector<long> positions = LinePositions(viewer.Text(), {
        "PRAGMA schema_version", "CREATE TABLE t (a)", "BEGIN", "INSERT INTO t VALUES (?)", "COMMIT",
        "select nothing from nowhere", "PRAGMA schema_version", "select a from t",
        "PRAGMA schema_version", "select a from t where a = 'x'"});
    for (size_t i = 0; i < positions.size(); ++i)
        EXPECT_GE(positions[i], 0) << "line " << i << " is missing or out of order in:\n" << viewer.Text();
}
