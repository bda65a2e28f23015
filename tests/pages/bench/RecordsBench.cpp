// Records page benchmark, on the claim form's database as the program writes it (every field filled,
// the form XML of each record, the page size and tables of registration). Run by run_records.sh:
//   records_bench make <folder> <claim form pdf> <records>   the database <folder>\CMS1500.gdb
//   records_bench show <folder> <records> [delete]          one run in a process of its own: showing
//       the records page through the page's own fill (section by section), the record bar's search
//       for a name and for a text every row holds (time and memory its marks add), a header-click
//       sort, with "delete" the page's delete of 1,000 selected rows, then SQLite's own read of the
//       list's columns; figures as "name: value" lines, then the peak working set.
#include <windows.h>
#include <psapi.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>
#include "ClaimDatabase.h"
#include "formdb/Database.h"
#include "formdb/FieldNames.h"
#include "formdb/RecordsDatabase.h"
#include "grid/GridCell.h"
#include "grid/GridCtrl.h"
#include "pages/FormPageHost.h"
#include "pages/RecordsGrid.h"

namespace {

double Now()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER counter;
    ::QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

[[noreturn]] void Fail(const std::string& what)
{
    std::printf("records_bench: %s\n", what.c_str());
    std::exit(1);
}

// A small deterministic generator, so every run fills the same database.
struct Random
{
    unsigned state;
    unsigned Next()
    {
        state = state * 1103515245u + 12345u;
        return (state >> 8) & 0xFFFFFF;
    }
    unsigned Below(unsigned n) { return Next() % n; }
};

const char* const LAST_NAMES[] = {"SMITH", "JOHNSON", "WILLIAMS", "BROWN", "JONES", "GARCIA", "MILLER", "DAVIS",
                                  "RODRIGUEZ", "MARTINEZ", "HERNANDEZ", "LOPEZ", "GONZALEZ", "WILSON", "ANDERSON",
                                  "THOMAS", "TAYLOR", "MOORE", "JACKSON", "MARTIN", "LEE", "PEREZ", "THOMPSON",
                                  "WHITE", "HARRIS", "SANCHEZ", "CLARK", "RAMIREZ", "LEWIS", "ROBINSON"};
const char* const FIRST_NAMES[] = {"JAMES", "MARY", "ROBERT", "PATRICIA", "JOHN", "JENNIFER", "MICHAEL", "LINDA",
                                   "DAVID", "ELIZABETH", "WILLIAM", "BARBARA", "RICHARD", "SUSAN", "JOSEPH", "JESSICA"};
const char* const STREETS[] = {"MAIN ST", "OAK AVE", "MAPLE DR", "CEDAR LN", "PINE ST", "ELM ST", "WASHINGTON BLVD",
                               "LAKE RD", "HILL ST", "PARK AVE"};
const char* const CITIES[] = {"SPRINGFIELD", "RIVERSIDE", "FRANKLIN", "GREENVILLE", "BRISTOL", "CLINTON",
                              "FAIRVIEW", "SALEM", "MADISON", "GEORGETOWN"};
const char* const STATES[] = {"NY", "NJ", "PA", "OH", "CA", "TX", "FL", "IL", "MA", "GA"};
const char* const DIAGNOSES[] = {"J45.909", "E11.9", "I10", "M54.5", "Z00.00", "R51", "J06.9", "K21.9"};
const char* const PROCEDURES[] = {"99213", "99214", "99203", "93000", "36415", "81002", "90471", "97110"};

template <size_t N> const char* Pick(Random& random, const char* const (&list)[N])
{
    return list[random.Below(N)];
}

bool Has(const char* name, const char* part)
{
    return std::strstr(name, part) != nullptr;
}

// A value of realistic length for a field, judged by its name: names, addresses, dates, amounts
// and codes, mostly short. Every field is filled, as on the claims the export benchmark stores.
std::string FieldValue(const char* name, bool checkBox, Random& random)
{
    char text[96];
    if (checkBox)
        return "YES";
    if (Has(name, "NAME"))
    {
        std::snprintf(text, sizeof text, "%s, %s %c", Pick(random, LAST_NAMES), Pick(random, FIRST_NAMES),
                      static_cast<char>('A' + random.Below(26)));
        return text;
    }
    if (Has(name, "ADDRESS") || Has(name, "Address"))
    {
        std::snprintf(text, sizeof text, "%u %s", 1 + random.Below(9999), Pick(random, STREETS));
        return text;
    }
    if (Has(name, "CITY"))
        return Pick(random, CITIES);
    if (Has(name, "STATE"))
        return Pick(random, STATES);
    if (Has(name, "ZIP"))
    {
        std::snprintf(text, sizeof text, "%05u", random.Below(100000));
        return text;
    }
    if (Has(name, "AREA_CODE"))
    {
        std::snprintf(text, sizeof text, "%03u", 200 + random.Below(800));
        return text;
    }
    if (Has(name, "PHONE"))
    {
        std::snprintf(text, sizeof text, "%03u-%04u", 200 + random.Below(800), random.Below(10000));
        return text;
    }
    if (Has(name, "DATE") || Has(name, "From") || Has(name, "To_") || Has(name, "_MM") || Has(name, "DOB"))
    {
        std::snprintf(text, sizeof text, "%02u/%02u/%04u", 1 + random.Below(12), 1 + random.Below(28),
                      1940 + random.Below(86));
        return text;
    }
    if (Has(name, "dollars") || Has(name, "CHARGE") || Has(name, "PAID") || Has(name, "Due"))
    {
        std::snprintf(text, sizeof text, "%u", 15 + random.Below(2500));
        return text;
    }
    if (Has(name, "cents"))
    {
        std::snprintf(text, sizeof text, "%02u", random.Below(100));
        return text;
    }
    if (Has(name, "DIAGNOSIS") || Has(name, "ICD") || Has(name, "_21_"))
        return Pick(random, DIAGNOSES);
    if (Has(name, "CPT") || Has(name, "PROCEDURE"))
        return Pick(random, PROCEDURES);
    if (Has(name, "NPI") || Has(name, "ID") || Has(name, "NUMBER") || Has(name, "Number"))
    {
        std::snprintf(text, sizeof text, "%04u%06u", 1000 + random.Below(9000), random.Below(1000000));
        return text;
    }
    // Short codes: modifiers, units, pointers, qualifiers.
    std::snprintf(text, sizeof text, "%c%u", static_cast<char>('A' + random.Below(26)), random.Below(100));
    return text;
}

// A realistic value for every field, the same for the same record whatever the run.
std::wstring RealisticValue(const pdf::FormField& field, const std::wstring& column, int index, int record)
{
    Random random = {static_cast<unsigned>(record) * 7919u + static_cast<unsigned>(index) * 104729u};
    random.Next();
    const std::string name(column.begin(), column.end());
    std::string value = FieldValue(name.c_str(), field.type != pdf::FieldType::Text, random);
    if (field.maxLength > 0 && value.size() > static_cast<size_t>(field.maxLength))
        value.resize(static_cast<size_t>(field.maxLength));
    return std::wstring(value.begin(), value.end());
}

std::wstring DatabasePath(const std::wstring& folder)
{
    return folder + L"\\CMS1500.gdb";
}

int Make(const std::wstring& folder, const std::wstring& formPath, int records)
{
    const ClaimFormFields form = ReadClaimFormFields(formPath);
    const MadeDatabase made = MakeClaimDatabase(DatabasePath(folder), form, records, RealisticValue);
    std::printf("database: %d records of %u fields, %.0f bytes of form XML a record, made in %.1f s\n", records,
                static_cast<unsigned>(form.keys.size()), made.xmlBytesPerRecord, made.seconds);
    return 0;
}

// The view's side of the records page, as far as the grid's fill and delete ask for it: the store
// folder holds the form's database.
class BenchHost : public FormPageHost
{
public:
    explicit BenchHost(const CString& store) : m_store(store) {}
    CString GetProgramFolder() const override { return m_store; }
    CString GetStoreFolder() const override { return m_store; }
    CString GetFormName() const override { return L"CMS1500"; }
    CString GetUpdatesAddress() const override { return CString(); }
    int GetCurrentRecordId() const override { return m_record; }
    void SetCurrentRecordId(int id) override { m_record = id; }
    int GetTemplateFlag() const override { return 0; }
    void SetTemplateFlag(int) override {}
    void SetLastTemplateName(const CString&) override {}
    BOOL IsFormLoaded() const override { return FALSE; }
    void SetFormLoaded(BOOL) override {}
    void ShowRecordsPage() override {}
    CWnd* GetMainFrame() const override { return nullptr; }

private:
    CString m_store;
    int m_record = -1;
};

// SQLite's own read of the list's columns from submissions, as the page reads them: every row stepped and
// every column's text taken as UTF-16.
double SqliteRead(const std::wstring& dbPath, int& rows)
{
    double start = Now();
    Database db;
    if (!db.Open(dbPath.c_str(), DatabaseAccess::ReadOnly))
        Fail(std::string("open: ") + db.ErrorText());
    const FormColumnsText fieldList = ReadFormColumnsText(dbPath);
    const FieldNameList names = ParseFieldNames(fieldList.text, kOrderByFieldIndex);
    if (!fieldList.ok || names.count <= 0)
        Fail("the form's columns could not be read");
    const std::string& columns = names.columns;
    const std::string sql = "select _ROWID_, submdate, " + columns + " from submissions";
    sqlite3_stmt* select = nullptr;
    if (sqlite3_prepare_v2(db.Handle(), sql.c_str(), -1, &select, nullptr) != SQLITE_OK)
        Fail(std::string("prepare: ") + sqlite3_errmsg(db.Handle()));
    const int count = sqlite3_column_count(select);
    size_t characters = 0;
    rows = 0;
    while (sqlite3_step(select) == SQLITE_ROW)
    {
        ++rows;
        for (int c = 0; c < count; c++)
            if (sqlite3_column_text16(select, c))
                characters += static_cast<size_t>(sqlite3_column_bytes16(select, c)) / 2;
    }
    sqlite3_finalize(select);
    return characters > 0 ? Now() - start : -1;
}

struct Memory
{
    double peakWorkingSet = 0; // MB
    double privateBytes = 0;   // MB committed by the process
};

Memory MemoryNow()
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    Memory memory;
    if (::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof(counters)))
    {
        memory.peakWorkingSet = counters.PeakWorkingSetSize / 1048576.0;
        memory.privateBytes = counters.PagefileUsage / 1048576.0;
    }
    return memory;
}

// The record bar's search: marks every row whose cell under the heading holds the text.
double Search(CGridCtrl& grid, const CString& heading, const wchar_t* text, int& found)
{
    double start = Now();
    found = MarkRowsContaining(grid, heading, text, RGB(255, 255, 0));
    grid.SetSelectedRange(-1, -1, -1, -1, TRUE);
    grid.Invalidate();
    return Now() - start;
}

int Show(const std::wstring& folder, int records, bool remove)
{
    ::OleInitialize(nullptr);
    const std::wstring dbPath = DatabasePath(folder);
    HWND owner = ::CreateWindowExW(0, L"STATIC", L"bench", WS_POPUP, 0, 0, 1280, 1024, nullptr, nullptr,
                                   ::GetModuleHandleW(nullptr), nullptr);
    CGridCtrl grid;
    if (!grid.Create(CRect(0, 60, 1280, 1024), CWnd::FromHandle(owner), 778, WS_CHILD | WS_VISIBLE | WS_BORDER))
        Fail("grid window could not be created");
    BenchHost host(CString(folder.c_str()) + L"\\");

    // Showing the records page as the page does it: the grid filled from the database, every column
    // auto-sized over its header and data rows and given its allowance.
    const int kWidthAllowance = 20;
    double start = Now();
    if (LoadRecordGrids(grid, host) != 0)
        Fail("the records grid could not be filled");
    const double load = Now() - start;
    const Memory afterFill = MemoryNow();
    double mark = Now();
    grid.AutoSizeColumns(GVS_BOTH);
    const double autoSize = Now() - mark;
    for (int col = 0; col < grid.GetColumnCount(); col++)
        grid.SetColumnWidth(col, grid.GetColumnWidth(col) + kWidthAllowance);
    const double shown = Now() - start;
    const Memory afterShow = MemoryNow();
    if (grid.GetRowCount() != records + 1)
        Fail("the grid holds " + std::to_string(grid.GetRowCount()) + " rows, not " + std::to_string(records + 1));
    std::printf("show: %.1f\nquery and fill: %.1f\nauto-size: %.1f\npeak after fill: %.1f\npeak after show: %.1f\n"
                "private bytes after fill: %.1f\nprivate bytes after show: %.1f\n",
                shown, load, autoSize, afterFill.peakWorkingSet, afterShow.peakWorkingSet, afterFill.privateBytes,
                afterShow.privateBytes);

    int lastName = -1;
    for (int col = 0; col < grid.GetColumnCount(); col++)
        if (std::wcsstr(grid.GetItemText(0, col).GetString(), L"PATIENT_S_NAME"))
            lastName = col;
    if (lastName < 0)
        Fail("no patient name column");
    int found = 0;
    const double searchName = Search(grid, grid.GetItemText(0, lastName), L"GARCIA", found);
    if (found == 0)
        Fail("the name search found nothing");
    std::printf("search for a name: %.1f\nrows found: %d\n", searchName, found);

    // Every record row holds its save date's year under the first heading: every row is marked.
    const Memory beforeMarks = MemoryNow();
    const size_t blocksBefore = CGridCell::LiveAttributeBlocks();
    const double searchAll = Search(grid, grid.GetItemText(0, 0), L"2026", found);
    const Memory afterMarks = MemoryNow();
    if (found != records)
        Fail("the search for every row found " + std::to_string(found));
    std::printf("search marking every row: %.1f\nmarks memory: %.1f\nmarks attribute blocks: %u\n", searchAll,
                afterMarks.privateBytes - beforeMarks.privateBytes,
                static_cast<unsigned>(CGridCell::LiveAttributeBlocks() - blocksBefore));
    start = Now();
    ClearGridHighlight(&grid);
    std::printf("marks cleared: %.1f\n", Now() - start);

    CCellID clicked(0, lastName);
    start = Now();
    grid.OnFixedRowClick(clicked);
    std::printf("header-click sort: %.1f\n", Now() - start);

    if (remove)
    {
        const int first = records / 3;
        grid.SetSelectedRange(first, 1, first + 999, grid.GetColumnCount() - 1, FALSE);
        start = Now();
        if (DeleteSelectedRows(grid, host) != 0)
            Fail("deleting the selected rows failed");
        std::printf("delete 1,000 selected rows: %.1f\n", Now() - start);
        if (grid.GetRowCount() != records + 1 - 1000)
            Fail("the grid holds " + std::to_string(grid.GetRowCount()) + " rows after the delete");
    }
    grid.DestroyWindow();
    ::DestroyWindow(owner);

    // The form layer's read alone: every row handed over as the fill gets it, with no grid.
    start = Now();
    size_t bytes = 0;
    const RecordListResult listed = ReadRecordList(
        dbPath, [](const RecordListColumns&) { return true; },
        [&](const StoredRecordRow& row) {
            for (const std::string_view& cell : *row.cells)
                bytes += cell.size();
            return true;
        });
    if (!listed.ok || bytes == 0)
        Fail("reading the list failed: " + listed.message);
    std::printf("list read alone, no grid (warm): %.1f\n", Now() - start);

    int rows = 0;
    const double read = SqliteRead(dbPath, rows);
    std::printf("SQLite's own read (warm): %.1f\nrows read: %d\n", read, rows);
    std::printf("peak working set: %.1f\n", MemoryNow().peakWorkingSet);
    return 0;
}

} // namespace

int main()
{
    int argc = 0;
    wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    if (!argv)
        return 2;
    const std::wstring mode = argc > 1 ? argv[1] : L"";
    if (mode == L"make" && argc == 5)
        return Make(argv[2], argv[3], std::max(1, _wtoi(argv[4])));
    if (mode == L"show" && (argc == 4 || (argc == 5 && std::wstring(argv[4]) == L"delete")))
    {
        const int records = _wtoi(argv[3]);
        if (records < 2000)
            Fail("at least 2000 records");
        return Show(argv[2], records, argc == 5);
    }
    std::fprintf(stderr, "usage: records_bench make <folder> <claim form pdf> <records>\n"
                         "       records_bench show <folder> <records> [delete]\n");
    return 2;
}
