// The records list handed to the caller row by row as SQLite steps: a couple of thousand rows come
// whole and in order (as SQLite itself reads them), and a caller that stops or throws midway leaves
// no statement behind and the file free for writing.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "formdb/Database.h"
#include "formdb/DatabaseStatement.h"
#include "formdb/RecordsDatabase.h"
#include "tests/formdb/RecordsFileFixture.h"

namespace {

struct ListedFile : RecordsFile
{
    static constexpr int TEMPLATES = 300;
    static constexpr int RECORDS = 1800;

    // Values of every kind: empty, NULL, non-ASCII bytes, one very long, and plain ones that
    // differ by row.
    void SetUp() override
    {
        RecordsFile::SetUp();
        std::string sqls = "BEGIN;";
        for (int i = 1; i <= TEMPLATES; i++)
        {
            const std::string sql = "INSERT INTO templates ([Name],[FirstName],[Birth],submdate,fxml,"
                                    "RSRV_TEMPLATE_NAME) VALUES ('T" + std::to_string(i) + "', NULL, '"
                                    + (i % 7 == 0 ? std::string("\xC3\xA9t\xC3\xA9") : std::string()) +
                                    "', '1/1/2026', '<t/>', 'template " + std::to_string(i) + "');";
            sqls += sql;
        }
        for (int i = 1; i <= RECORDS; i++)
        {
            const std::string name = i == 1000 ? std::string(20000, 'x') : "Name" + std::to_string(i * 3);
            const std::string sql = "INSERT INTO submissions ([Name],[FirstName],[Birth],submdate,fxml) VALUES ('" +
                                    name + "', 'F" + std::to_string(i % 13) + "', " +
                                    (i % 5 == 0 ? std::string("NULL") : "'" + std::to_string(i) + "/2/1970'") +
                                    ", '12/31/2025', '<x/>');";
            sqls += sql;
        }
        Exec((sqls + "COMMIT;").c_str());
    }

    // The rows as SQLite reads them, in the list's column order, one text a row.
    std::vector<std::string> ReadDirectly()
    {
        std::vector<std::string> rows;
        Database db;
        EXPECT_TRUE(db.Open(path.c_str()));
        const char* const selects[] = {
            "select _ROWID_, RSRV_TEMPLATE_NAME, [FirstName], [Name], [Birth] from templates",
            "select _ROWID_, submdate, [FirstName], [Name], [Birth] from submissions"};
        for (int s = 0; s < 2; s++)
        {
            Statement query;
            EXPECT_TRUE(query.Prepare(db, selects[s])) << query.ErrorText();
            while (query.Step() == StepResult::Row)
            {
                std::string row = (s == 0 ? "T" : "R") + std::string(query.ColumnText(0));
                for (int c = 1; c <= 4; c++)
                    row += "|" + std::string(query.ColumnText(c), static_cast<size_t>(query.ColumnBytes(c)));
                rows.push_back(row);
            }
        }
        return rows;
    }

    static std::string Joined(const StoredRecordRow& row)
    {
        std::string text = (row.isTemplate ? "T" : "R") + std::to_string(row.rowId);
        for (std::string_view cell : *row.cells)
            text += "|" + std::string(cell);
        return text;
    }

    // The file can be written: no statement of the read is left open on it.
    void ExpectWritable()
    {
        Database db;
        ASSERT_TRUE(db.Open(path.c_str()));
        EXPECT_TRUE(db.Execute("DELETE FROM submissions WHERE _ROWID_ = 1")) << db.ErrorText();
        EXPECT_EQ("1799", One("SELECT count(*) FROM submissions"));
    }
};

} // namespace

TEST_F(ListedFile, EveryRowComesWholeAndInOrder)
{
    std::vector<std::string> seen;
    const RecordListResult result = ReadRecordList(
        path, [](const RecordListColumns&) { return true; },
        [&](const StoredRecordRow& row) {
            seen.push_back(Joined(row));
            return true;
        });
    ASSERT_TRUE(result.ok) << result.message;
    EXPECT_EQ(TEMPLATES, result.templates);
    EXPECT_EQ(RECORDS, result.records);
    const std::vector<std::string> expected = ReadDirectly();
    ASSERT_EQ(static_cast<size_t>(TEMPLATES + RECORDS), expected.size());
    ASSERT_EQ(expected.size(), seen.size());
    for (size_t i = 0; i < expected.size(); i++)
        ASSERT_EQ(expected[i], seen[i]) << "row " << i;
    // The long value, and a NULL read as empty.
    EXPECT_EQ("R1000|12/31/2025|F12|" + std::string(20000, 'x') + "|", seen[TEMPLATES + 999]);
    EXPECT_EQ("T7|template 7||T7|\xC3\xA9t\xC3\xA9", seen[6]);
}

TEST_F(ListedFile, ACallerThatStopsMidwayGetsNoMoreRowsAndLeavesTheFileFree)
{
    int calls = 0;
    const RecordListResult result = ReadRecordList(
        path, [](const RecordListColumns&) { return true; },
        [&](const StoredRecordRow&) { return ++calls < 700; });
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.stopped);
    EXPECT_EQ(700, calls);
    EXPECT_EQ(TEMPLATES, result.templates);
    EXPECT_EQ(700 - 1 - TEMPLATES, result.records);
    ExpectWritable();
}

TEST_F(ListedFile, AnExceptionFromTheCallerReachesItAndLeavesTheFileFree)
{
    int calls = 0;
    EXPECT_THROW(ReadRecordList(
                     path, [](const RecordListColumns&) { return true; },
                     [&](const StoredRecordRow&) {
                         if (++calls == 1200)
                             throw std::runtime_error("caller failed");
                         return true;
                     }),
                 std::runtime_error);
    EXPECT_EQ(1200, calls);
    ExpectWritable();
    // A later read sees the file as it is now.
    int rows = 0;
    const RecordListResult again = ReadRecordList(
        path, [](const RecordListColumns&) { return true; },
        [&](const StoredRecordRow&) { return ++rows > 0; });
    EXPECT_TRUE(again.ok) << again.message;
    EXPECT_EQ(TEMPLATES + RECORDS - 1, rows);
}
