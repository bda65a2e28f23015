// Registration, on real windows, of forms whose field names hold characters outside the ANSI code
// page: each such character is stored as "?" (no best fit turns a full-width "|", "[", "]" or "j"
// into the list's own syntax), and two fields that would share a column are both named while the
// dialog stays open and no database is made.
#include <gtest/gtest.h>

#include <sqlite3.h>

#include <algorithm>
#include <string>
#include <vector>

#include "formdb/FormDatabase.h"
#include "tests/pages/DialogDriver.h"
#include "tests/pages/FormPageFixture.h"
#include "tests/pages/NamedFieldsPdf.h"

namespace {

// One column of every row of a query, as SQLite gives it.
std::vector<std::string> Query(const std::wstring& database, const char* sql)
{
    std::vector<std::string> values;
    sqlite3* db = nullptr;
    if (sqlite3_open16(database.c_str(), &db) == SQLITE_OK)
    {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) == SQLITE_OK)
            while (sqlite3_step(statement) == SQLITE_ROW)
                values.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)),
                                    static_cast<size_t>(sqlite3_column_bytes(statement, 0)));
        sqlite3_finalize(statement);
    }
    sqlite3_close(db);
    return values;
}

} // namespace

TEST(RegisterFieldNames, FullWidthSeparatorsStayInsideTheirNames)
{
    FormPageFixture fixture;
    ASSERT_TRUE(WriteWholeFile(fixture.store.File(L"claim.pdf"),
                               FormWithFields({L"Name\uFF5CX", L"\uFF3BA\uFF3D", L"\uFF4A\uFF4A\uFF4A\uFF4A"})));
    DialogDriver driver;
    driver.OnDialog(L"New Forms Registration", [](HWND dialog) { ClickButton(dialog, IDOK); });
    driver.Then([&] {
        // A refused registration keeps the dialog open with its message: end it so the test goes on.
        HWND dialog = FindThreadDialog(L"New Forms Registration");
        if (dialog && !fixture.boxes.empty())
            ClickButton(dialog, IDCANCEL);
        return !dialog || !fixture.boxes.empty();
    });
    fixture.ShowPage();
    ASSERT_TRUE(PumpUntil([&] { return driver.Idle(); }));

    ASSERT_EQ(FormRegistration::Registered, CheckFormRegistration(fixture.Database()));
    for (const RecordedBox& box : fixture.boxes)
        ADD_FAILURE() << "message shown: " << CStringA(box.caption.c_str()).GetString() << ": "
                      << CStringA(box.text.c_str()).GetString();
    // Python's cp1252 codec with errors="replace" narrows the three names to these bytes.
    const std::vector<std::string> fields = {"Name?X", "?A?", "????"};
    std::vector<std::string> expected = fields;
    expected.insert(expected.end(), {"submdate", "fxml"});
    EXPECT_EQ(expected, Query(fixture.Database(), "SELECT name FROM pragma_table_info('submissions')"));
    expected.push_back("RSRV_TEMPLATE_NAME");
    EXPECT_EQ(expected, Query(fixture.Database(), "SELECT name FROM pragma_table_info('templates')"));
    const std::vector<std::string> list = Query(fixture.Database(), "SELECT formcolumns FROM FormInfo");
    ASSERT_EQ(1u, list.size());
    for (size_t i = 0; i < fields.size(); ++i)
        EXPECT_NE(std::string::npos, list[0].find("jjjj" + std::to_string(i) + "j" + fields[i])) << list[0];
    EXPECT_EQ(2u, std::count(list[0].begin(), list[0].end(), '|')) << list[0];
}

TEST(RegisterFieldNames, TwoNamesOfOneColumnAreBothNamedAndNothingIsMade)
{
    FormPageFixture fixture;
    ASSERT_TRUE(WriteWholeFile(fixture.store.File(L"claim.pdf"),
                               FormWithFields({L"Plan", L"\u540d\u524d", L"\u4f4f\u6240"})));
    DialogDriver driver;
    driver.OnDialog(L"New Forms Registration", [](HWND dialog) { ClickButton(dialog, IDOK); });
    bool openAfterMessage = false;
    driver.Then([&] {
        if (fixture.boxes.empty())
            return false;
        HWND dialog = FindThreadDialog(L"New Forms Registration");
        openAfterMessage = dialog != nullptr;
        if (dialog)
            ClickButton(dialog, IDCANCEL);
        return true;
    });
    fixture.ShowPage();
    ASSERT_TRUE(PumpUntil([&] { return driver.Idle(); }));

    EXPECT_TRUE(openAfterMessage);
    ASSERT_FALSE(fixture.boxes.empty());
    EXPECT_EQ(L"The fields \"\u540d\u524d\" and \"\u4f4f\u6240\" would both be stored in the column \"??\".",
              fixture.boxes[0].text);
    EXPECT_EQ(L"get_db_fieldnames ERROR", fixture.boxes[0].caption);
    EXPECT_EQ(FormRegistration::Missing, CheckFormRegistration(fixture.Database()));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW(fixture.Database().c_str()));
}
