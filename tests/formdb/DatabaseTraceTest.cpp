// Every SQL text the database layer compiles reaches a real debug-viewer window before it is
// compiled, including texts that SQLite then refuses.
#include "formdb/DatabaseStatement.h"
#include "formdb/DatabaseTransaction.h"
#include "formdb/SQLiteQuery.h"
#include "formdb/SQLiteWrappers.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TraceViewer.h"
#include <gtest/gtest.h>
#include <windows.h>

namespace {

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
    ASSERT_TRUE(viewer.Ready());

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

    ASSERT_TRUE(viewer.Ready());
    std::vector<long> positions = LinePositions(viewer.TextA(), {
        "PRAGMA schema_version", "CREATE TABLE t (a)", "BEGIN", "INSERT INTO t VALUES (?)", "COMMIT",
        "select nothing from nowhere", "PRAGMA schema_version", "select a from t",
        "PRAGMA schema_version", "select a from t where a = 'x'"});
    for (size_t i = 0; i < positions.size(); ++i)
        EXPECT_GE(positions[i], 0) << "line " << i << " is missing or out of order in:\n" << viewer.TextA();
}
