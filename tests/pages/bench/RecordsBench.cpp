// Records page benchmark: makes a claim-form database of N records x 225 fields in a temporary
// folder, then times SQLite's own read of every row, showing the records page through the page's own
// fill (section by section), a search that marks rows yellow, a header-click sort and the page's
// delete of 1,000 selected rows, several runs each, and prints the median, the slowest and the peak
// working set. Run by hand:
//   records_bench.exe [records] [runs]     (default 10000 records, 5 runs)
#include <windows.h>
#include <psapi.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>
#include "sqlite3.h"
#include "ClaimFieldNames.h"
#include "formdb/FieldNames.h"
#include "formdb/RecordsDatabase.h"
#include "formdb/StoredText.h"
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

void Fail(const char* what, sqlite3* db)
{
    std::printf("%s: %s\n", what, db ? sqlite3_errmsg(db) : "");
    std::exit(1);
}

void Exec(sqlite3* db, const char* sql)
{
    if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        Fail(sql, db);
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
// and codes, mostly short; a service line beyond the first few and many optional fields are empty.
std::string FieldValue(const ClaimField& field, Random& random)
{
    const char* name = field.name;
    char text[96];
    if (field.checkBox)
        return random.Below(4) == 0 ? "X" : "";
    // Service lines 3 to 6 are filled on few claims; other optional fields on some.
    if ((Has(name, "_3_") || Has(name, "_4_") || Has(name, "_5_") || Has(name, "_6_")) && Has(name, "_24"))
        if (random.Below(5) != 0)
            return "";
    if (random.Below(4) == 0)
        return "";
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

// The form's database as registration lays it out, with `records` submissions.
void MakeDatabase(const std::string& path, int records, FieldNameList& fields)
{
    std::string fieldList;
    for (int i = 0; i < CLAIM_FIELD_COUNT; i++)
    {
        if (i)
            fieldList += '|';
        fieldList += "jjjj" + std::to_string(CLAIM_FIELDS[i].number) + "j" + CLAIM_FIELDS[i].name;
    }
    fields = ParseFieldNames(fieldList, kOrderByFieldIndex);
    if (fields.count != CLAIM_FIELD_COUNT)
    {
        std::printf("the field list gave %d names: %s\n", fields.count, fields.error.c_str());
        std::exit(1);
    }
    sqlite3* db = nullptr;
    if (sqlite3_open(path.c_str(), &db) != SQLITE_OK)
        Fail("open", db);
    Exec(db, "BEGIN");
    Exec(db, "CREATE TABLE FormInfo (RegDate,formcolumns, frozen,zoomfactor,formtype)");
    sqlite3_stmt* info = nullptr;
    if (sqlite3_prepare_v2(db, "INSERT INTO FormInfo VALUES ('1/2/2026', ?, '1', '0,0', 'CMS1500')", -1, &info,
                           nullptr) != SQLITE_OK)
        Fail("prepare FormInfo", db);
    sqlite3_bind_text(info, 1, fieldList.c_str(), -1, SQLITE_TRANSIENT);
    if (sqlite3_step(info) != SQLITE_DONE)
        Fail("insert FormInfo", db);
    sqlite3_finalize(info);
    Exec(db, ("CREATE TABLE submissions (" + fields.columns + ",submdate,fxml)").c_str());
    Exec(db, ("CREATE TABLE templates (" + fields.columns + ",submdate,fxml, RSRV_TEMPLATE_NAME)").c_str());

    std::string sql = "INSERT INTO submissions (" + fields.columns + ",submdate) VALUES (";
    for (int i = 0; i <= CLAIM_FIELD_COUNT; i++)
        sql += i ? ",?" : "?";
    sql += ")";
    sqlite3_stmt* insert = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &insert, nullptr) != SQLITE_OK)
        Fail("prepare insert", db);
    Random random = {20260102u};
    for (int record = 0; record < records; record++)
    {
        for (int i = 0; i < CLAIM_FIELD_COUNT; i++)
        {
            std::string value = FieldValue(CLAIM_FIELDS[i], random);
            sqlite3_bind_text(insert, i + 1, value.c_str(), static_cast<int>(value.size()), SQLITE_TRANSIENT);
        }
        char date[32];
        std::snprintf(date, sizeof date, "%u/%u/%u", 1 + random.Below(12), 1 + random.Below(28),
                      2022 + random.Below(4));
        sqlite3_bind_text(insert, CLAIM_FIELD_COUNT + 1, date, -1, SQLITE_TRANSIENT);
        if (sqlite3_step(insert) != SQLITE_DONE)
            Fail("insert", db);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    Exec(db, "COMMIT");
    sqlite3_close(db);
}

std::string SelectSubmissions(const FieldNameList& fields)
{
    return "select _ROWID_, submdate, " + fields.columns + " from submissions";
}

// SQLite's own read: every row stepped and every column's text taken as UTF-16.
double SqliteRead(sqlite3* db, const std::string& sql, size_t& characters)
{
    double start = Now();
    sqlite3_stmt* select = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &select, nullptr) != SQLITE_OK)
        Fail("prepare select", db);
    int columns = sqlite3_column_count(select);
    characters = 0;
    while (sqlite3_step(select) == SQLITE_ROW)
    {
        for (int c = 0; c < columns; c++)
        {
            const void* text = sqlite3_column_text16(select, c);
            if (text)
                characters += static_cast<size_t>(sqlite3_column_bytes16(select, c)) / 2;
        }
    }
    sqlite3_finalize(select);
    return Now() - start;
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

// The form layer's read alone: every row handed over and every cell decoded, with no grid.
double QueryAndDecode(const std::wstring& dbPath)
{
    double start = Now();
    size_t characters = 0;
    const RecordListResult result = ReadRecordList(
        dbPath, [](const RecordListColumns&) { return true; },
        [&](const StoredRecordRow& row) {
            for (const std::string_view& cell : *row.cells)
                characters += DecodeStoredText(cell.data(), cell.size()).size();
            return true;
        });
    if (!result.ok)
    {
        std::printf("reading the records failed: %s\n", result.message.c_str());
        std::exit(1);
    }
    return Now() - start;
}

// Times of showing the page, section by section.
struct ShowTimes
{
    double clear = 0, load = 0, autoSize = 0, widths = 0;
    double Total() const { return clear + load + autoSize + widths; }
};

// Showing the records page as the page does it: the old list goes, the grid is filled from the
// database, every column is auto-sized over its header and data rows and given its allowance.
ShowTimes ShowPage(CGridCtrl& grid, BenchHost& host)
{
    const int kWidthAllowance = 20;
    ShowTimes times;
    double start = Now();
    grid.DeleteAllItems();
    times.clear = Now() - start;
    start = Now();
    if (LoadRecordGrids(grid, host) != 0)
    {
        std::printf("the records grid could not be filled\n");
        std::exit(1);
    }
    times.load = Now() - start;
    start = Now();
    grid.AutoSizeColumns(GVS_BOTH);
    times.autoSize = Now() - start;
    start = Now();
    for (int col = 0; col < grid.GetColumnCount(); col++)
        grid.SetColumnWidth(col, grid.GetColumnWidth(col) + kWidthAllowance);
    times.widths = Now() - start;
    return times;
}

// The grid's own costs, without the database: on a second grid, the source's rows made as empty
// cells, the source's texts copied in, and everything freed again.
struct GridParts
{
    double make = 0, texts = 0, free = 0;
};

GridParts GridAlone(CGridCtrl& grid, const CGridCtrl& source)
{
    GridParts parts;
    grid.DeleteAllItems();
    for (int col = 0; col < source.GetColumnCount(); col++)
        grid.InsertColumn(source.GetItemText(0, col));
    double start = Now();
    if (!grid.SetRowCount(source.GetRowCount()))
    {
        std::printf("the second grid could not be given its rows\n");
        std::exit(1);
    }
    parts.make = Now() - start;
    start = Now();
    for (int row = 1; row < source.GetRowCount(); row++)
        for (int col = 0; col < source.GetColumnCount(); col++)
        {
            const wchar_t* text = source.GetCell(row, col)->GetText();
            if (*text)
                grid.SetItemText(row, col, text);
        }
    parts.texts = Now() - start;
    start = Now();
    grid.DeleteAllItems();
    parts.free = Now() - start;
    return parts;
}

std::string Trimmed(const CString& text)
{
    CString copy = text;
    copy.Trim();
    return std::string(CStringA(copy).GetString());
}

// The record bar's search: marks reset, then every data row whose trimmed text in the column holds
// the search text gets the yellow mark in every column; the first match is scrolled into view.
double Search(CGridCtrl& grid, int col, const wchar_t* what, int& found)
{
    double start = Now();
    ClearGridHighlight(&grid);
    std::string wanted = Trimmed(what);
    found = 0;
    for (int row = grid.GetFixedRowCount(); row < grid.GetRowCount(); row++)
    {
        std::string text = Trimmed(grid.GetItemText(row, col));
        if (text.find(wanted) == std::string::npos)
            continue;
        for (int c = 0; c < grid.GetColumnCount(); c++)
            grid.SetItemBkColour(row, c, RGB(255, 255, 0));
        if (found++ == 0)
            grid.EnsureVisible(row, col);
    }
    grid.SetSelectedRange(-1, -1, -1, -1, TRUE);
    grid.Invalidate();
    return Now() - start;
}

// A click on a field column's header: the grid sorts through the records page's comparison.
double HeaderClickSort(CGridCtrl& grid, int col)
{
    CCellID clicked(0, col);
    double start = Now();
    grid.OnFixedRowClick(clicked);
    return Now() - start;
}

// The database's part of a delete alone, on a copy of the database: the same records deleted one
// statement each.
double DatabaseDelete(const std::wstring& dbPath, const std::vector<StoredRecordKey>& keys)
{
    double start = Now();
    const DeleteOutcome outcome = DeleteRecordRows(dbPath, keys);
    if (!outcome.ok || outcome.deleted != static_cast<int>(keys.size()))
    {
        std::printf("deleting the records failed: %s\n", outcome.message.c_str());
        std::exit(1);
    }
    return Now() - start;
}

// Deleting selected rows as the record bar does: `count` data rows from `first` selected, then the
// records page's delete of the selected rows (database and grid).
double DeleteRows(CGridCtrl& grid, BenchHost& host, int first, int count, std::vector<StoredRecordKey>& keys)
{
    keys.clear();
    for (int row = first; row < first + count; row++)
    {
        RecordKey key;
        if (GetRowRecord(grid, row, key))
            keys.push_back({key.id, key.isTemplate != 0});
    }
    grid.SetSelectedRange(first, 1, first + count - 1, grid.GetColumnCount() - 1, FALSE);
    double start = Now();
    if (DeleteSelectedRows(grid, host) != 0)
    {
        std::printf("deleting the selected rows failed\n");
        std::exit(1);
    }
    return Now() - start;
}

// The process's peak working set so far, in MB.
double PeakWorkingSet()
{
    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof(memory);
    if (!::GetProcessMemoryInfo(::GetCurrentProcess(), &memory, sizeof(memory)))
        return -1;
    return memory.PeakWorkingSetSize / 1048576.0;
}

bool CopyDatabase(const std::string& from, const std::string& to)
{
    return ::CopyFileA(from.c_str(), to.c_str(), FALSE) != 0;
}

struct Series
{
    const char* name;
    std::vector<double> times;
    void Print(double reference) const
    {
        std::vector<double> sorted = times;
        std::sort(sorted.begin(), sorted.end());
        double median = sorted[sorted.size() / 2];
        std::printf("  %-44s median %8.1f ms, slowest %8.1f ms", name, median, sorted.back());
        if (reference > 0)
            std::printf(", %5.1f x SQLite's read", median / reference);
        std::printf("\n");
    }
};

} // namespace

int main(int argc, char** argv)
{
    int records = argc > 1 ? std::atoi(argv[1]) : 10000;
    int runs = argc > 2 ? std::atoi(argv[2]) : 5;
    if (records < 2000 || runs < 1)
    {
        std::printf("usage: records_bench.exe [records, at least 2000] [runs]\n");
        return 2;
    }
    ::OleInitialize(nullptr);

    char tempFolder[MAX_PATH];
    ::GetTempPathA(MAX_PATH, tempFolder);
    char folder[MAX_PATH];
    std::snprintf(folder, sizeof folder, "%srecords_bench_%lu", tempFolder, ::GetCurrentProcessId());
    if (!::CreateDirectoryA(folder, nullptr))
    {
        std::printf("cannot make %s\n", folder);
        return 1;
    }
    // The database made once is kept aside; each run works on a fresh copy, since it deletes.
    const std::string master = std::string(folder) + "\\master.gdb";
    const std::string path = std::string(folder) + "\\CMS1500.gdb";
    const std::string spare = std::string(folder) + "\\spare.gdb";
    FieldNameList fields;
    double made = Now();
    MakeDatabase(master, records, fields);
    std::printf("database of %d records x %d fields made in %.0f ms\n", records, CLAIM_FIELD_COUNT, Now() - made);

    HWND owner = ::CreateWindowExW(0, L"STATIC", L"bench", WS_POPUP, 0, 0, 1280, 1024, nullptr, nullptr,
                                   ::GetModuleHandleW(nullptr), nullptr);
    CGridCtrl grid;
    if (!grid.Create(CRect(0, 60, 1280, 1024), CWnd::FromHandle(owner), 778, WS_CHILD | WS_VISIBLE | WS_BORDER))
    {
        std::printf("grid window could not be created\n");
        return 1;
    }
    CGridCtrl second;
    if (!second.Create(CRect(0, 60, 1280, 1024), CWnd::FromHandle(owner), 779, WS_CHILD | WS_BORDER))
    {
        std::printf("grid window could not be created\n");
        return 1;
    }
    BenchHost host(CString(folder) + L"\\");
    const std::wstring widePath(CString(path.c_str()).GetString());
    const std::wstring wideSpare(CString(spare.c_str()).GetString());

    Series read{"SQLite's own read of every row", {}};
    Series decode{"  records read and decoded, no grid", {}};
    Series clear{"  old list cleared", {}};
    Series load{"  query and grid fill", {}};
    Series autoSize{"  auto-size (header and data rows)", {}};
    Series widths{"  widths with their allowance", {}};
    Series show{"showing the page (query, fill, auto-size)", {}};
    Series gridMake{"grid alone: rows of empty cells made", {}};
    Series gridTexts{"grid alone: texts set", {}};
    Series gridFree{"grid alone: everything freed", {}};
    Series search{"search over all rows, yellow marks", {}};
    Series sort{"header-click sort", {}};
    Series databaseDelete{"  1,000 records deleted from the database", {}};
    Series remove{"delete 1,000 selected rows (database and grid)", {}};
    int lastName = -1;
    for (int i = 0; i < CLAIM_FIELD_COUNT; i++)
        if (std::strcmp(CLAIM_FIELDS[i].name, "_2_PATIENT_S_NAME_Last_First_Middle_Initial") == 0)
            lastName = 1 + i;
    int found = 0;
    size_t characters = 0;
    std::vector<StoredRecordKey> keys;
    double showPeak = 0;
    for (int run = 0; run < runs; run++)
    {
        if (!CopyDatabase(master, path) || !CopyDatabase(master, spare))
        {
            std::printf("the database could not be copied\n");
            return 1;
        }
        sqlite3* db = nullptr;
        if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
            Fail("open", db);
        read.times.push_back(SqliteRead(db, SelectSubmissions(fields), characters));
        sqlite3_close(db);
        decode.times.push_back(QueryAndDecode(widePath));
        ShowTimes shown = ShowPage(grid, host);
        if (run == 0)
            showPeak = PeakWorkingSet();
        clear.times.push_back(shown.clear);
        load.times.push_back(shown.load);
        autoSize.times.push_back(shown.autoSize);
        widths.times.push_back(shown.widths);
        show.times.push_back(shown.Total());
        if (grid.GetRowCount() != records + 1)
        {
            std::printf("the grid holds %d rows after the fill, not %d\n", grid.GetRowCount(), records + 1);
            return 1;
        }
        GridParts parts = GridAlone(second, grid);
        gridMake.times.push_back(parts.make);
        gridTexts.times.push_back(parts.texts);
        gridFree.times.push_back(parts.free);
        search.times.push_back(Search(grid, lastName, L"GARCIA", found));
        sort.times.push_back(HeaderClickSort(grid, lastName));
        remove.times.push_back(DeleteRows(grid, host, records / 3, 1000, keys));
        databaseDelete.times.push_back(DatabaseDelete(wideSpare, keys));
        if (grid.GetRowCount() != records + 1 - 1000)
        {
            std::printf("the grid holds %d rows after the delete, not %d\n", grid.GetRowCount(), records + 1 - 1000);
            return 1;
        }
    }

    std::printf("records page, %d records x %d columns, %d runs (%zu characters read per run, search found %d rows)\n",
                records, grid.GetColumnCount(), runs, characters, found);
    double reference = 0;
    {
        std::vector<double> sorted = read.times;
        std::sort(sorted.begin(), sorted.end());
        reference = sorted[sorted.size() / 2];
    }
    read.Print(0);
    decode.Print(reference);
    clear.Print(0);
    load.Print(reference);
    autoSize.Print(0);
    widths.Print(0);
    show.Print(reference);
    gridMake.Print(0);
    gridTexts.Print(0);
    gridFree.Print(0);
    search.Print(0);
    sort.Print(0);
    databaseDelete.Print(0);
    remove.Print(0);
    std::printf("peak working set: %.0f MB once the page was first shown, %.0f MB in all (with the second grid)\n",
                showPeak, PeakWorkingSet());

    grid.DestroyWindow();
    second.DestroyWindow();
    ::DestroyWindow(owner);
    for (const std::string& file : {master, path, spare})
        ::DeleteFileA(file.c_str());
    ::RemoveDirectoryA(folder);
    return 0;
}
