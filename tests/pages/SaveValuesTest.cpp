// Values kept whole from the form to the database, on the real form page with the sample claim form:
// "|" and "=" typed into a field, non-ASCII text in columns and template names (SQLite reads the
// bytes back), no typed value in the log, and Update and Save that stores nothing keeping the record.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <string>
#include <vector>

#include "formdb/FormDatabase.h"
#include "tests/pages/DialogDriver.h"
#include "tests/pages/FormPageFixture.h"

namespace {

const wchar_t kRegistrationCaption[] = L"New Forms Registration";
const int kSaveAsNew = 1015;
const int kSaveAsTemplate = 1016;
const int kUpdateAndSave = 1022;

std::string Utf8(const std::wstring& text)
{
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(bytes - 1, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &out[0], bytes, nullptr, nullptr);
    return out;
}

// One table's rows as SQLite itself reads them: column names and each cell's bytes.
struct Table
{
    std::vector<std::string> columns;
    std::vector<std::vector<std::string>> rows;

    std::string Cell(size_t row, const std::string& column) const
    {
        for (size_t i = 0; i < columns.size(); ++i)
            if (columns[i] == column)
                return rows.at(row).at(i);
        ADD_FAILURE() << "no column " << column;
        return std::string();
    }
    // The column of the row whose cell holds exactly these bytes; empty when none does.
    std::string ColumnHolding(size_t row, const std::string& bytes) const
    {
        for (size_t i = 0; i < columns.size(); ++i)
            if (rows.at(row).at(i) == bytes)
                return columns[i];
        return std::string();
    }
};

Table Read(const std::wstring& path, const std::string& sql)
{
    Table table;
    sqlite3* db = nullptr;
    EXPECT_EQ(SQLITE_OK, sqlite3_open_v2(Utf8(path).c_str(), &db, SQLITE_OPEN_READWRITE, nullptr));
    sqlite3_stmt* stmt = nullptr;
    EXPECT_EQ(SQLITE_OK, sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr)) << sqlite3_errmsg(db);
    for (int i = 0; stmt && i < sqlite3_column_count(stmt); ++i)
        table.columns.push_back(sqlite3_column_name(stmt, i));
    int rc = SQLITE_DONE;
    while (stmt && (rc = sqlite3_step(stmt)) == SQLITE_ROW)
    {
        std::vector<std::string> row;
        for (int i = 0; i < sqlite3_column_count(stmt); ++i)
        {
            const char* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, i));
            row.push_back(text ? std::string(text, sqlite3_column_bytes(stmt, i)) : std::string());
        }
        table.rows.push_back(row);
    }
    EXPECT_EQ(SQLITE_DONE, rc) << sqlite3_errmsg(db);
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return table;
}

void Execute(const std::wstring& path, const std::string& sql)
{
    sqlite3* db = nullptr;
    ASSERT_EQ(SQLITE_OK, sqlite3_open_v2(Utf8(path).c_str(), &db, SQLITE_OPEN_READWRITE, nullptr));
    char* error = nullptr;
    EXPECT_EQ(SQLITE_OK, sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error)) << (error ? error : "");
    sqlite3_free(error);
    sqlite3_close(db);
}

// Shows the page on a registered claim form: the first call registers through the dialog, later ones
// start from a copy of that database.
void ShowRegistered(FormPageFixture& fixture)
{
    static std::string registered;
    if (registered.empty())
    {
        DialogDriver driver;
        driver.OnDialog(kRegistrationCaption, [](HWND dialog) { ClickButton(dialog, IDOK); });
        fixture.ShowPage();
        ASSERT_EQ(FormRegistration::Registered, CheckFormRegistration(fixture.Database()));
        registered = ReadWholeFile(fixture.Database());
    }
    else
    {
        ASSERT_TRUE(WriteWholeFile(fixture.Database(), registered));
        fixture.ShowPage();
    }
    ASSERT_TRUE(PumpUntil([&] { return fixture.FormEdits().size() >= 2; }));
}

// Shows the current record in the form again, as opening it from the records page does.
void Reopen(FormPageFixture& fixture, const std::wstring& expectedFirstText)
{
    fixture.HidePage();
    fixture.ShowPage();
    ASSERT_TRUE(PumpUntil([&] {
        const std::vector<HWND> edits = fixture.FormEdits();
        wchar_t text[256] = {};
        if (!edits.empty())
            GetWindowTextW(edits[0], text, 256);
        return std::wstring(text) == expectedFirstText;
    }));
    ASSERT_TRUE(IsWindowEnabled(fixture.Button(kUpdateAndSave)));
}

void Type(HWND edit, const std::wstring& text)
{
    SetWindowTextW(edit, text.c_str()); // sends EN_CHANGE as typing does
}

// The entry of the stored field list whose column is named so; its key is the part before "jjjj".
std::string FieldListEntryOf(const std::wstring& db, const std::string& column)
{
    const std::string list = Read(db, "SELECT formcolumns FROM FormInfo").Cell(0, "formcolumns");
    size_t start = 0;
    for (size_t index = 0;; ++index)
    {
        const size_t bar = list.find('|', start);
        const std::string entry = list.substr(start, bar == std::string::npos ? std::string::npos : bar - start);
        const size_t marker = entry.find("jjjj");
        if (marker != std::string::npos && entry.substr(entry.find('j', marker + 4) + 1) == column)
            return std::to_string(index) + ":" + entry.substr(0, marker);
        if (bar == std::string::npos)
            return std::string();
        start = bar + 1;
    }
}

void SaveTemplateNamed(FormPageFixture& fixture, const std::wstring& name)
{
    DialogDriver driver;
    driver.OnDialog(L"Formstead", [name](HWND dialog) {
        SetDlgItemTextW(dialog, 1023, name.c_str());
        ClickButton(dialog, IDOK);
    });
    fixture.ClickSave(kSaveAsTemplate);
}

// The log file the program writes beside itself; removed before and after each test that reads it.
class ModuleLog
{
public:
    ModuleLog()
    {
        wchar_t program[MAX_PATH] = {};
        GetModuleFileNameW(nullptr, program, MAX_PATH);
        m_path = std::wstring(program) + L".log";
        DeleteFileW(m_path.c_str());
    }
    ~ModuleLog() { DeleteFileW(m_path.c_str()); }
    std::string Text() const { return ReadWholeFile(m_path); }

private:
    std::wstring m_path;
};

} // namespace

TEST(SaveValues, BarAndEqualsInAValueStayInItsOwnColumn)
{
    FormPageFixture fixture;
    ShowRegistered(fixture);
    const std::wstring db = fixture.Database();
    std::vector<HWND> edits = fixture.FormEdits();

    // Which columns two edits fill, and the keys the form gives those fields.
    Type(edits[0], L"probe-one");
    Type(edits[1], L"probe-two");
    fixture.ClickSave(kSaveAsNew);
    const Table probe = Read(db, "SELECT * FROM submissions");
    ASSERT_EQ(1u, probe.rows.size());
    const std::string columnOne = probe.ColumnHolding(0, "probe-one");
    const std::string columnTwo = probe.ColumnHolding(0, "probe-two");
    ASSERT_FALSE(columnOne.empty());
    ASSERT_FALSE(columnTwo.empty());
    const std::string entryOne = FieldListEntryOf(db, columnOne), entryTwo = FieldListEntryOf(db, columnTwo);
    ASSERT_FALSE(entryOne.empty());
    ASSERT_FALSE(entryTwo.empty());
    // The field that comes first in the reply carries the other one's key in its value.
    const bool oneFirst = std::stoi(entryOne) < std::stoi(entryTwo);
    const HWND carrier = oneFirst ? edits[0] : edits[1];
    const HWND target = oneFirst ? edits[1] : edits[0];
    const std::string carrierColumn = oneFirst ? columnOne : columnTwo;
    const std::string targetColumn = oneFirst ? columnTwo : columnOne;
    const std::string targetKey = (oneFirst ? entryTwo : entryOne).substr((oneFirst ? entryTwo : entryOne).find(':') + 1);

    const std::wstring wideKey(targetKey.begin(), targetKey.end());
    Type(carrier, L"X|" + wideKey + L"=HACKED 100%7C");
    Type(target, L"Real Name");
    fixture.ClickSave(kSaveAsNew);
    const Table rows = Read(db, "SELECT * FROM submissions WHERE _ROWID_=" + std::to_string(fixture.host.recordId));
    ASSERT_EQ(1u, rows.rows.size());
    EXPECT_EQ("Real Name", rows.Cell(0, targetColumn));
    EXPECT_EQ("X|" + targetKey + "=HACKED 100%7C", rows.Cell(0, carrierColumn));
    EXPECT_EQ("", rows.ColumnHolding(0, "HACKED 100%7C"));
    EXPECT_NE(std::string::npos, rows.Cell(0, "fxml").find(">Real Name<"));
    EXPECT_TRUE(fixture.boxes.empty());
}

TEST(SaveValues, NonAsciiTextIsStoredAsUtf8AndTheFormXmlKeepsItAsReferences)
{
    FormPageFixture fixture;
    ShowRegistered(fixture);
    const std::wstring db = fixture.Database();
    const std::string mueller = "M\xC3\xBCller \xE6\x97\xA5\xE6\x9C\xAC"; // "Müller 日本"

    Type(fixture.FormEdits()[0], L"M\u00FCller \u65E5\u672C");
    fixture.ClickSave(kSaveAsNew);
    const Table record = Read(db, "SELECT * FROM submissions");
    ASSERT_EQ(1u, record.rows.size());
    EXPECT_FALSE(record.ColumnHolding(0, mueller).empty());
    EXPECT_NE(std::string::npos, record.Cell(0, "fxml").find(">M&#252;ller &#26085;&#26412;<"));

    // A template under a non-ANSI name, opened again and updated: the name stays whole.
    SaveTemplateNamed(fixture, L"Zo\u00EB \u65E5");
    ASSERT_EQ(1, fixture.host.templateFlag);
    Table templates = Read(db, "SELECT RSRV_TEMPLATE_NAME FROM templates");
    ASSERT_EQ(1u, templates.rows.size());
    EXPECT_EQ("Zo\xC3\xAB \xE6\x97\xA5", templates.rows[0][0]);
    Reopen(fixture, L"M\u00FCller \u65E5\u672C");
    Type(fixture.FormEdits()[0], L"\u00C9mile");
    fixture.ClickSave(kUpdateAndSave);
    templates = Read(db, "SELECT _ROWID_, RSRV_TEMPLATE_NAME FROM templates");
    ASSERT_EQ(1u, templates.rows.size());
    EXPECT_EQ(std::to_string(fixture.host.recordId), templates.rows[0][0]);
    EXPECT_EQ("Zo\xC3\xAB \xE6\x97\xA5", templates.rows[0][1]);

    // A template named by an older version in ANSI ("Zoë") gets its name back as UTF-8.
    Execute(db, "UPDATE templates SET RSRV_TEMPLATE_NAME=CAST(X'5A6FEB' AS TEXT)");
    Reopen(fixture, L"\u00C9mile");
    fixture.ClickSave(kUpdateAndSave);
    templates = Read(db, "SELECT RSRV_TEMPLATE_NAME FROM templates");
    ASSERT_EQ(1u, templates.rows.size());
    EXPECT_EQ("Zo\xC3\xAB", templates.rows[0][0]);
    EXPECT_TRUE(fixture.boxes.empty());
}

TEST(SaveValues, UpdateAndSaveLogsTheReplySizeButNoTypedValue)
{
    FormPageFixture fixture;
    ShowRegistered(fixture);
    ModuleLog log;
    Type(fixture.FormEdits()[0], L"Jones-Smith");
    Type(fixture.FormEdits()[1], L"Secret Street 12");
    fixture.ClickSave(kSaveAsNew);
    Reopen(fixture, L"Jones-Smith");
    Type(fixture.FormEdits()[0], L"Jones-Miller");
    fixture.ClickSave(kUpdateAndSave);

    const std::string logged = log.Text();
    ASSERT_NE(std::string::npos, logged.find("SaveAndUpdate:Finish"));
    for (const char* typed : {"Jones", "Secret", "Street", "Miller"})
        EXPECT_EQ(std::string::npos, logged.find(typed)) << typed;
    // One entry per field of the form: the columns of submissions besides submdate and fxml.
    const size_t fields = Read(fixture.Database(), "PRAGMA table_info(submissions)").rows.size() - 2;
    const std::string line = "\r\nData received: " + std::to_string(fixture.page.m_buttons.m_strReply.GetLength()) +
                             " characters, " + std::to_string(fields) + " fields\r\nData Save\r\n";
    EXPECT_NE(std::string::npos, logged.find(line)) << logged;
}

TEST(SaveValues, UpdateOfATemplateDeletedMeanwhileSaysSoAndStoresNothing)
{
    FormPageFixture fixture;
    ShowRegistered(fixture);
    const std::wstring db = fixture.Database();
    Type(fixture.FormEdits()[0], L"Acme");
    SaveTemplateNamed(fixture, L"Acme default");
    const int gone = fixture.host.recordId;
    ASSERT_GT(gone, 0);
    Reopen(fixture, L"Acme");
    Execute(db, "DELETE FROM templates");

    Type(fixture.FormEdits()[0], L"Acme 2");
    const int shown = fixture.host.recordsPageShown;
    ::PostMessageW(fixture.Button(kUpdateAndSave), BM_CLICK, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return !fixture.boxes.empty(); }));
    EXPECT_EQ(L"The template being updated (template number " + std::to_wstring(gone) +
                  L") no longer exists: it was deleted meanwhile. Nothing was saved.",
              fixture.boxes[0].text);
    EXPECT_EQ(L"Formstead", fixture.boxes[0].caption);
    EXPECT_TRUE(Read(db, "SELECT * FROM templates").rows.empty());
    EXPECT_TRUE(Read(db, "SELECT * FROM submissions").rows.empty());
    // The form page stays, with what was typed.
    EXPECT_EQ(shown, fixture.host.recordsPageShown);
    EXPECT_EQ(gone, fixture.host.recordId);
    EXPECT_EQ(1, fixture.host.templateFlag);
}

TEST(SaveValues, UpdateThatStoresNothingKeepsTheCurrentRecord)
{
    FormPageFixture fixture;
    ShowRegistered(fixture);
    const std::wstring db = fixture.Database();
    Type(fixture.FormEdits()[0], L"Jones");
    fixture.ClickSave(kSaveAsNew);
    const int old = fixture.host.recordId;
    ASSERT_GT(old, 0);

    // The database refuses the new row.
    Reopen(fixture, L"Jones");
    Execute(db, "CREATE TRIGGER refuse BEFORE INSERT ON submissions BEGIN SELECT RAISE(ABORT, 'disk says no'); END");
    Type(fixture.FormEdits()[0], L"Smith");
    fixture.ClickSave(kUpdateAndSave);
    ASSERT_EQ(1u, fixture.boxes.size());
    EXPECT_EQ(L"SQL error: disk says no\n", fixture.boxes[0].text);
    EXPECT_EQ(old, fixture.host.recordId);
    Table rows = Read(db, "SELECT _ROWID_ FROM submissions");
    ASSERT_EQ(1u, rows.rows.size());
    EXPECT_EQ(std::to_string(old), rows.rows[0][0]);

    // Every value empty: nothing stored, the old record stays current.
    Execute(db, "DROP TRIGGER refuse");
    Reopen(fixture, L"Jones");
    for (HWND edit : fixture.FormEdits())
        Type(edit, L"");
    fixture.ClickSave(kUpdateAndSave);
    ASSERT_EQ(2u, fixture.boxes.size());
    EXPECT_EQ(L"The document data is not compatible with the DB structure or is empty", fixture.boxes[1].text);
    EXPECT_EQ(old, fixture.host.recordId);
    EXPECT_EQ(1u, Read(db, "SELECT * FROM submissions").rows.size());
}
